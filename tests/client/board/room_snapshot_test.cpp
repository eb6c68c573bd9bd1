// Tests of reading the analysis room's snapshot: each part where the server puts it, whatever the
// chat, the record or the diagrams hold.
#include "client/board/model/room_snapshot.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/cp932.h"

namespace {

// The parts of a snapshot as the server writes them.
struct SnapshotParts {
  std::string Holder, Count = "2", Members = "\r\nA\r\nB\r\n", Chat, RegList = "\r\n", Record,
                      MoveSuu, GameList, Diagrams;

  std::string Text() const {
    return "<<DiscussEnter>><<Discusser=" + Holder + ">><<DiscussCount=" + Count +
           ">><<DiscussList=" + Members + ">><<DiscussMese=" + Chat +
           ">><<DiscussRegList=" + RegList + ">>" + Record + MoveSuu + GameList +
           "<<DiscussDia=" + Diagrams + ">><<DraumEND>>";
  }
};

}  // namespace

TEST(RoomSnapshot, TagsInsideChatRecordsAndDiagramsChangeNothing) {
  struct Case {
    const char* what;
    SnapshotParts parts;
  };
  SnapshotParts quiet;  // no holder, no record, no game, no diagrams
  SnapshotParts chat = quiet;
  chat.Chat = "<<Discusser=X<<MoveSuu=3<<GameList=a,<<GameData=(;SZ[9])<<DiscussDia={1}\r\n";
  SnapshotParts diagrams = quiet;
  diagrams.Diagrams =
      "{1}<<DiaData=<<DiscussMese=x<<MoveSuu=9<<Discusser=Y<<DraumEND>{2}<<DiaData=>>";
  SnapshotParts record = quiet;
  // A record from the clipboard holding ">>" and tags; the room read it up to the first ">>".
  record.Record = "<<DiscussKifu=(;SZ[9];B[cc]>><<MoveSuu=7>><<GameList=z,>>;W[dd])>>";
  const Case cases[] = {{"chat", chat}, {"diagrams", diagrams}, {"record", record}};
  for (const auto& c : cases) {
    const RoomSnapshot s = ReadRoomSnapshot(c.parts.Text());
    EXPECT_EQ(s.Operator, "") << c.what;
    EXPECT_EQ(s.MemberList, quiet.Members) << c.what;
    EXPECT_EQ(s.ChatLog, c.parts.Chat) << c.what;
    EXPECT_EQ(s.Diagrams, c.parts.Diagrams) << c.what;
  }
  EXPECT_EQ(ReadRoomSnapshot(chat.Text()).MoveSuu, -1);
  EXPECT_EQ(ReadRoomSnapshot(chat.Text()).GameList, "");
  EXPECT_EQ(ReadRoomSnapshot(diagrams.Text()).MoveSuu, -1);
  EXPECT_EQ(ReadRoomSnapshot(record.Text()).Record, "(;SZ[9];B[cc]");
}

TEST(RoomSnapshot, WithoutItsPartsNothingIsRead) {
  EXPECT_FALSE(ReadRoomSnapshot("<<DiscussEnter>>").Read);
  EXPECT_FALSE(ReadRoomSnapshot("<<DiscussEnter>><<Discusser=A").Read);
  const RoomSnapshot cut = ReadRoomSnapshot("<<DiscussEnter>><<Discusser=>><<DiscussCount=x>>");
  EXPECT_TRUE(cut.Read);
  EXPECT_EQ(cut.MemberCount, 0);
  EXPECT_EQ(cut.MoveSuu, -1);
  EXPECT_EQ(cut.Diagrams, "");
}
