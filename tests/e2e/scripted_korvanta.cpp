// tests/e2e/scripted_korvanta.cpp — the client's windows, offscreen, on a real connection to a
// server on this machine, driven by a test one line at a time through standard input. Each
// command acts through the windows' own handlers and answers with one line on standard output;
// "state" reports what the windows show. Message boxes and questions go to a script (answers
// queued with "answer yes" / "answer no"); dialogs are answered by pressing their buttons.
//
// Arguments: the server's port, the login name (UTF-8) and a folder for the program's files.
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "client/board/board_geometry.h"
#include "client/board/board_window.h"
#include "client/board/model/mark_codes.h"
#include "client/board/model/record_text.h"
#include "client/board/picture_button.h"
#include "client/connection/challenge_dialog.h"
#include "client/connection/client_main_form.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/game_settings_dialog.h"
#include "client/connection/lobby_window.h"
#include "client/connection/model/game_chat_texts.h"
#include "client/connection/model/lobby_texts.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "client/views/panel_button.h"
#include "client/views/record_preview.h"
#include "platform/clipboard.h"
#include "platform/cp932.h"
#include "platform/file_dialogs.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/memo_view.h"
#include "platform/pictures.h"
#include "platform/prompts.h"
#include "platform/qt_text.h"
#include "platform/random_numbers.h"
#include "platform/sockets.h"
#include "platform/sound.h"
#include "platform/status_bar.h"
#include "platform/termination.h"
#include "protocol/join_key.h"
#include "protocol/tag_message.h"
#include "tests/client/board/board_test_pictures.h"

namespace {

// The real connection, keeping every byte it received for the test to look at.
class RecordingConnection : public ClientConnection, private ClientConnectionListener {
 public:
  RecordingConnection() { inner_.SetListener(this); }
  ~RecordingConnection() override { inner_.SetListener(nullptr); }
  void Open(const std::string& host, std::uint16_t port) override { inner_.Open(host, port); }
  void Close() override { inner_.Close(); }
  bool Send(std::string_view bytes) override { return inner_.Send(bytes); }
  bool Connected() const override { return inner_.Connected(); }
  const std::string& Received() const { return received_; }

 private:
  void OnConnected() override {
    if (listener_ != nullptr) listener_->OnConnected();
  }
  void OnRead(const std::string& bytes) override {
    received_ += bytes;
    if (listener_ != nullptr) listener_->OnRead(bytes);
  }
  void OnDisconnected() override {
    if (listener_ != nullptr) listener_->OnDisconnected();
  }
  void OnConnectError(const std::string& message) override {
    if (listener_ != nullptr) listener_->OnConnectError(message);
  }

  QtClientConnection inner_;
  std::string received_;
};

std::string Utf8(std::string_view cp932) { return Utf8FromCp932(cp932); }

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// One line of the board: '.' empty, 'X' black, 'O' white, '#' off the board, for points 0..440.
std::string BoardText() {
  std::string text;
  for (int point = 0; point < kPointCount; ++point) {
    const int code = Form4->Board[point];
    text += code == kBlack ? 'X' : code == kWhite ? 'O' : code == kEmpty ? '.' : '#';
  }
  return text;
}

// The diagram viewer's board as black sees it, in the form of BoardText.
std::string ViewerBoardText() {
  std::string text;
  for (int point = 0; point < kPointCount; ++point) {
    const int shown = Form4->BoardTurned ? TurnPoint(point, Form9->BoardSize) : point;
    const int code = Form9->Board[shown];
    text += code == kBlack ? 'X' : code == kWhite ? 'O' : code == kEmpty ? '.' : '#';
  }
  return text;
}

// The marks of the board: "point:mark" for each point that holds one.
std::string MarksText() {
  std::string text;
  for (int point = 0; point < kPointCount; ++point) {
    if (Form4->Marks[point] == 0) continue;
    if (!text.empty()) text += ",";
    text += std::to_string(point) + ":" + std::to_string(Form4->Marks[point]);
  }
  return text;
}

// The stones of the game-list board: "point:colour" for each.
std::string GameListStones() {
  std::string text;
  for (int point = 0; point < kPointCount; ++point) {
    if (!IsStone(Form14->GameListBoard[point])) continue;
    if (!text.empty()) text += ",";
    text += std::to_string(point) + ":" + std::to_string(Form14->GameListBoard[point]);
  }
  return text;
}

std::string ListText(const QListWidget* list) {
  std::string text;
  for (int i = 0; i < list->count(); ++i) {
    if (i > 0) text += ",";
    text += list->item(i)->text().toStdString();
  }
  return text;
}

class Script {
 public:
  Script(RecordingConnection& connection, ScriptedPrompts& prompts, ScriptedFileDialogs& dialogs)
      : connection_(connection),
        prompts_(prompts),
        dialogs_(dialogs),
        notifier_(STDIN_FILENO, QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { ReadInput(); });
  }

