// client/views/counting_board_editor.cpp — the counting board as the diagram editor: opened from
// the board window's position or from the position before a Shift-clicked move, it takes moves,
// setup stones and marks, imports records, and sends the diagram with a comment into the chat.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cctype>

#include "client/board/board_pictures.h"
#include "client/board/board_window.h"
#include "client/board/model/record_files.h"
#include "client/board/model/record_main_line.h"
#include "client/board/picture_button.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "client/views/mark_toolbar.h"
#include "client/views/panel_button.h"
#include "platform/cp932.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/qt_text.h"

namespace {

constexpr const char* kFont = "ＭＳ Ｐゴシック";
// The centre of the indicator square of the input-mode and first-player pictures.
constexpr int kDotX = 11;
constexpr int kDotY = 28;

// The editor's move numbers differ from the board window's in two places: one digit on 9 lines
// and three digits on 19 lines.
NumberStyle EditorNumberStyle(int size, int digits, bool onBlack) {
  NumberStyle style = GeometryOf(size).NumberStyleFor(digits, onBlack);
  if (size == 9 && digits == 1) style.Dx = -8;
  if (size == 19 && digits >= 3) style.Dy = -3;
  return style;
}

// The picture of an indicator button, with a black dot in its square when it is the active one.
QImage IndicatorPicture(const QImage& picture, bool active) {
  QImage shown = picture;
  if (shown.isNull()) return shown;
  QPainter painter(&shown);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(active ? QColor(Qt::black) : QColor(Qt::white));
  painter.drawEllipse(QPointF(kDotX, kDotY), 2.5, 2.5);
  return shown;
}

std::string UserName() { return Form2 != nullptr ? Form2->UserName : std::string(); }

// Memo text as the platform's memos hold it: lines joined by CR LF.
std::string MemoText(const QPlainTextEdit* memo) {
  std::string text;
  for (const char c : FromQt(memo->toPlainText())) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

}  // namespace

void TForm7::CreateEditorControls() {
  setAcceptDrops(true);
  // The input-mode and first-player buttons with their dots, then "| <" and "<", all on Panel2.
  const ButtonPicture pictures[] = {kKindMoveButton, kKindSetupButton, kFirstBlackButton,
                                    kFirstWhiteButton};
  const char* names[] = {"着手", "配置", "黒先", "白先"};
  const int lefts[] = {0, 32, 66, 98};
  std::array<PictureButton*, 4> images{};
  for (int i = 0; i < 4; ++i) {
    auto* image = new PictureButton(Panel2);
    image->setGeometry(lefts[i], 2, pictures[i].Width, pictures[i].Height);
    image->SetFallbackText(QString::fromUtf8(names[i]));
    // The board window has said already when the pictures cannot be read.
    std::string message;
    LoadBitmapPicture(PictureFile(std::string(pictures[i].File).c_str()),
                      indicator_pictures_[static_cast<std::size_t>(i)], &message);
    images[static_cast<std::size_t>(i)] = image;
  }
  Image1 = images[0];
  Image2 = images[1];
  Image3 = images[2];
  Image4 = images[3];
  Image1->OnClick = [this] { Image1Click(); };
  Image2->OnClick = [this] { Image2Click(); };
  Image3->OnClick = [this] { Image3Click(); };
  Image4->OnClick = [this] { Image4Click(); };
  Panel5 = new PanelButton(Panel2);
  Panel5->setText(QStringLiteral("| <"));
  Panel5->setGeometry(132, 6, 21, 26);
  Panel5->OnClick = [this] { Panel5Click(); };
  Panel6 = new PanelButton(Panel2);
  Panel6->setText(QStringLiteral("<"));
  Panel6->setGeometry(153, 6, 19, 26);
  Panel6->OnClick = [this] { Panel6Click(); };
  for (PanelButton* panel : {Panel5, Panel6}) {
    panel->setFont(PixelFont(kFont, 11, true));
    QPalette face = panel->palette();
    face.setColor(QPalette::Window, QColor(238, 226, 204));
    panel->setPalette(face);
  }
  Panel4->OnClick = [this] { Panel4Click(); };
  Panel7->OnClick = [this] { Panel7Click(); };
  Panel8->OnClick = [this] { Panel8Click(); };
}

void TForm7::ShowEditorControls(bool editor) {
  for (QWidget* shown :
       {static_cast<QWidget*>(Panel2), static_cast<QWidget*>(Panel4), static_cast<QWidget*>(Panel7),
        static_cast<QWidget*>(Panel8), static_cast<QWidget*>(Label3)}) {
    shown->setVisible(editor);
  }
  for (QWidget* counting : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                            static_cast<QWidget*>(Panel1)}) {
    counting->setVisible(!editor);
  }
  if (editor) {
    Label4->hide();
    SpeedButton1->hide();
  }
}

