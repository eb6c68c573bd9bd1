// client/connection/model/lobby_texts.h — the texts the lobby reads and writes: list values cut
// into entries, the waiting players' hints, game numbers, the nigiri line, the login name rule
// and the message-board post.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The entries of a list value: the text before each CR LF. Text after the last CR LF is dropped,
// so every entry must end with CR LF.
std::vector<std::string> SplitListLines(std::string_view value);

// The hint of the k-th waiting player (k from 1) in a "<<WaitHint=" value made of one "[…]"
// segment per player: " " + the segment's text + " "; empty when there is no k-th segment or it
// has no "]".
std::string WaitListHint(std::string_view hint_text, int k);

// The game number of a game list line "[ " n " ]"; 0 when a mark is missing or n is not a
// decimal number.
int WatchGameNumber(std::string_view line);
// The first line of the three-line group holding line `index`; line 0 for no selection (-1).
int GameGroupStart(int index);

// "握りの結果：石" n "個、" (丁 for even n, 半 for odd) "です。" followed by n times "○".
std::string NigiriText(int stones);

// True when `name` may be sent as a login name: no "<", ">", "[", "]" (as characters of their
// own, not as halves of a double-byte character) and no control character.
bool IsAcceptableLoginName(std::string_view name);

// The text of a typed message-board line as it is posted: a leading CR LF (left over from the
// previous Enter) dropped, then escaped so that it cannot end its value early or read as a tag.
std::string BoardPostText(std::string_view typed);
// "[ " name " ]：" text — a message-board line.
std::string BoardLine(std::string_view name, std::string_view text);
