// client/board/model/record_files.h — record files: reading one written by any Go program, and
// saving a game record: the file names the save dialog's choice leads to, the chat log written
// beside the record, and writing both files.
// Paths are native UTF-8; record and chat texts are cp932 bytes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// No record comes near this size (499 moves with long comments stay far below); a larger file is
// not read, so that browsing and dropping never stall.
inline constexpr std::int64_t kLargestRecordFile = 4 << 20;

// True when a record file's bytes are UTF-8: its "CA[" says "UTF-8" (in any letter case), or it
// has no "CA[" and its bytes are well-formed UTF-8 with a character beyond ASCII.
bool RecordIsUtf8(std::string_view bytes);
// The text of a record file as the record readers take it: converted to cp932 when it is UTF-8
// (a character cp932 lacks becomes "？", a leading byte-order mark is dropped), its lines joined
// with CR LF, and reduced to its main line (MainLineRecord). Other files are taken as cp932.
std::string RecordTextFromFile(std::string_view bytes);
// The record text of the file at `path` (RecordTextFromFile); nothing when the file cannot be read
// or is larger than kLargestRecordFile.
std::optional<std::string> ReadRecordFile(const std::string& path);

// The record's path for the name chosen in the save dialog: ".sgf" is added when the file name
// (the part after the last "/") holds no ".".
std::string SgfFileName(std::string_view chosen);

// The chat log's path beside the record: the first ".sgf" of the file name becomes "Chat.dat"
// (game.sgf gives gameChat.dat). A name without ".sgf" in that case takes the first ".sgf" in any
// case (game.SGF gives gameChat.dat), and a name without it at all gets "Chat.dat" appended, so
// the log never replaces the record.
std::string ChatLogFileName(std::string_view recordPath);

// The folder part of a path (without its last "/"), where the save dialog starts next time.
std::string FolderOfPath(std::string_view path);

// The chat log's content: its title line, the chat text, and the game's board diagrams when
// there are any.
std::string ChatLogText(std::string_view chatText, std::string_view diagramStore);

struct RecordSaveResult {
  std::string RecordPath;
  bool RecordWritten = false;
  std::string ChatLogPath;  // empty when there was no chat to write
  bool ChatLogWritten = false;
};

// Writes `record` to SgfFileName(chosen) and, when `chatText` is not empty, the chat log beside
// it. The chat log is not written when the record could not be.
RecordSaveResult SaveRecordFiles(std::string_view chosen, std::string_view record,
                                 std::string_view chatText, std::string_view diagramStore);
