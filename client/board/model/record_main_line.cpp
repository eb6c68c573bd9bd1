// A record's main line with its moves in alternating colours, for the record readers.
#include "client/board/model/record_main_line.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "client/board/model/record_text.h"
#include "platform/cp932.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Root properties some reader of this system looks at.
constexpr std::array<std::string_view, 22> kRootProperties = {
    "GM", "FF", "SZ", "PB", "PW", "DT", "RE", "HA", "KM", "TM", "NE",
    "PL", "AB", "AW", "SQ", "ST", "CR", "RT", "TR", "LO", "MA", "LB"};
// Move-node properties the writer of this system puts after a move: the clock and the time spent.
constexpr std::array<std::string_view, 3> kClockProperties = {"BL", "WL", "TL"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

template <std::size_t N>
bool IsOneOf(std::string_view ident, const std::array<std::string_view, N>& names) {
  return std::find(names.begin(), names.end(), ident) != names.end();
}

// What stands between two tokens, kept when it is line breaks and blanks only; stray text there
// goes (the markers of this system are put back after the record).
std::string_view Gap(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsBlank) ? text : std::string_view();
}

// One property as it stands in the text.
struct Property {
  std::string_view gap;    // the blanks before it
  std::string_view text;   // identifier and values
  std::string_view ident;  // empty for a bare value ("[pd]")
  std::string_view value;  // the first value, without its brackets

  std::string Text() const { return std::string(gap) + std::string(text); }
};

struct Node {
  std::string_view gap;  // the blanks before the node's ";"
  std::vector<Property> properties;

  // The node's move: its first "B" or "W" property, or a bare value; nullptr for none.
  const Property* Move() const {
    for (const Property& p : properties) {
      if (p.ident.empty() || p.ident == "B" || p.ident == "W") return &p;
    }
    return nullptr;
  }
};

// Position of the "]" that closes the value opened at `open`, or the end of the text when it is
// never closed; a "\" takes the character after it into the value.
std::size_t ValueClose(std::string_view text, std::size_t open) {
  for (std::size_t pos = open + 1; pos < text.size();) {
    const std::size_t length = Cp932CharLength(text, pos);
    if (length == 1 && text[pos] == ']') return pos;
    if (length == 1 && text[pos] == '\\' && pos + 1 < text.size()) {
      pos += 1 + Cp932CharLength(text, pos + 1);
      continue;
    }
    pos += length;
  }
  return text.size();
}

// Position after the value opened at `open`.
std::size_t ValueEnd(std::string_view text, std::size_t open) {
  return std::min(ValueClose(text, open) + 1, text.size());
}

// The "(" that opens the first game: one followed, after blanks, by ";".
std::size_t TreeStart(std::string_view text) {
  for (std::size_t open = FindRecordText(text, "("); open != npos;
       open = FindRecordText(text, "(", open + 1)) {
    std::size_t pos = open + 1;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos < text.size() && text[pos] == ';') return open;
  }
  return npos;
}

// The main line of the game that opens at `open`: every node up to the first ")" (a "(" opens
// the first branch, which continues the line); the rest of the game is passed over.
struct MainLine {
  std::vector<Node> nodes;
  std::string_view closingGap;  // what stands before the ")" that ends the line
  std::size_t gameEnd = 0;      // after the ")" that closes the game (or the end of the text)
};

