// tests/client/connection/client_windows_fixture.h — all of the client's windows, offscreen, on
// test doubles: a scripted socket, prompts, clipboard, sounds, clock and random numbers, with
// fresh program and work folders.
#pragma once
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "client/connection/client_program.h"
#include "platform/fake_client_connection.h"

class ClientWindowsTest : public ::testing::Test {
 protected:
  ClientWindowsTest();
  ~ClientWindowsTest() override;

  // Creates the windows (tests prepare the settings file and the clipboard before) and shows the
  // connect window as the program does.
  void Start();
  // Destroys the windows and drops the connection (a test may Start again afterwards).
  void Stop();
  // Start, then connect with `key` and log in as `name` through the server's prompt; the server
  // accepts with `accepted` (a LoginAccepted message). Forgets the prompts shown so far.
  void StartAndLogIn(const std::string& name = "Taro", const std::string& accepted =
                                                           "<<SysComeIn>><<Status>><<IdCount=1>>"
                                                           "<<PlayList=>><<WaitList=Taro\r\n>>"
                                                           "<<WaitHint=[0]>><<LookList=>>");
  // The texts of the message boxes shown since the last call (forgets them).
  std::vector<std::string> Messages();
  // What the client sent since the last call.
  std::vector<std::string> Sent() { return socket_.Take(); }

  std::string ProgramPath(const std::string& name) const;
  std::string WorkPathOf(const std::string& name) const;

  FakeClientConnection socket_;
  ScriptedPrompts prompts_;
  MemoryClipboard clipboard_;
  RecordingSoundPlayer sounds_;
  FixedClock clock_;
  ScriptedRandomNumbers random_;
  QTemporaryDir program_dir_;
  QTemporaryDir work_dir_;
  ClientEnvironment env_;
  bool ended_ = false;  // the main form closed: the program would end here

 private:
  bool started_ = false;
};
