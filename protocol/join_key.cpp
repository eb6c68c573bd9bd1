// protocol/join_key.cpp — join keys: addresses to keys and back.
#include "protocol/join_key.h"

#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {
constexpr std::string_view kKeyLetters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kNotAnOctet = 1000;

// One address part: 0..999, else kNotAnOctet.
int ReadPart(std::string_view text) {
  const int value = ReadNumber(text, kNotAnOctet);
  return (value < 0 || value >= kNotAnOctet) ? kNotAnOctet : value;
}

// 0..35 for a key character in either case; -1 for anything else.
int DigitValue(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const std::size_t at = kKeyLetters.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}
}  // namespace

std::string EncodeJoinKey(std::string_view address) {
  int parts[4];
  std::string_view rest = address;
  for (int i = 0; i < 3; ++i) {
    const std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos) return J("不明");
    parts[i] = ReadPart(rest.substr(0, dot));
    if (parts[i] == kNotAnOctet) return J("不明");
    rest.remove_prefix(dot + 1);
  }
  parts[3] = ReadPart(rest);
  if (parts[3] == kNotAnOctet) return J("不明");

  // Parts up to 999 give quotients up to 27, always inside the table.
  std::string key;
  for (int part : parts) key += kKeyLetters[part % 36];
  for (int part : parts) key += kKeyLetters[part / 36];
  return key;
}

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
