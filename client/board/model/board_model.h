// client/board/model/board_model.h — the position of the board window: stones, groups, one-turn
// marks, the move list with its setup part and buffered moves, the capture log, and the rules run
// after every stone, pass and step back. It never draws; it tells a BoardListener what changed.
#pragma once
#include <array>
#include <string>

#include "client/board/model/board_rules.h"

// Entries of MoveList and MoveTimes (indexed 1..500, setup stones included).
constexpr int kMoveListCapacity = 500;
// Entries of CaptureLog: more than the stones a full move list can ever place.
constexpr int kCaptureLogCapacity = kMoveListCapacity + 361;

// What the board window shows for the changes of the model. Every call has an empty default, so a
// board that shows nothing (a test, a benchmark) needs no listener.
class BoardListener {
 public:
  virtual ~BoardListener() = default;
  // DrawStone: a stone of that colour on the point (drawn over whatever number it carried).
  virtual void DrawStone(int /*point*/, bool /*black*/) {}
  // EraseStone: the point shows the bare board again.
  virtual void EraseStone(int /*point*/) {}
  // DrawMoveNumber: `number` on the stone of the move at MoveList[moveIndex].
  virtual void DrawMoveNumber(int /*number*/, int /*moveIndex*/) {}
  // ShowMoveCount: status-bar panel 1 shows MoveTop.
  virtual void ShowMoveCount(int /*moveTop*/) {}
  // Prisoner memos: BlackCaptured beside white's name (Memo6), WhiteCaptured beside black's
  // (Memo3).
  virtual void ShowBlackCaptured(int /*count*/) {}
  virtual void ShowWhiteCaptured(int /*count*/) {}
  // Panel3's one-line game state caption (cp932; empty clears it).
  virtual void ShowStateCaption(const std::string& /*caption*/) {}
  // SetBoardSize set 19, 13 or 9 lines: the window takes the geometry and pictures of that size and
  // redraws its grid.
  virtual void BoardSizeSet(int /*size*/) {}
  // A step back arrived at the setup position (the analysis room sets its at-start flag).
  virtual void SetupPositionReached() {}
};

// The board window keeps the fullest form of the rules; the diagram viewer differs only in that its
// step back restores the captured stones without recomputing the one-turn marks.
enum class BoardVariant { kBoardWindow, kDiagramViewer };

// What became of a stone or pass. A local action turns kListFull into a message; a received move
// takes the invalid-move path for either refusal.
enum class PlaceOutcome {
  kPlaced,
  kListFull,     // the move list holds kMoveListCapacity entries
  kNotPlayable,  // the point is not an empty point of the playing area
};

class BoardModel {
 public:
  explicit BoardModel(BoardVariant variant = BoardVariant::kBoardWindow);
  // A copy carries the whole position (arrays, lists, counters, flags, variant) and no listener:
  // it draws nothing. Assigning a position keeps the listener of the model assigned to, which
  // then hears nothing of the change (the caller repaints).
  BoardModel(const BoardModel& other) = default;
  BoardModel& operator=(const BoardModel& other) = default;
  virtual ~BoardModel() = default;

  // The listener stays owned by the caller; nullptr shows nothing.
  void SetListener(BoardListener* listener);

  // Position arrays, indexed by PointNumber 0..440. After every public operation:
  // - Board holds a StoneCode on the playing area of BoardSize and -50 exactly on the ring; every
  //   stone stands on the point of some MoveList entry 1..MoveTop.
  // - On a stone, GroupIds holds its group number (one number per group of connected stones of one
  //   colour, different groups different numbers) and Liberties the number of distinct empty points
  //   next to the group (0 only for a group with no liberty, which only a replayed record can
  //   leave). On an empty point Liberties is 0 and GroupIds is 0, 600 (the point taken in a ko by
  //   the last move, one at most) or 1501 (the player to move would have no liberty there and
  //   capture nothing); 600 and 1501 stand next to stones and hold for the player to move now.
  //   GroupIds is -50 on the ring.
  // - Visited is 0 everywhere (the flood fills clear what they mark).
  // - Marks holds colour * 1000 + MarkCode, colour being the StoneCode the point had when the
  //   mark was set.
  // - ScratchBoard is working space of RewindToMove.
  PointArray Board{};
  PointArray Liberties{};
  PointArray GroupIds{};
  PointArray Visited{};
  PointArray ScratchBoard{};
  PointArray Marks{};

