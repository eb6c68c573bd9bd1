// client/board/board_marks.cpp — mark glyphs and where they are drawn.
#include "client/board/board_marks.h"

#include "client/board/model/board_rules.h"
#include "client/board/model/mark_codes.h"
#include "platform/cp932.h"

namespace {
constexpr int kStar = 2, kTriangle = 5, kCross = 7;
constexpr int kLetterA = 9, kLetterB = 10, kLetterE = 13, kLetterF = 14, kLetterG = 15;
}  // namespace

bool IsDrawableMark(int code) { return IsMarkCode(code); }

int ShownMarkCode(int markValue, int stoneCode) {
  if (markValue <= 0 || markValue / 1000 != stoneCode) return 0;
  const int code = markValue % 1000;
  return IsDrawableMark(code) ? code : 0;
}

std::optional<MarkStyle> MarkStyleFor(int code, int boardSize, int stoneCode) {
  if (!IsDrawableMark(code)) return std::nullopt;
  const bool nine = boardSize == 9;
  const bool thirteen = boardSize == 13;
  const bool onWhite = stoneCode == kWhite;
  MarkStyle s;
  s.Glyph = J(MarkGlyph(code));
  int addend = 0;
  s.Dx = -6;
  s.Dy = -7;
  if (IsStone(stoneCode)) {
    s.Ink = onWhite ? MarkInk::kBlack : MarkInk::kWhite;
  } else {
    s.Ink = MarkInk::kBlue;
    s.Bold = true;
    if (thirteen) {
      addend = 4;
      s.Dx = code < kCross ? -9 : -8;
      s.Dy = code < kCross ? -9 : -10;
    } else {
      addend = 1;
      s.Dx = -7;
      s.Dy = nine ? -8 : -7;
    }
  }
  if (nine) {
    s.FontSize = addend + 20;
    s.Dx -= 6;
    s.Dy -= 5;
  } else {
    s.FontSize = addend + 11;
  }
  if (code == kStar || code == kTriangle) s.Dy -= 1;
  if (code >= kCross) {
    // The cross and the letters are drawn larger.
    if (nine) {
      s.FontSize = addend + 20;
      s.Dx += 2;
      s.Dy -= 3;
    } else {
      s.FontSize = addend + 12;
      s.Dx += 1;
    }
    if (code == kCross) {
      s.Dx -= 2;
      if (nine) {
        s.Dx -= 1;
        s.Dy += 2;
      }
    }
    if (code == kLetterA) s.Dy -= 1;
    if (code == kLetterB) s.Dx += 1;
    if (code == kLetterF) s.Dx += nine && onWhite ? 2 : 1;
    if ((code == kLetterE || code == kLetterG) && nine && onWhite) s.Dx += 1;
  }
  return s;
}
