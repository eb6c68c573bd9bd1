// client/connection/model/join_key_decoder.cpp — join key decoding and the key history.
#include "client/connection/model/join_key_decoder.h"

namespace {
// 0..35 for a key character in either case; -1 for anything else.
int DigitValue(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c == '0') return 0;
  const std::size_t at = kJoinKeyDigits.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at) + 1;
}
}  // namespace

std::optional<std::string> DecodeJoinKey(std::string_view key) {
  if (key.size() != 8) return std::nullopt;
  std::string address;
  for (std::size_t i = 0; i < 4; ++i) {
    const int low = DigitValue(key[i]);
    const int high = DigitValue(key[i + 4]);
    if (low < 0 || high < 0) return std::nullopt;
    const int octet = 36 * high + low;
    if (octet > 255) return std::nullopt;
    if (i > 0) address += '.';
    address += std::to_string(octet);
  }
  return address;
}

void RememberJoinKey(std::array<std::string, 6>& keys, int& count, const std::string& key) {
  int p = 0;
  for (int i = 1; i <= 5; ++i) {
    if (keys[static_cast<std::size_t>(i)] == key) {
      p = i;
      break;
    }
  }
  if (p > count) p = 0;  // a match beyond the remembered ones counts as new
  if (p == 1) return;
  for (int i = (p == 0 ? count : p - 1); i >= 1; --i) {
    if (i == 5) continue;  // there is no sixth entry: the fifth key falls off
    keys[static_cast<std::size_t>(i) + 1] = keys[static_cast<std::size_t>(i)];
  }
  keys[1] = key;
  if (p == 0 && count < 5) ++count;
}
