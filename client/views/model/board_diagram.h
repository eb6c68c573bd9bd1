// client/views/model/board_diagram.h — board diagrams: the data a chat line carries (size, first
// player, setup stones, marks and moves), written from the diagram editor's position and read back
// onto a board by the editor and the viewer; the chat line that sends one and the room message
// that hands one to the analysis room.
//
// Diagram data always speaks in black's view: a board shown turned writes its points turned back
// and reads them turned again, so the same position gives the same bytes on either side.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/board/model/board_model.h"

// The board-diagram data of a position: "SZ[n]", "/<SiroSaki>/" when white plays first, then,
// only when there are setup stones, "AB" and "AW" lists and the mark properties, then one node
// per move (";B[..]" or ";W[..]" by the turn rule; a pass is "tt"). Setup stones and marks go in
// black's-view point order; `turned` turns every point back first.
std::string WriteDiagramData(const BoardModel& board, bool turned);

// What a text read onto a board is.
enum class DiagramText {
  kDiagramData,  // the data of a chat line: every ";" starts a move node
  kRecord,       // a game record: its first ";" opens the root node, which holds no move
};

struct DiagramReadResult {
  bool Read = false;         // false for an empty record, which changes nothing
  bool SizeChanged = false;  // "SZ[" named another of 9, 13 and 19, which the board now has
  int SetupStones = 0;       // setup entries stored
  int Moves = 0;             // move entries stored (passes included)
  bool Truncated = false;    // the text held more than the move list takes; the rest is ignored
};

// Reads a diagram or record onto `board` and shows it at its last move: size, first player,
// setup stones ("AB[" and "AW[" lists), marks (each with the colour its point has in the setup)
// and moves, every point turned when `turned`. Points count only when column and row are both
// 1..size; a setup entry on a point that already has a setup stone is skipped; mark codes other
// than 1..7 and 9..15 are ignored; reading stops at the move list's capacity.
DiagramReadResult ReadBoardDiagram(BoardModel& board, std::string_view text, bool turned,
                                   DiagramText kind);

// A move number a diagram board draws on a stone that stands: the point and the move's number
// counted from the first move after the setup.
struct ShownNumber {
  int Point;
  int Number;
  bool OnBlack;
};
// The numbers on the moves now on the board, newest first: every stone that stands when
// `allNumbers`, otherwise only the newest move's (none when it is a pass).
std::vector<ShownNumber> MoveNumbersShown(const BoardModel& board, bool allNumbers);
// The text the diagram viewer draws for a move number: numbers of 100 and above modulo 100.
std::string DiagramNumberText(int number);

// The comment of a diagram's chat line: the typed text without surrounding blanks and line
// breaks, escaped like every typed chat text, " (" n ")" after it when the game on the board
// window has `gameMoves` > 0 moves after its setup, every CR LF CR LF shortened to one CR LF (one
// pass from the left), and a final CR LF so that the diagram's link stands on a line of its own
// in every chat that shows the line.
std::string DiagramComment(std::string_view typed, int gameMoves);

// The chat message that sends a diagram: "<<DiscussMese=[ " in the analysis room, else
// "<<GameMese=[ ", then the name, " ]：", the comment, ">>", the game tag and
// "<<DiaData=" data ">>".
std::string DiagramChatMessage(bool room, std::string_view userName, std::string_view comment,
                               std::string_view gameTag, std::string_view data);

// The number of the diagram a chat line links to: the text between a leading "{ 碁盤 " and the
// " }" after it; nothing for any other line (an empty number included).
std::optional<std::string> DiagramLinkNumber(std::string_view line);
// The data of diagram `number` in a store of entries "{" n "}<<DiaData=" data ">>" (the first
// entry after the number's braces); nothing when the store holds no such number.
std::optional<std::string> StoredDiagram(std::string_view store, std::string_view number);
