// The diagram editor among the client's windows, offscreen: opened from the board window's
// position and from a Shift-clicked move, setup stones and marks through the mark toolbar, the
// send with its messages, and the three imports.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

#include "client/board/board_modes.h"
#include "client/board/board_window.h"
#include "client/board/model/record_text.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "client/views/mark_toolbar.h"
#include "client/views/panel_button.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/qt_text.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/client/connection/modal_answer.h"

namespace {

int P(int column, int row) { return MakePoint(column, row); }
int X(int point) { return GeometryOf(Form7->BoardSize).PointToPixelX(point); }
int Y(int point) { return GeometryOf(Form7->BoardSize).PointToPixelY(point); }

class DiagramEditorWindowTest : public ClientWindowsTest {
 protected:
  void SetUp() override {
    StartAndLogIn("Taro");
    Form4->Timer1->stop();
    Form4->BoardMode = kBoardOwnGame;
    Form4->GameTag = "<<GameIndex=1>>";
  }
  void TearDown() override {
    if (Form7->isVisible()) Form7->done(2);
  }
  // Opens the editor with the diagram button and runs `inside` while it is open.
  void InEditor(const std::function<void()>& inside) {
    ModalAnswer answer(Form7, inside);
    Form4->Image10Click();
    EXPECT_TRUE(answer.answered());
    EXPECT_FALSE(answer.timed_out());
  }
  void Type(const char* comment) { Form7->Memo1->setPlainText(QString::fromUtf8(comment)); }
};

}  // namespace

