// Tests of the file helpers in a temporary folder, and of where pictures and sounds are read from.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/asset_files.h"
#include "platform/clock.h"
#include "platform/line_list.h"
#include "tests/temp_folder.h"

TEST(Files, WriteAppendReadAndSize) {
  const std::string folder = TempFolder();
  const std::string path = JoinPath(folder, "a.dat");
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(FileSizeOf(path), -1);
  ASSERT_TRUE(AppendToFile(path, "ab"));  // created when missing
  ASSERT_TRUE(AppendToFile(path, std::string("\0c", 2)));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, std::string("ab\0c", 4));
  EXPECT_EQ(FileSizeOf(path), 4);
  ASSERT_TRUE(WriteWholeFile(path, "x"));
  EXPECT_EQ(FileSizeOf(path), 1);
  EXPECT_FALSE(ReadWholeFile(JoinPath(folder, "missing"), bytes));
  EXPECT_EQ(bytes, std::string("ab\0c", 4));  // untouched on failure
}

TEST(Files, MoveNeverReplacesAnExistingFile) {
  const std::string folder = TempFolder();
  const std::string from = JoinPath(folder, "from"), to = JoinPath(folder, "to");
  WriteWholeFile(from, "new");
  WriteWholeFile(to, "old");
  EXPECT_FALSE(MoveFileNoReplace(from, to));
  std::string bytes;
  ReadWholeFile(to, bytes);
  EXPECT_EQ(bytes, "old");
  std::filesystem::remove(to);
  EXPECT_TRUE(MoveFileNoReplace(from, to));
  EXPECT_FALSE(FileExists(from));
}

TEST(Files, LineListLoadsAndSavesBytes) {
  const std::string folder = TempFolder();
  const std::string path = JoinPath(folder, "list.dat");
  LineList list;
  list.Add("\x91\xce\x8b\xc7");
  list.Add("b");
  ASSERT_TRUE(list.SaveToFile(path));
  LineList again;
  ASSERT_TRUE(again.LoadFromFile(path));
  EXPECT_EQ(again.Text(), "\x91\xce\x8b\xc7\r\nb\r\n");
  EXPECT_FALSE(again.LoadFromFile(JoinPath(folder, "none")));
  EXPECT_EQ(again.Count(), 2);
}

TEST(Clock, FixedFormatsWhateverTheLocale) {
  EXPECT_EQ(FormatDateText(2001, 9, 21), "2001/09/21");
  EXPECT_EQ(FormatTimeText(0, 32, 58), "0:32:58");
  EXPECT_EQ(FormatTimeText(23, 5, 7), "23:05:07");
  const SystemClock clock;
  EXPECT_EQ(clock.DateText().size(), 10u);
  EXPECT_EQ(clock.DateText()[4], '/');
}

TEST(AssetFiles, TheWorkingFolderComesFirstThenTheProgramFolder) {
  const std::string work = TempFolder(), program = TempFolder();
  MakeDirectory(JoinPath(work, "bmp"));
  MakeDirectory(JoinPath(program, "bmp"));
  WriteWholeFile(JoinPath(work, "bmp/Both.bmp"), "w");
  WriteWholeFile(JoinPath(program, "bmp/Both.bmp"), "p");
  WriteWholeFile(JoinPath(program, "bmp/ProgramOnly.bmp"), "p");
  WriteWholeFile(JoinPath(work, "WorkOnly.wav"), "w");
  MakeDirectory(JoinPath(work, "stone.wav"));  // a folder of that name is not the sound
  WriteWholeFile(JoinPath(program, "stone.wav"), "p");
  struct Case {
    const char* name;
    const std::string& folder;  // where it must be found
  } cases[] = {
      {"bmp/Both.bmp", work}, {"bmp/ProgramOnly.bmp", program}, {"WorkOnly.wav", work},
      {"stone.wav", program}, {"bmp/Missing.bmp", work},  // neither: named in the first
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindAssetFile(work, program + "/", c.name), JoinPath(c.folder, c.name)) << c.name;
  }
  // Without a program folder only the working folder is looked at.
  EXPECT_EQ(FindAssetFile(work, "", "bmp/ProgramOnly.bmp"), JoinPath(work, "bmp/ProgramOnly.bmp"));
}
