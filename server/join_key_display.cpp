// server/join_key_display.cpp — the join keys of the server's addresses.
#include "server/join_key_display.h"

#include "platform/cp932.h"
#include "protocol/join_key.h"

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
