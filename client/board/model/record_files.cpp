// File names and files of a saved game record.
#include "client/board/model/record_files.h"

#include <algorithm>
#include <cctype>

#include "platform/cp932.h"
#include "platform/files.h"

namespace {

// Index where the file name starts (after the last "/").
std::size_t FileNameStart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

// First ".sgf" in the file name, in any case of the letters; npos when there is none.
std::size_t FindSgfIgnoringCase(std::string_view name) {
  constexpr std::string_view kSgf = ".sgf";
  for (std::size_t pos = 0; pos + kSgf.size() <= name.size(); ++pos) {
    const bool same = std::equal(kSgf.begin(), kSgf.end(), name.begin() + pos, [](char a, char b) {
      return a == std::tolower(static_cast<unsigned char>(b));
    });
    if (same) return pos;
  }
  return std::string_view::npos;
}

}  // namespace

std::string SgfFileName(std::string_view chosen) {
  std::string path(chosen);
  if (path.find('.', FileNameStart(path)) == std::string::npos) path += ".sgf";
  return path;
}

std::string ChatLogFileName(std::string_view recordPath) {
  const std::size_t start = FileNameStart(recordPath);
  const std::string_view name = recordPath.substr(start);
  std::size_t found = name.find(".sgf");
  if (found == std::string_view::npos) found = FindSgfIgnoringCase(name);
  std::string path(recordPath);
  if (found == std::string_view::npos) return path + "Chat.dat";
  return path.replace(start + found, 4, "Chat.dat");
}

std::string FolderOfPath(std::string_view path) {
  const std::size_t start = FileNameStart(path);
  if (start <= 1) return std::string(path.substr(0, start));  // no folder, or the root "/"
  return std::string(path.substr(0, start - 1));
}

std::string ChatLogText(std::string_view chatText, std::string_view diagramStore) {
  std::string text = J("ヌルカ - Korvanta - チャットログ") + "\r\n\r\n";
  text += chatText;
  if (!diagramStore.empty()) {
    text += "\r\n\r\n" + J("---碁盤データ---") + "\r\n\r\n";
    text += diagramStore;
  }
  return text;
}

RecordSaveResult SaveRecordFiles(std::string_view chosen, std::string_view record,
                                 std::string_view chatText, std::string_view diagramStore) {
  RecordSaveResult result;
  result.RecordPath = SgfFileName(chosen);
  result.RecordWritten = WriteWholeFile(result.RecordPath, record);
  if (chatText.empty()) return result;
  result.ChatLogPath = ChatLogFileName(result.RecordPath);
  if (result.RecordWritten) {
    result.ChatLogWritten = WriteWholeFile(result.ChatLogPath, ChatLogText(chatText, diagramStore));
  }
  return result;
}
