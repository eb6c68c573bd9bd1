// The mark toolbar and the diagram viewer on the client's windows: the toolbar's one-or-none
// selection and the space key, the viewer's reading, drawing, replay, caption and layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

#include "client/board/board_modes.h"
#include "client/board/board_window.h"
#include "client/board/model/record_text.h"
#include "client/connection/game_chat_window.h"
#include "client/views/diagram_viewer.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "platform/cp932.h"
#include "platform/memo_colors.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"
#include "tests/client/board/board_test_pictures.h"
#include "tests/client/connection/client_windows_fixture.h"

namespace {

int P(int column, int row) { return MakePoint(column, row); }

bool Down(int code) { return Form15->ToolButtons[static_cast<std::size_t>(code)]->isChecked(); }

int ButtonsDown() {
  int down = 0;
  for (QToolButton* button : Form15->ToolButtons) down += button != nullptr && button->isChecked();
  return down;
}

void Key(QWidget* window, QEvent::Type type, int key) {
  QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
  QApplication::sendEvent(window, &event);
}

// The colour on the viewer's surface just left of a point's centre, beside where a move's number
// is written.
QColor ViewerPixel(int point) {
  const ViewerGeometry& g = Form9->Geometry();
  return Form9->Surface().pixelColor(g.PointToPixelX(point) - 4, g.PointToPixelY(point) + 2);
}

std::string Caption() { return FromQt(Form9->Panel1->text()); }

}  // namespace

using MarkToolbarTest = ClientWindowsTest;
using DiagramViewerTest = ClientWindowsTest;

