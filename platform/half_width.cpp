// platform/half_width.cpp — full-width to half-width mapping over cp932 characters.
#include "platform/half_width.h"

#include "platform/cp932.h"

std::string ToHalfWidth(std::string_view cp932) {
  std::string result;
  result.reserve(cp932.size());
  ForEachCp932Char(cp932, [&](std::size_t pos, std::size_t length) {
    const std::string_view character = cp932.substr(pos, length);
    if (length == 2) {
      // Full-width forms U+FF01..U+FF5E are EF BC 81 .. EF BD 9E in UTF-8; the ideographic space
      // U+3000 is E3 80 80.
      const std::string utf8 = Utf8FromCp932(character);
      if (utf8.size() == 3) {
        const auto b0 = static_cast<unsigned char>(utf8[0]);
        const auto b1 = static_cast<unsigned char>(utf8[1]);
        const auto b2 = static_cast<unsigned char>(utf8[2]);
        const unsigned code = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        if (code >= 0xFF01 && code <= 0xFF5E) {
          result += static_cast<char>(code - 0xFF01 + 0x21);
          return;
        }
        if (code == 0x3000) {
          result += ' ';
          return;
        }
      }
    }
    result.append(character);
  });
  return result;
}
