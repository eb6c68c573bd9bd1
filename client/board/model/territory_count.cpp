// Counting a game: marks, dead groups, the region fill, komi and the result.
#include "client/board/model/territory_count.h"

#include <cstdlib>

#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {

// Points 22..418 cover every playing point of every board size.
constexpr int kFirstPoint = 22;
constexpr int kLastPoint = 418;

constexpr bool IsTerritoryMark(int value) {
  return value == kBlackTerritoryMark || value == kWhiteTerritoryMark;
}
constexpr bool IsDeadStone(int value) { return value == kDeadBlack || value == kDeadWhite; }

}  // namespace

std::vector<ReceivedCountOperation> ReadCountOperations(std::string_view message) {
  constexpr std::string_view kTag = "<<RealTimeCount>>";
  std::vector<ReceivedCountOperation> operations;
  std::size_t at = message.find(kTag);
  while (at != std::string_view::npos &&
         operations.size() < static_cast<std::size_t>(kMaxOperationsPerRead)) {
    const std::size_t next = message.find(kTag, at + kTag.size());
    const std::string_view part =
        message.substr(at, next == std::string_view::npos ? next : next - at);
    operations.push_back({GetTagNumber(part, "<<Type="), GetTagNumber(part, "<<Value=")});
    at = next;
  }
  return operations;
}

std::string KomiText(int tenths) {
  // The sign is written apart, so that -5 tenths keep theirs ("-0.5").
  std::string text = tenths < 0 ? "-" : "";
  const int magnitude = std::abs(tenths);
  text += std::to_string(magnitude / 10);
  if (magnitude % 10 != 0) {
    text += '.';
    text += std::to_string(magnitude % 10);
  }
  return text;
}

std::string CountCaption(std::string_view userName, int komiTenths) {
  std::string caption = " [ " + std::string(userName) + J(" ]   ヌルカ - 地の計算");
  if (komiTenths != 0) caption += J("  { コ ミ = ") + KomiText(komiTenths) + " }";
  return caption;
}

std::string CountResultText(int blackTotal, int whiteTotal, bool half) {
  if (whiteTotal < blackTotal) {
    const int d = blackTotal - whiteTotal;
    if (half && d == 1) return J("    黒 半目勝ち");
    if (half) return J("    黒 ") + std::to_string(d - 1) + J(" 目半勝ち");
    return J("    黒 ") + std::to_string(d) + J(" 目勝ち");
  }
  if (whiteTotal > blackTotal) {
    return J("    白 ") + std::to_string(whiteTotal - blackTotal) + J(" 目") +
           (half ? J("半") : std::string()) + J("勝ち");
  }
  return half ? J("    白 半目勝ち") : J("    持 碁 で す！");
}

void TerritoryCount::Begin(const BoardModel& position, int komiTenths) {
  Board = position.Board;
  BackupBoard = Board;
  Visited.fill(0);
  BoardSize = position.BoardSize;
  KomiTenths = komiTenths;
  BlackScore = position.WhiteCaptured;
  WhiteScore = position.BlackCaptured;
  BlackTotal = BlackScore;
  WhiteTotal = WhiteScore;
  CountShown = false;
  ResultText.clear();
}

CountOperation TerritoryCount::Click(int point, bool left) {
  if (CountShown || !IsPlayingPoint(point, BoardSize)) return kNoCountOperation;
  CountOperation operation = kNoCountOperation;
  switch (Board[point]) {
    case kEmpty:
      operation = left ? kPlaceBlackMark : kPlaceWhiteMark;
      break;
    case kBlackTerritoryMark:
    case kWhiteTerritoryMark:
      operation = kEraseMark;
      break;
    case kDeadBlack:
    case kDeadWhite:
      operation = kReviveGroup;
      break;
    case kBlack:
    case kWhite:
      operation = kMarkGroupDead;
      break;
    default:
      return kNoCountOperation;
  }
  ApplyOperation(operation, point);
  return operation;
}

bool TerritoryCount::DragOver(int point, bool left, bool erasing) {
  if (CountShown || !IsPlayingPoint(point, BoardSize)) return false;
  if (erasing) return IsTerritoryMark(Board[point]) && ApplyOperation(kEraseMark, point);
  return Board[point] == kEmpty && ApplyOperation(left ? kPlaceBlackMark : kPlaceWhiteMark, point);
}

