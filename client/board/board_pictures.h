// client/board/board_pictures.h — the picture files of the board window below the folder bmp, and
// the size of each button picture.
#pragma once
#include <array>
#include <string_view>

// The background behind the board and the panels.
inline constexpr std::string_view kBoardBackgroundPicture = "BanBG.jpg";
// The background covers at least the form rectangle (0, 0)-(594, 424).
inline constexpr int kBoardBackgroundWidth = 594;
inline constexpr int kBoardBackgroundHeight = 424;

struct ButtonPicture {
  std::string_view File;
  int Width;
  int Height;
};

// The picture buttons, by control.
inline constexpr ButtonPicture kDiagramButton = {"BtnDiagram.bmp", 87, 26};        // Image10
inline constexpr ButtonPicture kReplayBar = {"ReplayBar.bmp", 168, 26};            // Image11
inline constexpr ButtonPicture kPassResignButton = {"BtnPassResign.bmp", 87, 26};  // Image12
inline constexpr ButtonPicture kCountButton = {"BtnCount.bmp", 87, 28};            // Image13
inline constexpr ButtonPicture kUndoButton = {"BtnUndo.bmp", 87, 26};              // Image14
inline constexpr ButtonPicture kSaveButton = {"BtnSave.bmp", 87, 26};              // Image15
inline constexpr ButtonPicture kNumbersButton = {"BtnNumbers.bmp", 87, 26};        // Image16
inline constexpr ButtonPicture kEndButton = {"BtnEnd.bmp", 87, 26};                // Image17
inline constexpr ButtonPicture kStopButton = {"BtnStop.bmp", 87, 26};              // Image18
inline constexpr ButtonPicture kTurnButton = {"BtnTurn.bmp", 87, 26};              // Image19
inline constexpr ButtonPicture kRoomEntryButton = {"BtnRoomEntry.bmp", 84, 26};    // Image21
inline constexpr ButtonPicture kRoomDoneButton = {"BtnRoomDone.bmp", 84, 26};      // Image22
inline constexpr ButtonPicture kKindMoveButton = {"BtnKindMove.bmp", 32, 34};      // Image23
inline constexpr ButtonPicture kRoomLoadButton = {"BtnRoomLoad.bmp", 84, 26};      // Image24
inline constexpr ButtonPicture kRoomReloadButton = {"BtnRoomReload.bmp", 84, 26};  // Image25
inline constexpr ButtonPicture kKindSetupButton = {"BtnKindSetup.bmp", 32, 34};    // Image26
inline constexpr ButtonPicture kFirstBlackButton = {"BtnFirstBlack.bmp", 32, 34};  // Image27
inline constexpr ButtonPicture kFirstWhiteButton = {"BtnFirstWhite.bmp", 32, 34};  // Image28
inline constexpr ButtonPicture kRoomFollowButton = {"BtnRoomFollow.bmp", 84, 56};  // Image29

inline constexpr std::array<ButtonPicture, 19> kBoardButtonPictures = {
    kDiagramButton,   kReplayBar,        kPassResignButton, kCountButton,      kUndoButton,
    kSaveButton,      kNumbersButton,    kEndButton,        kStopButton,       kTurnButton,
    kRoomEntryButton, kRoomDoneButton,   kKindMoveButton,   kRoomLoadButton,   kRoomReloadButton,
    kKindSetupButton, kFirstBlackButton, kFirstWhiteButton, kRoomFollowButton,
};
