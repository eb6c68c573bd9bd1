// client/connection/connect_window.h — TForm2, the connect window: join key and name, the one
// connection to the server with its events and its message reader, the settings file, and the
// fields the other windows share.
#pragma once
#include <QWidget>
#include <array>
#include <deque>
#include <string>
#include <string_view>

#include "client/connection/model/message_routing.h"
#include "platform/line_list.h"
#include "platform/sockets.h"
#include "protocol/message_framer.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class TForm2 : public QWidget, private ClientConnectionListener {
  Q_OBJECT
 public:
  // Builds the window, sets the fields, reads the settings file, fills the key list and takes a
  // join key from the clipboard.
  TForm2();
  ~TForm2() override;

  // Shared fields.
  int AskEndFlag = 1;        // ask before ending the program
  int ChallengePending = 0;  // 1 while the challenge dialog is open
  int SavedTurnFlag = 0;     // the board's input right, saved while the opponent stopped the game
  std::string JoinKeyDigits;
  std::string WaitHintText;  // the last "<<WaitHint=" value
  std::string BoardSizeText;
  std::string UserName;  // own name, sent at login and used by every window as "me"
  std::string OpenDialogDir;
  std::string SaveDialogDir;
  std::string AppDir;  // the program folder, with a trailing "/"
  std::string KuroTime;
  std::string SiroTime;
  std::string AddTime;
  std::string Komi;
  std::string Wari;
  std::array<std::string, 6> JoinKeys;  // 1..5, most recent first
  int JoinKeyCount = 0;
  ClientConnection* ClientSocket1;
  LineList Memo1;  // line buffer of the settings file

  // Operations.
  std::string DefaultUserName() const;
  void RememberJoinKey();
  void FillJoinKeyList();
  void LoadClientSettings();
  void SaveClientSettings();
  // Shows the challenge received dialog with `caption` and the offer `text` and waits for the
  // answer; true for O  K.
  bool ShowChallengeDialog(const std::string& caption, const std::string& text);
  // Writes the lobby-list tags found in `message` to the lobby.
  void UpdateLobbyLists(std::string_view message);
  // The text of the join-key box (cp932).
  std::string VantaKeyText() const;

  // Sends `text` to the server; while not connected shows "サーバに接続していません！" and sends
  // nothing. True when sent.
  bool SendToServer(std::string_view text);
  // Sends `text` when connected; otherwise sends nothing and says nothing. True when sent.
  bool SendIfConnected(std::string_view text);
  bool Connected() const { return ClientSocket1->Connected(); }
  // Starts connecting to the server of `key`; a key that is not a valid join key gets the
  // wrong-key message instead. True when an attempt started.
  bool OpenConnection(std::string_view key);

  // Handlers.
  void BitBtn1Click();
  void BitBtn2Click();
  void Edit1KeyDown(int key);
  void FormShow();
  void FormClick() {}
  void ClientSocket1Connect();
  void ClientSocket1Disconnect();
  void ClientSocket1Error(const std::string& message);
  // One read event: the bytes join the framer, and every whole message it completes is handled
  // in turn, in the order the server sent them. A message that may still grow (a challenge's
  // start position, a chat line's diagram) waits for its tail until the next read or until the
  // connection has been quiet for MessageFramer::kHoldMilliseconds.
  void ClientSocket1Read(const std::string& bytes);
  // The quiet connection's timer: the message that waited for its tail is handled without it.
  void HandOverHeldMessage();

  // Controls.
  QLabel* Label2;
  QComboBox* VantaKey;
  QLabel* Label1;
  QLineEdit* Edit1;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  QPushButton* BitBtn1;
  QPushButton* BitBtn2;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnConnected() override { ClientSocket1Connect(); }
  void OnRead(const std::string& bytes) override { ClientSocket1Read(bytes); }
  void OnDisconnected() override {
    HandOverHeldMessage();  // what the server sent last is read before its end
    ClientSocket1Disconnect();
  }
  void OnConnectError(const std::string& message) override { ClientSocket1Error(message); }

  void CreateControls();
  // Handles the whole messages not yet handled, in order.
  void ReadUnread();
  // Handles one complete message in the reader's order.
  void ReadMessage(const std::string& message);
  void Perform(ReaderAction action, const std::string& message);
  void LoginRequest();
  void LoginAccepted(const std::string& message);
  void RefuseLogin(std::string_view text, bool only_before_login);
  void CallMessageBoard();

  MessageFramer framer_;
  QTimer* hold_timer_;  // runs while the framer holds a message that may still grow
  // Whole messages not yet handled. A handler that opens a box runs a nested event loop in which
  // later reads arrive; they join this queue behind the messages still waiting, so every message
  // is handled in order, and still while the box is open.
  std::deque<std::string> unread_;
};

extern TForm2* Form2;
