// bench/flood_tool.cpp — floods the real server program with cheap requests that each write an
// event line (a watch request for a game that does not exist), then reports how long the server
// took to work through them, its CPU time and memory, and how long its close took. A second mode
// reconnects from one address over and over, each time logging in and sending challenges to a
// name nobody has, and reports what that run cost the server's memory and log.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/server_program.h"

namespace {
using bench::Fail;

int Connect(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    Fail(std::string("connect: ") + std::strerror(errno));
  }
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

// False once the server has closed the connection.
bool SendAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EPIPE || errno == ECONNRESET)) {
      return false;
    } else if (n < 0 && errno != EINTR) {
      Fail(std::string("send: ") + std::strerror(errno));
    }
  }
  return true;
}

// Reads until `text` has arrived; everything read so far is dropped with it. False when the
// server closes the connection first.
bool Await(int fd, const std::string& text, std::string& in) {
  char buffer[65536];
  for (;;) {
    if (const std::size_t at = in.find(text); at != std::string::npos) {
      in.erase(0, at + text.size());
      return true;
    }
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno == ECONNRESET)) return false;
    if (n < 0 && errno != EINTR) Fail(std::string("read: ") + std::strerror(errno));
    if (n > 0) in.append(buffer, static_cast<std::size_t>(n));
  }
}

void Expect(int fd, const std::string& text, std::string& in) {
  if (!Await(fd, text, in)) Fail("disconnected while waiting for " + text);
}

void Usage() {
  std::printf(
      "usage: kordraum_flood [--count N] [--reconnect SECONDS [--challenges N]] [--server PATH]\n"
      "  --count N          watch requests for a game that does not exist (default 1000000)\n"
      "  --reconnect S      instead: reconnect for S seconds, each time logging in and sending\n"
      "                     challenges to a 64-byte name nobody has, until the server closes\n"
      "  --challenges N     challenges per connection in that mode (default 250; 0: only log\n"
      "                     in and out)\n"
      "  --server PATH      the server program taking its port as first argument\n"
      "                     (default: KordraumOnPort beside this program)\n");
}

// Reads until the server closes the connection, or `milliseconds` pass without a byte.
void ReadUntilClosed(int fd, int milliseconds) {
  timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0 || (n < 0 && errno == EINTR)) continue;
    return;
  }
}

