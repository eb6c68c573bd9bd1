// Benchmarks of watching a game on the board window itself (all of the client's windows,
// offscreen, on a scripted connection): from the watch snapshot of a 300-move 19-line game to the
// drawn board (reading the snapshot, replaying the record, drawing stones and numbers), and one
// relayed move taken by the reader, kept and drawn on a watcher's board.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "bench/sample_game.h"
#include "client/board/board_window.h"
#include "client/board/model/record_text.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "platform/cp932.h"
#include "platform/fake_client_connection.h"
#include "platform/fonts.h"
#include "platform/qt_text.h"

namespace {

// The snapshot of game 1 after its first `moves` moves: a chat of 60 lines with two diagrams,
// six watchers.
std::string SnapshotOf(int moves) {
  std::string record = "(;SZ[19]PB[kuro]PW[shiro]BT[1800]WT[1800]AM[10]KM[6.5]HA[0]";
  for (int i = 0; i < moves; ++i) {
    record += ';';
    record += PointEntry(SampleGameMoves()[i]);
  }
  std::string chat;
  for (int i = 0; i < 60; ++i) chat += J("[ 観戦者 ]：なるほど (") + std::to_string(i) + ")\r\n";
  chat += J("{ 碁盤 1 }") + "\r\n\r\n" + J("{ 碁盤 2 }") + "\r\n\r\n";
  const std::string diagrams = "{1}<<DiaData=(;SZ[19]AB[dd][pp]AW[dp])>>{2}<<DiaData=(;SZ[9])>>";
  return "<<WatchGame=1>><<AllMese=" + chat + ">><<AllGameData=" + record +
         ">><<KuroTime=1500>><<SiroTime=1400>><<WatchCount=6>><<WatchList=a\nb\nc\nd\ne\nf\n"
         ">><<WaitHint=[1][1]>><<GameIndex=1>><<DiaStr=" +
         diagrams + ">><<DraumEND>>";
}

void BM_WatchSnapshotToDrawnBoard(benchmark::State& state) {
  const std::string snapshot = SnapshotOf(kSampleGameMoves);
  for (auto _ : state) {
    Form4->BoardMode = kBoardIdle;
    Form4->StartWatchGame(snapshot);
    benchmark::DoNotOptimize(Form4->BoardSurface().constBits());
  }
  if (Form4->MoveTop != kSampleGameMoves) state.SkipWithError("the snapshot was not shown whole");
}
BENCHMARK(BM_WatchSnapshotToDrawnBoard)->Unit(benchmark::kMillisecond);

// The same, then the board repainted with its number on every stone.
void BM_WatchSnapshotToBoardWithEveryNumber(benchmark::State& state) {
  const std::string snapshot = SnapshotOf(kSampleGameMoves);
  for (auto _ : state) {
    Form4->BoardMode = kBoardIdle;
    Form4->StartWatchGame(snapshot);
    Form4->Image16Click();
    benchmark::DoNotOptimize(Form4->BoardSurface().constBits());
  }
}
BENCHMARK(BM_WatchSnapshotToBoardWithEveryNumber)->Unit(benchmark::kMillisecond);

// A watcher at the newest move receives the next move through the reader: it is kept, placed with
// its captures and drawn with its number, and the clocks and the count are shown. The move is
// taken back outside the timing so that every round applies the same move.
void BM_RelayedMoveOnWatchersBoard(benchmark::State& state) {
  // The last stone of the sample game that captured, so that the round draws an erase too.
  int n = kSampleGameMoves - 1;
  BoardModel probe;
  LoadSampleGame(probe);
  probe.PositionFromRecord();
  if (probe.CaptureCount > 0) n = probe.CaptureLog[probe.CaptureCount - 1] / 10000 - 1;
  Form4->BoardMode = kBoardIdle;
  Form4->StartWatchGame(SnapshotOf(n));
  const std::string relayed =
      "<<Move=" + std::to_string(SampleGameMoves()[n]) + ">><<KuroTime=1234>><<SiroTime=1300>>";
  const int captured = Form4->BlackCaptured + Form4->WhiteCaptured;
  for (auto _ : state) {
    Form2->ClientSocket1Read(relayed);
    benchmark::DoNotOptimize(Form4->BoardSurface().constBits());
    state.PauseTiming();
    if (Form4->MoveTop != n + 1 || Form4->BlackCaptured + Form4->WhiteCaptured == captured) {
      state.SkipWithError("the relayed move was not applied with its capture");
      break;
    }
    Form4->ReplayStepBack();
    --Form4->BufferLength;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RelayedMoveOnWatchersBoard)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  InstallJapaneseFontSubstitutes();
  // The pictures the asset generator put beside the programs; the windows' own files (the
  // record folder SGF) go to a working folder of this run, removed at the end.
  const std::string folder = PathFromQt(QCoreApplication::applicationDirPath());
  std::string pattern = (std::filesystem::temp_directory_path() / "bench_watching.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::fprintf(stderr, "bench_watching: no temporary folder\n");
    return 1;
  }
  const std::string work_folder = pattern;
  FakeClientConnection socket;
  ScriptedPrompts prompts;
  MemoryClipboard clipboard;
  RecordingSoundPlayer sounds;
  FixedClock clock;
  ScriptedRandomNumbers random;
  ClientEnvironment env;
  env.socket = &socket;
  env.prompts = &prompts;
  env.clipboard = &clipboard;
  env.sounds = &sounds;
  env.clock = &clock;
  env.random = &random;
  env.program_folder = folder + "/";
  env.work_folder = work_folder;
  env.computer_name = "bench";
  CreateClientForms(env);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  DestroyClientForms();
  std::error_code ignored;
  std::filesystem::remove_all(work_folder, ignored);
  return 0;
}