  // Lists, indexed 1..500 (entry 0 is never used). MoveList holds the setup stones at
  // 1..SetupCount, then the moves; each entry is a playing point or 0 (a pass; a setup entry whose
  // letters named no point). SetupColours[i] for i <= SetupCount is colour * 1000 + point, below
  // 2000 for black. MoveTimes[i] is the time entry of move i (seconds spent * 100000 + the mover's
  // clock), 0 for none.
  std::array<int, kMoveListCapacity + 1> MoveList{};
  std::array<int, kMoveListCapacity + 1> SetupColours{};
  std::array<int, kMoveListCapacity + 1> MoveTimes{};
  // Entries 0..CaptureCount-1, one per captured stone, in capture order:
  // moveIndex * 10000 + point * 10, plus 1 when the capture set a ko mark; moveIndex is the
  // MoveList index of the capturing move.
  std::array<int, kCaptureLogCapacity> CaptureLog{};

  int BoardSize = 19;
  int MoveTop = 0;          // MoveList index of the move on the board (setup stones included)
  int SetupCount = 0;       // setup stones at the head of MoveList
  int BufferLength = 0;     // MoveList entries held; moves after MoveTop wait there for replay
  int FirstMoveNumber = 1;  // number drawn on the first move after the setup
  int CaptureCount = 0;     // CaptureLog entries in use
  int PendingPoint = 0;     // the point about to be placed
  int BlackCaptured = 0;    // black stones captured so far
  int WhiteCaptured = 0;    // white stones captured so far
  // Working values of the group numbering.
  int GroupCounter = 0;
  int GroupColour = 0;
  int LibertyCounter = 0;
  bool BlackFirst = true;    // black plays the first move after the setup
  bool NumbersOn = false;    // every stone carries its move number, not only the newest
  bool BoardTurned = false;  // the board is shown turned by 180 degrees (white's view)

  // The one test of the list capacity: an entry may follow `held` entries (MoveTop for a stone or
  // pass, BufferLength for a buffered move).
  static constexpr bool CanAppendEntry(int held) { return held >= 0 && held < kMoveListCapacity; }

  // Colours. The move at index i > SetupCount is black when (i - SetupCount) is odd and BlackFirst
  // is set, or even and it is not; a setup stone's colour is in SetupColours.
  [[nodiscard]] bool MoveIsBlack(int index) const;
  [[nodiscard]] bool NextMoveIsBlack() const { return MoveIsBlack(MoveTop + 1); }
  // The number drawn on the move at `index`.
  [[nodiscard]] int MoveNumberOf(int index) const {
    return index + FirstMoveNumber - SetupCount - 1;
  }
  // An empty playing point that is neither a ko point nor a forbidden point for the player to move.
  [[nodiscard]] bool IsPlayablePoint(int point) const;
  // For an empty playing point: a stone of `colour` there would have no liberty and capture
  // nothing, whoever the board expects to move (the forbidden points it marks are the mover's).
  [[nodiscard]] bool IsForbiddenFor(int point, int colour) const;

  // The model's part of the board reset: everything empty, counters 0, FirstMoveNumber 1,
  // BlackFirst set, numbers off, board not turned.
  void ResetPosition();
  // For 19, 13 or 9 sets BoardSize and the listener hears BoardSizeSet; any other size keeps
  // BoardSize. In every case Board and GroupIds become 0 on the playing area and -50 on the ring.
  void SetBoardSize(int size);

  // Places a stone of that colour at PendingPoint as the next move, with captures, ko and
  // forbidden points. The caller has checked the point (IsPlayablePoint) or replays a record: a ko
  // or forbidden point is taken all the same, but an occupied or off-board point and a full list
  // are refused and change nothing.
  PlaceOutcome PlaceBlackStone();
  PlaceOutcome PlaceWhiteStone();
  // A pass as the next move: the one-turn marks are cleared and renewed for the player to move.
  PlaceOutcome PlacePass();

