// Fuzzer of the record readers: the loose reader and the strict one build positions that keep
// every rule of the board model, stepping back to the setup position and forward again, also on
// the text a record file gives them, and the record written from a position reads back.
#include <cstdint>
#include <string>

#include "client/board/model/board_model.h"
#include "client/board/model/record_files.h"
#include "client/board/model/record_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {
void Check(const BoardModel& board, std::string_view where) {
  const std::string wrong = board.CheckConsistency();
  if (!wrong.empty()) Broken(std::string(where) + ": " + wrong);
  Require(board.BlackCaptured >= 0 && board.WhiteCaptured >= 0, "negative prisoners");
}

// Steps back to the setup position and forward to the end, checking every position.
void Walk(BoardModel& board, std::string_view where) {
  Check(board, where);
  const int top = board.MoveTop;
  while (board.MoveTop > board.SetupCount) {
    board.ReplayStepBack();
    Check(board, where);
  }
  Require(board.BlackCaptured == 0 && board.WhiteCaptured == 0, "prisoners at the setup position");
  while (board.MoveTop < board.BufferLength) {
    board.ReplayStepForward();
    Check(board, where);
  }
  Require(board.MoveTop == top, "the walk did not come back");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  BoardModel loose;
  loose.BoardTurned = size > 0 && (data[0] & 1);
  LoadKifuText(loose, text);
  Walk(loose, "loose reader");

  BoardModel strict;
  ParseRecordHeader(strict, text);
  ParseRecordMoves(strict, text);
  strict.PositionFromRecord();
  Walk(strict, "strict reader");

  const std::string file = RecordTextFromFile(text);
  BoardModel fromFile;
  LoadKifuText(fromFile, file);
  Walk(fromFile, "loose reader of a file");
  BoardModel strictFile;
  OpenRecordText(strictFile, file);
  Walk(strictFile, "strict reader of a file");

  const std::string written = WriteSgfRecord(strict, RecordHeader{});
  BoardModel again;
  LoadKifuText(again, written);
  Walk(again, "written record");
  return 0;
}
