// server/join_key.h — the 8-character join key that stands for the server's IPv4 address.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The key of a dotted address "a.b.c.d": T[a%36] T[b%36] T[c%36] T[d%36] T[a/36] T[b/36]
// T[c/36] T[d/36], T = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ". "不明" when the text is not four
// dot-separated numbers from 0 to 999.
std::string EncodeJoinKey(std::string_view address);

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
