// platform/cp932.h — cp932 (Shift-JIS) text: literals, conversion to and from UTF-8, character scanning.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The cp932 bytes of a UTF-8 literal, converted once and kept for the life of the program.
// Every Japanese text the programs send, store or compare is written as J("…").
const std::string& J(std::string_view utf8);

// Conversion at the edges (widgets, the clipboard, record files). Bytes that have no counterpart
// are replaced: by U+FFFD towards UTF-8, by `replacement` (cp932 bytes) towards cp932. A byte that
// starts no UTF-8 character is replaced on its own, so the ASCII after it stays. Neither direction
// ever fails.
std::string Cp932FromUtf8(std::string_view utf8, std::string_view replacement = "?");
std::string Utf8FromCp932(std::string_view cp932);

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8Text(std::string_view text);

// True for the first byte of a double-byte cp932 character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
// True for a byte that may follow a lead byte (0x40-0x7E, 0x80-0xFC).
constexpr bool IsCp932TrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Length in bytes (1 or 2) of the character that starts at `pos`; a lead byte without a valid
// trail byte after it counts as one byte. `pos` must be inside `text`.
std::size_t Cp932CharLength(std::string_view text, std::size_t pos);

// First position at or after `from` where the single-byte character `ch` stands as a character
// of its own (never as the trail byte of a double-byte character); npos when there is none.
std::size_t FindCp932Char(std::string_view text, char ch, std::size_t from = 0);

// Calls `visit(pos, length)` for every character of `text` in order.
template <typename Visit>
void ForEachCp932Char(std::string_view text, Visit&& visit) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Cp932CharLength(text, pos);
    visit(pos, length);
    pos += length;
  }
}
