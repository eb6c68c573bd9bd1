// Reading record files, and the file names and files of a saved game record.
#include "client/board/model/record_files.h"

#include <algorithm>
#include <cctype>

#include "client/board/model/record_main_line.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/line_list.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

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

bool RecordIsUtf8(std::string_view bytes) {
  // "CA[" is plain ASCII in every encoding a record may come in; its value is read up to "]".
  const std::size_t charset = bytes.find("CA[");
  if (charset != std::string_view::npos) {
    const std::size_t start = charset + 3;
    const std::size_t end = bytes.find(']', start);
    return end != std::string_view::npos &&
           EqualIgnoringCase(bytes.substr(start, end - start), "UTF-8");
  }
  const bool beyondAscii = std::any_of(
      bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return beyondAscii && IsUtf8Text(bytes);
}

std::string RecordTextFromFile(std::string_view bytes) {
  std::string text;
  if (RecordIsUtf8(bytes)) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    text = Cp932FromUtf8(bytes, J("？"));
  } else {
    text = std::string(bytes);
  }
  LineList lines;
  lines.SetText(text);
  return MainLineRecord(lines.Text());
}

std::optional<std::string> ReadRecordFile(const std::string& path) {
  const std::int64_t size = FileSizeOf(path);
  std::string bytes;
  if (size < 0 || size > kLargestRecordFile || !ReadWholeFile(path, bytes)) return std::nullopt;
  return RecordTextFromFile(bytes);
}

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
