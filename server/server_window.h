// server/server_window.h — TForm1, the match server's one window: join keys, limits, event log,
// the three lobby lists, the notification icon and the close path.
#pragma once
#include <QWidget>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/line_list.h"
#include "platform/network_info.h"
#include "platform/prompts.h"
#include "platform/sockets.h"
#include "platform/tray_icon.h"
#include "server/server_core.h"
#include "server/server_settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class MemoView;

// The desktop services the window uses; the program passes the real ones, tests their doubles.
struct ServerEnvironment {
  ServerTransport* transport = nullptr;
  ClientConnection* self_test = nullptr;  // the connection that proves the listening socket
  Prompts* prompts = nullptr;
  Clipboard* clipboard = nullptr;
  TrayIcon* tray = nullptr;
  Desktop* desktop = nullptr;
  const NetworkInfo* network = nullptr;
  const Clock* clock = nullptr;
  std::string work_folder = ".";  // settings file and Log folder live here
  std::string program_folder;     // folder of the program file, with a trailing "/"
  std::uint16_t port = 4523;
  // Whether a person can answer a message box (there is a display); otherwise, and while a
  // signal closes the server, messages go to `errors` instead (UTF-8 lines).
  bool boxes_answerable = true;
  std::ostream* errors = nullptr;  // standard error when not set
};

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // The start-up sequence: controls, listening socket, tables, caption, self-test connection,
  // start stamp, join keys, settings.
  explicit TForm1(const ServerEnvironment& env);
  ~TForm1() override;

  // The event list shows the newest lines only, so that a flood of events costs the window no
  // more than this many; the saved log keeps every line of the run.
  static constexpr int kShownEventLines = 1000;

  // False when the listening socket could not be opened (the error has been shown).
  bool Started() const { return started_; }
  ServerCore& Core() { return *core_; }

  // Adds the notification icon; minimising then hides the window until the icon brings it back.
  void FormCreate();

  // Handlers.
  void Edit2KeyDown(int key);
  void Edit3KeyDown(int key);
  void SpeedButton1Click();
  bool FormCloseQuery();
  void FormClose();
  void TrayMessage(TrayIcon::Press press);
  void ShowClick();
  void ExitClick();
  void MinimizeToTray();

  // Join keys and settings.
  void ShowJoinKeys();
  void LoadSettings();
  void SaveSettings();

  // Closes as the close button does, but without asking and without waiting on any box: a
  // signal (SIGTERM, SIGINT, SIGHUP) ends the program whoever is at the screen.
  void CloseWithoutQuestion();
  // Called once the close path has run; the program ends there.
  std::function<void()> OnClosed;

  // The application title: the caption set at start-up, used for plain message boxes.
  const std::string& ApplicationTitle() const { return app_title_; }

  // Controls, for the program's own tests.
  QLineEdit* Edit2() const { return edit2_; }
  QLineEdit* Edit3() const { return edit3_; }
  QCheckBox* CheckBox1() const { return check_box1_; }
  MemoView* Memo1() const { return memo1_; }
  MemoView* Memo2() const { return memo2_; }
  MemoView* Memo3() const { return memo3_; }
  MemoView* Memo4() const { return memo4_; }
  MemoView* Memo5() const { return memo5_; }
  QMenu* PopupMenu1() const { return popup_menu1_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateControls();
  void SetCaption();
  // Tells the operator: a box, or a line on standard error when no box can be answered now.
  void Report(const std::string& text);
  void ApplyLimitEntry(QLineEdit* edit, int& limit, int low, int high);
  void Restore();

  ServerEnvironment env_;
  std::unique_ptr<ServerCore> core_;
  bool started_ = false;
  bool closed_ = false;
  bool ask_before_close_ = true;
  bool quiet_close_ = false;  // a signal closes: no box
  // What reading the settings found wrong, for the event list once it starts.
  std::string settings_note_;
  // This run's block of the event log, begun once lines leave the event list's memory.
  EventLogRun event_log_;
  std::string app_title_;
  LineList memo5_lines_;

  MemoView* memo5_ = nullptr;
  QToolButton* speed_button1_ = nullptr;
  QCheckBox* check_box1_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QLineEdit* edit2_ = nullptr;
  QLineEdit* edit3_ = nullptr;
  MemoView* memo1_ = nullptr;
  MemoView* memo2_ = nullptr;
  MemoView* memo3_ = nullptr;
  MemoView* memo4_ = nullptr;
  QMenu* popup_menu1_ = nullptr;
};

// Draws the small pictures of the server: the application and notification icon (a black and a
// white stone) and the menu glyphs.
QIcon ServerIcon();

// The program entry: runs the server on `port` until its window closes; the exit code.
int ServerMain(int argc, char** argv, std::uint16_t port);
