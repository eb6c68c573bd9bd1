// client/board/model/record_files.h — saving a game record: the file names the save dialog's
// choice leads to, the chat log written beside the record, and writing both files.
// Paths are native UTF-8; record and chat texts are cp932 bytes.
#pragma once
#include <string>
#include <string_view>

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
