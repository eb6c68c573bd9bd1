// Tests of the saved record's file names, the chat log beside it, and writing both.
#include "client/board/model/record_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/cp932.h"
#include "platform/files.h"

namespace {
// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korrecord.XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  operator std::string() const { return path_; }

 private:
  std::string path_;
};
}  // namespace

TEST(RecordFileNames, SgfIsAddedOnlyWhenTheFileNameHasNoDot) {
  struct Case {
    const char* chosen;
    const char* record;
    const char* chat;
  } cases[] = {
      {"/home/u/game", "/home/u/game.sgf", "/home/u/gameChat.dat"},
      {"/home/u/game.sgf", "/home/u/game.sgf", "/home/u/gameChat.dat"},
      {"/home/u/v1.2/game", "/home/u/v1.2/game.sgf", "/home/u/v1.2/gameChat.dat"},
      {"/home/u.sgf/game", "/home/u.sgf/game.sgf", "/home/u.sgf/gameChat.dat"},
      {"/home/u/a.sgf.sgf", "/home/u/a.sgf.sgf", "/home/u/aChat.dat.sgf"},
      {"/home/u/game.SGF", "/home/u/game.SGF", "/home/u/gameChat.dat"},
      {"/home/u/a.b", "/home/u/a.b", "/home/u/a.bChat.dat"},
      {"game", "game.sgf", "gameChat.dat"},
  };
  for (const auto& c : cases) {
    const std::string record = SgfFileName(c.chosen);
    EXPECT_EQ(record, c.record) << c.chosen;
    EXPECT_EQ(ChatLogFileName(record), c.chat) << c.chosen;
    EXPECT_NE(ChatLogFileName(record), record) << c.chosen;  // never the record itself
  }
  EXPECT_EQ(FolderOfPath("/home/u/game.sgf"), "/home/u");
  EXPECT_EQ(FolderOfPath("/game.sgf"), "/");
  EXPECT_EQ(FolderOfPath("game.sgf"), "");
}

TEST(RecordFiles, RecordAndChatLogAreWrittenByteForByte) {
  const TempFolder temp;
  const std::string folder = temp;
  const std::string record = "(;GM[1]FF[1]SZ[19])";
  const std::string chat = J("黒：よろしく") + "\r\n";
  const std::string diagrams = "<<DiaData=1>>";
  const RecordSaveResult saved = SaveRecordFiles(JoinPath(folder, "game"), record, chat, diagrams);
  ASSERT_TRUE(saved.RecordWritten);
  ASSERT_TRUE(saved.ChatLogWritten);
  EXPECT_EQ(saved.RecordPath, JoinPath(folder, "game.sgf"));
  EXPECT_EQ(saved.ChatLogPath, JoinPath(folder, "gameChat.dat"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(saved.RecordPath, bytes));
  EXPECT_EQ(bytes, record);
  ASSERT_TRUE(ReadWholeFile(saved.ChatLogPath, bytes));
  EXPECT_EQ(bytes, J("ヌルカ - Korvanta - チャットログ") + "\r\n\r\n" + chat + "\r\n\r\n" +
                       J("---碁盤データ---") + "\r\n\r\n" + diagrams);
}

TEST(RecordFiles, NoChatNoLogAndNoLogWithoutTheRecord) {
  const TempFolder temp;
  const std::string folder = temp;
  const RecordSaveResult quiet = SaveRecordFiles(JoinPath(folder, "quiet"), "(;)", "", "x");
  EXPECT_TRUE(quiet.RecordWritten);
  EXPECT_TRUE(quiet.ChatLogPath.empty());
  EXPECT_FALSE(FileExists(JoinPath(folder, "quietChat.dat")));
  EXPECT_EQ(ChatLogText("hi", ""), J("ヌルカ - Korvanta - チャットログ") + "\r\n\r\nhi");

  const RecordSaveResult failed =
      SaveRecordFiles(JoinPath(folder, "missing/folder/game"), "(;)", "chat", "");
  EXPECT_FALSE(failed.RecordWritten);
  EXPECT_FALSE(failed.ChatLogWritten);
  EXPECT_FALSE(FileExists(failed.ChatLogPath));
}
