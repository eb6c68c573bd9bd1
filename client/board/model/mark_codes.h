// client/board/model/mark_codes.h — the marks a board puts on points (MarkCode): their glyphs and
// the record properties they are written as. Every board that draws or writes marks uses this one
// table.
//
// A board keeps a mark as colour * 1000 + MarkCode, colour being the StoneCode of the point when
// the mark was set; the mark shows only while the point holds that colour again.
#pragma once
#include <array>
#include <string_view>

struct MarkKind {
  int Code;                   // MarkCode
  std::string_view Glyph;     // UTF-8: what the boards and the mark toolbar draw
  std::string_view Property;  // record property ("LB" for the labels)
};

// Codes 1 to 7 and 9 to 15; 8 has no mark (the separator of the mark toolbar).
inline constexpr std::array<MarkKind, 14> kMarkKinds = {{
    {1, "□", "SQ"},
    {2, "☆", "ST"},
    {3, "○", "CR"},
    {4, "▽", "RT"},
    {5, "△", "TR"},
    {6, "◇", "LO"},
    {7, "×", "MA"},
    {9, "Ａ", "LB"},
    {10, "Ｂ", "LB"},
    {11, "Ｃ", "LB"},
    {12, "Ｄ", "LB"},
    {13, "Ｅ", "LB"},
    {14, "Ｆ", "LB"},
    {15, "Ｇ", "LB"},
}};

// The first label code; a label's letter is its code + 56 ("A" for 9 up to "G" for 15).
inline constexpr int kFirstLabelCode = 9;
inline constexpr int kLastMarkCode = 15;

// True for a code that has a mark (1..7, 9..15).
constexpr bool IsMarkCode(int code) {
  return (code >= 1 && code <= 7) || (code >= 9 && code <= 15);
}

// The glyph of a mark code, empty for a code without a mark.
constexpr std::string_view MarkGlyph(int code) {
  for (const MarkKind& kind : kMarkKinds) {
    if (kind.Code == code) return kind.Glyph;
  }
  return {};
}
