// client/board/model/record_main_line.h — a record from any Go program reduced to what the
// record readers take: its first game's main line, each move in a node of its own, the colour of
// the first move told the way this system's records tell it.
#pragma once
#include <string>
#include <string_view>

// The cp932 record as the readers take it, for a record read from a file, a drop or the clipboard:
// - only the first game, and in it only the main line (the first branch at every branching);
// - the root keeps the properties the readers use (size, names, date, result, handicap, komi,
//   times, first player, setup stones, marks); comments and other texts, which may hold ";",
//   "(" or ")", are dropped;
// - nodes without a move before the first move add their properties to the root (setup stones
//   in a node of their own); later nodes without a move are dropped;
// - a move node starts with its move ("B[..]" or "W[..]", an empty value written "tt") and keeps
//   its clock properties (BL, WL, TL); a move of the colour that moved last gets a pass of the
//   other colour before it, so that the colours alternate;
// - "/<SiroSaki>/" follows the record when its first move is white's, or when it has no move and
//   "PL[W]" gives white the first move.
// Values are kept byte for byte; bracketed values are read with their "\" escapes and step over
// double-byte characters. This system's own records come back unchanged. A text without "(;"
// (blanks allowed between them) comes back unchanged.
std::string MainLineRecord(std::string_view record);
