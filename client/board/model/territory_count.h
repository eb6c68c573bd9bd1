// client/board/model/territory_count.h — counting a game on the counting board: territory marks,
// dead groups and their points, the region fill, komi and the result text. It works on its own
// counting board taken from a copy of the board window's position; it never draws, it tells a
// CountListener what changed.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "client/board/model/board_model.h"
#include "client/board/model/board_rules.h"

// CountBoardCode: the values of the counting board beyond StoneCode. A territory mark behaves like
// a stone of its colour in the count (it bounds and seeds regions) and is not counted itself. The
// territory and dame values live only inside one count.
constexpr int kBlackTerritoryMark = 11;
constexpr int kWhiteTerritoryMark = 15;
constexpr int kDeadBlack = 1000;
constexpr int kDeadWhite = 5000;
constexpr int kBlackTerritory = 100;
constexpr int kWhiteTerritory = 500;
constexpr int kDame = 300;

// The colour digit of a counting-board value: 1 for black stones and marks, 5 for white ones, 0
// for everything else (the ring's -50 included).
constexpr int ColourDigit(int value) { return value % 10; }

// Operations of a count, numbered as the shared count sends them ("<<Type=").
enum CountOperation : int {
  kNoCountOperation = 0,
  kPlaceBlackMark = 1,
  kPlaceWhiteMark = 2,
  kEraseMark = 3,
  kReviveGroup = 4,
  kMarkGroupDead = 5,
  kRestoreBeforeCount = 6,
  kCountTerritory = 7,
};

// A point as the shared count sends it and as it arrives: the wire always carries black's view,
// so a board shown turned turns it (the same turn as the board window's turned view). Passes and
// points off the board stay as they are, so they never become a playing point.
constexpr int FlipPointForWire(int point, int size, bool turned) {
  return turned ? TurnPoint(point, size) : point;
}

// One operation of the shared count as it arrived: "<<Type=" and "<<Value=" (0 when missing or not
// a number), the point still as the wire carries it.
struct ReceivedCountOperation {
  int Type = 0;
  int Value = 0;
  bool operator==(const ReceivedCountOperation&) const = default;
};
// At most this many operations are read from one received text.
constexpr int kMaxOperationsPerRead = 100;
// Every "<<RealTimeCount>>" operation of a received text, in order, each read from its own part
// of the text: the operations of a quick holder can reach this side in one read.
std::vector<ReceivedCountOperation> ReadCountOperations(std::string_view message);

// Komi in tenths of a point: the whole points white gets and whether half a point comes on top.
// The whole part is rounded down, also for a negative komi (65 -> 6, -55 -> -6, -5 -> -1).
constexpr bool KomiHasHalf(int tenths) { return tenths % 10 != 0; }
constexpr int KomiWhole(int tenths) {
  return tenths >= 0 || tenths % 10 == 0 ? tenths / 10 : tenths / 10 - 1;
}
// The komi as the caption shows it: 65 -> "6.5", -55 -> "-5.5", -5 -> "-0.5", 60 -> "6".
std::string KomiText(int tenths);
// The counting board's caption before the result: " [ name ]   ヌルカ - 地の計算", with
// "  { コ ミ = " komi " }" when there is a komi. cp932.
std::string CountCaption(std::string_view userName, int komiTenths);
// The result appended to the caption, from the totals with the whole komi already given to white
// and whether white has half a point more: "    黒 3 目半勝ち", "    持 碁 で す！" and so on.
std::string CountResultText(int blackTotal, int whiteTotal, bool half);

// What the counting board shows for the changes of a count. Every call has an empty default.
class CountListener {
 public:
  virtual ~CountListener() = default;
  // A territory mark of that colour: its stone with a star.
  virtual void DrawTerritoryMark(int /*point*/, bool /*black*/) {}
  // The point shows the bare board again.
  virtual void ErasePoint(int /*point*/) {}
  // A stone of that colour (a revived stone).
  virtual void DrawStone(int /*point*/, bool /*black*/) {}
  // The cross on a stone marked dead (the stone is already shown).
  virtual void DrawDeadMark(int /*point*/, bool /*black*/) {}
  // The small square of a point counted for black (green) or white (magenta).
  virtual void DrawTerritoryPoint(int /*point*/, bool /*black*/) {}
  // The two labels show these scores.
  virtual void ShowScores(int /*black*/, int /*white*/) {}
};

class TerritoryCount {
 public:
  // The counting board, indexed by PointNumber: StoneCode or CountBoardCode; -50 on the ring.
  // Outside CountTerritory no point holds a territory or dame value and Visited is 0 everywhere.
  PointArray Board{};
  // The board as it was when the count began (or when the window opened); "再計算" restores it.
  PointArray BackupBoard{};
  PointArray Visited{};
  int BoardSize = 19;
  int KomiTenths = 0;
  // Black's points so far (prisoners, then one point per dead white stone); white's the same.
  int BlackScore = 0;
  int WhiteScore = 0;
  // A count is on show: the board shows its result, edits wait for RestoreBeforeCount.
  bool CountShown = false;
  // The totals of the last count before komi (the labels show them) and its result text.
  int BlackTotal = 0;
  int WhiteTotal = 0;
  std::string ResultText;

  // The listener stays owned by the caller; nullptr shows nothing.
  void SetListener(CountListener* listener) { listener_ = listener; }

  // A new count of `position`: its stones, its prisoners as the first points (the white stones
  // black took are black's), no count on show. The backup holds the same board.
  void Begin(const BoardModel& position, int komiTenths);

  // A click on `point` before a count: an empty point gets a mark of the button's colour, a mark
  // is erased, a dead group revived, a living group marked dead. The operation done, or
  // kNoCountOperation when nothing changed (a count on show, a point off the board, a value no
  // rule names).
  CountOperation Click(int point, bool left);
  // A drag over `point` in a local count: marks of the button's colour on empty points, or, for a
  // drag that began on a mark, erasing marks. True when the point changed.
  bool DragOver(int point, bool left, bool erasing);
  // An operation of the shared count's other side, only where it makes sense: a playing point,
  // marks placed on empty points and erased from marks, dead and living groups as a click would
  // find them, edits only while no count is on show, the count only when none is and the restore
  // only when one is. True when it was applied.
  bool ApplyOperation(int type, int point);

  // Marks the group of the stone `colour` on `point` dead: one point per stone to its captor.
  void MarkGroupDead(int point, int colour);
  // Brings the dead group (`deadCode` 1000 or 5000) on `point` back, taking its points away.
  void ReviveGroup(int point, int deadCode);
  // Counts: dead stones removed with their second point, every empty region that touches only one
  // colour (and no dame) counted for it, komi applied, the result in ResultText. The scores
  // themselves stay as before the count; BlackTotal and WhiteTotal hold the totals.
  void CountTerritory();
  // The empty region of `point` touches nothing of `otherColour` and no dame, as far as it is
  // explored (the first finding ends the search). Marks what it explored in Visited.
  bool IsRegionOwnedBy(int point, int otherColour);
  // Fills what IsRegionOwnedBy explored from `point`: territory of `colour` when owned, else dame.
  void FillTerritory(int point, int colour, bool owned);
  // The board before the last count: dead stones and marks come back.
  void RestoreBeforeCount();

 private:
  CountListener* Listener() const { return listener_ != nullptr ? listener_ : &silent_; }

  inline static CountListener silent_;
  CountListener* listener_ = nullptr;
};
