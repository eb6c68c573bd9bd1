// Tests of the server window: start-up, limit entries, join keys, settings, the notification
// icon and the close path. Real sockets on a free port; every other service is a test double.
#include "server/server_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QTcpSocket>
#include <QTextBlock>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "tests/qt_wait.h"
#include "tests/temp_folder.h"

namespace {

struct ServerWindowTest : testing::Test {
  QtServerTransport transport;
  QtClientConnection self_test;
  ScriptedPrompts prompts;
  MemoryClipboard clipboard;
  FakeTrayIcon tray{true};
  FakeDesktop desktop;
  FakeNetworkInfo network{"go-host", {"192.168.0.1"}};
  FixedClock clock{"2026/12/09", "9:05:07"};
  std::string folder = TempFolder();
  std::ostringstream errors;  // what the server writes on standard error
  std::unique_ptr<TForm1> form;

  ServerEnvironment Environment() {
    ServerEnvironment env;
    env.transport = &transport;
    env.self_test = &self_test;
    env.prompts = &prompts;
    env.clipboard = &clipboard;
    env.tray = &tray;
    env.desktop = &desktop;
    env.network = &network;
    env.clock = &clock;
    env.work_folder = folder;
    env.program_folder = folder + "/";
    env.port = 0;  // a free port
    env.errors = &errors;
    return env;
  }

  // Starts the server and waits for its self-test connection.
  void Start() {
    form = std::make_unique<TForm1>(Environment());
    ASSERT_TRUE(form->Started());
    form->FormCreate();
    ASSERT_TRUE(WaitFor([&] { return form->Core().PlayerCount == 0; }));
  }
};
}  // namespace

TEST_F(ServerWindowTest, StartUpProvesTheSocketAndShowsCaptionAndJoinKey) {
  Start();
  EXPECT_EQ(form->Core().Memo1.Line(0), J("<<サーバ起動ＯＫ>>"));
  EXPECT_EQ(form->Memo1()->ShownText(), J("<<サーバ起動ＯＫ>>"));
  EXPECT_EQ(FromQt(form->windowTitle()), J(" ザンテ - Kordraum   [ 参加者数 = ") + "0 ]");
  EXPECT_EQ(form->ApplicationTitle(), FromQt(form->windowTitle()));
  EXPECT_EQ(form->Core().StartStamp, "2026/12/09 -- 9:05:07");
  EXPECT_EQ(form->Memo5()->ShownText(), J(" 参 加 キー = ") + "CO015400");
  EXPECT_EQ(FromQt(form->Memo5()->toolTip()), J("[ PC名 = ") + "go-host ]");
  EXPECT_EQ(clipboard.Text(), "CO015400");
  EXPECT_EQ(tray.tip(), J(" ザ ン テ [ Kordraum ] "));
  EXPECT_EQ(form->width(), 452);
  EXPECT_EQ(form->height(), 451);
}

TEST_F(ServerWindowTest, ANewConnectionGetsTheBarePrompt) {
  Start();
  QTcpSocket client;
  client.connectToHost("127.0.0.1", transport.Port());
  QByteArray got;
  ASSERT_TRUE(WaitFor([&] {
    got += client.readAll();
    return got.size() >= 12;
  }));
  EXPECT_EQ(got.toStdString(), "<<QuellName=");
}

TEST_F(ServerWindowTest, LoginAndLostConnectionShowInTheCaptionAndTheLists) {
  Start();
  const std::string caption = J(" ザンテ - Kordraum   [ 参加者数 = ");
  QTcpSocket alice, bob;
  for (QTcpSocket* client : {&alice, &bob}) {
    client->connectToHost("127.0.0.1", transport.Port());
    ASSERT_TRUE(WaitFor([&] { return client->bytesAvailable() >= 12; }));
    client->readAll();
  }
  alice.write("<<QuellName=alice>><<IdFlag=1>>");
  ASSERT_TRUE(WaitFor([&] { return FromQt(form->windowTitle()) == caption + "1 ]"; }));
  bob.write("<<QuellName=bob>><<IdFlag=0>>");
  ASSERT_TRUE(WaitFor([&] { return FromQt(form->windowTitle()) == caption + "2 ]"; }));
  EXPECT_EQ(form->Memo3()->ShownText(), "alice");
  EXPECT_EQ(form->Memo4()->ShownText(), "bob");
  EXPECT_EQ(form->Memo1()->ShownText(),
            J("<<サーバ起動ＯＫ>>") + "\r\n[ alice ] ==> " + J("到着 { 対局/観戦 }") +
                "  (9:05:07)\r\n[ bob ] ==> " + J("到着 { 観戦のみ }") + "  (9:05:07)");

  alice.abort();
  ASSERT_TRUE(WaitFor([&] { return FromQt(form->windowTitle()) == caption + "1 ]"; }));
  EXPECT_EQ(form->Memo3()->ShownText(), "");
  EXPECT_EQ(form->Memo4()->ShownText(), "bob");
  // The application title of the message boxes keeps the start-up caption.
  EXPECT_EQ(form->ApplicationTitle(), caption + "0 ]");
}

