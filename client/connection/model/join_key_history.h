// client/connection/model/join_key_history.h — the short history of join keys the connect
// window remembers.
#pragma once
#include <array>
#include <string>

// Puts `key` at the front of the remembered keys 1..5 (index 0 unused): a key already among the
// first `count` moves to the front keeping the others' order; a new key enters at the front,
// the fifth falls off and the count grows up to 5.
void RememberJoinKey(std::array<std::string, 6>& keys, int& count, const std::string& key);
