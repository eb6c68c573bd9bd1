// BoardModel::CheckConsistency: the invariants of the position, recomputed from the stones alone.
#include <algorithm>
#include <string>

#include "client/board/model/board_model.h"

namespace {

std::string At(const char* what, int point) {
  return std::string(what) + " at point " + std::to_string(point);
}

// Groups and liberties found from Board alone: GroupOf[p] is a label per group (0 off stones),
// LibertiesOf[label] the distinct empty points next to it, SizeOf[label] its stones.
struct GroupScan {
  PointArray GroupOf{};
  std::array<int, kPointCount + 1> LibertiesOf{};
  std::array<int, kPointCount + 1> SizeOf{};

  explicit GroupScan(const PointArray& board) {
    int labels = 0;
    std::array<int, kPointCount> stack{};
    PointArray seenLiberty{};
    for (int start = 0; start < kPointCount; ++start) {
      if (!IsStone(board[start]) || GroupOf[start] != 0) continue;
      const int label = ++labels;
      int top = 0;
      stack[top++] = start;
      GroupOf[start] = label;
      while (top > 0) {
        const int p = stack[--top];
        ++SizeOf[label];
        for (const int step : kNeighbourSteps) {
          const int n = p + step;
          if (board[n] == kEmpty && seenLiberty[n] != label) {
            seenLiberty[n] = label;
            ++LibertiesOf[label];
          } else if (board[n] == board[p] && GroupOf[n] == 0) {
            GroupOf[n] = label;
            stack[top++] = n;
          }
        }
      }
    }
  }
  [[nodiscard]] int Liberties(int point) const { return LibertiesOf[GroupOf[point]]; }
};

}  // namespace

std::string BoardModel::CheckConsistency() const {
  if (!IsBoardSize(BoardSize)) return "BoardSize " + std::to_string(BoardSize);
  if (MoveTop < 0 || MoveTop > kMoveListCapacity) return "MoveTop " + std::to_string(MoveTop);
  if (BufferLength < 0 || BufferLength > kMoveListCapacity) {
    return "BufferLength " + std::to_string(BufferLength);
  }
  if (SetupCount < 0 || SetupCount > kMoveListCapacity) {
    return "SetupCount " + std::to_string(SetupCount);
  }
  if (MoveTop != 0 && MoveTop < SetupCount) return "MoveTop below SetupCount";
  if (CaptureCount < 0 || CaptureCount > kCaptureLogCapacity) return "CaptureCount out of range";

  const int listed = std::max(MoveTop, BufferLength);
  PointArray onList{};
  for (int i = 1; i <= listed; ++i) {
    const int point = MoveList[i];
    if (point != 0 && !IsPlayingPoint(point, BoardSize))
      return At("MoveList entry off the board", i);
    if (i <= MoveTop) onList[point] = 1;
  }

  for (int p = 0; p < kPointCount; ++p) {
    if (Visited[p] != 0) return At("Visited left set", p);
    if (!IsPlayingPoint(p, BoardSize)) {
      if (Board[p] != kOutside) return At("ring point not -50 on Board", p);
      if (GroupIds[p] != kOutside) return At("ring point not -50 in GroupIds", p);
      if (Liberties[p] != 0) return At("Liberties on the ring", p);
      if (Marks[p] != 0) return At("mark on the ring", p);
      continue;
    }
    if (Board[p] != kEmpty && !IsStone(Board[p])) return At("Board holds no StoneCode", p);
    if (IsStone(Board[p]) && onList[p] == 0) return At("stone missing from MoveList", p);
    const int colour = Marks[p] / 1000;
    if (Marks[p] < 0 || (colour != kEmpty && !IsStone(colour))) return At("mark colour", p);
  }

  if (BlackCaptured < 0 || WhiteCaptured < 0 || BlackCaptured + WhiteCaptured != CaptureCount) {
    return "prisoners " + std::to_string(BlackCaptured) + "+" + std::to_string(WhiteCaptured) +
           " against " + std::to_string(CaptureCount) + " logged captures";
  }
  for (int k = 0; k < CaptureCount; ++k) {
    const int moveIndex = CaptureLog[k] / 10000;
    const int point = CaptureLog[k] % 10000 / 10;
    if (moveIndex <= SetupCount || moveIndex > MoveTop || MoveList[moveIndex] <= 0) {
      return At("capture logged for a move not on the board, entry", k);
    }
    if (k > 0 && moveIndex < CaptureLog[k - 1] / 10000) return At("capture log out of order", k);
    if (!IsPlayingPoint(point, BoardSize)) return At("capture logged off the board, entry", k);
  }

  // The diagram viewer does not renew groups and marks when it steps back.
  if (variant_ == BoardVariant::kDiagramViewer) return "";

  const GroupScan groups(Board);
  PointArray idOwner{};  // GroupIds value -> label of the group that carries it
  const int next = NextMoveIsBlack() ? kBlack : kWhite;
  const int mover = OtherColour(next);
  int koPoints = 0;
  for (int p = 0; p < kPointCount; ++p) {
    if (!IsPlayingPoint(p, BoardSize)) continue;
    if (IsStone(Board[p])) {
      const int id = GroupIds[p];
      if (id < 1 || id >= kPointCount) return At("stone without a group number", p);
      if (idOwner[id] == 0) idOwner[id] = groups.GroupOf[p];
      if (idOwner[id] != groups.GroupOf[p]) return At("two groups share a number", p);
      if (Liberties[p] != groups.Liberties(p)) {
        return At("Liberties", p) + ": " + std::to_string(Liberties[p]) + " instead of " +
               std::to_string(groups.Liberties(p));
      }
      continue;
    }
    if (Liberties[p] != 0) return At("Liberties on an empty point", p);
    const int mark = GroupIds[p];
    if (mark != 0 && mark != kKoMark && mark != kForbiddenMark) return At("GroupIds value", p);

    bool nextToStone = false;
    bool forbidden = true;  // the player to move would have no liberty and capture nothing
    for (const int step : kNeighbourSteps) {
      const int n = p + step;
      if (IsStone(Board[n])) nextToStone = true;
      if (Board[n] == kEmpty || (Board[n] == mover && groups.Liberties(n) == 1) ||
          (Board[n] == next && groups.Liberties(n) > 1)) {
        forbidden = false;
      }
    }
    if (mark != 0 && !nextToStone) return At("one-turn mark away from every stone", p);
    if (mark == kKoMark) {
      ++koPoints;
      const int last = MoveList[MoveTop];
      const bool besideLast = last > 0 && (last == p + 1 || last == p - 1 ||
                                           last == p + kGridWidth || last == p - kGridWidth);
      if (!besideLast || groups.SizeOf[groups.GroupOf[last]] != 1 || groups.Liberties(last) != 1) {
        return At("ko mark not held by a lone capturing stone", p);
      }
      if (CaptureCount == 0 || CaptureLog[CaptureCount - 1] != MoveTop * 10000 + p * 10 + 1) {
        return At("ko mark without its logged capture", p);
      }
    } else if ((mark == kForbiddenMark) != forbidden) {
      return At(forbidden ? "forbidden point not marked" : "playable point marked forbidden", p);
    }
  }
  if (koPoints > 1) return "more than one ko mark";
  return "";
}
