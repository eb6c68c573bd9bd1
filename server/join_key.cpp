// server/join_key.cpp — encoding addresses as join keys.
#include "server/join_key.h"

#include "platform/cp932.h"
#include "server/tag_message.h"

namespace {
constexpr std::string_view kKeyLetters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0";
constexpr int kNotAnOctet = 1000;

// One address part: 0..999, else kNotAnOctet.
int ReadPart(std::string_view text) {
  const int value = ReadNumber(text, kNotAnOctet);
  return (value < 0 || value >= kNotAnOctet) ? kNotAnOctet : value;
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

JoinKeyDisplay ComposeJoinKeys(std::string_view host_name,
                               const std::vector<std::string>& addresses) {
  JoinKeyDisplay display;
  display.hint = J("[ PC名 = ") + std::string(host_name) + " ]";
  if (addresses.size() == 1) {
    const std::string key = EncodeJoinKey(addresses[0]);
    display.shown = true;
    display.memo_text = J(" 参 加 キー = ") + key;
    display.clipboard = key;
  } else if (addresses.size() == 2) {
    const std::string lan = EncodeJoinKey(addresses[0]);
    const std::string internet = EncodeJoinKey(addresses[1]);
    display.shown = true;
    display.memo_text = J("(ネット用)参加キー = ") + internet + "\r\n" + J("(ＬＡＮ用)参加キー = ") + lan;
    display.clipboard = internet;
  }
  return display;
}