  // The rules pass after a stone or a pass: captures around the last stone, then the numbering and
  // the forbidden points. nextColour moves next, moverColour is the other one.
  void ResolveCaptures(int nextColour, int moverColour);
  // Clears the one-turn marks (600 and 1501).
  void ResetLibertyFlags();
  // Numbers a position built from setup stones for the first player (every step of
  // ResolveCaptures but the captures), so that its first move sees true liberties and the
  // forbidden points of the player to move are marked.
  void NumberSetupPosition();

  // Takes the move at MoveTop back and restores what it captured; nothing at the setup position.
  void ReplayStepBack();
  // Empties the position. MoveList, SetupCount and BufferLength stay for the caller to replay.
  void ClearBoard();
  // Index (1..SetupCount) of the newest setup stone on `point`, or 0.
  [[nodiscard]] int FindSetupStone(int point) const;
  // Closes the gap of setup entry `index` within the setup part of MoveList and SetupColours; the
  // caller then lowers SetupCount (and MoveTop). False, changing nothing, for an index outside
  // 1..SetupCount.
  bool DeleteSetupStone(int index);

  // Replay of the buffered moves.
  void ReplayStepForward();
  void ReplayBack10();
  void ReplayToStart();
  void ReplayForward10();
  void ReplayToEnd();
  // Builds the position of a cleared board from the parsed lists: setup stones, then every
  // buffered move. The record is shown at its last move.
  void PositionFromRecord();
  // Makes the position after move `n` the new setup position and keeps the later moves buffered,
  // showing the same move as before. False, changing nothing, unless SetupCount < n <= MoveTop <=
  // BufferLength and move n is a stone.
  bool RewindToMove(int n);
  // Stores a received move (0 for a pass) after the buffered ones. False when the list is full or
  // the point is neither 0 nor a playing point.
  bool AppendToBuffer(int point);
  // Turns every listed move by 180 degrees and rebuilds the position at the same move, keeping the
  // buffered moves (turned) in the buffer; toggles BoardTurned.
  void TurnBoardPosition();

  // Drawing of a whole position through the listener, for a repaint: the setup stones, then the
  // moves still on the board with their numbers (all of them, or only the newest).
  void DrawSetupStones();
  void DrawPlayedStones();
  // The move at `index` is a pass or its stone was captured by a later move.
  [[nodiscard]] bool IsMoveStoneGone(int index) const;
  // Draws the number of the newest move on `point` again.
  void RedrawMoveNumberAt(int point);

  // Every invariant above checked from scratch; empty when all hold, else what is wrong.
  [[nodiscard]] std::string CheckConsistency() const;

  [[nodiscard]] BoardVariant Variant() const { return variant_; }

 private:
  PlaceOutcome PlaceStone(int colour);
  void RedrawPreviousStone();
  void RenumberPosition(int nextColour);
  void BuildPositionUpTo(int moveTop);
  void CheckCaptureAt(int nextColour, int moverColour, int point);
  void CaptureSingleStone(int moverColour, int point);
  bool GroupHasNoLiberty(int point);
  void RemoveGroup(int point);
  void ClearVisited(int point);
  bool LogCapture(int point);
  void NumberGroup(int point);
  void CountGroupLiberties(int point);
  void MarkSuicidePoint(int nextColour, int point);
  void RestoreCapturedStone(int point);
  void ShowMoveCount();

  // The listener a model tells of its changes. It belongs to one model object: a copy starts with
  // none, and assigning a position leaves the listener of the model assigned to.
  class ListenerSlot {
   public:
    ListenerSlot() = default;
    ListenerSlot(const ListenerSlot& /*other*/) {}
    // Keeps this slot's listener, so assigning to itself changes nothing either.
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment)
    ListenerSlot& operator=(const ListenerSlot& /*other*/) { return *this; }
    void Set(BoardListener* listener) { listener_ = listener; }
    BoardListener* operator->() const { return listener_ != nullptr ? listener_ : &silent_; }

   private:
    inline static BoardListener silent_;
    BoardListener* listener_ = nullptr;
  };

  BoardVariant variant_;
  ListenerSlot listener_;
};
