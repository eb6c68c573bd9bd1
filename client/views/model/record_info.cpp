// The record texts of the small board views: normalising, the start position of a challenge, and
// the handicap and result words.
#include "client/views/model/record_info.h"

#include <array>

#include "client/board/model/record_text.h"
#include "platform/cp932.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

char At(std::string_view text, std::size_t pos) { return pos < text.size() ? text[pos] : '\0'; }

// Every CR LF pair removed (neither byte can be the second half of a double-byte character).
std::string WithoutLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && At(text, i + 1) == '\n') {
      ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

// Every occurrence of `from` (as whole characters) replaced by `to`, left to right.
std::string ReplaceRecordText(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t found; (found = FindRecordText(text, from, pos)) != npos;) {
    out.append(text, pos, found - pos).append(to);
    pos = found + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

// Where the first move node starts: the second ";" (";" is never part of a double-byte
// character); npos when the text has fewer than two.
std::size_t SecondSemicolon(std::string_view text) {
  const std::size_t first = text.find(';');
  return first == npos ? npos : text.find(';', first + 1);
}

}  // namespace

std::string RemoveRecordProperty(std::string_view record, std::string_view key) {
  if (key.empty()) return std::string(record);
  // The text is copied a character at a time; after each character the copy is checked for the
  // key at its end, so a key that only appears once a property is cut out is found as well.
  // `singles` counts the single-byte characters at the end of the copy: the key counts only
  // when every byte of it is a character of its own.
  std::string out;
  out.reserve(record.size());
  std::size_t singles = 0;
  for (std::size_t pos = 0; pos < record.size();) {
    const std::size_t length = Cp932CharLength(record, pos);
    out.append(record, pos, length);
    pos += length;
    singles = length == 1 ? singles + 1 : 0;
    if (length != 1 || singles < key.size() || !out.ends_with(key)) continue;
    const std::size_t close = FindRecordText(record, "]", pos);
    if (close == npos) {
      out.append(record.substr(pos));
      return out;
    }
    out.resize(out.size() - key.size());
    singles -= key.size();
    pos = close + 1;
  }
  return out;
}

std::string RemoveComments(std::string_view text) {
  const std::size_t second = SecondSemicolon(text);
  if (second == npos) return std::string(text);
  return std::string(text.substr(0, second)) + RemoveRecordProperty(text.substr(second), "C[");
}

std::string NormalizeRecord(std::string_view text) {
  std::string record = WithoutLineBreaks(text);
  record = ReplaceRecordText(record, "TB[", "[");
  record = ReplaceRecordText(record, "TW[", "[");
  return RemoveComments(record);
}

std::string RecordToKifuStart(std::string_view record) {
  const std::size_t second = SecondSemicolon(record);
  if (second == npos) return std::string(record);
  std::string tail = WithoutLineBreaks(record.substr(second));
  for (const std::string_view key : {"C[", "TL[", "BL[", "WL["}) {
    tail = RemoveRecordProperty(tail, key);
  }
  return std::string(record.substr(0, second)) + tail;
}

std::string RecordMarginText(std::string_view value) {
  if (At(value, 2) == '0') return J("半目");
  const std::string_view margin = value.size() > 2 ? value.substr(2) : std::string_view();
  if (margin.empty()) return {};
  const std::size_t dot = margin.find('.');
  if (dot != npos) return std::string(margin.substr(0, dot)) + J(" 目半");
  return std::string(margin) + J(" 目");
}

std::string RecordResultText(std::string_view value) {
  // "黒 " margin "勝"; a value without a margin ("B", "W+") says only who won.
  const auto won = [value](const char* colour) {
    const std::string margin = RecordMarginText(value);
    return margin.empty() ? J(colour) + J("勝") : J(colour) + " " + margin + J("勝");
  };
  switch (At(value, 0)) {
    case '-':
      return J("勝負不明");
    case '0':
      return J("持碁");
    case 'B':
      if (At(value, 1) == 'W') return J("持碁");
      if (At(value, 2) == 'R') return J("黒中押勝");
      return won("黒");
    case 'W':
      if (At(value, 2) == 'R') return J("白中押勝");
      return won("白");
    default:
      return std::string(value);
  }
}

std::string RecordHandicapLabel(std::string_view record, int blackSetupCount, std::string label) {
  static constexpr std::array<const char*, 8> kStones = {"２子", "３子", "４子", "５子",
                                                         "６子", "７子", "８子", "９子"};
  if (blackSetupCount == 0 || FindRecordText(record, "AW[") != npos) {
    return FindRecordText(record, "HA[1]") != npos ? J("定先") : label;
  }
  if (blackSetupCount >= 2 && blackSetupCount <= 9) return J(kStones[blackSetupCount - 2]);
  return label;
}