bool TerritoryCount::ApplyOperation(int type, int point) {
  if (type == kCountTerritory) {
    if (CountShown) return false;
    CountTerritory();
    return true;
  }
  if (type == kRestoreBeforeCount) {
    if (!CountShown) return false;
    RestoreBeforeCount();
    return true;
  }
  if (CountShown || !IsPlayingPoint(point, BoardSize)) return false;
  const int value = Board[point];
  switch (type) {
    case kPlaceBlackMark:
    case kPlaceWhiteMark:
      if (value != kEmpty) return false;
      Board[point] = type == kPlaceBlackMark ? kBlackTerritoryMark : kWhiteTerritoryMark;
      Listener()->DrawTerritoryMark(point, type == kPlaceBlackMark);
      return true;
    case kEraseMark:
      if (!IsTerritoryMark(value)) return false;
      Board[point] = kEmpty;
      Listener()->ErasePoint(point);
      return true;
    case kReviveGroup:
      if (!IsDeadStone(value)) return false;
      ReviveGroup(point, value);
      Listener()->ShowScores(BlackScore, WhiteScore);
      return true;
    case kMarkGroupDead:
      if (!IsStone(value)) return false;
      MarkGroupDead(point, value);
      Listener()->ShowScores(BlackScore, WhiteScore);
      return true;
    default:
      return false;
  }
}

void TerritoryCount::MarkGroupDead(int point, int colour) {
  if (colour == kBlack) {
    Board[point] = kDeadBlack;
    ++WhiteScore;
  } else {
    Board[point] = kDeadWhite;
    ++BlackScore;
  }
  Listener()->DrawDeadMark(point, colour == kBlack);
  for (const int step : kNeighbourSteps) {
    if (Board[point + step] == colour) MarkGroupDead(point + step, colour);
  }
}

void TerritoryCount::ReviveGroup(int point, int deadCode) {
  const int colour = deadCode / 1000;
  Board[point] = colour;
  Listener()->DrawStone(point, colour == kBlack);
  if (deadCode == kDeadBlack) {
    --WhiteScore;
  } else {
    --BlackScore;
  }
  for (const int step : kNeighbourSteps) {
    if (Board[point + step] == deadCode) ReviveGroup(point + step, deadCode);
  }
}

void TerritoryCount::CountTerritory() {
  // 1. The board and scores before the count.
  CountShown = true;
  const int blackBefore = BlackScore;
  const int whiteBefore = WhiteScore;
  BackupBoard = Board;
  // 2. Dead stones leave the board with their second point.
  for (int p = kFirstPoint; p <= kLastPoint; ++p) {
    if (Board[p] < kDeadBlack) continue;
    const bool deadWhite = Board[p] == kDeadWhite;
    if (deadWhite) {
      ++BlackScore;
    } else {
      ++WhiteScore;
    }
    Listener()->ErasePoint(p);
    Listener()->DrawTerritoryPoint(p, deadWhite);
    Board[p] = kEmpty;
  }
  // 3. Every empty region next to a stone or mark is filled from there.
  for (int p = kFirstPoint; p <= kLastPoint; ++p) {
    const int colour = ColourDigit(Board[p]);
    if (colour != kBlack && colour != kWhite) continue;
    for (const int step : kNeighbourSteps) {
      const int q = p + step;
      if (Board[q] != kEmpty) continue;
      const bool owned = IsRegionOwnedBy(q, OtherColour(colour));
      FillTerritory(q, colour, owned);
    }
  }
  // 4. The totals before komi.
  BlackTotal = BlackScore;
  WhiteTotal = WhiteScore;
  Listener()->ShowScores(BlackTotal, WhiteTotal);
  // 6.-7. Komi and the result.
  ResultText =
      CountResultText(BlackTotal, WhiteTotal + KomiWhole(KomiTenths), KomiHasHalf(KomiTenths));
  // 8. The scores as before; territory and dame leave the board, the dead stones stay removed.
  BlackScore = blackBefore;
  WhiteScore = whiteBefore;
  for (int& value : Board) {
    if (value >= kBlackTerritory && value < 600) value = kEmpty;
  }
}

bool TerritoryCount::IsRegionOwnedBy(int point, int otherColour) {
  Visited[point] = 1;
  for (const int step : kNeighbourSteps) {
    const int value = Board[point + step];
    if (ColourDigit(value) == otherColour || value == kDame) return false;
  }
  for (const int step : kNeighbourSteps) {
    const int q = point + step;
    if (Visited[q] == 0 && Board[q] == kEmpty && !IsRegionOwnedBy(q, otherColour)) return false;
  }
  return true;
}

void TerritoryCount::FillTerritory(int point, int colour, bool owned) {
  Visited[point] = 0;
  if (owned) {
    Board[point] = colour * 100;
    // A dead stone's point was counted with the stone.
    if (BackupBoard[point] < kDeadBlack) {
      if (colour == kBlack) {
        ++BlackScore;
      } else {
        ++WhiteScore;
      }
    }
    Listener()->DrawTerritoryPoint(point, colour == kBlack);
  } else {
    Board[point] = kDame;
  }
  for (const int step : kNeighbourSteps) {
    if (Visited[point + step] == 1) FillTerritory(point + step, colour, owned);
  }
}

void TerritoryCount::RestoreBeforeCount() {
  CountShown = false;
  Board = BackupBoard;
  Listener()->ShowScores(BlackScore, WhiteScore);
}
