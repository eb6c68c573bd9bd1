// tests/e2e/client_process.h — one client program, its windows offscreen, driven by the test
// through the scripted client's commands (tests/e2e/scripted_korvanta.cpp).
#pragma once
#include <QProcess>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "tests/qt_wait.h"

class ClientProcess {
 public:
  using State = std::map<std::string, std::string>;

  ClientProcess();
  ~ClientProcess();
  // Starts the client, which logs in as `name` (UTF-8) to the server on `port`; true once it
  // runs.
  bool Start(std::uint16_t port, const std::string& name);
  // Sends one command line and returns the client's answer (empty after the timeout).
  std::string Command(const std::string& line, int timeout_ms = kWaitMs);
  // What the windows show now: the fields of the "state" answer.
  State Now();
  // Asks for the state until `holds` is true of it or the timeout passed; the last state.
  State WaitFor(const std::function<bool(const State&)>& holds, int timeout_ms = kWaitMs);
  // The message boxes and questions shown since the last call ("?" marks a question), UTF-8.
  std::string Messages() { return Command("messages"); }
  // Ends the program through its main window; its exit code, or -1.
  int Quit();
  // What the program wrote on its standard error.
  std::string ErrorOutput();

 private:
  bool ReadLine(std::string& line, int timeout_ms);

  std::string folder_;
  QProcess process_;
  std::string buffer_;
};

// One field of a state; empty when the state has none.
std::string Field(const ClientProcess::State& state, const std::string& key);
// A test of a state: every key shows its value.
std::function<bool(const ClientProcess::State&)> Shows(
    std::initializer_list<std::pair<std::string, std::string>> wanted);

// Bytes from the hex text the scripted client writes them in.
std::string FromHex(const std::string& hex);
