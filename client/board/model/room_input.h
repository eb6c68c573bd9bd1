// client/board/model/room_input.h — the analysis room's shared board: the input types, the
// members' one dispatcher that applies a received input, and the operator's actions, each of which
// changes the operator's own board first and gives the text that makes every member do the same.
//
// Operator and members run the same code for every change, so that a member fed the operator's
// inputs as the server relays them holds the same position, move list and replay range after every
// input.
#pragma once
#include <string>
#include <string_view>

#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"

// Input type codes ("<<Type="). Setup and mark types carry a mark code in their last digits.
constexpr int kRoomBlackStone = 1;
constexpr int kRoomWhiteStone = 2;
constexpr int kRoomStepBack = 3;     // "<": one move back, the move leaves the record
constexpr int kRoomBackToSetup = 4;  // "| <": back to the setup, or an empty board from there
constexpr int kRoomForward = 5;      // the replay bar, types 5 to 10
constexpr int kRoomForward10 = 6;
constexpr int kRoomToEnd = 7;
constexpr int kRoomBack = 8;
constexpr int kRoomBack10 = 9;
constexpr int kRoomToStart = 10;
constexpr int kRoomLoadRecord = 11;
constexpr int kRoomRewind = 12;    // Ctrl-click: the position after a move becomes the setup
constexpr int kRoomTakeBack = 25;  // a click on a played stone takes moves back
constexpr int kRoomBoardSize = 50;
constexpr int kRoomNewBlackSetup = 100;  // + mark code
constexpr int kRoomTurnBlack = 150;      // + mark code
constexpr int kRoomRemoveBlack = 199;
constexpr int kRoomNewWhiteSetup = 200;  // + mark code
constexpr int kRoomTurnWhite = 250;      // + mark code
constexpr int kRoomRemoveWhite = 299;
constexpr int kRoomMark = 300;  // + mark code, on an empty point
constexpr int kRoomMarkRemoved = 399;

// Input kinds of the operator's board clicks (RoomInputKind).
constexpr int kRoomInputMoves = 1;
constexpr int kRoomInputSetup = 3;

// What an input does, one entry per range of type codes.
enum class RoomAction {
  kStone,        // a stone in turn, with captures
  kCutStepBack,  // one move back, the record ends there
  kBackToSetup,  // ResetDiscussBoard, the record ends there
  kStepForward,  // replay bar
  kForward10,
  kToEnd,
  kStepBack,
  kBack10,
  kToStart,
  kLoadRecord,      // the record of the input replaces the board
  kRewind,          // RewindToMove(value)
  kTakeBack,        // value steps back
  kBoardSize,       // an empty board of value lines
  kNewSetupStone,   // a setup stone on an empty point, with a mark
  kTurnSetupStone,  // a setup stone changes colour, with a mark
  kRemoveSetupStone,
  kMark,  // a mark on an empty point
  kMarkRemoved,
};

struct RoomInputType {
  int First, Last;  // the type codes of this entry
  RoomAction Action;
  int Colour;       // kBlack or kWhite for stones and setup stones, else 0
  bool TakesPoint;  // "<<Value=" must name a playing point
};

// The entry of a type code; nullptr for a code no input has (0, a missing type, anything else).
const RoomInputType* FindRoomInputType(int type);

// The window's side of the room board: what the room draws and hears beyond the position's own
// listener. Every call has an empty default.
class RoomInputView {
 public:
  virtual ~RoomInputView() = default;
  // A setup stone was put on, recoloured or taken from a point.
  virtual void DrawRoomStone(int /*point*/, bool /*black*/) {}
  virtual void ErasePoint(int /*point*/) {}
  // A mark (MarkCode) on the point; code 0 draws nothing.
  virtual void DrawMark(int /*code*/, int /*point*/) {}
  virtual void ShowRoomMoveCount(int /*moveTop*/) {}
  // A stone was played: "stone.wav".
  virtual void PlayStoneSound() {}
  // While held, changes of the position need not be drawn: a whole record is being put on the
  // board, and RepaintRoomBoard follows the release.
  virtual void HoldDrawing(bool /*hold*/) {}
  // The whole board is drawn again from the position, with its move count and prisoners.
  virtual void RepaintRoomBoard() {}
  // A record was read onto the board (names, size).
  virtual void RoomRecordRead(const KifuTextResult& /*read*/) {}
  // Names, date and time for the record the operator sends.
  [[nodiscard]] virtual RecordHeader RoomRecordHeader() const { return {}; }
};

