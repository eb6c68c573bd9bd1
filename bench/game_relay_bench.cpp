// Benchmarks of the game relay: one move of a game followed by a full server (the opponent, 40
// watchers and 8 members of the analysis room that follows the game), with the heap allocations
// each move costs, and whole games of growing length from the challenge to the resignation.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/sockets.h"
#include "server/server_core.h"

namespace {
std::atomic<long long> g_allocations{0};
}  // namespace

// Every allocation of the program is counted, so a benchmark can report what one step costs.
// The replacements pair malloc with free, which the compiler cannot see through.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {
// Takes every message and keeps only their count, as a socket would take the bytes.
class CountingTransport : public ServerTransport {
 public:
  bool Listen(std::uint16_t, std::string*) override { return true; }
  std::uint16_t Port() const override { return 0; }
  void Send(ConnectionId, std::string_view bytes) override {
    ++messages;
    bytes_sent += static_cast<long long>(bytes.size());
  }
  void Close(ConnectionId) override { ++closed; }
  long long messages = 0;
  long long bytes_sent = 0;
  long long closed = 0;  // connections the server ended: the figures no longer count a full game
};

// A server whose self-test has arrived and with `count` players logged in (connection ids are
// 1 + slot), every read passing the connection's framer as on the network.
struct Server {
  explicit Server(int count) {
    listener().OnClientConnect(1);
    for (int i = 1; i <= count; ++i) {
      listener().OnClientConnect(1 + i);
      Read(i, "<<QuellName=player" + std::to_string(i) + ">><<IdFlag=1>>");
    }
  }
  ServerTransportListener& listener() { return core; }
  // A message from the participant in slot `j` (as long as nobody has left).
  void Read(int j, const std::string& text) { listener().OnClientRead(1 + j, text); }
  // player2 accepts player1's even challenge; player1 plays black.
  int StartGame() {
    const std::string challenge =
        "<<GameSet>><<IsKuro=" + J("黒番") + ">><<KuroGameTime=15" + J(" 分") +
        ">><<SiroGameTime=15" + J(" 分") + ">><<AddTime=30" + J(" 秒") +
        ">><<GameWari=" + J("互先") +
        ">><<GameKomi=6.5>><<Player1=player1>><<Player2=player2>><<BanSize=19>>";
    Read(1, challenge);
    Quiet();
    Read(2, "OKRe" + challenge);
    Quiet();
    return core.Players[2].AttachedGame;
  }
  // The participants send nothing while the server holds a challenge for its start position.
  void Quiet() {
    clock.AdvanceMilliseconds(MessageFramer::kHoldMilliseconds);
    core.HandOverHeldMessages();
  }
  CountingTransport transport;
  FixedClock clock;
  ServerCore core{transport, clock};
};

// The i-th move of a game: points of the 19-line board in turn, colours alternating.
std::string MoveText(int g, int i) {
  const int column = 1 + i % 19;
  const int row = 1 + (i / 19) % 19;
  return "<<GameIndex=" + std::to_string(g) + ">><<Move=" + std::to_string(column * 21 + row) +
         ">><<Color=" + (i % 2 == 0 ? "black" : "white") + ">><<Time=" + std::to_string(900 - i) +
         ">>";
}
}  // namespace

// Black's move reaches the opponent, 40 watchers and 8 room members: 49 messages per move.
static void BM_MoveRelayTo49(benchmark::State& state) {
  Server server(50);
  const int g = server.StartGame();
  if (g != 1) return state.SkipWithError("no game");
  GameSlot& game = server.core.Games[g];
  for (int j = 3; j <= 42; ++j) {
    server.core.Players[j].AttachedGame = g;
    game.WatchCount += 1;
    game.WatchNames += server.core.Players[j].PlayerName + "\n";
  }
  for (int j = 43; j <= 50; ++j) server.core.Players[j].RoomState = 1;
  server.core.RoomGame = g;
  const std::string move = MoveText(g, 0);
  server.Read(1, move);  // the kept message buffers reach their size once

  const long long messages_before = server.transport.messages;
  const long long allocations_before = g_allocations.load();
  long long moves = 0;
  for (auto _ : state) {
    // A thousand moves a second of the server's clock, well inside each sender's relay budget.
    server.clock.AdvanceMilliseconds(1);
    server.Read(1, move);
    ++moves;
    // The record grows by one entry per move; start it over now and then to keep memory flat.
    if (game.GameRecord.size() > (1u << 20)) game.GameRecord.resize(game.RecordHeaderLength);
  }
  const long long sent = server.transport.messages - messages_before;
  if (sent != moves * 49) state.SkipWithError("a move did not reach all 49");
  state.counters["allocations_per_move"] =
      static_cast<double>(g_allocations.load() - allocations_before) / static_cast<double>(moves);
}
BENCHMARK(BM_MoveRelayTo49)->Repetitions(10)->ReportAggregatesOnly(true);

// A whole game of n moves between two players on an otherwise empty server: the challenge is
// accepted, the moves are relayed and recorded, black resigns. The time per game should grow
// linearly with n.
static void BM_WholeGame(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Server server(2);
  std::vector<std::string> moves;
  for (int i = 0; i < n; ++i) moves.push_back(MoveText(1, i));
  const std::string resign = "<<GameResign>><<Suu=" + std::to_string(n) + ">><<GameIndex=1>>";
  std::size_t record_size = 0;
  for (auto _ : state) {
    // The players of the last game leave it for the new one, which frees its slot.
    // A game a few seconds of the server's clock long, so that its event lines and relayed
    // moves stay inside the players' budgets as a real one does.
    server.clock.AdvanceMilliseconds(3000);
    if (server.StartGame() != 1) return state.SkipWithError("no game");
    for (int i = 0; i < n; ++i) {
      server.clock.AdvanceMilliseconds(1);
      server.Read(1 + i % 2, moves[static_cast<std::size_t>(i)]);
    }
    server.Read(1, resign);
    record_size = server.core.Games[1].GameRecord.size();
    if (server.core.Memo1.Count() > 10000) server.core.Memo1.Clear();
  }
  if (server.transport.closed != 0) {
    state.SkipWithError("the server closed a player's connection");
  } else if (record_size != server.core.Games[1].RecordHeaderLength + 5 * n + 9) {
    state.SkipWithError("the record does not hold every move");
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_WholeGame)
    ->Arg(125)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Complexity(benchmark::oN);
