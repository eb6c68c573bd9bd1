// client/board/model/room_snapshot.h — the analysis room's snapshot for an entering member, read
// part by part in the fixed order the server writes it.
//
// The snapshot is "<<DiscussEnter>>", the holder, count, members, chat and queue tags, the room's
// record and move number, the followed game's list and record, and the diagrams up to
// "<<DraumEND>>". Each part is read where it stands, so text inside the chat, a record or a diagram
// that looks like a tag changes nothing.
#pragma once
#include <string>
#include <string_view>

struct RoomSnapshot {
  bool Read = false;       // the holder tag that opens the parts was found
  std::string Operator;    // "<<Discusser=": the input holder, empty for none
  int MemberCount = 0;     // "<<DiscussCount="
  std::string MemberList;  // "<<DiscussList=", as sent
  std::string ChatLog;     // "<<DiscussMese=": the room chat so far
  std::string RegList;     // "<<DiscussRegList=", as sent
  std::string Record;      // the room's record, empty for none
  int MoveSuu = -1;        // the move the room shows, -1 when the room did not say
  std::string GameList;    // the followed game's part as one message for the game-list
                           // handler ("<<GameList=" … "<<GameData=" …), empty for none
  std::string Diagrams;    // the room's diagram store
};

RoomSnapshot ReadRoomSnapshot(std::string_view message);
