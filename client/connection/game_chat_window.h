// client/connection/game_chat_window.h — TForm5, the chat of the game on the board window and of
// the analysis room. It places the board window, itself and the diagram viewer side by side
// until the user moves the board window.
#pragma once
#include <QWidget>
#include <string>

#include "platform/line_list.h"

class MemoView;
class QAction;

class TForm5 : public QWidget {
  Q_OBJECT
 public:
  // Placed left of the board window, as tall as it; empty; arranging the windows.
  TForm5();
  ~TForm5() override;

  // 1 while the lobby's follower keeps the diagram viewer hidden because this window is
  // minimised.
  int ViewerHiddenByFollower = 0;
  // 1 while this window arranges the board window, itself and the diagram viewer; cleared for good
  // once the user has moved the board window.
  int AutoLayout = 1;
  // The board window's place after this window's last arrangement.
  int BoardLeftSeen = 0;
  int BoardTopSeen = 0;

  // Adds `text` as a memo adds a line: each line break in it starts a new line, so a chat line
  // that ends with CR LF leaves an empty line after it.
  void AddChatLine(const std::string& text);

  // The chat as the record's log keeps it, and emptied for a new game.
  std::string ChatLogText() const { return Memo1Lines.Text(); }
  void ClearChat() { Memo1Lines.Clear(); }
  // The chat of a game joined as a watcher, or of the analysis room: the lines so far, as the
  // game's or the room's log holds them.
  void SetChatText(const std::string& text) { Memo1Lines.SetText(text); }

  // The link line of board diagram `number` follows the line just added, in place of the empty
  // line after it.
  void AddDiagramLink(const std::string& number);

  // A game chat line arrived ("<<GameMese=", with a board diagram when "<<DiaData=" is present).
  void ReceiveGameChatLine(const std::string& message);

  // Shows or hides the diagram viewer and arranges the windows around it.
  void ToggleDiagramView();
  // A click on the memo: on the text of a diagram's link line the diagram opens in the viewer;
  // any other click steps the background to the next colour of the cycle.
  void Memo1Click();
  // Shows diagram `number` of the game's store (the analysis room's in the room) in the viewer,
  // bringing the viewer up beside the chat; nothing when the store does not hold it.
  void OpenDiagram(const std::string& number);
  // Arrangement when this window is shown or hidden (the board window shows and hides it).
  void FormShow();
  void FormHide();

  // Controls.
  LineList Memo1Lines;  // the chat
  MemoView* Memo1;
  QAction* DiagramViewItem;  // 小碁盤の表示 [ON/OFF] (&B)

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void CreateControls();
  // The arrangement while the diagram viewer is shown.
  void ArrangeWithViewer();
};

extern TForm5* Form5;
