// server/server_settings.cpp — settings lines, log blocks and log rotation.
#include "server/server_settings.h"

#include "platform/files.h"
#include "platform/line_list.h"
#include "protocol/tag_message.h"

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

std::string UsableLimitText(std::string_view text, int low, int high, int in_force) {
  if (text.empty()) return {};
  const int value = ReadNumber(text, low - 1);
  return std::to_string(value >= low && value <= high ? value : in_force);
}

std::string LogBlockHead(std::string_view start_stamp) {
  return "//===" + std::string(start_stamp) + "===//\r\n";
}

std::string LogBlockEnd(std::string_view close_stamp) {
  return "//===" + std::string(close_stamp) + "===//\r\n\r\n";
}

std::string LogBlock(std::string_view start_stamp, std::string_view body,
                     std::string_view close_stamp) {
  return LogBlockHead(start_stamp) + std::string(body) + LogBlockEnd(close_stamp);
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

bool AppendEventLines(EventLogRun& run, std::string_view lines, const Clock& clock) {
  const std::string event_log = JoinPath(run.folder, kEventLogName);
  bool written = false;
  if (run.begun) {
    written = AppendToFile(event_log, lines);
  } else if (MakeDirectory(run.folder)) {
    // The block begins: a large log is moved aside first, as a close would have done.
    RotateLogFile(event_log, clock);
    written = run.begun =
        AppendToFile(event_log, LogBlockHead(run.start_stamp) + std::string(lines));
  }
  if (!written) run.failed = true;
  return written;
}

bool EndEventLogBlock(EventLogRun& run, std::string_view lines, std::string_view close_stamp) {
  const bool written = AppendToFile(JoinPath(run.folder, kEventLogName),
                                    std::string(lines) + LogBlockEnd(close_stamp));
  if (!written) run.failed = true;
  return written;
}

std::string WriteServerLogs(const std::string& folder, std::string_view start_stamp,
                            std::string_view event_text, std::string_view board_text,
                            const Clock& clock) {
  EventLogRun run{folder, std::string(start_stamp)};
  return WriteServerLogs(run, event_text, board_text, clock);
}

std::string WriteServerLogs(EventLogRun& run, std::string_view event_text,
                            std::string_view board_text, const Clock& clock) {
  const std::string event_log = JoinPath(run.folder, kEventLogName);
  const std::string board_log = JoinPath(run.folder, kBoardLogName);
  if (!MakeDirectory(run.folder)) {
    return board_text.empty() ? event_log : event_log + ", " + board_log;
  }
  if (!run.begun) RotateLogFile(event_log, clock);
  RotateLogFile(board_log, clock);
  const std::string close_stamp = LogStamp(clock);
  std::string failed;
  if (run.begun) {
    EndEventLogBlock(run, event_text, close_stamp);
  } else if (!AppendToFile(event_log, LogBlock(run.start_stamp, event_text, close_stamp))) {
    run.failed = true;
  }
  if (run.failed) failed = event_log;
  if (!board_text.empty() &&
      !AppendToFile(board_log, LogBlock(run.start_stamp, board_text, close_stamp))) {
    failed += (failed.empty() ? "" : ", ") + board_log;
  }
  return failed;
}