TEST_F(ServerWindowTest, ThreeAddressesShowAndCopyNothing) {
  network = FakeNetworkInfo("h", {"1.1.1.1", "2.2.2.2", "3.3.3.3"});
  Start();
  EXPECT_EQ(form->Memo5()->ShownText(), "Memo5");
  EXPECT_EQ(clipboard.writes(), 0);
}

TEST_F(ServerWindowTest, LimitEntriesApplyOnlyOnEnterAndGiveUpTheFocus) {
  Start();
  form->show();
  form->activateWindow();
  ServerCore& core = form->Core();

  form->Edit2()->setText("3");
  form->Edit2KeyDown('3');  // any key but Enter applies nothing
  EXPECT_EQ(core.GameLimit, 5);
  form->Edit2()->setFocus();
  form->Edit2KeyDown(13);
  EXPECT_EQ(core.GameLimit, 3);
  EXPECT_FALSE(form->Edit2()->hasFocus());

  struct Case {
    bool game;
    const char* typed;
    int limit;
    const char* shown;
  } cases[] = {
      {true, "0", 3, "3"},     {true, "6", 3, "3"},     {true, "x", 3, "3"},
      {true, "", 3, "3"},      {true, "5", 5, "5"},     {true, "1", 1, "1"},
      {false, "1", 50, "50"},  {false, "51", 50, "50"}, {false, "2", 2, "2"},
      {false, "50", 50, "50"},
  };
  for (const auto& c : cases) {
    QLineEdit* edit = c.game ? form->Edit2() : form->Edit3();
    edit->setText(c.typed);
    c.game ? form->Edit2KeyDown(13) : form->Edit3KeyDown(13);
    EXPECT_EQ(c.game ? core.GameLimit : core.JoinLimit, c.limit) << c.typed;
    EXPECT_EQ(edit->text().toStdString(), c.shown) << c.typed;
  }
}

TEST_F(ServerWindowTest, CloseAsksOnlyWhileMoreThanOneParticipantIsLoggedIn) {
  Start();
  for (int count : {0, 1}) {
    form->Core().PlayerCount = count;
    EXPECT_TRUE(form->FormCloseQuery());
    EXPECT_TRUE(prompts.shown().empty());
  }
  form->Core().PlayerCount = 2;
  prompts.QueueAnswer(false);
  form->show();
  form->close();  // "No": the server keeps running
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_TRUE(prompts.shown()[0].question);
  EXPECT_EQ(prompts.shown()[0].text, J("未だ接続が残っていますが、終了しますか？"));
  EXPECT_EQ(prompts.shown()[0].caption, J("Kordraum : 終了の確認"));
  EXPECT_FALSE(FileExists(JoinPath(folder, "QuellDraum.dat")));

  bool closed = false;
  form->OnClosed = [&] { closed = true; };
  prompts.QueueAnswer(true);
  form->close();
  EXPECT_TRUE(closed);
  EXPECT_TRUE(FileExists(JoinPath(folder, "QuellDraum.dat")));
  EXPECT_EQ(tray.removals(), 1);
}

