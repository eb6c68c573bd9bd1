// client/views/model/diagram_editor.h — the diagram editor's position and its input rules: opened
// from the board window's position or from the position before a shown move, moves, setup stones
// and marks, the first player and input mode, stepping back, making the shown position the
// diagram's setup, and imports. The counting board shows it in its editor mode; nothing here
// draws.
#pragma once
#include <string>
#include <string_view>

#include "client/board/model/board_model.h"
#include "client/views/model/board_diagram.h"

class DiagramEditor {
 public:
  // InputMode values.
  static constexpr int kMoveInput = 1;   // clicks play moves
  static constexpr int kSetupInput = 3;  // clicks edit setup stones and, with space held, marks

  DiagramEditor();

  // The editor's own copy of the rules: setup stones at 1..SetupCount, then the moves, every one
  // numbered; BoardTurned says the board window shows it turned (the data turns it back).
  // BufferLength always equals MoveTop: a move taken back is gone.
  BoardModel Position;
  int InputMode = kMoveInput;
  // 1 while no move follows the setup; only then may BlackFirst and InputMode change.
  int FirstPlayerOpen = 1;
  // Entries read by the last import, and the text it read.
  int ParsedCount = 0;
  std::string RecordText;

  // The position after move `shownMove` of `board` (0..its MoveTop), every stone a setup stone,
  // the player of move shownMove + 1 to play first (by the turn rule, so a stone captured since
  // cannot mislead it). Marks cleared, move input.
  void OpenFromShownMove(const BoardModel& board, int shownMove);
  // The board window's position as it stands, every stone a setup stone, the side to move to play
  // first; its ko and forbidden points stay for that first move. Marks cleared, or the board
  // window's own marks in the analysis room (`room`). Move input.
  void OpenFromBoard(const BoardModel& board, bool room);

  // A click on a point of the board (DiagramClick): a move in move input, else a setup edit.
  // True when the position changed.
  bool DiagramClick(int point, bool left, bool spaceHeld, int selectedMark);
  // Setup input: with space held a mark (`selectedMark`, 0 for none) is set or taken off an empty
  // point; otherwise the left button adds a black stone, turns a white one black or removes a
  // black one (the right button the same with the colours exchanged), and the stone takes the
  // selected mark. Every edit renews the groups and the one-turn marks for the first player.
  bool EditSetupPoint(int point, bool left, bool spaceHeld, int selectedMark);
  // "<": the last move comes off with its captures back; at the setup the choices reopen.
  void UndoMove();
  // "| <": back to the setup position, or from there to an empty board.
  void BackToStart();
  // The first-player buttons: while the choice is open, black (or white) plays first. False when
  // moves follow the setup (the choice is then closed).
  bool ChooseFirstPlayer(bool black);
  // The input-mode buttons, under the same rule as the first player.
  bool ChooseInputMode(int mode);
  // "局面図に指定": the position shown becomes the setup, the side to move plays first; marks stay.
  void MakeDiagramPosition();
  // Reads a record (clipboard, dropped file) or "(;" + the viewer's diagram data onto the editor
  // (ParseRecordText) and shows it at its last move; move input afterwards.
  DiagramReadResult ImportRecord(std::string_view text, bool turned);

  // Whether the diagram may be sent with `comment` (Memo1's text as typed).
  enum class SendCheck { kReady, kNoStone, kNoComment };
  [[nodiscard]] SendCheck CheckSend(std::string_view comment) const;
  // The board-diagram data of the position, in black's view.
  [[nodiscard]] std::string DiagramData() const;

 private:
  // Every stone on the board becomes a setup stone in point order; captures and their log go.
  void ConvertToSetup();
  // The groups and one-turn marks of the setup position for the first player, any old ko gone.
  void RenumberSetup();
};
