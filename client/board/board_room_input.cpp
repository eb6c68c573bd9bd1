// client/board/board_room_input.cpp — the analysis room's inputs on the board window: the
// operator's clicks, buttons, record loads and size choice change the shared board and are sent
// to the other members, who apply them; what the shared board draws.
#include <QComboBox>
#include <QPlainTextEdit>
#include <algorithm>
#include <string>

#include "client/board/board_window.h"
#include "client/board/model/record_files.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_settings_dialog.h"
#include "client/views/mark_toolbar.h"
#include "client/views/model/record_info.h"
#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/memo_colors.h"
#include "platform/prompts.h"
#include "platform/qt_text.h"
#include "platform/sound.h"
#include "platform/status_bar.h"
#include "protocol/tag_message.h"

namespace {
constexpr unsigned kNamedColour = 0xFFFFFF;
constexpr unsigned kUnnamedColour = 0xF0FFF0;

// Inputs after which the board may show again marks that a stone covered.
bool UncoversMarks(int type) {
  return type == kRoomStepBack || (type >= kRoomForward && type <= kRoomToStart) ||
         type == kRoomTakeBack;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Members

void TForm4::ApplyDiscussInput(const std::string& message) {
  if (!Room.ApplyDiscussInput(message)) return;
  if (!UncoversMarks(GetTagNumber(message, "<<Type="))) return;
  if (std::any_of(Marks.begin(), Marks.end(), [](int mark) { return mark > 0; })) FormPaint();
}

// ---------------------------------------------------------------------------------------------
// The operator

void TForm4::SendRoomInput(const RoomSend& send) {
  if (send.ListFull) {
    ClientShowMessage(J("手数が上限に達したため、これ以上は打てません。"));
    return;
  }
  if (send.Text.empty()) return;
  if (send.WarnWhenOffline) {
    Form2->SendToServer(send.Text);
  } else {
    Form2->SendIfConnected(send.Text);
  }
}

void TForm4::PlaceDiscussInput(int point, bool left) {
  const int mark = Form15 != nullptr ? Form15->SelectedMark : 0;
  SendRoomInput(Room.PlaceDiscussInput(point, left, mark, SpaceHeld == 1));
}

void TForm4::RewindRoomToClick() {
  const RoomSend send = Room.RewindToStone(ClickedPoint());
  if (send.Text.empty()) return;
  DrawRoomFirstColour();
  SendRoomInput(send);
}

void TForm4::Panel7Click() {
  if (InputAllowed != 1 || BoardMode != kBoardRoom) return;
  const RoomSend send = Room.StepBackAndCut();
  if (std::any_of(Marks.begin(), Marks.end(), [](int mark) { return mark > 0; })) FormPaint();
  SendRoomInput(send);
}

void TForm4::Panel6Click() {
  if (InputAllowed != 1 || BoardMode != kBoardRoom) return;
  SendRoomInput(Room.BackToSetupAndCut());
}

void TForm4::SendDiscussRecord(const std::string& text) {
  IdleSeconds = 0;
  const RoomSend send = Room.LoadRecord(text);
  Form15->hide();
  DrawRoomInputKind();
  DrawRoomFirstColour();
  SendRoomInput(send);
}

void TForm4::Image25Click() { SendDiscussRecord(RoomStartRecord); }

void TForm4::Image24Click() {
  // The idle count restarts while the dialog is open; the right may still end meanwhile.
  IdleSeconds = 0;
  const std::string chosen = Form3->ChooseRecordFile(J(" 棋譜の選択  [ヌルカ - 検討室]"));
  if (chosen.empty() || BoardMode != kBoardRoom || InputAllowed != 1) return;
  IdleSeconds = 0;
  LoadedRecordText = ReadRecordFile(chosen).value_or(std::string());
  if (LoadedRecordText.size() < 5) return;
  const std::string record = NormalizeRecord(LoadedRecordText);
  if (record.find("(;") == std::string::npos) return;
  // The file is read by the strict reader; its record as this board writes it is what the room
  // shares and what Image25 loads again.
  NumbersOn = true;
  // A record without a size is read on 19 lines, as every member reads it.
  if (const int size = RoomRecordSize(record); size != BoardSize) SetBoardSize(size);
  OpenRecordText(record);
  RoomStartRecord = Room.BuildRecord();
  SendDiscussRecord(RoomStartRecord);
}

void TForm4::ComboBox1Change() {
  const int index = ComboBox1->currentIndex();
  const int size = index == 1 ? 13 : index == 2 ? 9 : 19;
  const auto showSize = [this] {
    ComboBox1->setCurrentIndex(BoardSize == 13 ? 1 : BoardSize == 9 ? 2 : 0);
  };
  if (InputAllowed != 1 || size == BoardSize) return showSize();
  if (Form2->AskEndFlag == 1) {
    // The idle count restarts while the question is open; the right may still end meanwhile.
    IdleSeconds = 0;
    const bool yes = ClientEnv().prompts->AskYesNo(J(" 碁 盤 サ イ ズ を 変 更 し ま す か ？"),
                                                   J("ヌ ル カ - 確 認"));
    if (!yes || BoardMode != kBoardRoom || InputAllowed != 1) return showSize();
  }
  IdleSeconds = 0;
  const RoomSend send = Room.ChangeBoardSize(size);
  Form15->hide();
  DrawRoomInputKind();
  DrawRoomFirstColour();
  SendRoomInput(send);
}

// ---------------------------------------------------------------------------------------------
// What the shared board draws

void TForm4::DrawRoomStone(int point, bool black) { DrawStone(point, black); }

void TForm4::ErasePoint(int point) { EraseStone(point); }

void TForm4::ShowRoomMoveCount(int moveTop) { ShowMoveCount(moveTop); }

void TForm4::PlayStoneSound() { ClientEnv().sounds->Play(AssetPath("stone.wav")); }

void TForm4::HoldDrawing(bool hold) { SetListener(hold ? nullptr : this); }

void TForm4::RepaintRoomBoard() {
  FormPaint();
  ShowMoveCount(MoveTop);
  ShowBlackCaptured(BlackCaptured);
  ShowWhiteCaptured(WhiteCaptured);
}

void TForm4::RoomRecordRead(const KifuTextResult& read) {
  if (read.Read) ShowRecordRead(read);
}

void TForm4::ShowRoomRecordNames(const RecordNames& names) {
  std::string text = names.Black;
  if (!names.White.empty()) text += "\r\n" + names.White;
  Memo7->setPlainText(ToQt(ReplaceAll(text, "\r\n", "\n")));
  SetMemoColor(Memo7, text.empty() ? kUnnamedColour : kNamedColour);
}

RecordHeader TForm4::RoomRecordHeader() const {
  // The names of the shown record travel with it.
  RecordHeader header;
  const QStringList names = Memo7->toPlainText().split('\n');
  header.BlackName = names.size() > 0 ? FromQt(names[0]) : std::string();
  header.WhiteName = names.size() > 1 ? FromQt(names[1]) : std::string();
  header.DateText = ClientEnv().clock != nullptr ? ClientEnv().clock->DateText() : "";
  header.TimeText = ClientEnv().clock != nullptr ? ClientEnv().clock->TimeText() : "";
  return header;
}

void TForm4::SetupPositionReached() {
  if (BoardMode == kBoardRoom) Room.AtStartFlag = 1;
}
