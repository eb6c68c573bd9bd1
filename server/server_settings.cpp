// server/server_settings.cpp — settings lines, log blocks and log rotation.
#include "server/server_settings.h"

#include "platform/files.h"
#include "platform/line_list.h"

namespace {
// The value after `key` up to the next "]", when that value is not empty.
bool ReadSettingsValue(std::string_view text, std::string_view key, std::string& value) {
  const std::size_t at = text.find(key);
  if (at == std::string_view::npos) return false;
  const std::string_view rest = text.substr(at + key.size());
  const std::size_t end = rest.find(']');
  if (end == std::string_view::npos || end == 0) return false;
  value.assign(rest.substr(0, end));
  return true;
}

std::string WithoutSeparators(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != '/' && c != ':') out += c;
  }
  return out;
}
}  // namespace

bool ApplySettingsText(std::string_view text, ServerSettings& settings) {
  // The file is read as memo lines, so its line ends are CR LF whatever they were on disk.
  LineList lines;
  lines.SetText(text);
  const std::string normalized = lines.Text();
  bool log_read = true;
  if (normalized.find("LogSave[1]") != std::string::npos) {
    settings.LogSave = true;
  } else if (normalized.find("LogSave[0]") != std::string::npos) {
    settings.LogSave = false;
  } else {
    log_read = false;
  }
  const bool game_read = ReadSettingsValue(normalized, "GameLimit[", settings.GameLimitText);
  const bool join_read = ReadSettingsValue(normalized, "JoinLimit[", settings.JoinLimitText);
  return log_read && game_read && join_read;
}

std::string SettingsFileText(const ServerSettings& settings) {
  LineList lines;
  lines.Add(std::string("LogSave[") + (settings.LogSave ? "1" : "0") + "]");
  lines.Add("GameLimit[" + (settings.GameLimitText.empty() ? "5" : settings.GameLimitText) + "]");
  lines.Add("JoinLimit[" + (settings.JoinLimitText.empty() ? "50" : settings.JoinLimitText) + "]");
  return lines.Text();
}

std::string LogBlock(std::string_view start_stamp, std::string_view body,
                     std::string_view close_stamp) {
  std::string block = "//===";
  block += start_stamp;
  block += "===//\r\n";
  block += body;
  block += "//===";
  block += close_stamp;
  block += "===//\r\n\r\n";
  return block;
}

std::string LogStamp(const Clock& clock) { return clock.DateText() + " -- " + clock.TimeText(); }

std::string RotateLogFile(const std::string& path, const Clock& clock) {
  if (!FileExists(path) || FileSizeOf(path) <= kLogRotateSize) return {};
  // Only the file name is cut at ".dat"; the folder part is kept as it is.
  const std::size_t name_start = path.find_last_of('/') + 1;
  std::size_t dat = path.find(".dat", name_start);
  if (dat == std::string::npos) dat = path.size();
  const std::string base =
      path.substr(0, dat) + WithoutSeparators(clock.DateText() + "-" + clock.TimeText());
  for (int copy = 1; copy < 1000; ++copy) {
    std::string target = base;
    if (copy > 1) target.append("_").append(std::to_string(copy));
    target += ".dat";
    if (FileExists(target)) continue;
    return MoveFileNoReplace(path, target) ? target : std::string();
  }
  return {};
}

std::string WriteServerLogs(const std::string& folder, std::string_view start_stamp,
                            std::string_view event_text, std::string_view board_text,
                            const Clock& clock) {
  const std::string event_log = JoinPath(folder, kEventLogName);
  const std::string board_log = JoinPath(folder, kBoardLogName);
  if (!MakeDirectory(folder)) {
    return board_text.empty() ? event_log : event_log + ", " + board_log;
  }
  RotateLogFile(event_log, clock);
  RotateLogFile(board_log, clock);
  const std::string close_stamp = LogStamp(clock);
  std::string failed;
  if (!AppendToFile(event_log, LogBlock(start_stamp, event_text, close_stamp))) failed = event_log;
  if (!board_text.empty() &&
      !AppendToFile(board_log, LogBlock(start_stamp, board_text, close_stamp))) {
    failed += (failed.empty() ? "" : ", ") + board_log;
  }
  return failed;
}
