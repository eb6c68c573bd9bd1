// Tests of the client's settings file: line order and conditions, and reading back.
#include "client/connection/model/client_settings.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

namespace {
ClientSettingsFile Defaults() {
  ClientSettingsFile s;
  s.SaveDialogDir = "/opt/korvanta/";
  s.OpenDialogDir = "/opt/korvanta/";
  s.KuroTime = "15";
  s.SiroTime = "15";
  s.AddTime.assign(1, '0');
  s.Komi = "5.5";
  s.Wari = J("互先");
  s.BoardSizeText = "19";
  for (int i = 1; i <= 5; ++i) s.JoinKeys[static_cast<std::size_t>(i)] = "key" + std::to_string(i);
  return s;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}
}  // namespace

TEST(ClientSettingsLines, FullFileInItsOrderWithKeysFromTheLastToTheFirst) {
  ClientSettingsFile s = Defaults();
  s.NameEdit = J("本因坊");
  s.OnlyWatch = true;
  s.AskEnd = false;
  s.JoinKeyCount = 3;
  s.JoinKeys[1] = "CO155400";
  s.JoinKeys[2] = "J0013000";
  s.JoinKeys[3] = "A0020000";
  s.BoardSizeText = "13";
  EXPECT_EQ(Joined(ClientSettingsLines(s)),
            J("UserName[本因坊]\r\n") +
                "OnlyWatch[1]\r\nAskEnd[0]\r\nSaveDialogDir[/opt/korvanta/]\r\n"
                "OpenDialogDir[/opt/korvanta/]\r\nKuroTime[15]\r\nSiroTime[15]\r\nAddTime[0]\r\n"
                "Komi[5.5]\r\n" +
                J("Wari[互先]\r\n") +
                "BanSize[13]\r\nKeyCount[3]\r\nKey3[A0020000]\r\nKey2[J0013000]\r\n"
                "Key1[CO155400]\r\n");
}

TEST(ClientSettingsLines, NoNameLineWhileTheEditIsEmptyAndNoKeysWithoutACount) {
  const std::vector<std::string> lines = ClientSettingsLines(Defaults());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "OnlyWatch[0]");
  EXPECT_EQ(lines[1], "AskEnd[1]");
  EXPECT_EQ(lines.back(), "BanSize[19]");
  EXPECT_EQ(lines.size(), 10u);
}

TEST(ReadClientSettings, RoundTripsEveryField) {
  ClientSettingsFile written = Defaults();
  written.NameEdit = J("ソ連");  // a trail byte 0x5C inside the name
  written.OnlyWatch = true;
  written.AskEnd = true;
  written.SaveDialogDir = "/home/go/records/";
  written.KuroTime = "30";
  written.SiroTime = "25";
  written.AddTime = "10";
  written.Komi = "6.5";
  written.Wari = J("３子");
  written.BoardSizeText.assign(1, '9');
  written.JoinKeyCount = 5;
  for (int i = 1; i <= 5; ++i)
    written.JoinKeys[static_cast<std::size_t>(i)] = "KEY0000" + std::to_string(i);

  ClientSettingsFile read = Defaults();
  ReadClientSettings(Joined(ClientSettingsLines(written)), read);
  EXPECT_EQ(Joined(ClientSettingsLines(read)), Joined(ClientSettingsLines(written)));
}

TEST(ReadClientSettings, EmptyMissingAndUnclosedValuesLeaveTheFieldAlone) {
  ClientSettingsFile s = Defaults();
  ReadClientSettings("UserName[]\r\nKuroTime[]\r\nKomi[6.5\r\n", s);
  EXPECT_EQ(s.NameEdit, "");
  // "Komi[" runs to the next "]" anywhere after it; there is none, so komi stays.
  EXPECT_EQ(s.Komi, "5.5");
  EXPECT_EQ(s.KuroTime, "15");
  EXPECT_EQ(s.SiroTime, "15");
  // A value runs to the next "]" even across a line end, as the file is searched as one text.
  ReadClientSettings("SiroTime[20\r\nAddTime[5]\r\n", s);
  EXPECT_EQ(s.SiroTime, "20\r\nAddTime[5");
}

TEST(ReadClientSettings, SwitchesFollowTheirOneLinesOnceAFileExists) {
  struct Case {
    const char* text;
    bool only_watch;
    bool ask_end;
  } cases[] = {
      {"OnlyWatch[1]\r\nAskEnd[1]\r\n", true, true},
      {"OnlyWatch[0]\r\nAskEnd[0]\r\n", false, false},
      // A file without an ask-before-exit line turns the question off.
      {"Komi[6.5]\r\n", false, false},
      {"", false, false},
  };
  for (const auto& c : cases) {
    ClientSettingsFile s = Defaults();
    ReadClientSettings(c.text, s);
    EXPECT_EQ(s.OnlyWatch, c.only_watch) << c.text;
    EXPECT_EQ(s.AskEnd, c.ask_end) << c.text;
  }
}

TEST(ReadClientSettings, KeyCountIsClampedAndMissingKeysKeepTheirPlaceholders) {
  struct Case {
    const char* text;
    int count;
    const char* key1;
    const char* key3;
  } cases[] = {
      {"KeyCount[3]\r\nKey3[CCCCCCCC]\r\nKey2[BBBBBBBB]\r\nKey1[AAAAAAAA]\r\n", 3, "AAAAAAAA",
       "CCCCCCCC"},
      {"KeyCount[9]\r\nKey1[AAAAAAAA]\r\n", 5, "AAAAAAAA", "key3"},
      {"KeyCount[0]\r\nKey1[AAAAAAAA]\r\n", 1, "AAAAAAAA", "key3"},
      {"KeyCount[x]\r\nKey3[CCCCCCCC]\r\n", 1, "key1", "key3"},
      {"KeyCount[-4]\r\n", 1, "key1", "key3"},
      {"KeyCount[]\r\nKey1[AAAAAAAA]\r\n", 0, "key1", "key3"},
      {"Key1[AAAAAAAA]\r\n", 0, "key1", "key3"},
      {"KeyCount[99999999999999999999]\r\n", 1, "key1", "key3"},
  };
  for (const auto& c : cases) {
    ClientSettingsFile s = Defaults();
    ReadClientSettings(c.text, s);
    EXPECT_EQ(s.JoinKeyCount, c.count) << c.text;
    EXPECT_EQ(s.JoinKeys[1], c.key1) << c.text;
    EXPECT_EQ(s.JoinKeys[3], c.key3) << c.text;
  }
}

TEST(BoardSizeText, IndexAndTextMapBothWays) {
  EXPECT_EQ(BoardSizeTextOfIndex(0), "19");
  EXPECT_EQ(BoardSizeTextOfIndex(1), "13");
  EXPECT_EQ(BoardSizeTextOfIndex(2), "9");
  EXPECT_EQ(BoardSizeTextOfIndex(-1), "19");
  EXPECT_EQ(BoardSizeIndexOfText("13"), 1);
  EXPECT_EQ(BoardSizeIndexOfText("9"), 2);
  EXPECT_EQ(BoardSizeIndexOfText("19"), 0);
  EXPECT_EQ(BoardSizeIndexOfText("09"), 0);
}