void TForm7::ShowEditor() {
  Memo1->clear();
  Memo1->clearFocus();
  if (Form4->BoardSize != BoardSize || Form4->BoardTurned != turned_picture_) {
    SetBoardSize(Form4->BoardSize);
  }
  if (Form4->ShownMoveOpening == 1) {
    Editor.OpenFromShownMove(*Form4, Form4->ShownCountMove);
    SetCaption(J(" [ ヌルカ ] - 碁盤付きメッセージの作成と送信"));
  } else {
    Editor.OpenFromBoard(*Form4, Form4->BoardMode == kBoardRoom);
    SetCaption(J(" [ ヌルカ ] -- 碁盤付きメッセージの作成と送信"));
  }
  CountMode = kDiagramEditor;
  Panel3->setText(ToQt(J("送 信")));
  ShowEditorControls(true);
  DrawFirstPlayerIndicator();
  DrawInputModeIndicator();
  Form15->hide();
  MouseHeld = 0;
}

void TForm7::DrawInputModeIndicator() {
  const bool moves = Editor.InputMode == DiagramEditor::kMoveInput;
  Image1->SetPicture(IndicatorPicture(indicator_pictures_[0], moves));
  Image2->SetPicture(IndicatorPicture(indicator_pictures_[1], !moves));
}

void TForm7::DrawFirstPlayerIndicator() {
  const bool black = Editor.Position.BlackFirst;
  Image3->SetPicture(IndicatorPicture(indicator_pictures_[2], black));
  Image4->SetPicture(IndicatorPicture(indicator_pictures_[3], !black));
}

void TForm7::PaintEditor() {
  RepaintBoardImage();
  const BoardModel& b = Editor.Position;
  const BoardGeometry& g = GeometryOf(BoardSize);
  for (int point = 0; point < kPointCount; ++point) {
    if (IsPlayingPoint(point, BoardSize) && IsStone(b.Board[point])) {
      DrawStone(point, b.Board[point] == kBlack);
    }
  }
  for (const ShownNumber& shown : MoveNumbersShown(b, true)) {
    const int digits = static_cast<int>(std::to_string(shown.Number).size());
    canvas_.DrawMoveNumber(shown.Number, g.PointToPixelX(shown.Point), g.PointToPixelY(shown.Point),
                           shown.OnBlack, EditorNumberStyle(BoardSize, digits, shown.OnBlack));
  }
  for (int point = kFirstPlayingPoint; point <= kLastPlayingPoint; ++point) {
    if (!IsPlayingPoint(point, BoardSize)) continue;
    const int code = ShownMarkCode(b.Marks[point], b.Board[point]);
    const std::optional<MarkStyle> style = MarkStyleFor(code, BoardSize, b.Board[point]);
    if (style) canvas_.DrawMark(*style, g.PointToPixelX(point), g.PointToPixelY(point));
  }
  BoardBox->update();
}

void TForm7::DiagramClick(int point, bool left) {
  const bool spaceHeld = Form4->SpaceHeld == 1;
  if (Editor.InputMode != DiagramEditor::kMoveInput && spaceHeld) Memo1->clearFocus();
  if (Editor.DiagramClick(point, left, spaceHeld, Form15->SelectedMark)) FormPaint();
}

