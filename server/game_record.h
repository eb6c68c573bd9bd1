// server/game_record.h — the record text the server keeps for a game: the header with its times,
// handicap stones or start position, the entries of moves and passes, and the cut of an undo.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Main time in minutes as a challenge writes it ("15 分", "任意") to seconds as decimal text:
// the part before " 分" read as a number (0 when it is not one) times 60, in 64 bits and beyond,
// so no value a client can send overflows.
std::string MinutesToSeconds(std::string_view time);

// Handicap stones of a "<<GameWari=" text: 1 for "定先", 2 to 9 for "２子" to "９子", 0 for "互先"
// and any other text.
int HandicapCount(std::string_view handicap);

// Board size for the handicap stones, from the whole challenge text: 13 when it holds
// "<<BanSize=13>>", else 9 when it holds "<<BanSize=9>>", else 19.
int HandicapBoardSize(std::string_view text);

// The placements of n handicap stones (2..9) on a board of `size` lines as bracketed letter
// pairs, e.g. "[dp][pd]"; empty for any other n.
std::string_view HandicapStones(int n, int size);

// "HA[" n "]" followed by the setup: the start position of "<<KifuStart=" when the text holds
// one, otherwise "AB", the stones and "/<SiroSaki>/" for 2 to 9 stones, otherwise nothing.
std::string BuildHandicapProps(std::string_view text, std::string_view handicap);

// The part of the game start message that sets up the board: "<<KifuStartStr=(;" with the start
// position or the handicap stones, and ">>"; empty for a game that starts from an empty board.
std::string BuildKifuStartStr(std::string_view text, std::string_view handicap);

// True when black moves first: with a start position unless it holds "/<SiroTurn>/", otherwise
// exactly for "互先" and "定先".
bool BlackMovesFirst(std::string_view text, std::string_view handicap);

// The header of a new game's record from the challenge text and the players' names:
// "(;SZ[..]PB[..]PW[..]BT[..]WT[..]AM[..]KM[..]" and the handicap properties.
std::string RecordHeader(std::string_view text, std::string_view black, std::string_view white);

// The record entry of a move, ";[" column row "]": the point is exactly "0" for a pass (letters
// "tt") or a point number column × 21 + row with both from 1 to 19. Any other point has no entry.
std::optional<std::string> MoveEntry(std::string_view point);

// Removes the record's last entry (everything from its last ";" on), but never a byte of the
// first `header_length` bytes; false when there was no entry to remove.
bool CutLastEntry(std::string& record, std::size_t header_length);

// True when the record's last entry after the header is a pass (";[tt]").
bool LastEntryIsPass(std::string_view record, std::size_t header_length);
