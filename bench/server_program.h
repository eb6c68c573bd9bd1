// bench/server_program.h — the real server program started on a free loopback port in a
// temporary working folder, and what the tools read about it from /proc.
#pragma once
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace bench {

[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
  std::exit(1);
}

struct ServerRun {
  pid_t pid = -1;
  std::uint16_t port = 0;
  std::string folder;
};

inline std::uint16_t FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Fail("no free port");
  socklen_t length = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
  close(fd);
  return ntohs(addr.sin_port);
}

// Starts `program` with the port as its argument, offscreen, in a fresh temporary folder.
inline ServerRun StartServer(const std::string& program, const char* folder_prefix) {
  ServerRun run;
  std::string pattern =
      (std::filesystem::temp_directory_path() / (std::string(folder_prefix) + ".XXXXXX")).string();
  if (!mkdtemp(pattern.data())) Fail("no temporary folder");
  run.folder = pattern;
  run.port = FreePort();
  run.pid = fork();
  if (run.pid < 0) Fail("fork failed");
  if (run.pid == 0) {
    if (chdir(run.folder.c_str()) != 0) _exit(127);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    const std::string port = std::to_string(run.port);
    execl(program.c_str(), program.c_str(), port.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return run;
}

// Ends the program with SIGTERM (it writes its logs and settings) and removes its folder.
inline void StopServer(const ServerRun& run) {
  kill(run.pid, SIGTERM);
  int status = 0;
  waitpid(run.pid, &status, 0);
  std::error_code ignored;
  std::filesystem::remove_all(run.folder, ignored);
}

inline double NowMilliseconds() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Waits until the server answers a connection with the name prompt; a connection that arrives
// before its own test connection gets none, so unanswered probes are repeated.
inline void WaitUntilListening(const ServerRun& server, const std::string& program) {
  const double until = NowMilliseconds() + 15000;
  for (bool up = false; !up;) {
    if (NowMilliseconds() > until) Fail("the server did not start: " + program);
    int status = 0;
    if (waitpid(server.pid, &status, WNOHANG) == server.pid) Fail("the server ended: " + program);
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(server.port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      timeval timeout{0, 300000};
      setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
      std::array<char, 64> buffer;
      const ssize_t n = read(fd, buffer.data(), buffer.size());
      up = n > 0 &&
           std::string(buffer.data(), static_cast<std::size_t>(n)).find("<<QuellName=") == 0;
    } else {
      usleep(50000);
    }
    close(fd);
  }
}

// User plus system CPU seconds of the process so far.
inline double CpuSeconds(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::size_t paren = stat.rfind(')');
  if (paren == std::string::npos) return 0;
  std::istringstream fields(stat.substr(paren + 2));
  std::string field;
  long long utime = 0, stime = 0;
  // After the command come state (field 3) ... utime (14) and stime (15).
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::atoll(field.c_str());
    if (i == 15) stime = std::atoll(field.c_str());
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A "Vm..." line of /proc/<pid>/status in megabytes.
inline double MemoryMb(pid_t pid, const std::string& key) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::atof(line.c_str() + key.size() + 1) / 1024.0;
  }
  return 0;
}

// KordraumOnPort beside the running tool.
inline std::string DefaultServer(const char* argv0) {
  std::error_code ignored;
  auto self = std::filesystem::canonical("/proc/self/exe", ignored);
  if (self.empty()) self = std::filesystem::absolute(argv0);
  return (self.parent_path() / "KordraumOnPort").string();
}

}  // namespace bench
