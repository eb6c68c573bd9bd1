// server/game_record.cpp — record header, handicap placements and move entries.
#include "server/game_record.h"

#include <array>

#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {
constexpr std::string_view kRecordLetters = "tabcdefghijklmnopqrs";  // index 0 is 't'
constexpr std::string_view kWhiteFirst = "/<SiroSaki>/";

// Placements of 2 to 9 stones, by board size.
constexpr std::array<std::string_view, 8> kStones19 = {
    "[dp][pd]",
    "[dp][pp][pd]",
    "[pp][dd][dp][pd]",
    "[dd][jj][dp][pp][pd]",
    "[dd][dj][dp][pp][pj][pd]",
    "[jj][dd][dj][dp][pp][pj][pd]",
    "[jp][jd][dd][dj][dp][pp][pj][pd]",
    "[jj][jp][jd][dd][dj][dp][pp][pj][pd]",
};
constexpr std::array<std::string_view, 8> kStones13 = {
    "[dj][jd]",
    "[dj][jj][jd]",
    "[jj][dd][dj][jd]",
    "[gg][jj][dd][dj][jd]",
    "[jg][dg][jj][dd][dj][jd]",
    "[gg][jg][dg][jj][dd][dj][jd]",
    "[gk][kg][cg][gc][jj][dd][dj][jd]",
    "[gg][gk][kg][cg][gc][jj][dd][dj][jd]",
};
constexpr std::array<std::string_view, 8> kStones9 = {
    "[cg][gc]",
    "[gg][cg][gc]",
    "[cc][cg][gg][gc]",
    "[ee][cc][cg][gg][gc]",
    "[ge][ce][cc][cg][gg][gc]",
    "[ee][ge][ce][cc][cg][gg][gc]",
    "[eg][ec][ge][ce][cc][cg][gg][gc]",
    "[ee][eg][ec][ge][ce][cc][cg][gg][gc]",
};

// `text` up to the first occurrence of `mark`; all of it when there is none.
std::string_view Before(std::string_view text, std::string_view mark) {
  return text.substr(0, text.find(mark));
}

// `value` × 60 as decimal text. The product may not fit in 64 bits, so the magnitude is split at
// 10^9 and each half multiplied on its own.
std::string TimesSixtyText(long long value) {
  const bool negative = value < 0;
  const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                : static_cast<unsigned long long>(value);
  constexpr unsigned long long kSplit = 1'000'000'000ULL;
  const unsigned long long low = magnitude % kSplit * 60;                  // below 6 × 10^10
  const unsigned long long high = magnitude / kSplit * 60 + low / kSplit;  // below 6 × 10^11
  std::string text = negative && magnitude != 0 ? "-" : "";
  if (high == 0) return text + std::to_string(low % kSplit);
  const std::string rest = std::to_string(low % kSplit);
  return text + std::to_string(high) + std::string(9 - rest.size(), '0') + rest;
}
}  // namespace

std::string MinutesToSeconds(std::string_view time) {
  const long long minutes = ReadNumber64(Before(time, J(" 分")), 0);
  return TimesSixtyText(minutes);
}

int HandicapCount(std::string_view handicap) {
  if (handicap == J("定先")) return 1;
  static const std::array<std::string, 8> kStoneWords = {
      J("２子"), J("３子"), J("４子"), J("５子"), J("６子"), J("７子"), J("８子"), J("９子"),
  };
  for (std::size_t i = 0; i < kStoneWords.size(); ++i) {
    if (handicap == kStoneWords[i]) return static_cast<int>(i) + 2;
  }
  return 0;
}

int HandicapBoardSize(std::string_view text) {
  if (HasTag(text, "<<BanSize=13>>")) return 13;
  if (HasTag(text, "<<BanSize=9>>")) return 9;
  return 19;
}

std::string_view HandicapStones(int n, int size) {
  if (n < 2 || n > 9) return {};
  const auto& table = size == 13 ? kStones13 : size == 9 ? kStones9 : kStones19;
  return table[static_cast<std::size_t>(n - 2)];
}

namespace {
// "AB", the stones and the white-first marker for 2 to 9 stones; empty otherwise.
std::string HandicapSetup(std::string_view text, int n) {
  const std::string_view stones = HandicapStones(n, HandicapBoardSize(text));
  if (stones.empty()) return {};
  std::string setup = "AB";
  setup += stones;
  setup += kWhiteFirst;
  return setup;
}
}  // namespace

std::string BuildHandicapProps(std::string_view text, std::string_view handicap) {
  const int n = HandicapCount(handicap);
  std::string props = "HA[" + std::to_string(n) + "]";
  props +=
      HasTag(text, "<<KifuStart=") ? GetTagValue(text, "<<KifuStart=") : HandicapSetup(text, n);
  return props;
}

std::string BuildKifuStartStr(std::string_view text, std::string_view handicap) {
  if (HasTag(text, "<<KifuStart=")) {
    return "<<KifuStartStr=(;" + GetTagValue(text, "<<KifuStart=") + ">>";
  }
  const std::string setup = HandicapSetup(text, HandicapCount(handicap));
  if (setup.empty()) return {};
  return "<<KifuStartStr=(;" + setup + ">>";
}

bool BlackMovesFirst(std::string_view text, std::string_view handicap) {
  if (HasTag(text, "<<KifuStart=")) return !HasTag(text, "/<SiroTurn>/");
  return handicap == J("互先") || handicap == J("定先");
}

std::string RecordHeader(std::string_view text, std::string_view black, std::string_view white) {
  std::string header = "(;SZ[" + GetTagValue(text, "<<BanSize=");
  header += "]PB[";
  header += black;
  header += "]PW[";
  header += white;
  header += "]BT[" + MinutesToSeconds(GetTagValue(text, "<<KuroGameTime="));
  header += "]WT[" + MinutesToSeconds(GetTagValue(text, "<<SiroGameTime="));
  header += "]AM[";
  header += Before(GetTagValue(text, "<<AddTime="), J(" 秒"));
  header += "]KM[" + GetTagValue(text, "<<GameKomi=");
  header += "]";
  const std::string handicap = GetTagValue(text, "<<GameWari=");
  header += BuildHandicapProps(text, handicap);
  return header;
}

std::optional<std::string> MoveEntry(std::string_view point) {
  char column = 't';
  char row = 't';
  if (point != "0") {
    const long long m = ReadNumber64(point, -1);
    if (m < 0) return std::nullopt;
    const long long c = m / 21;
    const long long r = m % 21;
    if (c < 1 || c > 19 || r < 1 || r > 19) return std::nullopt;
    column = kRecordLetters[static_cast<std::size_t>(c)];
    row = kRecordLetters[static_cast<std::size_t>(r)];
  }
  return std::string{';', '[', column, row, ']'};
}

bool CutLastEntry(std::string& record, std::size_t header_length) {
  const std::size_t last = record.rfind(';');
  if (last == std::string::npos || last < header_length) return false;
  record.resize(last);
  return true;
}

bool LastEntryIsPass(std::string_view record, std::size_t header_length) {
  const std::size_t last = record.rfind(';');
  if (last == std::string_view::npos || last < header_length) return false;
  return record.substr(last) == ";[tt]";
}
