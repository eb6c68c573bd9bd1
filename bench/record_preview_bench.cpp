// bench/record_preview_bench.cpp — the record preview of a 300-move record with comments, clock
// times and variations, as the settings dialog shows it for each file the user selects: the
// record normalised, read (info, main line, variations passed over), the position built and the
// small board drawn.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <cstdlib>

#include "bench/sample_game.h"
#include "client/board/model/record_text.h"
#include "client/views/model/preview_geometry.h"
#include "client/views/model/record_info.h"
#include "client/views/model/record_preview_model.h"
#include "client/views/small_board.h"

namespace {

// The sample game as a saved record whose main line forks after move 150: the main line goes on
// to move 300, and two variations follow it. Every tenth move carries a comment.
std::string RecordWithVariations() {
  BoardModel board;
  LoadSampleGame(board);
  board.PositionFromRecord();
  for (int i = 1; i <= board.MoveTop; ++i) board.MoveTimes[i] = 1500000 + 1800 - i;
  RecordHeader header;
  header.BlackName = "Kuro";
  header.WhiteName = "Shiro";
  header.DateText = "2026/05/01";
  header.TimeText = "10:00:00";
  std::string record = WriteSgfRecord(board, header);
  // The nodes, each on a line of its own, with a comment on every tenth.
  std::string moves;
  std::size_t node = 0;
  int n = 0;
  std::size_t at = record.find("\r\n;");
  while ((node = record.find(';', at + 1)) != std::string::npos) {
    const std::size_t end = record.find("\r\n", node);
    moves += record.substr(node, end - node);
    if (++n % 10 == 0) moves += "C[move " + std::to_string(n) + ": a quiet reply]";
    moves += "\r\n";
    if (n == 150) moves += "(";
    at = end;
  }
  const std::string head = record.substr(0, record.find("\r\n;"));
  return head + "\r\n" + moves + ")(;B[aa];W[bb];B[cc])(;B[dd]C[another idea];W[ee]))";
}

void BM_PreviewARecordWithVariations(benchmark::State& state) {
  const std::string file = RecordWithVariations();
  QImage board(kPreviewBoardSide, kPreviewBoardSide, QImage::Format_RGB32);
  board.fill(QColor(222, 180, 110));
  DrawSmallBoardGrid(board, 19);
  QImage sheet(kPreviewSheetWidth, kPreviewSheetHeight, QImage::Format_RGB32);
  sheet.fill(QColor(222, 180, 110));
  QImage surface(kPreviewBoardSide, kPreviewBoardSide, QImage::Format_RGB32);
  RecordPreview preview;
  for (auto _ : state) {
    preview.PreviewRecordText = NormalizeRecord(file);
    preview.ShowRecordPreview();
    QPainter(&surface).drawImage(0, 0, board);
    DrawSmallBoardStones(surface, sheet, preview.PreviewBoardSize, preview.PreviewEntries.data(),
                         preview.PreviewEntryCount, preview.PreviewSetupCount,
                         preview.PreviewPosition.Board);
    benchmark::DoNotOptimize(surface.constBits());
  }
  if (preview.PreviewEntryCount < 290 || preview.PreviewVariationCount != 0) {
    state.SkipWithError("the record's main line was not read whole");
  }
  state.counters["entries"] = preview.PreviewEntryCount;
  state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_PreviewARecordWithVariations)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