TEST_F(ServerWindowTest, CloseWritesTheLogBlockAndTheSettings) {
  Start();
  form->Core().BoardText = "[ bob ]\x81\x46hi\r\n";
  form->Edit3()->setText("");  // an empty entry is saved as its default
  clock.Set("2026/12/09", "10:00:00");
  form->CloseWithoutQuestion();
  EXPECT_TRUE(prompts.shown().empty());
  EXPECT_EQ(ReadBack(JoinPath(folder, "Log/DraumLog.dat")),
            "//===2026/12/09 -- 9:05:07===//\r\n" + J("<<サーバ起動ＯＫ>>") +
                "\r\n//===2026/12/09 -- 10:00:00===//\r\n\r\n");
  EXPECT_EQ(ReadBack(JoinPath(folder, "Log/DraumChat.dat")),
            "//===2026/12/09 -- 9:05:07===//\r\n[ bob ]\x81\x46hi\r\n"
            "//===2026/12/09 -- 10:00:00===//\r\n\r\n");
  EXPECT_EQ(ReadBack(JoinPath(folder, "QuellDraum.dat")),
            "LogSave[1]\r\nGameLimit[5]\r\nJoinLimit[50]\r\n");
}

// A participant who floods the server with requests that each write an event line costs the
// event list no more than its newest lines, while the saved log keeps every line.
TEST_F(ServerWindowTest, AFloodOfEventsShowsTheNewestLinesAndTheLogKeepsThemAll) {
  Start();
  // Each participant stays inside its own budget of event lines; together they log three times
  // the lines shown.
  constexpr int kClients = 20;
  const int requests = static_cast<int>(ServerCore::kEventBurst) * 3 / 4;
  static_assert(kClients * ServerCore::kEventBurst * 3 / 4 >= TForm1::kShownEventLines * 3);
  std::vector<std::unique_ptr<QTcpSocket>> clients;
  for (int i = 0; i < kClients; ++i) {
    QTcpSocket& client = *clients.emplace_back(std::make_unique<QTcpSocket>());
    client.connectToHost("127.0.0.1", transport.Port());
    ASSERT_TRUE(WaitFor([&] { return client.bytesAvailable() >= 12; }));
    client.readAll();
    client.write(("<<QuellName=flood" + std::to_string(i) + ">><<IdFlag=1>>").c_str());
    client.write(QByteArray("<<WatchGame=9>>").repeated(requests));
  }
  // The start line, each arrival, one error line each.
  const int lines = 1 + kClients * (1 + requests);
  const LineList& log = form->Core().Memo1;
  ASSERT_TRUE(WaitFor([&] { return log.Count() == lines; }, 20000)) << log.Count();
  const std::string newest = log.Line(lines - 1);
  ASSERT_TRUE(
      WaitFor([&] { return FromQt(form->Memo1()->document()->lastBlock().text()) == newest; }));
  ASSERT_EQ(form->Memo1()->blockCount(), TForm1::kShownEventLines);
  const std::vector<std::string> shown(log.Lines().end() - TForm1::kShownEventLines,
                                       log.Lines().end());
  std::string shown_text;
  for (const std::string& line : shown) shown_text += (shown_text.empty() ? "" : "\r\n") + line;
  EXPECT_TRUE(form->Memo1()->ShownText() == shown_text);

  form->CloseWithoutQuestion();
  EXPECT_TRUE(ReadBack(JoinPath(folder, "Log/DraumLog.dat")) ==
              "//===2026/12/09 -- 9:05:07===//\r\n" + log.Text() +
                  "//===2026/12/09 -- 9:05:07===//\r\n\r\n");
}

TEST_F(ServerWindowTest, LoadedLimitsAreShownButNotInForce) {
  WriteWholeFile(JoinPath(folder, "QuellDraum.dat"),
                 "LogSave[0]\r\nGameLimit[3]\r\nJoinLimit[]\r\n");
  Start();
  EXPECT_EQ(form->Edit2()->text().toStdString(), "3");
  EXPECT_EQ(form->Edit3()->text().toStdString(), "50");
  EXPECT_EQ(form->Core().GameLimit, 5);
  EXPECT_FALSE(form->CheckBox1()->isChecked());
  form->Edit2()->setText("");
  form->CloseWithoutQuestion();
  EXPECT_FALSE(DirectoryExists(JoinPath(folder, "Log")));  // logging is off
  EXPECT_EQ(ReadBack(JoinPath(folder, "QuellDraum.dat")),
            "LogSave[0]\r\nGameLimit[5]\r\nJoinLimit[50]\r\n");
}