// The reconnect flood: one address connects, logs in under a new name, sends its challenges in
// one write and waits to be closed, again and again.
int ReconnectFlood(const std::string& program, double seconds, int challenges) {
  const bench::ServerRun server = bench::StartServer(program, "kordraum_flood");
  bench::WaitUntilListening(server, program);
  const double rss_before = bench::MemoryMb(server.pid, "VmRSS");
  const double cpu_before = bench::CpuSeconds(server.pid);
  const std::string target(64, 'n');
  const double start = bench::NowMilliseconds();
  long long rounds = 0, logged_in = 0;
  while (bench::NowMilliseconds() - start < seconds * 1000) {
    const int fd = Connect(server.port);
    std::string in;
    const std::string name = "flood" + std::to_string(rounds++);
    if (Await(fd, "<<QuellName=", in) && SendAll(fd, "<<QuellName=" + name + ">><<IdFlag=1>>") &&
        Await(fd, "<<SysComeIn>>", in)) {
      ++logged_in;
      std::string burst;
      for (int i = 0; i < challenges; ++i) {
        burst += "<<GameSet>><<Player1=" + name + ">><<Player2=" + target + ">><<BanSize=19>>";
      }
      if (challenges > 0 && SendAll(fd, burst)) ReadUntilClosed(fd, 2000);
    }
    // Ended with a reset, so that a minute of reconnects leaves no ports waiting.
    const linger reset{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(fd);
  }
  const double elapsed = (bench::NowMilliseconds() - start) / 1000;
  const double cpu = bench::CpuSeconds(server.pid) - cpu_before;
  const double rss_after = bench::MemoryMb(server.pid, "VmRSS");
  const double peak = bench::MemoryMb(server.pid, "VmHWM");
  kill(server.pid, SIGTERM);
  int status = 0;
  waitpid(server.pid, &status, 0);
  std::error_code no_log, ignored;
  const auto log_bytes = std::filesystem::file_size(
      std::filesystem::path(server.folder) / "Log" / "DraumLog.dat", no_log);
  std::filesystem::remove_all(server.folder, ignored);

  std::printf("Kordraum reconnect flood: %.1f s from one address, %d challenges a connection\n",
              elapsed, challenges);
  std::printf("  connections         %9lld (%.0f a second), %lld of them logged in\n", rounds,
              static_cast<double>(rounds) / elapsed, logged_in);
  std::printf("  server CPU          %9.2f s\n", cpu);
  std::printf("  resident memory     %9.1f MB before, %.1f MB after (+%.1f), peak %.1f MB\n",
              rss_before, rss_after, rss_after - rss_before, peak);
  std::printf("  event log           %9.3f MB, exit status %d\n",
              no_log ? 0.0 : static_cast<double>(log_bytes) / 1e6,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  long long count = 1000000;
  double reconnect_seconds = 0;
  int challenges = 250;
  std::string program = bench::DefaultServer(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--count" && i + 1 < argc) {
      count = std::atoll(argv[++i]);
    } else if (arg == "--reconnect" && i + 1 < argc) {
      reconnect_seconds = std::atof(argv[++i]);
    } else if (arg == "--challenges" && i + 1 < argc) {
      challenges = std::atoi(argv[++i]);
    } else if (arg == "--server" && i + 1 < argc) {
      program = argv[++i];
    } else {
      Usage();
      return arg == "--help" ? 0 : 2;
    }
  }
  if (count <= 0 || reconnect_seconds < 0 || challenges < 0) {
    Usage();
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  if (reconnect_seconds > 0) return ReconnectFlood(program, reconnect_seconds, challenges);
  const bench::ServerRun server = bench::StartServer(program, "kordraum_flood");
  bench::WaitUntilListening(server, program);

  const int fd = Connect(server.port);
  std::string in;
  Expect(fd, "<<QuellName=", in);
  if (!SendAll(fd, "<<QuellName=flood>><<IdFlag=1>>")) Fail("disconnected at the login");
  Expect(fd, "<<SysComeIn>>", in);
  Expect(fd, "<<LookList=>>", in);

  const double cpu_before = bench::CpuSeconds(server.pid);
  const double rss_before = bench::MemoryMb(server.pid, "VmRSS");
  const double start = bench::NowMilliseconds();
  // The requests go out in large writes; the mode switch after them is answered only once the
  // server has read and handled every one of them.
  const std::string request = "<<WatchGame=9>>";
  std::string chunk;
  for (int i = 0; i < 4096; ++i) chunk += request;
  long long sent = 0;
  bool open = true;
  while (open && sent < count) {
    const long long n = std::min<long long>(4096, count - sent);
    open = SendAll(
        fd, n == 4096 ? chunk : chunk.substr(0, static_cast<std::size_t>(n) * request.size()));
    if (open) sent += n;
  }
  const double sent_at = bench::NowMilliseconds();
  // The participant moves to the watch-only list, unless the server has closed the connection.
  if (open) open = SendAll(fd, "<<ChangeMode>>");
  if (open) open = Await(fd, "<<LookList=flood\r\n>>", in);
  const double handled_at = bench::NowMilliseconds();
  const double cpu_after = bench::CpuSeconds(server.pid);
  const double rss_after = bench::MemoryMb(server.pid, "VmRSS");
  const double peak = bench::MemoryMb(server.pid, "VmHWM");

  // The close writes the event log; it ends once the program has.
  const double close_start = bench::NowMilliseconds();
  kill(server.pid, SIGTERM);
  int status = 0;
  waitpid(server.pid, &status, 0);
  const double closed_at = bench::NowMilliseconds();
  std::error_code no_log, ignored;
  const auto log_bytes = std::filesystem::file_size(
      std::filesystem::path(server.folder) / "Log" / "DraumLog.dat", no_log);
  std::filesystem::remove_all(server.folder, ignored);
  close(fd);

  std::printf("Kordraum flood: %lld watch requests (%.1f MB) from one participant\n", count,
              static_cast<double>(count * request.size()) / 1e6);
  std::printf("  sent in             %9.2f s\n", (sent_at - start) / 1000);
  if (open) {
    std::printf("  all handled after   %9.2f s\n", (handled_at - start) / 1000);
  } else {
    std::printf("  closed by server    %9.2f s, after at most %lld requests were written\n",
                (handled_at - start) / 1000, sent);
  }
  std::printf("  server CPU          %9.2f s\n", cpu_after - cpu_before);
  std::printf("  resident memory     %9.1f MB before, %.1f MB after (+%.1f), peak %.1f MB\n",
              rss_before, rss_after, rss_after - rss_before, peak);
  std::printf("  close (SIGTERM)     %9.2f s, event log %.3f MB, exit status %d\n",
              (closed_at - close_start) / 1000, no_log ? 0.0 : static_cast<double>(log_bytes) / 1e6,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
