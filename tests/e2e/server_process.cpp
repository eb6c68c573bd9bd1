// tests/e2e/server_process.cpp — starting the server program and talking to it.
#include "tests/e2e/server_process.h"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QTcpServer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "tests/qt_wait.h"

std::uint16_t FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

ServerProcess::ServerProcess() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kordraum.XXXXXX").string();
  folder_ = mkdtemp(pattern.data());
}

ServerProcess::~ServerProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(3000);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void ServerProcess::Spawn() {
  const std::string program = std::string(KOR_BIN_DIR) + "/KordraumOnPort";
  process_.setWorkingDirectory(QString::fromStdString(folder_));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  process_.setProcessEnvironment(env);
  if (descriptor_limit_ > 0) {
    const rlim_t limit = static_cast<rlim_t>(descriptor_limit_);
    process_.setChildProcessModifier([limit] {
      const rlimit descriptors{limit, limit};
      ::setrlimit(RLIMIT_NOFILE, &descriptors);
    });
  }
  process_.start(QString::fromStdString(program), {QString::number(port_)});
}

void ServerProcess::Launch(std::uint16_t port) {
  port_ = port;
  Spawn();
  process_.waitForStarted(kProgramStartMs);
}

int ServerProcess::WaitForExit(int timeout_ms) {
  if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(timeout_ms)) {
    process_.kill();
    process_.waitForFinished(3000);
    return -1;
  }
  return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

int ServerProcess::Stop(int signal) {
  if (process_.state() == QProcess::NotRunning) return -1;
  ::kill(static_cast<pid_t>(process_.processId()), signal);
  return WaitForExit(kProgramStartMs);
}

double ServerProcess::CpuSeconds() const {
  std::ifstream file("/proc/" + std::to_string(process_.processId()) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::size_t paren = stat.rfind(')');
  if (paren == std::string::npos) return 0;
  std::istringstream fields(stat.substr(paren + 2));
  std::string field;
  long long ticks = 0;
  // After the command come state (field 3) ... utime (14) and stime (15).
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::atoll(field.c_str());
  }
  return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool ServerProcess::ListensOnItsPort() const {
  if (process_.state() != QProcess::Running) return false;
  // The listening IPv4 sockets on the port, by inode: "sl local rem st tx:rx tr:when retrnsmt
  // uid timeout inode ...", the local address as hexadecimal "address:port", state 0A listening.
  std::set<std::string> listeners;
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
        timeout >> inode;
    const std::size_t colon = local.find(':');
    if (state != "0A" || colon == std::string::npos) continue;
    if (std::strtoul(local.c_str() + colon + 1, nullptr, 16) != port_) continue;
    listeners.insert("socket:[" + inode + "]");
  }
  std::error_code error;
  const std::filesystem::path descriptors = "/proc/" + std::to_string(process_.processId()) + "/fd";
  for (const auto& entry : std::filesystem::directory_iterator(descriptors, error)) {
    const std::filesystem::path target = std::filesystem::read_symlink(entry.path(), error);
    if (!error && listeners.count(target.string())) return true;
  }
  return false;
}

bool ServerProcess::Start(std::uint16_t first_port) {
  // Another program may take the free port before the server listens on it; the server then
  // ends at once, and another port is tried.
  for (int attempt = 0; attempt < 5; ++attempt) {
    port_ = attempt == 0 && first_port != 0 ? first_port : FreePort();
    Spawn();
    if (!process_.waitForStarted(kProgramStartMs)) return false;
    // The server is up once a connection is answered with the name prompt. A connection that
    // arrives before the server's own test connection is taken for it and gets no prompt, so
    // unanswered probes are repeated. A server that is still starting is waited for: on a loaded
    // machine that takes many seconds, and starting it again would only begin anew. Only our own
    // server's answer counts.
    ProtocolClient probe;
    const auto answered = [&] {
      return process_.state() == QProcess::NotRunning ||
             (ListensOnItsPort() && probe.Connect(port_) && probe.Expect("<<QuellName=", 2000));
    };
    if (WaitFor(answered, kProgramStartMs) && process_.state() != QProcess::NotRunning) {
      return true;
    }
    process_.kill();
    process_.waitForFinished(kWaitMs);
  }
  return false;
}

int ServerProcess::Terminate() { return Stop(SIGTERM); }

std::string ServerProcess::ErrorOutput() { return process_.readAllStandardError().toStdString(); }

bool ProtocolClient::Connect(std::uint16_t port) {
  socket_.abort();
  socket_.connectToHost("127.0.0.1", port);
  return socket_.waitForConnected(kWaitMs);
}

void ProtocolClient::Send(const std::string& bytes) {
  socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  socket_.flush();
}

void ProtocolClient::Pull() { received_ += socket_.readAll().toStdString(); }

bool ProtocolClient::Expect(const std::string& text, int timeout_ms) {
  std::size_t at = std::string::npos;
  const bool found = WaitFor(
      [&] {
        Pull();
        at = received_.find(text);
        return at != std::string::npos;
      },
      timeout_ms);
  if (found) received_.erase(0, at + text.size());
  return found;
}

bool ProtocolClient::ExpectAll(const std::vector<std::string>& texts, int timeout_ms) {
  std::size_t end = 0;
  const bool found = WaitFor(
      [&] {
        Pull();
        end = 0;
        for (const std::string& text : texts) {
          const std::size_t at = received_.find(text);
          if (at == std::string::npos) return false;
          end = std::max(end, at + text.size());
        }
        return true;
      },
      timeout_ms);
  if (found) received_.erase(0, end);
  return found;
}

bool ProtocolClient::ExpectNext(const std::string& text, int timeout_ms) {
  const auto decided = [&] {
    Pull();
    const std::size_t n = std::min(received_.size(), text.size());
    return received_.compare(0, n, text, 0, n) != 0 || received_.size() >= text.size();
  };
  if (!WaitFor(decided, timeout_ms)) return false;
  if (received_.compare(0, text.size(), text) != 0) return false;
  received_.erase(0, text.size());
  return true;
}

std::string ProtocolClient::Pending() {
  socket_.waitForReadyRead(50);
  Pull();
  std::string pending;
  pending.swap(received_);
  return pending;
}

void ProtocolClient::Disconnect() { socket_.disconnectFromHost(); }

void ProtocolClient::Abort() { socket_.abort(); }

bool ProtocolClient::ConnectAndLogin(std::uint16_t port, const std::string& name, bool plays) {
  if (!Connect(port) || !ExpectNext("<<QuellName=")) return false;
  Send("<<QuellName=" + name + ">><<IdFlag=" + (plays ? "1" : "0") + ">>");
  return true;
}

bool ProtocolClient::WaitForDisconnect(int timeout_ms) {
  return WaitFor([&] { return socket_.state() == QAbstractSocket::UnconnectedState; }, timeout_ms);
}