 private:
  void ReadInput() {
    char chunk[4096];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {
      // The test is gone: so is this program.
      notifier_.setEnabled(false);
      ClientMainForm->Close();
      return;
    }
    pending_.append(chunk, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      // Each command runs from the event loop, so one that opens a dialog does not hold the
      // reading of the next one (which may answer it).
      QTimer::singleShot(0, qApp, [this, line] { Reply(Run(line)); });
    }
  }

  static void Reply(const std::string& text) {
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
  }

  std::string Run(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::string rest;
    std::getline(words, rest);
    if (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
    if (command == "state") return State();
    if (command == "messages") return Messages();
    if (command == "answer") {
      prompts_.QueueAnswer(rest == "yes");
      return "ok";
    }
    if (command == "challenge") return Challenge(rest);
    if (command == "accept" || command == "decline") {
      if (!Form12->isVisible()) return "error no offer";
      (command == "accept" ? Form12->BitBtn1 : Form12->BitBtn2)->click();
      return "ok";
    }
    if (command == "play" || command == "click") {
      const int point = ReadNumber(rest, -1);
      const int shown = Form4->BoardTurned ? TurnPoint(point, Form4->BoardSize) : point;
      if (!IsPlayingPoint(shown, Form4->BoardSize)) return "error point";
      for (int i = command == "play" ? 2 : 1; i > 0; --i) {
        Form4->PaintBox1MouseDown(Qt::LeftButton, Qt::NoModifier, Form4->PointToPixelX(shown),
                                  Form4->PointToPixelY(shown));
      }
      return "ok";
    }
    if (command == "watch") return Watch(ReadNumber(rest, 0));
    // replay <x>: a press on the replay bar, x pixels from its left edge.
    if (command == "replay") return Press(Form4->Image11, ReadNumber(rest, -1));
    if (command == "pass") return Press(Form4->Image12, 10);
    if (command == "resign") return Press(Form4->Image12, 60);
    if (command == "undo") return Click(Form4->Image14);
    if (command == "stop") return Click(Form4->Image18);
    if (command == "end") return Click(Form4->Image17);
    if (command == "chat") {
      Form4->Edit1->setText(QString::fromStdString(rest));
      emit Form4->Edit1->returnPressed();
      return "ok";
    }
    if (command == "chatlines") return Hex(Form5->Memo1Lines.Text());
    if (command == "received") {
      // The last read that held the tag, from the tag to the end of what arrived.
      const std::string tag = Cp932FromUtf8(rest);
      const std::size_t at = connection_.Received().rfind(tag);
      if (at == std::string::npos) return "";
      return Hex(connection_.Received().substr(at));
    }
    if (command == "record") return Hex(Form4->WriteSgfRecord());
    // The counting board: "count" presses the board window's count button where it starts a
    // shared count (the board window opens the counting board modally, so it runs from the
    // event loop); points are given in black's view.
    if (command == "count") {
      if (Form4->Image13->isHidden() || !Form4->Image13->OnMouseDown) return "error hidden";
      QTimer::singleShot(0, qApp, [] { Form4->Image13->OnMouseDown(Qt::LeftButton, 40, 10); });
      return "ok";
    }
    if (command == "countclick") {
      std::istringstream in(rest);
      int point = -1;
      std::string button;
      in >> point >> button;
      if (!Form7->isVisible()) return "error not shown";
      const int shown = Form7->Position.BoardTurned ? TurnPoint(point, Form7->BoardSize) : point;
      if (!IsPlayingPoint(shown, Form7->BoardSize)) return "error point";
      const BoardGeometry& g = GeometryOf(Form7->BoardSize);
      Form7->FormMouseDown(button == "right" ? Qt::RightButton : Qt::LeftButton,
                           g.PointToPixelX(shown), g.PointToPixelY(shown));
      Form7->FormMouseUp();
      return "ok";
    }
    if (command == "countpanel") return Form7->isVisible() ? (Form7->Panel3Click(), "ok") : "error";
    if (command == "counthand") {
      if (!Form7->SpeedButton1->isVisible() || !Form7->SpeedButton1->isEnabled()) return "error";
      Form7->SpeedButton1->click();
      return "ok";
    }
    if (command == "countclose") return Form7->isVisible() ? (Form7->Panel1Click(), "ok") : "error";
    if (command == "countchat") {
      Form7->Memo1->setPlainText(QString::fromStdString(rest));
      Form7->Memo1KeyDown(13);
      return "ok";
    }
    // A picture of the counting board with its frame and caption as the screen shows it (under
    // a real display with a window manager), raised above the other windows first.
    if (command == "shot") {
      QScreen* screen = Form7->screen();
      if (screen == nullptr || !Form7->isVisible()) return "error";
      Form7->raise();
      QElapsedTimer settle;
      settle.start();
      while (settle.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      const QRect frame = Form7->frameGeometry();
      const QPixmap picture =
          screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
      return picture.save(QString::fromStdString(rest)) ? "ok" : "error";
    }
    if (command.starts_with("diagram") || command.starts_with("viewer")) {
      return Diagram(command, rest);
    }
    if (command.starts_with("room")) return Room(command, rest);
    if (command == "quit") {
      QTimer::singleShot(0, qApp, [] { ClientMainForm->Close(); });
      return "ok";
    }
    return "error unknown command";
  }

  // Board diagrams: the editor opened from the board window (modally, so from the event loop),
  // its buttons, clicks (points in black's view) and marks, the comment and the send; the chat's
  // link opened in the viewer and the viewer's replay bar; pictures of both.
  std::string Diagram(const std::string& command, const std::string& rest) {
    std::istringstream words(rest);
    if (command == "diagram-open") {
      if (Form7->isVisible()) return "error shown";
      QTimer::singleShot(0, qApp, [] { Form4->Image10Click(); });
      return "ok";
    }
    if (command == "viewer-open") {
      const std::string link = DiagramLinkLine(rest);
      for (int line = 0; line < Form5->Memo1Lines.Count(); ++line) {
        if (Form5->Memo1Lines.Line(line) != link) continue;
        QTextCursor caret(Form5->Memo1->document()->findBlockByNumber(line));
        caret.movePosition(QTextCursor::Right);
        Form5->Memo1->setTextCursor(caret);
        Form5->Memo1Click();
        return "ok";
      }
      return "error no link";
    }
    if (command == "viewer-step") {
      Form9->Image3MouseDown(ReadNumber(rest, 0));
      return "ok";
    }
    if (command == "viewer-shot") {
      return Form9->grab().save(QString::fromStdString(rest)) ? "ok" : "error";
    }
    // The whole screen as it shows now (under a real display).
    if (command == "viewer-screen") {
      QScreen* screen = QGuiApplication::primaryScreen();
      if (screen == nullptr) return "error";
      QElapsedTimer settle;
      settle.start();
      while (settle.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      return screen->grabWindow(0).save(QString::fromStdString(rest)) ? "ok" : "error";
    }
    if (!Form7->isVisible() || Form7->CountMode != kDiagramEditor) return "error no editor";
    if (command == "diagram-setup") return Form7->Image2Click(), "ok";
    if (command == "diagram-moves") return Form7->Image1Click(), "ok";
    if (command == "diagram-first")
      return (rest == "white" ? Form7->Image4Click() : Form7->Image3Click()), "ok";
    if (command == "diagram-import") return Form7->Panel8Click(), "ok";
    if (command == "diagram-data") return Hex(Form7->Editor.DiagramData());
    if (command == "diagram-comment") {
      Form7->Memo1->setPlainText(QString::fromStdString(rest));
      return "ok";
    }
    if (command == "diagram-send") return Form7->Panel3Click(), "ok";
    if (command == "diagram-close") return Form7->done(2), "ok";
    if (command == "diagram-shot") {
      return Form7->grab().save(QString::fromStdString(rest)) ? "ok" : "error";
    }
    // diagram-click <point> [left|right] [<mark>]: the toolbar's selection is <mark> (none when
    // it is left out) when the point is clicked; diagram-mark <point> <mark>: the mark with the
    // space key held.
    if (command == "diagram-click" || command == "diagram-mark") {
      int point = -1, mark = 0;
      std::string button = "left";
      words >> point;
      if (command == "diagram-click") words >> button;
      words >> mark;
      const int shown =
          Form7->Editor.Position.BoardTurned ? TurnPoint(point, Form7->BoardSize) : point;
      if (!IsPlayingPoint(shown, Form7->BoardSize)) return "error point";
      if (Form15->SelectedMark != mark) {
        if (!Form15->isVisible() || (mark != 0 && !IsMarkCode(mark))) return "error mark";
        const int button_code = mark != 0 ? mark : Form15->SelectedMark;
        Form15->ToolButtons[static_cast<std::size_t>(button_code)]->click();
      }
      if (command == "diagram-mark") Form7->FormKeyPress(' ');
      const BoardGeometry& g = GeometryOf(Form7->BoardSize);
      Form7->FormMouseDown(button == "right" ? Qt::RightButton : Qt::LeftButton,
                           g.PointToPixelX(shown), g.PointToPixelY(shown));
      Form7->FormMouseUp();
      Form7->FormKeyUp();
      return "ok";
    }
    return "error unknown command";
  }

  // The analysis room: entering from the lobby, the input right, the operator's buttons and board
  // clicks, the idle clock, following a game and leaving.
  std::string Room(const std::string& command, const std::string& rest) {
    const int n = ReadNumber(rest, -1);
    if (command == "room") {
      Form6->SpeedButton7Click();
      return "ok";
    }
    if (command == "room-register") return Click(Form4->Image21);
    if (command == "room-giveup") return Click(Form4->Image22);
    if (command == "room-handover") {
      Form4->Memo9MouseDown(true, n);
      return "ok";
    }
    if (command == "room-click" || command == "room-right" || command == "room-ctrl") {
      if (!IsPlayingPoint(n, Form4->BoardSize)) return "error point";
      Form4->PaintBox1MouseDown(command == "room-right" ? Qt::RightButton : Qt::LeftButton,
                                command == "room-ctrl" ? Qt::ControlModifier : Qt::NoModifier,
                                Form4->PointToPixelX(n), Form4->PointToPixelY(n));
      return "ok";
    }
    if (command == "room-setup") return Click(Form4->Image26);
    if (command == "room-moves") return Click(Form4->Image23);
    if (command == "room-whitefirst") return Click(Form4->Image28);
    // room-size <index>: the operator chooses 19 (0), 13 (1) or 9 (2) lines.
    if (command == "room-size") {
      if (Form4->ComboBox1->isHidden() || n < 0 || n > 2) return "error";
      Form4->ComboBox1->setCurrentIndex(n);
      Form4->ComboBox1Change();
      return "ok";
    }
    if (command == "room-mark") {
      Form15->SelectedMark = std::max(n, 0);
      return "ok";
    }
    if (command == "room-space") {
      Form4->SpaceHeld = n > 0 ? 1 : 0;
      return "ok";
    }
    if (command == "room-back") {
      Form4->Panel7Click();
      return "ok";
    }
    if (command == "room-tosetup") {
      Form4->Panel6Click();
      return "ok";
    }
    if (command == "room-idle") {
      for (int i = 0; i < n; ++i) Form4->Timer1Timer();
      return "ok";
    }
    if (command == "room-follow") return Press(Form4->Image29, 10);
    // room-file <path>: the record dialog answers the file and the operator's board loads it.
    if (command == "room-file") {
      dialogs_.QueueAnswer(PathFromQt(QString::fromStdString(rest)));
      return Click(Form4->Image24);
    }
    if (command == "room-clipboard") {
      ClientEnv().clipboard->SetText(Cp932FromUtf8(rest));
      // The lower part of the button reads the clipboard.
      if (Form4->Image29->isHidden()) return "error hidden";
      Form4->Image29->OnMouseDown(Qt::LeftButton, 10, 40);
      return "ok";
    }
    // A picture of the board window or the game-list board as the window system shows it (under
    // a real display): "room-shot board <path>" or "room-shot list <path>".
    if (command == "room-shot") {
      std::istringstream words(rest);
      std::string which, path;
      words >> which >> path;
      // The window's own drawing: the clients' windows overlap on the one display.
      QWidget* window = which == "list" ? static_cast<QWidget*>(Form14) : Form4;
      if (!window->isVisible()) return "error";
      return window->grab().save(QString::fromStdString(path)) ? "ok" : "error";
    }
    if (command == "room-leave") {
      Form4->Image17Click();
      return "ok";
    }
    return "error unknown command";
  }

  static std::string Press(PictureButton* button, int x) {
    if (button->isHidden() || !button->OnMouseDown) return "error hidden";
    button->OnMouseDown(Qt::LeftButton, x, 10);
    return "ok";
  }
  static std::string Click(PictureButton* button) {
    if (button->isHidden() || !button->OnClick) return "error hidden";
    button->OnClick();
    return "ok";
  }

  // watch <game>: the game's line in the lobby's list is selected and the watch button pressed.
  static std::string Watch(int game) {
    for (int i = 0; i < Form6->ListBox1->count(); ++i) {
      if (WatchGameNumber(FromQt(Form6->ListBox1->item(i)->text())) != game) continue;
      Form6->ListBox1->setCurrentRow(i);
      Form6->SpeedButton1Click();
      return "ok";
    }
    return "error no such game";
  }

  // challenge <opponent> <black|white> <handicap> <black min> <white min> <added s> <komi> <size>
  //           [<record file>]: with a record file, 局面指定 is ticked and the file chosen in the
  //           record dialog, which takes the record's values over those given.
  std::string Challenge(const std::string& arguments) {
    std::istringstream in(arguments);
    std::string opponent, colour, handicap, black, white, added, komi, record;
    int size_index = 0;
    in >> opponent >> colour >> handicap >> black >> white >> added >> komi >> size_index >> record;
    bool found = false;
    for (int i = 0; i < Form6->ListBox2->count(); ++i) {
      if (Form6->ListBox2->item(i)->text().toStdString() != opponent) continue;
      Form6->ListBox2->setCurrentRow(i);
      found = true;
    }
    if (!found) return "error no such player";
    QTimer::singleShot(0, Form3, [=, this] {
      (colour == "black" ? Form3->RadioButton1 : Form3->RadioButton2)->setChecked(true);
      Form3->Edit1->setText(QString::fromStdString(black));
      Form3->Edit4->setText(QString::fromStdString(white));
      Form3->Edit2->setText(QString::fromStdString(added));
      Form3->Edit3->setText(QString::fromStdString(komi));
      Form3->ComboBox1->setEditText(QString::fromStdString(handicap));
      Form3->ComboBox2->setCurrentIndex(size_index);
      if (!record.empty()) {
        dialogs_.QueueAnswer(PathFromQt(QString::fromStdString(record)));
        Form3->CheckBox1->setChecked(true);
      }
      Form3->BitBtn1->click();
    });
    Form6->SpeedButton2Click();
    return "ok";
  }

  std::string State() const {
    const TForm4& b = *Form4;
    const TForm7& c = *Form7;
    std::string moves;
    for (int i = 1; i <= b.MoveTop; ++i) {
      if (i > 1) moves += ",";
      moves += std::to_string(b.MoveList[static_cast<std::size_t>(i)]);
    }
    const std::pair<const char*, std::string> fields[] = {
        {"mode", std::to_string(b.BoardMode)},
        {"input", std::to_string(b.InputAllowed)},
        {"clock", std::to_string(b.ClockState)},
        {"top", std::to_string(b.MoveTop)},
        {"setup", std::to_string(b.SetupCount)},
        {"buffer", std::to_string(b.BufferLength)},
        {"size", std::to_string(b.BoardSize)},
        {"grid", std::to_string(b.Canvas().Geometry().Size)},
        {"turned", b.BoardTurned ? "1" : "0"},
        {"plays_black", std::to_string(b.PlaysBlack)},
        {"black_first", b.BlackFirst ? "1" : "0"},
        {"black_clock", std::to_string(b.BlackClock)},
        {"white_clock", std::to_string(b.WhiteClock)},
        {"black_captured", std::to_string(b.BlackCaptured)},
        {"white_captured", std::to_string(b.WhiteCaptured)},
        {"candidate", std::to_string(b.CandidatePoint)},
        {"panel0", Utf8(b.StatusBar1->PanelText(0))},
        {"panel2", Utf8(b.StatusBar1->PanelText(2))},
        {"panel4", Utf8(b.StatusBar1->PanelText(4))},
        {"memo2", b.Memo2->text().toStdString()},
        {"memo5", b.Memo5->text().toStdString()},
        {"panel3", b.Panel3->text().toStdString()},
        {"caption", Utf8(b.Caption())},
        {"board_visible", b.isVisible() ? "1" : "0"},
        {"lobby_visible", Form6->isVisible() ? "1" : "0"},
        {"waiting", ListText(Form6->ListBox2)},
        {"games", ListText(Form6->ListBox1)},
        {"offer", Form12->isVisible() ? "1" : "0"},
        {"offer_text", Utf8(ReplaceAll(Form12->Memo1->ShownText(), "\r\n", "|"))},
        {"preview_visible", Form11->isVisible() ? "1" : "0"},
        {"preview_memo", Utf8(ReplaceAll(Form11->Memo1->ShownText(), "\r\n", "|"))},
        {"chat", Utf8(ReplaceAll(Form5->Memo1Lines.Text(), "\r\n", "|"))},
        {"consistent", b.CheckConsistency().empty() ? "1" : "0"},
        {"moves", moves},
        {"reglist", Utf8(ReplaceAll(FromQt(b.Memo9->toPlainText()), "\n", "|"))},
        {"panel2", Utf8(b.StatusBar1->PanelText(2))},
        {"marks", MarksText()},
        {"gamelist_visible", Form14->isVisible() ? "1" : "0"},
        {"gamelist_count", std::to_string(Form14->GameListCount)},
        {"gamelist_caption", Utf8(Form14->Caption)},
        {"gamelist_choice", Utf8(Form14->ChosenGame())},
        {"gamelist_stones", GameListStones()},
        {"board", BoardText()},
        {"pending", std::to_string(b.RealTimeCountPending)},
        {"count_visible", c.isVisible() ? "1" : "0"},
        {"rtm", std::to_string(c.RealTimeMode)},
        {"count_caption", Utf8(c.Caption())},
        {"count_panel3", c.Panel3->text().toStdString()},
        {"count_black", c.Label1->text().toStdString()},
        {"count_white", c.Label2->text().toStdString()},
        {"count_right", c.SpeedButton1->isVisible() ? c.SpeedButton1->text().toStdString() : ""},
        {"count_consistent", c.Position.CheckConsistency().empty() ? "1" : "0"},
        {"editor_visible", c.isVisible() && c.CountMode == kDiagramEditor ? "1" : "0"},
        {"editor_top", std::to_string(c.Editor.Position.MoveTop)},
        {"editor_setup", std::to_string(c.Editor.Position.SetupCount)},
        {"toolbar_visible", Form15->isVisible() ? "1" : "0"},
        {"selected_mark", std::to_string(Form15->SelectedMark)},
        {"space_held", std::to_string(b.SpaceHeld)},
        {"viewer_visible", Form9->isVisible() ? "1" : "0"},
        {"viewer_caption", Utf8(FromQt(Form9->Panel1->text()))},
        {"viewer_top", std::to_string(Form9->MoveTop)},
        {"viewer_setup", std::to_string(Form9->SetupCount)},
        {"viewer_board", ViewerBoardText()},
    };
    std::string text;
    for (const auto& [key, value] : fields) text += std::string(key) + "=" + value + "\t";
    return text;
  }

  std::string Messages() {
    std::string text;
    for (const auto& shown : prompts_.shown()) {
      if (!text.empty()) text += "|";
      if (shown.question) text += "?";
      text += Utf8(shown.text);
    }
    prompts_.Forget();
    return text;
  }

  RecordingConnection& connection_;
  ScriptedPrompts& prompts_;
  ScriptedFileDialogs& dialogs_;
  QSocketNotifier notifier_;
  std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // The fonts the windows name, as the client program itself finds them.
  InstallJapaneseFontSubstitutes();
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() < 4) return 2;
  const int port = ReadNumber(arguments[1].toStdString(), -1);
  if (port <= 0 || port > 65535) return 2;
  const std::string folder = PathFromQt(arguments[3]);

  // The pictures the windows load, in the program and work folder.
  WriteBoardWindowPictures(folder);
  QImage background(32, 24, QImage::Format_RGB32);
  background.fill(QColor(240, 230, 210));
  SaveJpegPicture(JoinPath(folder, "bmp/VantaBG.jpg"), background, 90);
  // A run under a real display may show the programs' own pictures instead (KOR_E2E_PICTURES:
  // the folder that holds their bmp folder).
  if (const char* pictures = std::getenv("KOR_E2E_PICTURES")) {
    const QDir source(QString::fromUtf8(pictures) + "/bmp");
    for (const QString& name : source.entryList(QDir::Files)) {
      const QString target = QString::fromStdString(JoinPath(folder, "bmp/")) + name;
      QFile::remove(target);
      QFile::copy(source.filePath(name), target);
    }
  }

  RecordingConnection connection;
  ScriptedPrompts prompts;
  MemoryClipboard clipboard;
  RecordingSoundPlayer sounds;
  SystemClock clock;
  ScriptedRandomNumbers random;
  ClientEnvironment env;
  env.socket = &connection;
  env.prompts = &prompts;
  env.clipboard = &clipboard;
  env.sounds = &sounds;
  env.clock = &clock;
  env.random = &random;
  env.program_folder = folder + "/";
  env.work_folder = folder;
  env.computer_name = "scripted";
  env.port = static_cast<std::uint16_t>(port);

  CreateClientForms(env);
  ClientMainForm->OnClosed = [] { QCoreApplication::exit(0); };
  OnTerminationSignal([] { ClientMainForm->Close(); });
  Form2->show();
  Form2->VantaKey->setEditText(ToQt(EncodeJoinKey("127.0.0.1")));
  Form2->Edit1->setText(arguments[2]);
  Form2->BitBtn1Click();

  // The record dialog answers from the script.
  ScriptedFileDialogs dialogs;
  Form3->OpenDialog1 = &dialogs;
  Script script(connection, prompts, dialogs);
  std::fputs("ready\n", stdout);
  std::fflush(stdout);
  app.exec();
  connection.SetListener(nullptr);
  DestroyClientForms();
  return 0;
}
