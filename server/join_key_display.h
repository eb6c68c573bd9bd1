// server/join_key_display.h — what the server shows and copies for its join keys.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// What the server shows and copies for its addresses.
struct JoinKeyDisplay {
  bool shown = false;      // false: the memo and the clipboard stay as they are
  std::string memo_text;   // lines separated by CR LF
  std::string clipboard;   // the key put on the clipboard
  std::string hint;        // "[ PC名 = " host " ]"
};

// One address: one key for everyone. Two: the second for the Internet (shown first and copied),
// the first for the LAN. None, or three and more: nothing is shown or copied.
JoinKeyDisplay ComposeJoinKeys(std::string_view host_name, const std::vector<std::string>& addresses);
