// Fuzzer of the tag reader, the number reader, the escaping of typed text and the join key.
// Input: a key, a zero byte, a message (no zero byte: the message alone, read with "<<Move=").
#include <cstdint>
#include <string>

#include "protocol/join_key.h"
#include "protocol/tag_message.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\0');
  const std::string_view key = cut == std::string_view::npos ? "<<Move=" : input.substr(0, cut);
  const std::string_view message = cut == std::string_view::npos ? input : input.substr(cut + 1);

  const std::string value = GetTagValue(message, key);
  Require(value.find(">>") == std::string::npos, "a value holds >>");
  if (!value.empty()) {
    Require(message.find(std::string(key) + value + ">>") != std::string_view::npos,
            "the value is not the text after its key");
  }
  Require(HasTag(message, key) == (message.find(key) != std::string_view::npos), "HasTag");
  const long long n = ReadNumber64(message, -7);
  if (n != -7) {
    Require(ReadNumber64(std::to_string(n), -7) == n, "a number read back differs");
  }
  const int small = ReadNumber(message, -7);
  if (small != -7) Require(small == n, "32 and 64 bits disagree");
  (void)GetTagNumber(message, key, -1);

  // Typed text can never be read as a tag nor end a value early.
  for (const std::string& escaped : {EscapeChatText(message), EscapeBoardText(message)}) {
    Require(escaped.find(">>") == std::string::npos, "escaped text holds >>");
    Require(escaped.find("<<") == std::string::npos, "escaped text holds <<");
    Require(escaped.empty() || escaped.back() != '>', "escaped text ends with >");
  }
  if (const auto address = DecodeJoinKey(message)) {
    const std::string again = EncodeJoinKey(*address);
    Require(again.size() == 8 && DecodeJoinKey(again) == address, "join key round trip");
  }
  return 0;
}