void TForm7::Image1Click() {
  if (Editor.ChooseInputMode(DiagramEditor::kMoveInput)) Form15->hide();
  DrawInputModeIndicator();
}

void TForm7::Image2Click() {
  if (Editor.ChooseInputMode(DiagramEditor::kSetupInput)) Form15->show();
  DrawInputModeIndicator();
}

void TForm7::Image3Click() {
  Editor.ChooseFirstPlayer(true);
  DrawFirstPlayerIndicator();
}

void TForm7::Image4Click() {
  Editor.ChooseFirstPlayer(false);
  DrawFirstPlayerIndicator();
}

void TForm7::Panel4Click() {
  Editor.MakeDiagramPosition();
  DrawFirstPlayerIndicator();
  FormPaint();
}

void TForm7::Panel5Click() {
  Editor.BackToStart();
  FormPaint();
}

void TForm7::Panel6Click() {
  Editor.UndoMove();
  FormPaint();
}

void TForm7::Panel7Click() {
  const std::string text = ClientEnv().clipboard->Text();
  if (text.find("(;") == std::string::npos) {
    ClientShowMessage(J("クリップボードに棋譜データが見付かりません"));
    return;
  }
  ImportIntoEditor(MainLineRecord(text), false);
}

void TForm7::Panel8Click() {
  if (Form9 == nullptr || Form9->DiagramEntryCount == 0) {
    ClientShowMessage(J("チャット碁盤に着手データがありません"));
    return;
  }
  // The diagram speaks in black's view; the board window may show white's.
  ImportIntoEditor("(;" + Form9->DiagramText, Form4->BoardTurned);
}

void TForm7::CountBoardDropFile(const std::string& path) {
  if (CountMode != kDiagramEditor) return;
  std::string upper = path;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (upper.find(".SGF") == std::string::npos) return;
  const std::optional<std::string> text = ReadRecordFile(path);
  if (!text) return;
  ImportIntoEditor(*text, false);
}

void TForm7::ImportIntoEditor(const std::string& text, bool turned) {
  const DiagramReadResult read = Editor.ImportRecord(text, turned);
  // A record of another size brings the pictures and grid of its size.
  if (Editor.Position.BoardSize != BoardSize) SetBoardSize(Editor.Position.BoardSize);
  Form15->hide();
  DrawInputModeIndicator();
  DrawFirstPlayerIndicator();
  FormPaint();
  if (read.Truncated) {
    ClientShowMessage(J("棋譜が長すぎるため、最初の ") + std::to_string(kMoveListCapacity) +
                      J(" 手までを読み込みました。"));
  }
}

bool TForm7::SendBoardMessage() {
  Form4->IdleSeconds = 0;
  const std::string typed = MemoText(Memo1);
  switch (Editor.CheckSend(typed)) {
    case DiagramEditor::SendCheck::kNoStone:
      ClientShowMessage(J("碁盤が入力されていません"));
      return false;
    case DiagramEditor::SendCheck::kNoComment:
      ClientShowMessage(J("コメントが入力されていません"));
      return false;
    case DiagramEditor::SendCheck::kReady:
      break;
  }
  const std::string comment = DiagramComment(typed, Form4->MoveTop - Form4->SetupCount);
  Form2->SendToServer(DiagramChatMessage(Form4->BoardMode == kBoardRoom, UserName(), comment,
                                         Form4->GameTag, Editor.DiagramData()));
  return true;
}

void TForm7::FormKeyPress(int key) {
  if (key == ' ' && Form15 != nullptr && Form15->SelectedMark > 0) Form4->SpaceHeld = 1;
}

void TForm7::FormKeyUp() { Form4->SpaceHeld = 0; }

void TForm7::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) FormKeyUp();
  QDialog::keyReleaseEvent(event);
}

void TForm7::dragEnterEvent(QDragEnterEvent* event) {
  if (CountMode == kDiagramEditor && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm7::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  CountBoardDropFile(PathFromQt(urls.first().toLocalFile()));
  event->acceptProposedAction();
}
