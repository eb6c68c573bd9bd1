// client/views/model/record_preview_model.h — what the record preview knows of the record it
// shows: the info lines, the entry list of setup stones and main-line moves, the final position,
// the values the game settings dialog takes over, and the start position built from it.
#pragma once
#include <array>
#include <string>

#include "client/board/model/board_model.h"
#include "platform/line_list.h"

// Entries the preview keeps, setup stones included: one less than the board's move list, so a
// game started from the position can still be played on.
inline constexpr int kPreviewEntryCapacity = kMoveListCapacity - 1;

class RecordPreview {
 public:
  RecordPreview();
  virtual ~RecordPreview() = default;

  // The record being previewed (after NormalizeRecord when it came from a file). When white is to
  // move, ParseRecordMoves appends "/<SiroTurn>/" unless it is there already.
  std::string PreviewRecordText;
  // Slots 1..PreviewEntryCount: the setup stones first, each colour * 1000 + point (1000 + p
  // black, 5000 + p white), then the main line's moves, each the bare point (0 for a pass or
  // letters that name no point).
  std::array<int, kPreviewEntryCapacity + 1> PreviewEntries{};
  int PreviewEntryCount = 0;
  int PreviewSetupCount = 0;  // setup entries at the head of the list
  // Black makes the first move after the setup. Read from the moves; a record without moves says
  // white with "NE[W]", "/<SiroSaki>/" or "/<SiroTurn>/".
  bool PreviewBlackFirst = false;
  // The final position (Board) with the flags of the capture test (Visited); only the position
  // arrays of the model are used, the preview keeps no move list of its own there.
  BoardModel PreviewPosition;
  int PreviewBoardSize = 19;
  std::string PreviewHandicapLabel;  // "互先", "定先", "２子" … "９子"
  std::string PreviewBlackTime;      // main times in whole minutes, empty when the record has none
  std::string PreviewWhiteTime;
  std::string PreviewValueText;  // the "RE[" value of the record
  int PreviewVariationCount = 0;
  // The info lines (Memo1): black, white, date and result, each when present, then the count.
  LineList InfoLines;

  // Reads PreviewRecordText afresh: the info, the entries and the position.
  void ShowRecordPreview();
  // Previews the text of a record file (RecordTextFromFile) after NormalizeRecord; a text shorter
  // than 5 bytes or without "(;" is no record, and the preview is forgotten. True when previewed.
  bool PreviewRecordFileText(std::string_view fileText);
  // Forgets the record: no entries, no info, an empty board (a chosen file that is no record).
  void ClearPreview();
  // The start position of the preview as a challenge's answer carries it: the first-player and
  // turn markers, "AB" and "AW" with the setup stones, then ";[xy]" for every move.
  std::string BuildStartPosition() const;
  // White is to move after the entries: an odd number of moves after a black first move, or an
  // even number after a white one.
  bool PreviewWhiteToMove() const;

  void ParseRecordInfo();
  void ParseRecordMoves();
  void ComputePreviewPosition();
  // Takes the size (19, 13, anything else is 9) for the board and the drawing.
  void SetBoardSize(int size);

 protected:
  // The size changed: a window draws its bare board again.
  virtual void PreviewBoardSizeSet() {}
  // A record was read or the preview forgotten: a window shows it.
  virtual void PreviewRead() {}

 private:
  // Appends an entry while the list has room; false when full.
  bool AppendEntry(int value, bool setup);
  void ReadSetupList(std::string_view key, int colourBase);
  void ReadPlayingTimes();
  void ReadFirstLineMoves(std::string_view work);
  void ReadVariationMoves(std::string_view work);
  // The move read at `found` (a "B[" or "W[") as the next entry; false when the list is full.
  bool StoreMoveAt(std::string_view work, std::size_t found);
};
