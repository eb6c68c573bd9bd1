// Benchmarks of the server core's front door on a full server: a login and its broadcast, a lost
// connection, a board post, a mode switch and a message that no test takes, each with 49 others.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/sockets.h"
#include "server/server_core.h"

namespace {
// Takes every message and keeps only their count and size, as a socket would take the bytes.
class CountingTransport : public ServerTransport {
 public:
  bool Listen(std::uint16_t, std::string*) override { return true; }
  std::uint16_t Port() const override { return 0; }
  void Send(ConnectionId, std::string_view bytes) override {
    ++messages;
    bytes_sent += bytes.size();
  }
  void Close(ConnectionId) override {}
  long long messages = 0;
  long long bytes_sent = 0;
};

// A server whose self-test has arrived and with `count` participants logged in; connection ids
// are 1 + slot.
struct FullServer {
  explicit FullServer(int count) {
    core.ServerSocket1ClientConnect(1);
    for (int i = 1; i <= count; ++i) {
      core.ServerSocket1ClientConnect(1 + i);
      core.ServerSocket1ClientRead(1 + i, "<<QuellName=player" + std::to_string(i) +
                                              ">><<IdFlag=" + (i % 3 == 0 ? "0" : "1") + ">>");
    }
    core.Memo1.Clear();
  }
  CountingTransport transport;
  FixedClock clock;
  ServerCore core{transport, clock};
};

using Stopwatch = std::chrono::steady_clock;
double Seconds(Stopwatch::time_point from) {
  return std::chrono::duration<double>(Stopwatch::now() - from).count();
}
}  // namespace

// The 50th participant logs in: LoginAccepted to it, the lists to 49 others. Only the login is
// timed; the participant leaves again outside the measurement.
static void BM_LoginWith49Others(benchmark::State& state) {
  FullServer server(49);
  const ConnectionId newcomer = 100;
  const std::string login = "<<QuellName=newcomer>><<IdFlag=1>>";
  for (auto _ : state) {
    server.core.ServerSocket1ClientConnect(newcomer);
    const auto start = Stopwatch::now();
    server.core.ServerSocket1ClientRead(newcomer, login);
    state.SetIterationTime(Seconds(start));
    server.core.ServerSocket1ClientDisconnect(newcomer);
    if (server.core.Memo1.Count() > 10000) server.core.Memo1.Clear();
  }
  if (server.core.PlayerCount != 49) state.SkipWithError("the newcomer did not leave");
}
BENCHMARK(BM_LoginWith49Others)->UseManualTime()->Repetitions(10)->ReportAggregatesOnly(true);

// The 50th participant's connection is lost: its slot goes, the lists reach 49 others.
static void BM_LostConnectionWith49Others(benchmark::State& state) {
  FullServer server(49);
  const ConnectionId newcomer = 100;
  const std::string login = "<<QuellName=newcomer>><<IdFlag=1>>";
  for (auto _ : state) {
    server.core.ServerSocket1ClientRead(newcomer, login);
    const auto start = Stopwatch::now();
    server.core.ServerSocket1ClientDisconnect(newcomer);
    state.SetIterationTime(Seconds(start));
    if (server.core.Memo1.Count() > 10000) server.core.Memo1.Clear();
  }
}
BENCHMARK(BM_LostConnectionWith49Others)
    ->UseManualTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// A board post relayed to 49 participants.
static void BM_BoardPostTo49(benchmark::State& state) {
  FullServer server(50);
  const std::string post = "<<MainMese=[ player7 ]" + J("：よろしくお願いします") + ">>";
  for (auto _ : state) {
    server.core.ServerSocket1ClientRead(8, post);
    // The board grows for the server's life; keep the benchmark's memory flat.
    if (server.core.BoardText.size() > (1u << 20)) server.core.BoardText.clear();
  }
  state.counters["messages"] = benchmark::Counter(static_cast<double>(server.transport.messages),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BoardPostTo49)->Repetitions(10)->ReportAggregatesOnly(true);

// A mode switch there and back: the waiting and watch-only lists to all 50, twice.
static void BM_ModeSwitchTwiceWith50(benchmark::State& state) {
  FullServer server(50);
  for (auto _ : state) {
    server.core.ServerSocket1ClientRead(11, "<<ChangeMode>>");
    server.core.ServerSocket1ClientRead(11, "<<ChangeMode>>");
  }
}
BENCHMARK(BM_ModeSwitchTwiceWith50)->Repetitions(10)->ReportAggregatesOnly(true);

// A message that no test takes goes through every test of the dispatcher.
static void BM_DispatchUnknownMessage(benchmark::State& state) {
  FullServer server(50);
  const std::string text = "<<GameIndex=3>><<Something=88>><<Color=black>><<Time=1234>>";
  const long long sent_before = server.transport.messages;
  for (auto _ : state) server.core.ServerSocket1ClientRead(26, text);
  if (server.transport.messages != sent_before)
    state.SkipWithError("an unknown message was answered");
}
BENCHMARK(BM_DispatchUnknownMessage)->Repetitions(10)->ReportAggregatesOnly(true);
