// protocol/tag_message.h — reading and writing tag messages: "<<Key=value>>" and "<<Flag>>".
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The text between the first occurrence of `key` and the next ">>"; empty when either is
// missing or the value is empty. Byte-wise and case-sensitive; nothing is trimmed.
std::string GetTagValue(std::string_view message, std::string_view key);

// True when `tag` (a flag such as "<<SeeMeseNow>>" or a key such as "<<Move=") occurs anywhere.
bool HasTag(std::string_view message, std::string_view tag);

// A decimal number with an optional sign; `fallback` when the text is not exactly such a number
// or lies outside the 32-bit range (an empty text included).
int ReadNumber(std::string_view text, int fallback);
// The same, reading 64 bits.
long long ReadNumber64(std::string_view text, long long fallback);

// The value of `key` read as a number; `fallback` when missing or not a number.
int GetTagNumber(std::string_view message, std::string_view key, int fallback = 0);

// "<<GameIndex=" n ">>", the tag that routes a message to one game slot.
std::string GameTag(int game);

// Typed text for game, room and counting-board chat: ">>" becomes "＞＞", "<<" becomes "＜＜" and
// a final ">" becomes "＞", so that the text can neither end its value early nor be read as a tag.
std::string EscapeChatText(std::string_view typed);

// Typed text for the message board: ">>" becomes "><" until none is left; then "<<" and a final
// ">" as for chat.
std::string EscapeBoardText(std::string_view typed);

// A message in which every "<<" opens a tag, as the framer reads tags (from "<<" to the first
// ">>"): a "<" that would make "<<" anywhere else (inside a value, or with the message after it
// when it ends the text) becomes "＜". So a substring test for a tag finds only whole tags; a text
// with no such "<" is returned unchanged.
std::string CloseStrayOpenings(std::string_view message);
// The same in place; a message without such a "<" is left untouched (and nothing is allocated).
void CloseStrayOpeningsIn(std::string& message);

// The places where tags open in a message whose every "<<" opens one (CloseStrayOpenings): a
// test for a tag there answers as HasTag does, without searching the whole text for each tag.
class TagStarts {
 public:
  explicit TagStarts(std::string_view message);
  // As HasTag(message, tag).
  bool Has(std::string_view tag) const;

 private:
  static constexpr std::size_t kKept = 16;  // more tags than this: HasTag answers
  std::string_view message_;
  std::array<std::uint32_t, kKept> starts_{};
  std::size_t count_ = 0;
  bool overflow_ = false;
};

// Every occurrence of `from` replaced by `to`, left to right, in one pass.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
