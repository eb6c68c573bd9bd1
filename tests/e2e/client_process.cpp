// tests/e2e/client_process.cpp — starting the scripted client and talking to it.
#include "tests/e2e/client_process.h"

#include <QElapsedTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

ClientProcess::ClientProcess() {
  std::string pattern = (std::filesystem::temp_directory_path() / "korvanta.XXXXXX").string();
  folder_ = mkdtemp(pattern.data());
}

ClientProcess::~ClientProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(3000);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

bool ClientProcess::Start(std::uint16_t port, const std::string& name) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  // Offscreen, unless the run asks for a real display (KOR_E2E_PLATFORM=xcb under Xvfb).
  const QString platform = env.value("KOR_E2E_PLATFORM", "offscreen");
  env.insert("QT_QPA_PLATFORM", platform);
  if (platform != "offscreen") {
    // A real display brings in the desktop bus library, whose buffer left at exit the leak
    // checker of a sanitizer build would report as the client's failure.
    const std::string suppressions = folder_ + "/leaks.supp";
    std::ofstream(suppressions) << "leak:libdbus-1.so\n";
    const QString options = env.value("LSAN_OPTIONS");
    env.insert("LSAN_OPTIONS", (options.isEmpty() ? QString() : options + ":") +
                                   "suppressions=" + QString::fromStdString(suppressions));
  }
  process_.setProcessEnvironment(env);
  process_.setWorkingDirectory(QString::fromStdString(folder_));
  process_.start(
      QString::fromStdString(std::string(KOR_BIN_DIR) + "/ScriptedKorvanta"),
      {QString::number(port), QString::fromStdString(name), QString::fromStdString(folder_)});
  if (!process_.waitForStarted(kProgramStartMs)) return false;
  std::string line;
  return ReadLine(line, kProgramStartMs) && line == "ready";
}

bool ClientProcess::ReadLine(std::string& line, int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  while (true) {
    const std::size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      return true;
    }
    const qint64 left = timeout_ms - clock.elapsed();
    if (left <= 0 || process_.state() == QProcess::NotRunning) return false;
    if (process_.waitForReadyRead(static_cast<int>(left))) {
      buffer_ += process_.readAllStandardOutput().toStdString();
    }
  }
}

std::string ClientProcess::Command(const std::string& line, int timeout_ms) {
  process_.write((line + "\n").c_str());
  process_.waitForBytesWritten(timeout_ms);
  std::string answer;
  return ReadLine(answer, timeout_ms) ? answer : std::string();
}

ClientProcess::State ClientProcess::Now() {
  State state;
  const std::string text = Command("state");
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\t', at);
    if (end == std::string::npos) end = text.size();
    const std::string field = text.substr(at, end - at);
    const std::size_t equals = field.find('=');
    if (equals != std::string::npos) state[field.substr(0, equals)] = field.substr(equals + 1);
    at = end + 1;
  }
  return state;
}

ClientProcess::State ClientProcess::WaitFor(const std::function<bool(const State&)>& holds,
                                            int timeout_ms) {
  QElapsedTimer clock;
  clock.start();
  State state = Now();
  // Each question is a round trip to the client, which handles its events meanwhile.
  while (!holds(state) && clock.elapsed() < timeout_ms) state = Now();
  return state;
}

int ClientProcess::Quit() {
  if (process_.state() == QProcess::NotRunning) return -1;
  Command("quit");
  if (!process_.waitForFinished(kProgramStartMs)) return -1;
  return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

std::string ClientProcess::ErrorOutput() { return process_.readAllStandardError().toStdString(); }

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

std::string Field(const ClientProcess::State& state, const std::string& key) {
  const auto found = state.find(key);
  return found == state.end() ? std::string() : found->second;
}

std::function<bool(const ClientProcess::State&)> Shows(
    std::initializer_list<std::pair<std::string, std::string>> wanted) {
  std::vector<std::pair<std::string, std::string>> pairs(wanted);
  return [pairs](const ClientProcess::State& state) {
    for (const auto& [key, value] : pairs) {
      if (Field(state, key) != value) return false;
    }
    return true;
  };
}
