// Tests of the server's settings file, log blocks and log rotation.
#include "server/server_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "tests/temp_folder.h"

// An empty or damaged file once turned log saving off without a word; a setting without a
// readable value now keeps its default, and the reader says the file was not whole.
TEST(ServerSettings, LoadingTakesReadableValuesAndKeepsTheRest) {
  struct Case {
    const char* file;
    bool log_save;
    const char* game_limit;
    const char* join_limit;
    bool whole;
  } cases[] = {
      {"LogSave[1]\r\nGameLimit[3]\r\nJoinLimit[20]\r\n", true, "3", "20", true},
      {"LogSave[0]\r\nGameLimit[3]\r\nJoinLimit[4]\r\n", false, "3", "4", true},
      {"LogSave[0]\r\nGameLimit[3]\r\n", false, "3", "9", false},
      {"GameLimit[4]\r\n", true, "4", "9", false},  // no log line: the box stays ticked
      {"LogSave[1]\r\nGameLimit[]\r\nJoinLimit[x", true, "7", "9", false},  // empty, unclosed
      {"LogSave[1]\nGameLimit[abc]\nJoinLimit[99]", true, "abc", "99", true},  // not validated
      {"", true, "7", "9", false},
      {"LogSave[", true, "7", "9", false},  // cut short while it was written
      {"\x81\xff\x00garbage\r\n", true, "7", "9", false},
  };
  for (const auto& c : cases) {
    ServerSettings settings{true, "7", "9"};
    EXPECT_EQ(ApplySettingsText(c.file, settings), c.whole) << c.file;
    EXPECT_EQ(settings.LogSave, c.log_save) << c.file;
    EXPECT_EQ(settings.GameLimitText, c.game_limit) << c.file;
    EXPECT_EQ(settings.JoinLimitText, c.join_limit) << c.file;
  }
}

TEST(ServerSettings, SavedFileHasThreeLinesAndDefaultsForEmptyEntries) {
  EXPECT_EQ(SettingsFileText({true, "3", "20"}), "LogSave[1]\r\nGameLimit[3]\r\nJoinLimit[20]\r\n");
  EXPECT_EQ(SettingsFileText({false, "", ""}), "LogSave[0]\r\nGameLimit[5]\r\nJoinLimit[50]\r\n");
  ServerSettings loaded{true, "", ""};
  ApplySettingsText(SettingsFileText({false, "", "12"}), loaded);
  EXPECT_EQ(loaded.GameLimitText, "5");
  EXPECT_EQ(loaded.JoinLimitText, "12");
}

