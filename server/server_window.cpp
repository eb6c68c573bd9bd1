// server/server_window.cpp — the match server's window and its start-up and close paths.
#include "server/server_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <iostream>

#include "platform/cp932.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "platform/stone_icons.h"
#include "platform/termination.h"
#include "platform/window_state.h"
#include "protocol/tag_message.h"
#include "server/join_key_display.h"

namespace {
constexpr const char* kWindowFont = "ＭＳ Ｐゴシック";
constexpr const char* kControlFont = "HG正楷書体-PRO";
constexpr int kEnterKey = 13;

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
}

QLabel* MakeLabel(QWidget* parent, const char* caption, int left, int top) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setFont(PixelFont(kControlFont, 21));
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->adjustSize();
  label->move(left, top);
  return label;
}

MemoView* MakeListMemo(QWidget* parent, int left, int top, int width, int height) {
  auto* memo = new MemoView(parent);
  memo->setFont(PixelFont(kControlFont, 19));
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Place(memo, left, top, width, height);
  return memo;
}

}  // namespace

QIcon ServerIcon() { return TwoStoneIcon(true); }

namespace {
std::ostream& ErrorStream(const ServerEnvironment& env) {
  return env.errors != nullptr ? *env.errors : std::cerr;
}
}  // namespace

TForm1::TForm1(const ServerEnvironment& env) : env_(env) {
  // 1. The window and its controls; the listening socket starts listening.
  CreateControls();
  std::string error;
  if (!env_.transport->Listen(env_.port, &error)) {
    // The cause on standard error, and a box for a person at the screen that closes itself, so
    // the program ends with its exit code even when nobody answers.
    const std::string text = error + J("。Kordraum を終了します。");
    ErrorStream(env_) << Utf8FromCp932(text) << std::endl;
    if (env_.boxes_answerable) env_.prompts->ShowMessageFor(text, J("Kordraum"), 60);
    return;
  }
  // 2. Tables and counters get their initial values.
  core_ = std::make_unique<ServerCore>(*env_.transport, *env_.clock);
  core_->ProgramFolder = env_.program_folder;
  core_->OnPlayerCountChanged = [this] {
    SetCaption();
    // What the settings file lacked is told right after the line that proves the socket.
    if (!settings_note_.empty() && core_->PlayerCount == 0) {
      core_->LogEvent(settings_note_ + "  (" + env_.clock->TimeText() + ")");
      settings_note_.clear();
    }
  };
  memo1_->Bind(&core_->Memo1);
  memo2_->Bind(&core_->Memo2);
  memo3_->Bind(&core_->Memo3);
  memo4_->Bind(&core_->Memo4);
  // 3. Caption, and the application title for message boxes.
  SetCaption();
  app_title_ = ServerCaption(0);
  // 4. The self-test connection to our own listening port; it never sends anything.
  env_.self_test->Open("127.0.0.1", env_.transport->Port());
  // 5. Start stamp.
  core_->StartStamp = LogStamp(*env_.clock);
  // The oldest event lines go to the log file as the run goes, while logs are saved; otherwise
  // they are dropped, as the close would not have saved them either.
  event_log_.folder = JoinPath(env_.work_folder, kLogFolderName);
  event_log_.start_stamp = core_->StartStamp;
  core_->OnEventLinesLeaving = [this](std::string_view lines) {
    if (check_box1_->isChecked()) AppendEventLines(event_log_, lines, *env_.clock);
  };
  // 6. Join keys. 7. Settings.
  ShowJoinKeys();
  LoadSettings();
  // A message that may still grow is handed over when its tail did not come in time.
  auto* hold = new QTimer(this);
  hold->setSingleShot(true);
  hold->setTimerType(Qt::PreciseTimer);
  connect(hold, &QTimer::timeout, this, [this] {
    // Bytes that arrived with the timer are read first: a message's tail may be among them.
    QMetaObject::invokeMethod(
        this, [this] { core_->HandOverHeldMessages(); }, Qt::QueuedConnection);
  });
  core_->OnHoldArmed = [hold](long long milliseconds) {
    if (!hold->isActive() || hold->remainingTime() > milliseconds) {
      hold->start(static_cast<int>(milliseconds));
    }
  };
  // Connections that never log in are closed after a while.
  auto* idle_check = new QTimer(this);
  connect(idle_check, &QTimer::timeout, this, [this] { core_->CloseIdleConnections(); });
  idle_check->start(5000);
  // Messages that wait for their sender's relay budget are handled once it has refilled.
  auto* release = new QTimer(this);
  release->setSingleShot(true);
  connect(release, &QTimer::timeout, this, [this] { core_->ReleaseHeldMessages(); });
  core_->OnMessagesHeld = [release](long long milliseconds) {
    const int delay = static_cast<int>(std::min<long long>(milliseconds, 60'000));
    if (!release->isActive() || release->remainingTime() > delay) release->start(delay);
  };
  started_ = true;
}

TForm1::~TForm1() {
  for (MemoView* memo : {memo1_, memo2_, memo3_, memo4_, memo5_}) memo->Bind(nullptr);
  if (env_.tray != nullptr) env_.tray->OnPress = nullptr;
}

void TForm1::CreateControls() {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(452, 451);
  setFont(PixelFont(kWindowFont, 12));
  setWindowTitle(QString::fromUtf8(" Kordraum [ ネット対戦サーバ ] "));
  setWindowIcon(ServerIcon());
  setAutoFillBackground(true);
  setPalette(QApplication::palette());
  setFocusPolicy(Qt::ClickFocus);

  memo5_ = new MemoView(this);
  memo5_->setFrameStyle(QFrame::NoFrame);
  memo5_->setFont(PixelFont(kControlFont, 20, true));
  memo5_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo5_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette face = memo5_->palette();
  face.setColor(QPalette::Base, palette().color(QPalette::Button));
  memo5_->setPalette(face);
  Place(memo5_, 10, 12, 338, 45);
  memo5_lines_.Add("Memo5");
  memo5_->Bind(&memo5_lines_);

  speed_button1_ = new QToolButton(this);
  speed_button1_->setText(QString::fromUtf8("過去ログ"));
  speed_button1_->setAutoRaise(true);
  speed_button1_->setFont(PixelFont(kControlFont, 21, true));
  Place(speed_button1_, 353, 12, 95, 25);
  connect(speed_button1_, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

  check_box1_ = new QCheckBox(QString::fromUtf8("ログ保存"), this);
  check_box1_->setFont(PixelFont(kControlFont, 15));
  check_box1_->setChecked(true);
  check_box1_->setFocusPolicy(Qt::NoFocus);
  Place(check_box1_, 18, 72, 106, 17);

  label2_ = MakeLabel(this, "対局数上限:", 137, 70);
  edit2_ = new QLineEdit(QStringLiteral("5"), this);
  edit2_->setFont(PixelFont(kControlFont, 19));
  edit2_->setFocusPolicy(Qt::ClickFocus);
  Place(edit2_, 249, 67, 24, 27);
  connect(edit2_, &QLineEdit::returnPressed, this, [this] { Edit2KeyDown(kEnterKey); });

  label1_ = MakeLabel(this, "参加数上限:", 287, 70);
  edit3_ = new QLineEdit(QStringLiteral("50"), this);
  edit3_->setFont(PixelFont(kControlFont, 19));
  edit3_->setFocusPolicy(Qt::ClickFocus);
  Place(edit3_, 400, 66, 33, 27);
  connect(edit3_, &QLineEdit::returnPressed, this, [this] { Edit3KeyDown(kEnterKey); });

  memo1_ = MakeListMemo(this, 15, 105, 418, 181);
  memo1_->SetMaximumLines(kShownEventLines);
  MakeLabel(this, "対 局", 48, 300);
  MakeLabel(this, "待 ち", 196, 300);
  MakeLabel(this, "観 戦", 333, 300);
  memo2_ = MakeListMemo(this, 15, 326, 140, 111);
  memo3_ = MakeListMemo(this, 156, 326, 140, 111);
  memo4_ = MakeListMemo(this, 297, 326, 140, 111);

  popup_menu1_ = new QMenu(this);
  QAction* show =
      popup_menu1_->addAction(QIcon(StonePixmap(16, false)), QString::fromUtf8("表示 (&L)"));
  QAction* exit =
      popup_menu1_->addAction(QIcon(StonePixmap(16, true)), QString::fromUtf8("終了(&X)"));
  connect(show, &QAction::triggered, this, [this] { ShowClick(); });
  connect(exit, &QAction::triggered, this, [this] { ExitClick(); });

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

void TForm1::SetCaption() { setWindowTitle(ToQt(core_->CaptionText())); }

void TForm1::FormCreate() {
  env_.tray->OnPress = [this](TrayIcon::Press press) { TrayMessage(press); };
  env_.tray->Add(J(" ザ ン テ [ Kordraum ] "));
}

void TForm1::MinimizeToTray() {
  // Only a window whose icon is in the notification area may vanish; without one, minimising
  // stays an ordinary minimise so the window can always come back.
  if (env_.tray != nullptr && env_.tray->Shown()) hide();
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized()) {
    QTimer::singleShot(0, this, [this] {
      if (isMinimized()) MinimizeToTray();
    });
  }
}

void TForm1::Restore() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TForm1::TrayMessage(TrayIcon::Press press) {
  if (press == TrayIcon::Press::Left) {
    Restore();
    return;
  }
  if (isVisible()) {
    raise();
    activateWindow();
  }
  popup_menu1_->popup(QCursor::pos());
}

void TForm1::ShowClick() { Restore(); }

void TForm1::ExitClick() { close(); }

void TForm1::ApplyLimitEntry(QLineEdit* edit, int& limit, int low, int high) {
  const int value = ReadNumber(FromQt(edit->text()), 0);
  if (value >= low && value <= high) {
    limit = value;
  } else {
    edit->setText(QString::number(limit));
  }
  edit->clearFocus();
  setFocus();
}

void TForm1::Edit2KeyDown(int key) {
  if (key == kEnterKey && core_) ApplyLimitEntry(edit2_, core_->GameLimit, 1, kMaxGames);
}

void TForm1::Edit3KeyDown(int key) {
  if (key == kEnterKey && core_) ApplyLimitEntry(edit3_, core_->JoinLimit, 2, kMaxPlayers);
}

void TForm1::SpeedButton1Click() {
  const std::string path = JoinPath(JoinPath(env_.work_folder, kLogFolderName), kEventLogName);
  if (FileExists(path)) {
    // Without a program for the file the operator is told where it is, to open it by hand.
    const QPointer<TForm1> window(this);
    env_.desktop->OpenFile(path, [window, path] {
      if (window.isNull()) return;
      const std::string where = PathFromQt(QFileInfo(PathToQt(path)).absoluteFilePath());
      window->Report(J("過去ログを開けませんでした。\n") +
                     J("このファイルを開くプログラムが設定されていません。\n\n") +
                     J("ファイルの場所: ") + Cp932FromUtf8(where));
    });
  } else {
    env_.prompts->ShowMessage(J("過去ログが見付かりません (\\Log\\DraumLog.dat)"), app_title_);
  }
}

void TForm1::ShowJoinKeys() {
  const JoinKeyDisplay display =
      ComposeJoinKeys(env_.network->HostName(), env_.network->Ipv4Addresses());
  memo5_->setToolTip(ToQt(display.hint));
  if (!display.shown) return;
  memo5_lines_.SetText(display.memo_text);
  env_.clipboard->SetText(display.clipboard);
}

void TForm1::LoadSettings() {
  const std::string path = JoinPath(env_.work_folder, kSettingsFileName);
  if (!FileExists(path) && !DirectoryExists(path)) return;  // a first start: the defaults
  std::string text;
  if (!ReadWholeFile(path, text)) {
    settings_note_ = J("設定ファイル (QuellDraum.dat) を読めないため、初期設定で起動しました");
    return;
  }
  ServerSettings settings{check_box1_->isChecked(), FromQt(edit2_->text()), FromQt(edit3_->text())};
  if (!ApplySettingsText(text, settings)) {
    settings_note_ =
        J("設定ファイル (QuellDraum.dat) が空か壊れているため、読めない設定は初期値のままです");
  }
  check_box1_->setChecked(settings.LogSave);
  // An entry shows a limit the server could take; anything else is the limit in force.
  edit2_->setText(ToQt(UsableLimitText(settings.GameLimitText, 1, kMaxGames, core_->GameLimit)));
  edit3_->setText(ToQt(UsableLimitText(settings.JoinLimitText, 2, kMaxPlayers, core_->JoinLimit)));
}

void TForm1::SaveSettings() {
  if (edit2_->text().isEmpty()) edit2_->setText(QStringLiteral("5"));
  if (edit3_->text().isEmpty()) edit3_->setText(QStringLiteral("50"));
  // What is saved is what the server would use: a limit it could take, or the one in force.
  const ServerSettings settings{
      check_box1_->isChecked(),
      UsableLimitText(FromQt(edit2_->text()), 1, kMaxGames, core_ ? core_->GameLimit : 5),
      UsableLimitText(FromQt(edit3_->text()), 2, kMaxPlayers, core_ ? core_->JoinLimit : 50)};
  const std::string path = JoinPath(env_.work_folder, kSettingsFileName);
  if (!WriteWholeFile(path, SettingsFileText(settings))) {
    Report(J("設定ファイルを保存できません (QuellDraum.dat)"));
  }
}

void TForm1::Report(const std::string& text) {
  if (quiet_close_ || !env_.boxes_answerable) {
    ErrorStream(env_) << Utf8FromCp932(text) << std::endl;
  } else {
    env_.prompts->ShowMessage(text, app_title_);
  }
}

bool TForm1::FormCloseQuery() {
  if (!core_ || core_->PlayerCount <= 1) return true;
  return env_.prompts->AskYesNo(J("未だ接続が残っていますが、終了しますか？"),
                                J("Kordraum : 終了の確認"));
}

void TForm1::FormClose() {
  if (closed_) return;
  closed_ = true;
  env_.tray->Remove();
  if (core_ && check_box1_->isChecked() && (event_log_.begun || !core_->Memo1.Empty())) {
    const std::string failed =
        WriteServerLogs(event_log_, core_->Memo1.Text(), core_->BoardText, *env_.clock);
    if (!failed.empty()) {
      // The close goes on: the settings are still written and the program ends.
      Report(J("ログを保存できません (") + Cp932FromUtf8(failed) + ")");
    }
  } else if (core_ && event_log_.begun) {
    // Saving was turned off after the run's block began: it ends without the lines left.
    EndEventLogBlock(event_log_, "", LogStamp(*env_.clock));
  }
  SaveSettings();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  if (ask_before_close_ && !FormCloseQuery()) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
  if (OnClosed) OnClosed();
}

void TForm1::CloseWithoutQuestion() {
  ask_before_close_ = false;
  quiet_close_ = true;
  if (!closed_) {
    close();
    if (!closed_) {  // a window that was never shown gets no close event
      FormClose();
      if (OnClosed) OnClosed();
    }
  }
}

int ServerMain(int argc, char** argv, std::uint16_t port) {
  PreferX11WindowSystem();  // the window is centred by the program itself
  // One poll per wake-up and straight to the ready connection: a move reaches its recipients
  // sooner than through GLib's main loop.
  PreferQtEventDispatcher();
  QApplication app(argc, argv);
  LeaveEventDispatcherToOthers();
  QApplication::setQuitOnLastWindowClosed(false);
  InstallJapaneseFontSubstitutes();
  InstallJapaneseStandardTexts();  // the quit question's buttons are the client's はい and いいえ

  QtServerTransport transport;
  QtClientConnection self_test;
  QtPrompts prompts;
  QtClipboard clipboard;
  QtTrayIcon tray(ServerIcon());
  QtDesktop desktop;
  SystemNetworkInfo network;
  SystemClock clock;

  ServerEnvironment env;
  env.transport = &transport;
  env.self_test = &self_test;
  env.prompts = &prompts;
  env.clipboard = &clipboard;
  env.tray = &tray;
  env.desktop = &desktop;
  env.network = &network;
  env.clock = &clock;
  env.program_folder = PathFromQt(QCoreApplication::applicationDirPath()) + "/";
  env.port = port;
  // Without a display nobody can close a box.
  const QString platform = QGuiApplication::platformName();
  env.boxes_answerable =
      platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");

  TForm1 form(env);
  if (!form.Started()) return 1;
  prompts.SetParent(&form);
  form.FormCreate();
  form.OnClosed = [] { QCoreApplication::quit(); };
  OnTerminationSignal([&form] { form.CloseWithoutQuestion(); }, true);
  form.show();
  return app.exec();
}
