// client/connection/model/lobby_texts.cpp — lobby and message-board texts.
#include "client/connection/model/lobby_texts.h"

#include "platform/cp932.h"
#include "protocol/tag_message.h"

std::vector<std::string> SplitListLines(std::string_view value) {
  std::vector<std::string> entries;
  std::size_t from = 0;
  for (std::size_t end = value.find("\r\n"); end != std::string_view::npos;
       end = value.find("\r\n", from)) {
    entries.emplace_back(value.substr(from, end - from));
    from = end + 2;
  }
  return entries;
}

std::string WaitListHint(std::string_view hint_text, int k) {
  int counter = 0;
  std::string_view rest = hint_text;
  for (std::size_t open = rest.find('['); open != std::string_view::npos; open = rest.find('[')) {
    rest.remove_prefix(open + 1);
    ++counter;
    if (counter == k) {
      const std::size_t close = rest.find(']');
      if (close != std::string_view::npos) {
        return std::string(" ").append(rest.substr(0, close)).append(" ");
      }
    }
  }
  return {};
}

int WatchGameNumber(std::string_view line) {
  const std::size_t open = line.find("[ ");
  if (open == std::string_view::npos) return 0;
  const std::string_view rest = line.substr(open + 2);
  const std::size_t close = rest.find(" ]");
  if (close == std::string_view::npos) return 0;
  return ReadNumber(rest.substr(0, close), 0);
}

int GameGroupStart(int index) { return index < 0 ? 0 : (index / 3) * 3; }

std::string NigiriText(int stones) {
  std::string text = J("握りの結果：石") + std::to_string(stones) + J("個、") +
                     (stones % 2 == 0 ? J("丁") : J("半")) + J("です。");
  for (int i = 0; i < stones; ++i) text += J("○");
  return text;
}

bool IsAcceptableLoginName(std::string_view name) {
  bool acceptable = true;
  ForEachCp932Char(name, [&](std::size_t pos, std::size_t length) {
    if (length != 1) return;
    const auto c = static_cast<unsigned char>(name[pos]);
    if (c < 0x20 || c == 0x7F || c == '<' || c == '>' || c == '[' || c == ']') acceptable = false;
  });
  return acceptable;
}

std::string BoardPostText(std::string_view typed) {
  if (typed.substr(0, 2) == "\r\n") typed.remove_prefix(2);
  return EscapeBoardText(typed);
}

std::string BoardLine(std::string_view name, std::string_view text) {
  return "[ " + std::string(name) + J(" ]：") + std::string(text);
}
