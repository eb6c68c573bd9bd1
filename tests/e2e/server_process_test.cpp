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
