// protocol/join_key.h — the 8-character join key that stands for the server's IPv4 address:
// the server encodes it, the client decodes it.
#pragma once
#include <optional>
#include <string>
#include <string_view>

// The key of a dotted address "a.b.c.d": T[a%36] T[b%36] T[c%36] T[d%36] T[a/36] T[b/36]
// T[c/36] T[d/36], T = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ". "不明" when the text is not four
// dot-separated numbers from 0 to 999.
std::string EncodeJoinKey(std::string_view address);

// The digits the client's connect window names: "1" is 1 .. "Z" is 35; "0" is 0.
inline constexpr std::string_view kJoinKeyDigits = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// The dotted IPv4 address of an 8-character key (letters in either case): octet i is
// 36 x digit(K[i+4]) + digit(K[i]). Nothing when the key is not 8 characters of
// "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" or an octet would be above 255.
std::optional<std::string> DecodeJoinKey(std::string_view key);
