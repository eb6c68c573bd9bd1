// client/connection/model/join_key_decoder.h — turning a join key back into the server's address,
// and the short history of keys the connect window remembers.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

// The digits of a join key: "1" is 1 .. "Z" is 35; "0" is 0.
inline constexpr std::string_view kJoinKeyDigits = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// The dotted IPv4 address of an 8-character key (letters in either case): octet i is
// 36 x digit(K[i+4]) + digit(K[i]). Nothing when the key is not 8 characters of
// "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" or an octet would be above 255.
std::optional<std::string> DecodeJoinKey(std::string_view key);

// Puts `key` at the front of the remembered keys 1..5 (index 0 unused): a key already among the
// first `count` moves to the front keeping the others' order; a new key enters at the front,
// the fifth falls off and the count grows up to 5.
void RememberJoinKey(std::array<std::string, 6>& keys, int& count, const std::string& key);
