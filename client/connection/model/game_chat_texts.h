// client/connection/model/game_chat_texts.h — the lines of the game chat: a typed line as it is
// shown and sent, and the link line that stands for a board diagram.
#pragma once
#include <string>
#include <string_view>

// "[ " name " ]：" + the typed text without surrounding blanks and control characters, escaped so
// that it can neither end its value early nor read as a tag, + " (" n ")" when `move_number` is
// above 0 (the move on the board when the line was written), + CR LF.
std::string TypedChatLine(std::string_view name, std::string_view typed, int move_number);

// The line the counting board sends to the game chat: "[ " name " ]：" + the typed text trimmed
// and escaped as above + " [" n "]" (the board window's move, always written) + CR LF.
std::string CountingChatLine(std::string_view name, std::string_view typed, int move_number);

// "{ 碁盤 " n " }": the chat line that stands for board diagram n.
std::string DiagramLinkLine(std::string_view number);
