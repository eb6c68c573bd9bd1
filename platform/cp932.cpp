// platform/cp932.cpp — cp932 conversion through glibc iconv ("CP932" keeps 0x5C a backslash).
#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace {

bool IsContinuationByte(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

// Length of the well-formed UTF-8 character at `pos`; 0 when the bytes there form none.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) {
    return pos + i < text.size() ? static_cast<unsigned char>(text[pos + i]) : 0;
  };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuationByte(byte(i))) return 0;
  }
  return length;
}

// Bytes to pass over at a UTF-8 sequence iconv refused: a whole character that cp932 lacks, or
// a broken sequence's lead with the continuation bytes that follow it, never the next character.
std::size_t Utf8SkipLength(std::string_view text, std::size_t pos) {
  if (const std::size_t length = Utf8CharLength(text, pos); length > 0) return length;
  const auto lead = static_cast<unsigned char>(text[pos]);
  const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  std::size_t skip = 1;
  while (skip < expected && pos + skip < text.size() &&
         IsContinuationByte(static_cast<unsigned char>(text[pos + skip]))) {
    ++skip;
  }
  return skip;
}

// Converts `input` with one iconv descriptor; an unconvertible or incomplete input sequence is
// skipped (one byte, or one UTF-8 character) and `replacement` is written in its place.
std::string Convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, bool input_is_utf8) {
  iconv_t cd = iconv_open(to, from);
  // iconv_open reports a failure as (iconv_t)-1.
  if (cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
    throw std::runtime_error("iconv cannot convert text");
  }
  std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);

  std::string out;
  out.reserve(input.size() * 2 + 8);
  char buffer[4096];
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  while (in_left > 0) {
    char* dst = buffer;
    std::size_t dst_left = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &in_left, &dst, &dst_left);
    out.append(buffer, dst - buffer);
    if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ or EINVAL: skip the offending character and mark it.
    const std::size_t skip =
        input_is_utf8 ? Utf8SkipLength(std::string_view(in, in_left), 0) : std::size_t{1};
    in += skip;
    in_left -= skip;
    out.append(replacement);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace

const std::string& J(std::string_view utf8) {
  static std::mutex mutex;
  static std::map<std::string, std::string, std::less<>> cache;
  std::lock_guard lock(mutex);
  auto it = cache.find(utf8);
  if (it == cache.end()) it = cache.emplace(std::string(utf8), Cp932FromUtf8(utf8)).first;
  return it->second;
}

std::string Cp932FromUtf8(std::string_view utf8, std::string_view replacement) {
  return Convert("CP932", "UTF-8", utf8, replacement, true);
}

std::string Utf8FromCp932(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", false);
}

bool IsUtf8Text(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8CharLength(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::size_t Cp932CharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsCp932LeadByte(static_cast<unsigned char>(text[pos])) &&
      IsCp932TrailByte(static_cast<unsigned char>(text[pos + 1]))) {
    return 2;
  }
  return 1;
}

std::size_t FindCp932Char(std::string_view text, char ch, std::size_t from) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Cp932CharLength(text, pos);
    if (pos >= from && length == 1 && text[pos] == ch) return pos;
    pos += length;
  }
  return std::string_view::npos;
}
