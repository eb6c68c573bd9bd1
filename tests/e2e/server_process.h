// tests/e2e/server_process.h — the real server program on a free port in a temporary working
// folder, and scripted protocol clients that talk to it over loopback.
#pragma once
#include <QProcess>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "tests/qt_wait.h"

// One run of the server program. The working folder is fresh and kept for inspection.
class ServerProcess {
 public:
  ServerProcess();
  ~ServerProcess();
  // Starts the program on a free port and waits until its own listening socket answers; false on
  // failure. `first_port`, when given, is tried first (a test of a port that is taken).
  bool Start(std::uint16_t first_port = 0);
  // Starts the program on `port` without waiting for it (a test of a failing start).
  void Launch(std::uint16_t port);
  // Waits up to `timeout_ms` for the program to end; its exit code, or -1 when it did not end
  // (it is then killed).
  int WaitForExit(int timeout_ms);
  // Sends `signal` and waits for the program to end; its exit code, or -1.
  int Stop(int signal);
  // The program may open at most `count` descriptors (set before Start).
  void LimitDescriptors(int count) { descriptor_limit_ = count; }
  // True when the program itself holds the listening socket on its port. Another program, such
  // as the server of a test running beside this one that took the same free port a moment
  // earlier, may answer on that port while this one is still starting.
  bool ListensOnItsPort() const;
  // The processor time the program used so far, in seconds.
  double CpuSeconds() const;
  // Sends SIGTERM and waits for the program to end; its exit code, or -1 when it did not end.
  int Terminate();
  std::uint16_t port() const { return port_; }
  const std::string& folder() const { return folder_; }
  // What the program wrote on its standard error so far.
  std::string ErrorOutput();

 private:
  void Spawn();

  std::string folder_;
  std::uint16_t port_ = 0;
  int descriptor_limit_ = 0;
  QProcess process_;
};

// A participant's connection, driven by the test with cp932 bytes.
class ProtocolClient {
 public:
  bool Connect(std::uint16_t port);
  void Send(const std::string& bytes);
  // Waits until the bytes received and not yet consumed contain `text`; consumes everything up
  // to and including it and returns true; false after the timeout.
  bool Expect(const std::string& text, int timeout_ms = kWaitMs);
  // Waits until every one of `texts` has arrived, in any order (messages from different
  // participants reach the server in no promised order); consumes everything up to the end of
  // the one that arrived last. False after the timeout.
  bool ExpectAll(const std::vector<std::string>& texts, int timeout_ms = kWaitMs);
  // Waits until the bytes not yet consumed begin with `text` and consumes it; false when other
  // bytes arrive first or after the timeout (what arrived instead is kept for Pending()).
  bool ExpectNext(const std::string& text, int timeout_ms = kWaitMs);
  // Everything received and not yet consumed (waits briefly for pending bytes first).
  std::string Pending();
  bool WaitForDisconnect(int timeout_ms = kWaitMs);
  // Ends the connection from this side, after the bytes sent so far.
  void Disconnect();
  // Drops the connection at once, as a crashed client does.
  void Abort();

  // Connects, waits for the name prompt and logs in as a player or a watch-only participant;
  // false when the prompt did not come. The server's answer is left for the test to read.
  bool ConnectAndLogin(std::uint16_t port, const std::string& name, bool plays);

 private:
  void Pull();

  QTcpSocket socket_;
  std::string received_;
};

// A TCP port that was free a moment ago.
std::uint16_t FreePort();
