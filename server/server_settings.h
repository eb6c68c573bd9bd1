// server/server_settings.h — the server's settings file QuellDraum.dat and its two logs.
#pragma once
#include <string>
#include <string_view>

#include "platform/clock.h"

// What the settings file keeps: the log-saving choice and the texts of the two limit entries.
struct ServerSettings {
  bool LogSave = true;
  std::string GameLimitText = "5";
  std::string JoinLimitText = "50";
};

inline constexpr std::string_view kSettingsFileName = "QuellDraum.dat";
inline constexpr std::string_view kLogFolderName = "Log";
inline constexpr std::string_view kEventLogName = "DraumLog.dat";
inline constexpr std::string_view kBoardLogName = "DraumChat.dat";
// A log is moved aside at close when it is larger than this many bytes.
inline constexpr long long kLogRotateSize = 50000;

// Reads the settings file's text into `settings`: "LogSave[1]" ticks the box and otherwise
// "LogSave[0]" unticks it; a limit text is taken when its key is followed by a non-empty value
// and "]". A setting the text holds no readable value for keeps the value it had, so an empty or
// damaged file never turns log saving off. False when any of the three had no readable value.
bool ApplySettingsText(std::string_view text, ServerSettings& settings);
// The file's whole content; an empty limit text is saved as its default.
std::string SettingsFileText(const ServerSettings& settings);
// A limit entry's text as the server would use it: a number from `low` to `high` as its decimal
// text; anything else (out of range, not a number) is the limit in force, as Enter puts it back.
// An empty text stays empty (it is saved as its default).
std::string UsableLimitText(std::string_view text, int low, int high, int in_force);

// "//===" start "===//" CR LF, the body, "//===" close "===//" CR LF CR LF.
std::string LogBlock(std::string_view start_stamp, std::string_view body,
                     std::string_view close_stamp);
// The block's first line and its end: "//===" start "===//" CR LF; "//===" close "===//" CR LF
// CR LF.
std::string LogBlockHead(std::string_view start_stamp);
std::string LogBlockEnd(std::string_view close_stamp);
// A date and time as the logs write them: date " -- " time.
std::string LogStamp(const Clock& clock);

// Moves the log at `path` aside when it is larger than kLogRotateSize: its name up to ".dat"
// followed by the date and time without "/" and ":", "-" between them, then ".dat"; a "_2", "_3"
// ... is added rather than replace an earlier one. Returns the new path, or empty when nothing
// was moved.
std::string RotateLogFile(const std::string& path, const Clock& clock);

// This run's block of the event log. The lines that leave memory while the server runs are
// appended as they go: the first of them moves a large log aside and begins the block, and the
// close appends the rest and the block's end. The file ends up holding what writing the whole
// block at close would have made of it; only a moved-aside log's name carries the time of the
// first lines rather than of the close.
struct EventLogRun {
  std::string folder;  // the Log folder, created when missing
  std::string start_stamp;
  bool begun = false;   // the block's first line is in the file
  bool failed = false;  // some lines could not be written
};
// Appends `lines` (each followed by CR LF) to the run's block, beginning it first. False when
// they could not be written.
bool AppendEventLines(EventLogRun& run, std::string_view lines, const Clock& clock);
// Ends a begun block with `lines` and the block's end with `close_stamp`. False when that could
// not be written.
bool EndEventLogBlock(EventLogRun& run, std::string_view lines, std::string_view close_stamp);

// Appends this run's blocks to the logs in `folder` (created when missing), moving large logs
// aside first. The board log gets a block only when `board_text` is not empty. Each log is
// written when it can be; returns the paths of those that could not, separated by ", ", or empty
// when everything was written.
std::string WriteServerLogs(const std::string& folder, std::string_view start_stamp,
                            std::string_view event_text, std::string_view board_text,
                            const Clock& clock);
// The same for a run whose event block may have begun: then only its last lines and its end are
// written (and the event log, already moved aside when it was large, is not moved again). The
// event log counts as not written when any of the run's lines could not be.
std::string WriteServerLogs(EventLogRun& run, std::string_view event_text,
                            std::string_view board_text, const Clock& clock);