TEST_F(MarkToolbarTest, OneButtonOrNoneIsDownAndSpaceArmsOnlyWithASelection) {
  Start();
  Form15->show();
  Form15->ToolButtons[3]->click();
  EXPECT_EQ(Form15->SelectedMark, 3);
  Form15->ToolButtons[9]->click();
  EXPECT_EQ(Form15->SelectedMark, 9);
  EXPECT_FALSE(Down(3));
  EXPECT_EQ(ButtonsDown(), 1);

  Key(Form15, QEvent::KeyPress, Qt::Key_Space);
  EXPECT_EQ(Form4->SpaceHeld, 1);
  Key(Form15, QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_EQ(Form4->SpaceHeld, 0);

  // The pressed button again: none is down and space arms nothing.
  Form15->ToolButtons[9]->click();
  EXPECT_EQ(Form15->SelectedMark, 0);
  EXPECT_EQ(ButtonsDown(), 0);
  Key(Form15, QEvent::KeyPress, Qt::Key_Space);
  Form4->FormKeyPress(' ');
  EXPECT_EQ(Form4->SpaceHeld, 0);

  // Hiding and showing again clears the selection.
  Form15->ToolButtons[11]->click();
  Form15->hide();
  Form15->show();
  EXPECT_EQ(Form15->SelectedMark, 0);
  EXPECT_EQ(ButtonsDown(), 0);
  EXPECT_EQ(Form15->ToolButtons[8], nullptr);
}

TEST_F(MarkToolbarTest, ShowingMakesRoomAboveTheBoardUnlessTheGameListBoardIsUp) {
  Start();
  Form4->show();
  SetWindowTop(Form4, 1);
  Form15->show();
  EXPECT_EQ(WindowTop(Form4), 50);
  Form15->hide();
  EXPECT_EQ(WindowTop(Form4), 1);

  Form14->show();
  SetWindowTop(Form4, 7);
  Form15->show();
  EXPECT_EQ(WindowTop(Form4), 7);
}

TEST_F(DiagramViewerTest, ATurnedThirteenLineDiagramShowsTurnedWithItsCaption) {
  StartAndLogIn();
  Form4->BoardTurned = true;
  Form9->ShowDiagram("SZ[13]AB[ca]AW[mm]TR[ab];B[ab];W[bc]", "7");
  EXPECT_EQ(Form9->BoardSize, 13);
  EXPECT_EQ(Form9->CellSize, 17);
  EXPECT_EQ(Caption(), J("[碁盤7] 2手"));
  EXPECT_EQ(Form9->DiagramEntryCount, 4);
  EXPECT_EQ(Form9->MoveTop, 4);
  // Stones stand turned on the 13-line grid, from the 13-line sheet.
  EXPECT_EQ(ViewerPixel(TurnPoint(P(3, 1), 13)), kTestBlackStone);
  EXPECT_EQ(ViewerPixel(P(1, 1)), kTestWhiteStone);
  EXPECT_EQ(ViewerPixel(TurnPoint(P(2, 3), 13)), kTestWhiteStone);
  EXPECT_EQ(Form9->Marks[TurnPoint(P(1, 2), 13)], 5);

  // Stepping back: the triangle's point is empty again, the stone gone from the surface.
  Form9->Image3MouseDown(30);
  Form9->Image3MouseDown(40);
  EXPECT_EQ(Form9->MoveTop, 2);
  EXPECT_EQ(ViewerPixel(TurnPoint(P(2, 3), 13)), kTestBoardColour);
  Form9->Image3MouseDown(40);  // at the setup: nothing
  EXPECT_EQ(Form9->MoveTop, 2);
  Form9->Image3MouseDown(60);
  EXPECT_EQ(Form9->MoveTop, 3);
  Form9->Image3MouseDown(100);
  EXPECT_EQ(Form9->MoveTop, 4);
  Form9->Image3MouseDown(0);
  EXPECT_EQ(Form9->MoveTop, 2);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DiagramViewerTest, TheCaptionSwapsTheBoardWindowAndTheChatAroundTheViewer) {
  Start();
  Form4->resize(500, 400);
  Form9->move(0, 0);
  Form9->show();
  Form5->show();
  SetWindowBounds(Form5, 0, WindowHeight(Form9), 231, 300);

  Form9->Panel1MouseDown();
  EXPECT_EQ(WindowLeft(Form4), (ScreenWidth() - WindowWidth(Form4)) / 2);
  EXPECT_EQ(WindowTop(Form4), WindowHeight(Form9));
  EXPECT_EQ(WindowLeft(Form5), WindowWidth(Form9) + 3);
  EXPECT_EQ(WindowTop(Form5), 1);
  EXPECT_EQ(WindowHeight(Form5), WindowHeight(Form9));

  Form9->Panel1MouseDown();
  EXPECT_EQ(WindowLeft(Form4), WindowWidth(Form9) + 3);
  EXPECT_EQ(WindowTop(Form4), 1);
  EXPECT_EQ(WindowLeft(Form5), WindowLeft(Form9));
  EXPECT_EQ(WindowTop(Form5), WindowHeight(Form9));
  EXPECT_EQ(WindowWidth(Form5), WindowWidth(Form9));
  EXPECT_EQ(WindowHeight(Form5), ScreenHeight() - WindowHeight(Form9) - 5);
}

using DiagramLinkTest = ClientWindowsTest;

namespace {
// A click at `column` of chat line `line`.
void ClickChatLine(int line, int column) {
  QTextCursor caret(Form5->Memo1->document()->findBlockByNumber(line));
  caret.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
  Form5->Memo1->setTextCursor(caret);
  Form5->Memo1Click();
}
}  // namespace

TEST_F(DiagramLinkTest, AClickOnALinkOpensItsDiagramAndAnyOtherClickStepsTheColour) {
  StartAndLogIn();
  Form4->BoardMode = kBoardWatching;
  socket_.Deliver(J("<<GameMese=[ 花子 ]：これ\r\n>><<DiaIndex=12>><<DiaData=SZ[9];B[ee]>>"));
  socket_.Deliver(J("<<GameMese=[ 花子 ]：あれ\r\n>><<DiaIndex=1>><<DiaData=SZ[13];B[aa]>>"));
  Form5->AddChatLine(J("{ 碁盤 5 }"));
  ASSERT_EQ(Form5->Memo1Lines.Line(1), J("{ 碁盤 12 }"));
  ASSERT_EQ(Form5->Memo1Lines.Line(4), J("{ 碁盤 1 }"));
  ASSERT_EQ(Form5->Memo1Lines.Line(6), J("{ 碁盤 5 }"));
  const unsigned colour = MemoColor(Form5->Memo1);

  ClickChatLine(4, 2);  // "{12}" stands before "{1}" in the store
  EXPECT_TRUE(Form9->isVisible());
  EXPECT_EQ(Caption(), J("[碁盤1] 1手"));
  EXPECT_EQ(Form9->BoardSize, 13);
  ClickChatLine(1, 0);
  EXPECT_EQ(Caption(), J("[碁盤12] 1手"));
  EXPECT_EQ(Form9->BoardSize, 9);
  EXPECT_EQ(MemoColor(Form5->Memo1), colour);

  ClickChatLine(6, 3);  // a link to a diagram that is not stored
  EXPECT_EQ(Caption(), J("[碁盤12] 1手"));
  EXPECT_EQ(MemoColor(Form5->Memo1), colour);
  ClickChatLine(1, 9);  // right of the line's end
  EXPECT_EQ(Caption(), J("[碁盤12] 1手"));
  EXPECT_NE(MemoColor(Form5->Memo1), colour);

  // In the analysis room the room's store holds the diagrams.
  Form4->BoardMode = kBoardRoom;
  Form4->RoomDiagramStore = "\r\n{5}<<DiaData=SZ[19]AB[aa]>>";
  ClickChatLine(6, 1);
  EXPECT_EQ(Caption(), J("[碁盤5] 0手"));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DiagramViewerTest, TheSurfaceDragsTheWindowOnlyBeyondAClick) {
  Start();
  Form9->move(10, 10);
  Form9->show();
  const QPoint start = Form9->pos();
  // Positions on the screen, as a mouse gives them while the window moves under it.
  const auto send = [](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
    const QPointF local = Form9->mapFromGlobal(QPointF(global));
    QMouseEvent event(type, local, QPointF(global), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(Form9, &event);
  };
  const QPoint at = Form9->mapToGlobal(QPoint(100, 100));
  send(QEvent::MouseButtonPress, at, Qt::LeftButton);
  send(QEvent::MouseMove, at + QPoint(1, 0), Qt::LeftButton);  // a click's jitter moves nothing
  EXPECT_EQ(Form9->pos(), start);
  send(QEvent::MouseMove, at + QPoint(40, 20), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, at + QPoint(40, 20), Qt::NoButton);
  EXPECT_EQ(Form9->pos(), start + QPoint(40, 20));
}
