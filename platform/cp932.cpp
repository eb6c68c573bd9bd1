// platform/cp932.cpp — cp932 conversion through glibc iconv ("CP932" keeps 0x5C a backslash).
#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace {

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
    std::size_t skip = 1;
    if (input_is_utf8) {
      const auto lead = static_cast<unsigned char>(*in);
      skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (skip > in_left) skip = in_left;
    }
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

std::string Cp932FromUtf8(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8, "?", true);
}

std::string Utf8FromCp932(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", false);
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
