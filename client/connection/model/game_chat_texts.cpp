// client/connection/model/game_chat_texts.cpp — game chat lines.
#include "client/connection/model/game_chat_texts.h"

#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {
// Blanks and control characters; none of them can be the second byte of a double-byte character.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// "[ " name " ]：" and the typed text without surrounding blanks and control characters, escaped.
std::string NamedChatText(std::string_view name, std::string_view typed) {
  while (!typed.empty() && IsBlankOrControl(typed.front())) typed.remove_prefix(1);
  while (!typed.empty() && IsBlankOrControl(typed.back())) typed.remove_suffix(1);
  return "[ " + std::string(name) + J(" ]：") + EscapeChatText(typed);
}
}  // namespace

std::string TypedChatLine(std::string_view name, std::string_view typed, int move_number) {
  std::string line = NamedChatText(name, typed);
  if (move_number > 0) line += " (" + std::to_string(move_number) + ")";
  line += "\r\n";
  return line;
}

std::string CountingChatLine(std::string_view name, std::string_view typed, int move_number) {
  return NamedChatText(name, typed) + " [" + std::to_string(move_number) + "]\r\n";
}

std::string DiagramLinkLine(std::string_view number) {
  return J("{ 碁盤 ") + std::string(number) + " }";
}