// Measured before: out-of-range limits and a 100 KB value in the settings file were shown and
// written back as read. Now an entry shows, and the file keeps, what the server would use.
TEST_F(ServerWindowTest, SettingsAreWrittenBackAsTheServerUsesThem) {
  WriteWholeFile(JoinPath(folder, "QuellDraum.dat"),
                 "LogSave[0]\r\nGameLimit[9]\r\nJoinLimit[" + std::string(100'000, '7') + "]\r\n");
  Start();
  EXPECT_EQ(form->Edit2()->text().toStdString(), "5");
  EXPECT_EQ(form->Edit3()->text().toStdString(), "50");
  // A limit put in force is what an unusable entry falls back to.
  form->Edit2()->setText("3");
  form->Edit2KeyDown(13);
  form->Edit2()->setText("0");
  form->Edit3()->setText("12");  // typed, not yet in force: still what the server would take
  form->CloseWithoutQuestion();
  EXPECT_EQ(ReadBack(JoinPath(folder, "QuellDraum.dat")),
            "LogSave[0]\r\nGameLimit[3]\r\nJoinLimit[12]\r\n");
}

// The event list keeps its newest lines in memory; older ones go to the log file as the run
// goes, and the file ends up holding every line of the run in one block, as before.
TEST_F(ServerWindowTest, OldEventLinesGoToTheLogAsTheRunGoesAndTheFileEndsAsBefore) {
  MakeDirectory(JoinPath(folder, "Log"));
  WriteWholeFile(JoinPath(folder, "Log/DraumLog.dat"), std::string(50001, 'o'));
  Start();
  ServerCore& core = form->Core();
  std::string all = core.Memo1.Text();
  for (int i = 0; i < 3 * ServerCore::kKeptEventLines; ++i) {
    const std::string line = "[ p" + std::to_string(i) + " ] ==> " + J("接続切れ") + "  (9:05:07)";
    core.LogEvent(line);
    all += line + "\r\n";
  }
  EXPECT_LE(core.Memo1.Count(), ServerCore::kKeptEventLines * 5 / 4);
  // The old log went aside before this run's first line was written.
  EXPECT_EQ(FileSizeOf(JoinPath(folder, "Log/DraumLog20261209-90507.dat")), 50001);
  EXPECT_TRUE(WaitFor([&] { return form->Memo1()->blockCount() == TForm1::kShownEventLines; }));
  form->CloseWithoutQuestion();
  EXPECT_TRUE(ReadBack(JoinPath(folder, "Log/DraumLog.dat")) ==
              "//===2026/12/09 -- 9:05:07===//\r\n" + all +
                  "//===2026/12/09 -- 9:05:07===//\r\n\r\n");
  EXPECT_TRUE(prompts.shown().empty());
}

// A signal once waited forever on the box of a log that could not be written. Closed by a signal
// the server tells standard error and ends; closed at the screen it shows the box.
TEST_F(ServerWindowTest, AnUnwritableLogIsReportedAndTheCloseStillFinishes) {
  WriteWholeFile(JoinPath(folder, "Log"), "a file where the folder should be");
  const std::string message =
      J("ログを保存できません (") + JoinPath(folder, "Log/DraumLog.dat") + ")";
  for (const bool by_signal : {true, false}) {
    Start();
    bool closed = false;
    form->OnClosed = [&] { closed = true; };
    prompts.Forget();
    errors.str("");
    if (by_signal) {
      form->CloseWithoutQuestion();
    } else {
      form->show();
      form->close();
    }
    EXPECT_TRUE(closed);
    if (by_signal) {
      EXPECT_TRUE(prompts.shown().empty());
      EXPECT_EQ(errors.str(), Utf8FromCp932(message) + "\n");
    } else {
      ASSERT_EQ(prompts.shown().size(), 1u);
      EXPECT_EQ(prompts.shown()[0].text, message);
      EXPECT_EQ(errors.str(), "");
    }
    EXPECT_TRUE(FileExists(JoinPath(folder, "QuellDraum.dat")));
    form.reset();
  }
}

// A settings file that cannot be read once ended the start, and an empty or damaged one turned
// log saving off without a word. Both start with the defaults and say so in the event list.
TEST_F(ServerWindowTest, UnreadableOrDamagedSettingsStartWithTheDefaults) {
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;
    const char* note;
  } cases[] = {
      {"a folder", [](const std::string& path) { MakeDirectory(path); },
       "設定ファイル (QuellDraum.dat) を読めないため、初期設定で起動しました"},
      {"empty", [](const std::string& path) { WriteWholeFile(path, ""); },
       "設定ファイル (QuellDraum.dat) が空か壊れているため、読めない設定は初期値のままです"},
      {"cut short", [](const std::string& path) { WriteWholeFile(path, "LogSave["); },
       "設定ファイル (QuellDraum.dat) が空か壊れているため、読めない設定は初期値のままです"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    folder = TempFolder();
    c.make(JoinPath(folder, "QuellDraum.dat"));
    Start();
    EXPECT_TRUE(form->CheckBox1()->isChecked());
    EXPECT_EQ(form->Edit2()->text().toStdString(), "5");
    EXPECT_EQ(form->Core().Memo1.Lines(),
              (std::vector<std::string>{J("<<サーバ起動ＯＫ>>"), J(c.note) + "  (9:05:07)"}));
    form->CloseWithoutQuestion();
    EXPECT_TRUE(FileExists(JoinPath(folder, "Log/DraumLog.dat")));  // logging stayed on
    form.reset();
  }
}

TEST_F(ServerWindowTest, PastLogButtonOpensTheLogOrSaysItIsMissing) {
  Start();
  form->SpeedButton1Click();
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.shown()[0].text, J("過去ログが見付かりません (\\Log\\DraumLog.dat)"));
  EXPECT_EQ(prompts.shown()[0].caption, form->ApplicationTitle());
  EXPECT_TRUE(desktop.opened().empty());

  MakeDirectory(JoinPath(folder, "Log"));
  WriteWholeFile(JoinPath(folder, "Log/DraumLog.dat"), "x");
  form->SpeedButton1Click();
  EXPECT_EQ(desktop.opened(), std::vector<std::string>{JoinPath(folder, "Log/DraumLog.dat")});
  EXPECT_EQ(prompts.shown().size(), 1u);

  // No program is set to open it: the operator learns where the file is.
  desktop.opens = false;
  form->SpeedButton1Click();
  ASSERT_EQ(prompts.shown().size(), 2u);
  const std::string where = std::filesystem::absolute(JoinPath(folder, "Log/DraumLog.dat"));
  EXPECT_EQ(prompts.shown()[1].text,
            J("過去ログを開けませんでした。\nこのファイルを開くプログラムが設定されていません。"
              "\n\nファイルの場所: ") +
                Cp932FromUtf8(where));
  EXPECT_EQ(prompts.shown()[1].caption, form->ApplicationTitle());
}

TEST_F(ServerWindowTest, MinimisingHidesTheWindowOnlyWhenTheIconIsThere) {
  Start();
  form->show();
  form->MinimizeToTray();
  EXPECT_FALSE(form->isVisible());
  tray.Press(TrayIcon::Press::Left);
  EXPECT_TRUE(form->isVisible());
  form->MinimizeToTray();
  form->ShowClick();
  EXPECT_TRUE(form->isVisible());
  tray.Press(TrayIcon::Press::Right);
  EXPECT_TRUE(form->PopupMenu1()->isVisible());
  form->PopupMenu1()->hide();
  ASSERT_EQ(form->PopupMenu1()->actions().size(), 2);
  EXPECT_EQ(FromQt(form->PopupMenu1()->actions()[0]->text()), J("表示 (&L)"));
  EXPECT_EQ(FromQt(form->PopupMenu1()->actions()[1]->text()), J("終了(&X)"));
}

TEST_F(ServerWindowTest, WithoutANotificationAreaMinimisingNeverHidesTheWindow) {
  tray = FakeTrayIcon(false);
  Start();
  form->show();
  form->MinimizeToTray();
  EXPECT_TRUE(form->isVisible());
}

TEST_F(ServerWindowTest, AnOccupiedPortIsReportedAndTheServerDoesNotStart) {
  QtServerTransport occupant;
  ASSERT_TRUE(occupant.Listen(0, nullptr));
  ServerEnvironment env = Environment();
  env.port = occupant.Port();
  TForm1 second(env);
  EXPECT_FALSE(second.Started());
  // The cause in Japanese, on standard error and in a box that closes itself; with no display,
  // on standard error only.
  const std::string text = J("ポート ") + std::to_string(env.port) +
                           J(" は他のプログラムが既に使っています。Kordraum を終了します。");
  ASSERT_EQ(prompts.shown().size(), 1u);
  EXPECT_EQ(prompts.shown()[0].text, text);
  EXPECT_EQ(errors.str(), Utf8FromCp932(text) + "\n");
  env.boxes_answerable = false;
  TForm1 third(env);
  EXPECT_FALSE(third.Started());
  EXPECT_EQ(prompts.shown().size(), 1u);
}