// A limit entry is saved and shown as the server would use it: a number it takes, or the limit
// in force when Enter would refuse the text.
TEST(ServerSettings, LimitTextsAreThoseTheServerWouldUse) {
  struct Case {
    std::string text;
    const char* used;
  } cases[] = {
      {"3", "3"},
      {"5", "5"},
      {"1", "1"},
      {"03", "3"},
      {"0", "4"},
      {"6", "4"},
      {"-2", "4"},
      {"x", "4"},
      {"3 ", "4"},
      {"", ""},
      {std::string(100'000, '1'), "4"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UsableLimitText(c.text, 1, 5, 4), c.used) << c.text.substr(0, 10);
  }
}

TEST(ServerLogs, BlockFrameAndBoardLogOnlyWhenTheBoardHasLines) {
  EXPECT_EQ(LogBlock("2026/12/09 -- 9:00:00", "a\r\n", "2026/12/09 -- 10:00:00"),
            "//===2026/12/09 -- 9:00:00===//\r\na\r\n//===2026/12/09 -- 10:00:00===//\r\n\r\n");

  const std::string folder = JoinPath(TempFolder(), "Log");  // created by the first write
  FixedClock clock("2026/12/09", "10:00:00");
  ASSERT_EQ(WriteServerLogs(folder, "S", "line\r\n", "", clock), "");
  EXPECT_EQ(ReadBack(JoinPath(folder, "DraumLog.dat")),
            "//===S===//\r\nline\r\n//===2026/12/09 -- 10:00:00===//\r\n\r\n");
  EXPECT_FALSE(FileExists(JoinPath(folder, "DraumChat.dat")));

  ASSERT_EQ(WriteServerLogs(folder, "T", "two\r\n", "board\r\n", clock), "");
  EXPECT_EQ(ReadBack(JoinPath(folder, "DraumLog.dat")),
            "//===S===//\r\nline\r\n//===2026/12/09 -- 10:00:00===//\r\n\r\n"
            "//===T===//\r\ntwo\r\n//===2026/12/09 -- 10:00:00===//\r\n\r\n");
  EXPECT_EQ(ReadBack(JoinPath(folder, "DraumChat.dat")),
            "//===T===//\r\nboard\r\n//===2026/12/09 -- 10:00:00===//\r\n\r\n");
}

TEST(ServerLogs, RotationAbove50000BytesNeverOverwritesAnEarlierLog) {
  const std::string folder = TempFolder();
  const std::string log = JoinPath(folder, "DraumLog.dat");
  FixedClock clock("2001/09/21", "0:32:58");

  WriteWholeFile(log, std::string(50000, 'a'));
  EXPECT_EQ(RotateLogFile(log, clock), "");  // exactly 50000 bytes stays
  EXPECT_TRUE(FileExists(log));

  WriteWholeFile(log, std::string(50001, 'b'));
  const std::string moved = RotateLogFile(log, clock);
  EXPECT_EQ(moved, JoinPath(folder, "DraumLog20010921-03258.dat"));
  EXPECT_FALSE(FileExists(log));
  EXPECT_EQ(FileSizeOf(moved), 50001);

  WriteWholeFile(log, std::string(60000, 'c'));  // same second: a second name, not a replacement
  const std::string second = RotateLogFile(log, clock);
  EXPECT_EQ(second, JoinPath(folder, "DraumLog20010921-03258_2.dat"));
  EXPECT_EQ(FileSizeOf(moved), 50001);
  EXPECT_EQ(FileSizeOf(second), 60000);
  EXPECT_EQ(RotateLogFile(JoinPath(folder, "none.dat"), clock), "");
}

TEST(ServerLogs, AFolderWithSeparatorsInItsNameIsKeptWhenALogIsMovedAside) {
  const std::string folder = JoinPath(TempFolder(), "a:b");
  MakeDirectory(folder);
  const std::string log = JoinPath(folder, "DraumChat.dat");
  WriteWholeFile(log, std::string(50001, 'x'));
  FixedClock clock("2026/01/02", "3:04:05");
  EXPECT_EQ(RotateLogFile(log, clock), JoinPath(folder, "DraumChat20260102-30405.dat"));
}

TEST(ServerLogs, BlockIsAppendedAfterTheOldLogWasMovedAside) {
  const std::string folder = TempFolder();
  WriteWholeFile(JoinPath(folder, "DraumLog.dat"), std::string(50001, 'o'));
  FixedClock clock("2026/12/09", "1:02:03");
  ASSERT_EQ(WriteServerLogs(folder, "S", "e\r\n", "", clock), "");
  EXPECT_EQ(ReadBack(JoinPath(folder, "DraumLog.dat")),
            "//===S===//\r\ne\r\n//===2026/12/09 -- 1:02:03===//\r\n\r\n");
  EXPECT_EQ(FileSizeOf(JoinPath(folder, "DraumLog20261209-10203.dat")), 50001);
}

TEST(ServerLogs, AnUnwritableFolderIsReported) {
  const std::string folder = TempFolder();
  WriteWholeFile(JoinPath(folder, "Log"), "a file where the folder should be");
  FixedClock clock;
  EXPECT_EQ(WriteServerLogs(JoinPath(folder, "Log"), "S", "e\r\n", "b\r\n", clock),
            JoinPath(folder, "Log/DraumLog.dat") + ", " + JoinPath(folder, "Log/DraumChat.dat"));
  // A log that cannot be written does not keep the other from being written.
  const std::string logs = JoinPath(folder, "Logs");
  MakeDirectory(logs);
  MakeDirectory(JoinPath(logs, "DraumLog.dat"));  // a folder where the event log should be
  EXPECT_EQ(WriteServerLogs(logs, "S", "e\r\n", "b\r\n", clock), JoinPath(logs, "DraumLog.dat"));
  EXPECT_TRUE(FileExists(JoinPath(logs, "DraumChat.dat")));
}

// The lines that leave memory while the server runs begin this run's block at once, moving a
// large log aside first; the close ends the block. The file ends up as one write at close makes
// it, and the log is moved aside once only.
TEST(ServerLogs, LinesAppendedAsTheRunGoesEndUpAsOneBlockWrittenAtClose) {
  const std::string folder = JoinPath(TempFolder(), "Log");
  MakeDirectory(folder);
  const std::string log = JoinPath(folder, "DraumLog.dat");
  WriteWholeFile(log, std::string(50001, 'o'));
  FixedClock clock("2026/12/09", "1:02:03");
  EventLogRun run{folder, "S"};
  ASSERT_TRUE(AppendEventLines(run, "a\r\nb\r\n", clock));
  EXPECT_EQ(FileSizeOf(JoinPath(folder, "DraumLog20261209-10203.dat")), 50001);
  // More than 50000 bytes of this run's own lines are no reason to move it aside.
  const std::string many(60000, 'm');
  ASSERT_TRUE(AppendEventLines(run, many + "\r\n", clock));
  clock.Set("2026/12/09", "2:00:00");
  ASSERT_EQ(WriteServerLogs(run, "c\r\n", "board\r\n", clock), "");
  EXPECT_EQ(ReadBack(log), "//===S===//\r\na\r\nb\r\n" + many +
                               "\r\nc\r\n//===2026/12/09 -- 2:00:00===//\r\n\r\n");
  EXPECT_EQ(ReadBack(JoinPath(folder, "DraumChat.dat")),
            "//===S===//\r\nboard\r\n//===2026/12/09 -- 2:00:00===//\r\n\r\n");
  EXPECT_FALSE(FileExists(JoinPath(folder, "DraumLog20261209-20000.dat")));

  // Lines that cannot be written are reported at close.
  EventLogRun lost{JoinPath(folder, "DraumLog.dat"), "S"};  // a file where the folder should be
  EXPECT_FALSE(AppendEventLines(lost, "x\r\n", clock));
  EXPECT_NE(WriteServerLogs(lost, "y\r\n", "", clock), "");
}
