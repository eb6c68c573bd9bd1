// bench/flood_tool.cpp — floods the real server program with cheap requests that each write an
// event line (a watch request for a game that does not exist), then reports how long the server
// took to work through them, its CPU time and memory, and how long its close took.
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
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Fail("connect");
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
      "usage: kordraum_flood [--count N] [--server PATH]\n"
      "  --count N      watch requests for a game that does not exist (default 1000000)\n"
      "  --server PATH  the server program taking its port as first argument\n"
      "                 (default: KordraumOnPort beside this program)\n");
}
}  // namespace

int main(int argc, char** argv) {
  long long count = 1000000;
  std::string program = bench::DefaultServer(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--count" && i + 1 < argc) {
      count = std::atoll(argv[++i]);
    } else if (arg == "--server" && i + 1 < argc) {
      program = argv[++i];
    } else {
      Usage();
      return arg == "--help" ? 0 : 2;
    }
  }
  if (count <= 0) {
    Usage();
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
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