TEST_F(DiagramEditorWindowTest, WhatIsMissingIsSaidAndTheEditorStaysUntilASendOrNoConnection) {
  InEditor([&] {
    EXPECT_EQ(Form7->Caption(), J(" [ ヌルカ ] -- 碁盤付きメッセージの作成と送信"));
    EXPECT_FALSE(Form7->Label1->isVisible());
    Form7->Panel3Click();
    EXPECT_EQ(Messages(), std::vector<std::string>{J("碁盤が入力されていません")});
    EXPECT_TRUE(Form7->isVisible());
    Form7->FormMouseDown(Qt::LeftButton, X(P(4, 4)), Y(P(4, 4)));
    Form7->FormMouseUp();
    EXPECT_EQ(Form7->Editor.Position.Board[P(4, 4)], kBlack);
    Form7->Panel3Click();
    EXPECT_EQ(Messages(), std::vector<std::string>{J("コメントが入力されていません")});
    EXPECT_TRUE(Form7->isVisible());
    Type(" ");  // blanks are a comment
    socket_.Drop();
    Messages();
    Form7->Panel3Click();
    EXPECT_EQ(Messages(), std::vector<std::string>{J("サーバに接続していません！")});
  });
  EXPECT_FALSE(Form7->isVisible());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(DiagramEditorWindowTest, AShiftClickOpensThePositionBeforeTheMoveAndTheToolbarSetsMarks) {
  // 31 moves without a capture: black down column 1, white down column 3, then on.
  std::string record = "(;SZ[19]";
  for (int i = 0; i < 31; ++i) {
    record += (i % 2 == 0 ? ";B" : ";W") + PointEntry(P(i % 2 == 0 ? 1 : 3, 1 + i / 2));
  }
  Form4->LoadKifuText(record + ")");
  ASSERT_EQ(Form4->MoveTop, 31);
  const int clicked = Form4->MoveList[30];
  ModalAnswer answer(Form7, [&] {
    EXPECT_EQ(Form7->Caption(), J(" [ ヌルカ ] - 碁盤付きメッセージの作成と送信"));
    const BoardModel& b = Form7->Editor.Position;
    EXPECT_EQ(b.SetupCount, 29);
    EXPECT_EQ(b.MoveTop, 29);
    EXPECT_EQ(b.Board[clicked], kEmpty);
    EXPECT_FALSE(b.BlackFirst);  // move 30 was white's

    // Setup input brings the toolbar, usable beside the modal editor; space arms its mark.
    Form7->Image2Click();
    ASSERT_TRUE(Form15->isVisible());
    EXPECT_EQ(Form15->windowHandle()->transientParent(), Form7->windowHandle());
    Form15->ToolButtons[5]->click();
    Form7->FormKeyPress(' ');
    EXPECT_EQ(Form4->SpaceHeld, 1);
    Form7->FormMouseDown(Qt::LeftButton, X(P(10, 10)), Y(P(10, 10)));
    Form7->FormKeyUp();
    EXPECT_EQ(b.Marks[P(10, 10)], 5);
    Form7->FormMouseDown(Qt::RightButton, X(P(10, 10)), Y(P(10, 10)));
    EXPECT_EQ(b.Board[P(10, 10)], kWhite);
    EXPECT_EQ(b.Marks[P(10, 10)], 5005);
    Form7->Image1Click();
    EXPECT_FALSE(Form15->isVisible());
    Form7->done(2);
  });
  Form4->PaintBox1MouseDown(Qt::LeftButton, Qt::ShiftModifier, Form4->PointToPixelX(clicked),
                            Form4->PointToPixelY(clicked));
  EXPECT_TRUE(answer.answered());
  EXPECT_EQ(Form4->ShownCountMove, 0);
  EXPECT_EQ(Form4->ShownMoveOpening, 0);
  EXPECT_EQ(Form7->CountMode, kCountingBoard);

  // The newest stone alone opens nothing.
  const int newest = Form4->MoveList[31];
  Form4->PaintBox1MouseDown(Qt::LeftButton, Qt::ShiftModifier, Form4->PointToPixelX(newest),
                            Form4->PointToPixelY(newest));
  EXPECT_FALSE(Form7->isVisible());
}

TEST_F(DiagramEditorWindowTest, ImportsFromTheViewerTheClipboardAndADroppedRecordFile) {
  Form4->LoadKifuText("(;SZ[19])");
  Form4->Image19Click();  // white's view: the viewer's diagram comes back unturned
  const std::string diagram = "SZ[13]AB[ca]AW[mm]\r\nTR[ca];B[ab];W[bc]";
  Form9->ShowDiagram(diagram, "3");
  QTemporaryDir folder;
  const std::string record = PathFromQt(folder.path()) + "/game.Sgf";
  const std::string other = PathFromQt(folder.path()) + "/game.txt";
  ASSERT_TRUE(WriteWholeFile(record, "(;GM[1]SZ[9]AB[cc];W[gg])/<SiroSaki>/"));
  ASSERT_TRUE(WriteWholeFile(other, "(;SZ[19];B[aa])"));
  // Another program's record: UTF-8 comments ending in 手 (E6 89 8B), white first, variations.
  const std::string foreign = PathFromQt(folder.path()) + "/foreign.sgf";
  ASSERT_TRUE(
      WriteWholeFile(foreign, "(;FF[4]CA[UTF-8]SZ[9]AB[cc]C[手];W[gg]C[手](;B[ee])(;B[dd]))"));
  InEditor([&] {
    Form7->Panel8Click();
    EXPECT_EQ(Form7->BoardSize, 13);
    EXPECT_EQ(Form7->Editor.DiagramData(), diagram);
    EXPECT_EQ(Form7->Editor.FirstPlayerOpen, 0);

    clipboard_.SetText("SZ[9]");
    Form7->Panel7Click();
    EXPECT_EQ(Messages(),
              std::vector<std::string>{J("クリップボードに棋譜データが見付かりません")});
    clipboard_.SetText("(;SZ[9];B[ee])");
    Form7->Panel7Click();
    EXPECT_EQ(Form7->BoardSize, 9);
    EXPECT_EQ(Form7->Editor.DiagramData(), "SZ[9];B[ee]");

    Form7->CountBoardDropFile(other);
    EXPECT_EQ(Form7->Editor.DiagramData(), "SZ[9];B[ee]");
    Form7->CountBoardDropFile(foreign);
    EXPECT_EQ(Form7->Editor.DiagramData(), "SZ[9]/<SiroSaki>/AB[gg];W[cc];B[ee]");
    // A record is taken as it stands, that is as this turned board shows it.
    Form7->CountBoardDropFile(record);
    EXPECT_EQ(Form7->Editor.DiagramData(), "SZ[9]/<SiroSaki>/AB[gg];W[cc]");
    Form7->done(2);
  });
  // On the counting board a dropped file does nothing.
  Form7->CountBoardDropFile(other);
  EXPECT_EQ(Form7->Editor.DiagramData(), "SZ[9]/<SiroSaki>/AB[gg];W[cc]");

  Form9->ClearBoard();
  InEditor([&] {
    Form7->Panel8Click();
    EXPECT_EQ(Messages(), std::vector<std::string>{J("チャット碁盤に着手データがありません")});
    Form7->done(2);
  });
}
