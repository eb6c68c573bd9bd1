// client/board/board_room_input.cpp — the analysis room's inputs: what the operator's clicks do
// to the shared board and send to the other members, and how a member applies them.
#include <string>

#include "client/board/board_window.h"
#include "client/connection/connect_window.h"
#include "protocol/tag_message.h"

// The operator's clicks and the members' inputs come with the analysis room; until then they do
// nothing.
void TForm4::ApplyDiscussInput(const std::string&) {}
void TForm4::PlaceDiscussInput(int, bool) {}

void TForm4::RewindRoomToClick() {
  const int point = ClickedPoint();
  if (!IsPlayingPoint(point, BoardSize) || !IsStone(Board[point])) return;
  int n = 0;
  for (int i = MoveTop; i > SetupCount; --i) {
    if (MoveList[i] == point) {
      n = i;
      break;
    }
  }
  if (n == 0) return;
  RewindToMove(n);
  FormPaint();
  AtStartFlag = MoveTop == SetupCount ? 1 : 0;
  DrawRoomFirstColour();
  // The whole buffered record goes to the other members.
  const int shown = MoveTop;
  MoveTop = BufferLength;
  std::string record = WriteSgfRecord();
  MoveTop = shown;
  record = ReplaceAll(record, "\r\n", "");
  if (Form2 != nullptr) {
    Form2->SendIfConnected("<<DiscussInput>><<Type=12>><<Value=" + std::to_string(n) +
                           ">><<DiscussKifu=" + record + ">>");
  }
}
