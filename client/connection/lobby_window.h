// client/connection/lobby_window.h — TForm6, the lobby: running games, waiting players and
// watch-only users, and the lobby's actions; its timer keeps companion windows hidden while the
// window they belong to is minimised.
#pragma once
#include <QImage>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "platform/line_list.h"

class MemoView;
class PanelStatusBar;
class QCheckBox;
class QLabel;
class QListWidget;
class QTimer;
class QToolButton;

class TForm6 : public QWidget {
  Q_OBJECT
 public:
  // Places the window, empties the lists and loads the background picture bmp/VantaBG.jpg.
  TForm6();
  ~TForm6() override;

  // 1 while the follower keeps the message board hidden because the lobby is minimised.
  int BoardHiddenByFollower = 0;

  // Handlers.
  void SpeedButton1Click();  // 見 る: watch the selected game
  void SpeedButton2Click();  // 対局申し込み: challenge the selected waiting player
  void SpeedButton3Click();  // 伝言板
  void SpeedButton4Click();  // 終 了
  void SpeedButton5Click();  // 再接続
  void SpeedButton6Click();  // 握り
  void SpeedButton7Click();  // 検討室
  void CheckBox2MouseDown();
  void ListBox1Click();
  void ListBox2MouseMove(int y);
  void Memo2Click();
  void FormKeyDown(int key, bool ctrl);
  // The close query: false keeps the lobby open.
  bool FormCloseQuery();
  void Timer1Timer();

  // The hint of the k-th waiting player, from the connect window's WaitHintText.
  std::string WaitListHint(int k) const;

  // The answer to a watch or analysis-room request arrived (or the connection was renewed):
  // the request buttons take presses again.
  void RequestAnswered();
  bool RequestPending() const { return request_pending_; }

  // The connection's state in status panel 0 (cp932).
  void ShowConnectionState(const std::string& text);
  // The "再接続" button, offered while the connection is lost.
  void OfferReconnect(bool offered);
  // The lists a message carries ("<<PlayList=", "<<WaitList=", "<<LookList=") replace the shown
  // ones, and "<<IdCount=" the number of participants; a list the message lacks stays.
  void ApplyLobbyLists(std::string_view message);
  // The running games as the list shows them, one line an entry ("[ g ]", black, white).
  std::vector<std::string> GameListLines() const;
  // The "観戦のみ" check box: ticked as at the login, and taking clicks only while no own game
  // runs.
  void SetWatchOnly(bool watch_only);
  void SetWatchOnlyEnabled(bool enabled);

  // Controls.
  QLabel* Label3;
  QLabel* Label1;
  QLabel* Label2;
  QListWidget* ListBox1;  // running games, three lines per game
  QListWidget* ListBox2;  // waiting players
  LineList Memo2Lines;    // watch-only users
  MemoView* Memo2;
  PanelStatusBar* StatusBar1;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton4;
  QWidget* Panel1;
  QCheckBox* CheckBox2;
  QToolButton* SpeedButton7;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton6;
  QToolButton* SpeedButton5;
  QImage Image1;  // the background picture
  QTimer* Timer1;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void StartRequest();

  bool request_pending_ = false;
  QTimer* request_timeout_ = nullptr;
  std::string list_box2_hint_;
};

extern TForm6* Form6;
