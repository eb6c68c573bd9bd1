// client/connection/model/join_key_history.cpp — the remembered join keys.
#include "client/connection/model/join_key_history.h"

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