// A text for the server, made by an operator's action.
struct RoomSend {
  std::string Text;              // empty: nothing is sent
  bool WarnWhenOffline = false;  // "サーバに接続していません！" when it cannot be sent
  bool ListFull = false;         // refused: the move list is full
};

// A record as the room sends it: without line breaks, and with nothing in it that could end the
// "<<DiscussKifu=" value early or be read as a tag by a member.
std::string RoomRecordText(std::string_view record);

// The size the room's board takes for a record: its "SZ[" when that names 19, 13 or 9 lines, else
// 19 (an empty record, or one without a size). Every member reads a record on this size, whatever
// size the board had before.
int RoomRecordSize(std::string_view record);

// The shared board of the analysis room over a board's position.
class RoomBoard {
 public:
  // Both stay owned by the caller and outlive the room board.
  RoomBoard(BoardModel& board, RoomInputView& view) : board_(board), view_(view) {}

  // The board shows the setup position: the input-kind and first-colour buttons act.
  int AtStartFlag = 0;
  // What the operator's board clicks place (kRoomInputMoves, kRoomInputSetup).
  int RoomInputKind = kRoomInputMoves;

  // Members: applies one received input. False, changing nothing, for an input that names no
  // type, a value it cannot take, or a change the position does not allow.
  bool ApplyDiscussInput(std::string_view message);

  // The operator's actions. Each changes this board first and returns what to send.
  // A board click without Ctrl: a stone in turn, or a take-back on a played stone; in setup input
  // the click goes to SendDiscussMark.
  RoomSend PlaceDiscussInput(int point, bool left, int selectedMark, bool spaceHeld);
  // A board click in setup input: setup stones (left black, right white) with the selected mark,
  // or with the space key held a mark alone on an empty point.
  RoomSend SendDiscussMark(int point, bool left, int selectedMark, bool spaceHeld);
  // Ctrl-click on a played stone: the position after that move becomes the setup.
  RoomSend RewindToStone(int point);
  // "<": one move back, the record ends there.
  RoomSend StepBackAndCut();
  // "| <": back to the setup position (an empty board from there), the record ends there.
  RoomSend BackToSetupAndCut();
  // A record replaces the board (file, clipboard, the start record, a diagram, a followed game).
  // The text is loaded as RoomRecordText makes it, as the members will read it.
  RoomSend LoadRecord(std::string_view record);
  // An empty board of 19, 13 or 9 lines; nothing for another size or the current one.
  RoomSend ChangeBoardSize(int size);

  // A member entering the room: the room's record on the board, shown at the move the room shows
  // (`moveSuu`, used when it lies from the setup position up to before the record's end).
  void EnterRoom(std::string_view record, int moveSuu);

  // Back to the setup position; at the setup position the board is emptied, setup stones too.
  void ResetDiscussBoard();
  // The operator's choice of the first player after the setup (never sent): the forbidden points
  // of the setup position are those of the player who now moves first.
  void ChooseFirstColour(bool blackFirst);
  // The operator's record: the board's record as RoomRecordText makes it.
  [[nodiscard]] std::string BuildRecord() const;

 private:
  bool PlaceStoneInTurn(int point, bool black);
  bool NewSetupStone(int point, int colour, int mark);
  bool TurnSetupStone(int point, int colour, int mark);
  bool RemoveSetupStone(int point);
  bool SetMark(int point, int code);
  void RemoveMark(int point);
  void StepBack(int steps);
  void LoadRecordText(std::string_view text);
  // The loose reader on the size of the record (RoomRecordSize), told to the window before the
  // drawing is held so that it shows the grid of that size.
  KifuTextResult ReadRoomRecord(std::string_view text);
  void EmptyBoardOfSize(int size);
  bool RewindTo(int moveIndex);
  // The setup position changed: groups, liberties and the player's forbidden points again.
  void RenumberSetup();
  // The record ends at the move on display.
  void CutRecord() { board_.BufferLength = board_.MoveTop; }
  void NoteSetupReached();
  [[nodiscard]] std::string WholeBufferRecord();
  [[nodiscard]] int NewestMoveOn(int point) const;

  BoardModel& board_;
  RoomInputView& view_;
};

// The operator's idle count: Timer1 ticks it once a second while this user holds the input right.
// Beyond kIdleLimit seconds without an action the right is given up.
constexpr int kIdleLimit = 60;
// One tick; true when the count has now passed the limit (the caller gives the right up).
inline bool IdleTick(int& idleSeconds) { return ++idleSeconds > kIdleLimit; }