MainLine ReadMainLine(std::string_view text, std::size_t open) {
  MainLine line;
  bool lineOpen = true;
  std::int64_t depth = 1;
  std::size_t pos = open + 1;
  std::size_t gapStart = pos;
  while (pos < text.size() && depth > 0) {
    const std::size_t length = Cp932CharLength(text, pos);
    const char c = length == 1 ? text[pos] : '\0';
    if (c == ';') {
      if (lineOpen) line.nodes.push_back({Gap(text.substr(gapStart, pos - gapStart)), {}});
      gapStart = ++pos;
    } else if (c == '(') {
      ++depth;
      gapStart = ++pos;
    } else if (c == ')') {
      --depth;
      if (lineOpen) line.closingGap = Gap(text.substr(gapStart, pos - gapStart));
      lineOpen = false;
      gapStart = ++pos;
    } else if (c == '[' || IsLetter(c)) {
      std::size_t identEnd = pos;
      while (identEnd < text.size() && IsLetter(text[identEnd])) ++identEnd;
      std::size_t valueAt = identEnd;
      while (valueAt < text.size() && IsBlank(text[valueAt])) ++valueAt;
      if (valueAt >= text.size() || text[valueAt] != '[') {
        pos = identEnd;  // a word without a value belongs to the gap
        continue;
      }
      const std::size_t close = ValueClose(text, valueAt);
      std::size_t end = std::min(close + 1, text.size());
      Property property;
      property.gap = Gap(text.substr(gapStart, pos - gapStart));
      property.ident = text.substr(pos, identEnd - pos);
      property.value = text.substr(valueAt + 1, close - valueAt - 1);
      // Further values of the same property ("AB[dd][pp]").
      for (std::size_t next = end; next < text.size();) {
        while (next < text.size() && IsBlank(text[next])) ++next;
        if (next >= text.size() || text[next] != '[') break;
        end = ValueEnd(text, next);
        next = end;
      }
      property.text = text.substr(pos, end - pos);
      if (lineOpen && !line.nodes.empty()) line.nodes.back().properties.push_back(property);
      gapStart = pos = end;
    } else {
      pos += length;
    }
  }
  line.gameEnd = pos;
  return line;
}

// The move property as the readers take it, with or without the gap before it: an empty value
// is a pass, written "tt".
std::string MoveText(const Property& move, bool withGap) {
  const std::string gap(withGap ? move.gap : std::string_view());
  if (move.value.empty() && !move.ident.empty()) return gap + std::string(move.ident) + "[tt]";
  return gap + std::string(move.text);
}

}  // namespace

std::string MainLineRecord(std::string_view record) {
  const std::size_t open = TreeStart(record);
  if (open == npos) return std::string(record);
  const MainLine line = ReadMainLine(record, open);

  std::string root;         // the root's properties and those of the move-less nodes after it
  std::string moves;        // the move nodes
  std::string_view player;  // the "PL[" value
  int moveCount = 0;
  std::string_view firstColour, lastColour;
  for (std::size_t i = 0; i < line.nodes.size(); ++i) {
    const Node& node = line.nodes[i];
    const Property* move = node.Move();
    if (i == 0 || (move == nullptr && moveCount == 0)) {
      for (const Property& p : node.properties) {
        if (&p == move || !IsOneOf(p.ident, kRootProperties)) continue;
        if (p.ident == "PL" && player.empty()) player = p.value;
        root += p.Text();
      }
    }
    if (move == nullptr) continue;
    if (!move->ident.empty() && move->ident == lastColour) {
      moves += lastColour == "B" ? ";W[tt]" : ";B[tt]";
    }
    if (moveCount++ == 0) firstColour = move->ident;
    lastColour = move->ident;
    if (i == 0) {
      // A move in the root gets a node of its own.
      moves += ";" + MoveText(*move, false);
      continue;
    }
    moves += std::string(node.gap) + ";" + MoveText(*move, true);
    for (const Property& p : node.properties) {
      if (&p != move && IsOneOf(p.ident, kClockProperties)) moves += p.Text();
    }
  }

  std::string out(record.substr(0, open));
  out += "(;";
  out += root;
  out += moves;
  out += line.closingGap;
  out += ")";
  // What follows the game (this system's markers), up to a further game.
  const std::string_view after = record.substr(std::min(line.gameEnd, record.size()));
  out += after.substr(0, FindRecordText(after, "("));

  for (const std::string_view marker : {WhiteFirstMarker, WhiteToMoveMarker}) {
    if (FindRecordText(record, marker) != npos && FindRecordText(out, marker) == npos) {
      out += marker;
    }
  }
  const bool whiteFirst = moveCount > 0 ? firstColour == "W"
                                        : !player.empty() && (player[0] == 'W' || player[0] == 'w');
  if (whiteFirst && FindRecordText(out, WhiteFirstMarker) == npos) out += WhiteFirstMarker;
  return out;
}
