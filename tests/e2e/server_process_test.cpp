// End-to-end tests of the server program: start-up, the prompt, and the close on SIGTERM.
#include "tests/e2e/server_process.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/files.h"

TEST(ServerProcess, SigtermClosesLikeTheWindowWritingLogsAndSettings) {
  ServerProcess server;
  ASSERT_TRUE(server.Start()) << server.ErrorOutput();

  ProtocolClient client;
  ASSERT_TRUE(client.Connect(server.port()));
  EXPECT_TRUE(client.Expect("<<QuellName="));

  EXPECT_EQ(server.Terminate(), 0) << server.ErrorOutput();
  std::string log, settings;
  ASSERT_TRUE(ReadWholeFile(JoinPath(server.folder(), "Log/DraumLog.dat"), log));
  EXPECT_EQ(log.rfind("//===", 0), 0u);
  EXPECT_NE(log.find("===//\r\n" + J("<<サーバ起動ＯＫ>>") + "\r\n//==="), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");
  ASSERT_TRUE(ReadWholeFile(JoinPath(server.folder(), "QuellDraum.dat"), settings));
  EXPECT_EQ(settings, "LogSave[1]\r\nGameLimit[5]\r\nJoinLimit[50]\r\n");
  EXPECT_FALSE(FileExists(JoinPath(server.folder(), "Log/DraumChat.dat")));
}

// Measured before: tests running side by side may both be handed the same free port; the second
// server then ends (the port is taken), but its test took the first server's answer for its own
// and talked to the other test's server. A server is now up only when it holds the port itself.
TEST(ServerProcess, AStartOnAPortAnotherServerHoldsMovesToAPortOfItsOwn) {
  ServerProcess first, second;
  ASSERT_TRUE(first.Start()) << first.ErrorOutput();
  EXPECT_TRUE(first.ListensOnItsPort());
  ASSERT_TRUE(second.Start(first.port())) << second.ErrorOutput();
  EXPECT_NE(second.port(), first.port());
  EXPECT_TRUE(second.ListensOnItsPort());
  // Each answers its own participants.
  ProtocolClient alice, bob;
  ASSERT_TRUE(alice.ConnectAndLogin(first.port(), "alice", true));
  ASSERT_TRUE(alice.Expect("<<IdCount=1>>")) << alice.Pending();
  ASSERT_TRUE(bob.ConnectAndLogin(second.port(), "bob", true));
  ASSERT_TRUE(bob.Expect("<<IdCount=1>>")) << bob.Pending();
  EXPECT_EQ(first.Terminate(), 0);
  EXPECT_EQ(second.Terminate(), 0);
}
