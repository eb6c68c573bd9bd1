// Tests of message framing: every message survives being split at any byte.
#include "protocol/message_framer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// Feeds `stream` in two reads split at `at`; returns the messages handed over.
std::vector<std::string> SplitAt(const std::string& stream, std::size_t at) {
  MessageFramer framer;
  std::vector<std::string> out;
  for (std::string_view piece : {std::string_view(stream).substr(0, at),
                                 std::string_view(stream).substr(at)}) {
    if (auto message = framer.Feed(piece)) out.push_back(*message);
  }
  EXPECT_FALSE(framer.Holding()) << stream << " split at " << at;
  return out;
}
}  // namespace

// A split inside a tag is always joined. A split right after a ">>" cannot be told from the end of
// a message (the protocol has no lengths); then the two parts still arrive in order, nothing lost,
// except inside a snapshot, which is always held to its end mark.
TEST(MessageFramer, AMessageSplitAtEveryByteArrivesWholeOrInOrder) {
  const std::string messages[] = {
      "<<Status>><<IdCount=2>><<WaitList=alice\r\nbob\r\n>><<WaitHint=[0][0]>>",
      "<<QuellName=",
      "<<SysComeIn>>",
      // A watch snapshot: its diagram data holds ">>" inside.
      "<<WatchGame=1>><<AllMese=>><<AllGameData=(;SZ[19];[pd])>><<KuroTime=0:1:0>>"
      "<<SiroTime=0:1:0>><<WatchCount=1>><<WatchList=c\n>><<WaitHint=>><<GameIndex=1>>"
      "<<DiaStr={1}<<DiaData=(;SZ[9])>>{2}<<DiaData=(;SZ[9])>>>><<DraumEND>>",
      "<<DiscussEnter>><<Discusser=>><<DiscussCount=1>><<DiscussList=\r\na\r\n>>"
      "<<DiscussDia={3}<<DiaData=x>>>><<DraumEND>>",
  };
  for (const std::string& message : messages) {
    const bool snapshot = message.find("<<DraumEND>>") != std::string::npos;
    for (std::size_t at = 0; at <= message.size(); ++at) {
      const std::vector<std::string> got = SplitAt(message, at);
      const bool at_tag_end = at >= 2 && message.compare(at - 2, 2, ">>") == 0;
      if (snapshot || !at_tag_end || at == message.size()) {
        EXPECT_EQ(got, std::vector<std::string>{message}) << "split at " << at;
      } else {
        EXPECT_EQ(got, (std::vector<std::string>{message.substr(0, at), message.substr(at)}))
            << "split at " << at;
      }
    }
  }
}

TEST(MessageFramer, MessagesInOneReadStayOneText) {
  MessageFramer framer;
  EXPECT_EQ(framer.Feed("<<SeeMeseNow>><<MainMese=hi>>"), "<<SeeMeseNow>><<MainMese=hi>>");
  // The end of one message and the start of the next: held until the next one ends.
  EXPECT_EQ(framer.Feed("<<A>><<B"), std::nullopt);
  EXPECT_EQ(framer.Feed(">>"), "<<A>><<B>>");
  // A snapshot followed in the same read by another message.
  EXPECT_EQ(framer.Feed("<<WatchGame=2>><<DiaStr=>><<DraumEND>><<GameMese=x>>"),
            "<<WatchGame=2>><<DiaStr=>><<DraumEND>><<GameMese=x>>");
  EXPECT_FALSE(framer.Holding());
}

TEST(MessageFramer, TheServerNeverWaitsForASnapshotEnd) {
  MessageFramer server(MessageFramer::Side::Server);
  EXPECT_EQ(server.Feed("<<WatchGame=1>>"), "<<WatchGame=1>>");
  EXPECT_EQ(server.Feed("<<DiscussEnter>>"), "<<DiscussEnter>>");
  EXPECT_EQ(server.Feed("<<Watch"), std::nullopt);
  EXPECT_EQ(server.Feed("Game=2>>"), "<<WatchGame=2>>");
  MessageFramer client(MessageFramer::Side::Client);
  EXPECT_EQ(client.Feed("<<WatchGame=1>>"), std::nullopt);
}

TEST(MessageFramer, HostileStreamsCannotGrowWithoutBound) {
  MessageFramer framer;
  const std::string block(1024 * 1024, 'x');
  int handed_over = 0;
  for (int i = 0; i < 20; ++i) {
    if (auto message = framer.Feed(block)) {
      ++handed_over;
      EXPECT_LE(message->size(), MessageFramer::kMaxHeld + block.size());
    }
  }
  EXPECT_GE(handed_over, 2);
  framer.Reset();
  EXPECT_FALSE(framer.Holding());
  EXPECT_EQ(framer.Feed(""), std::nullopt);
}
