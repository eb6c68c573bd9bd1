// Tests of the record preview window and its two uses: the small board as drawn, a missing
// picture, dragging; choosing a start position in the game settings dialog while the preview
// follows the selection; and a received challenge with a start position, previewed, offered and
// answered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include "client/connection/challenge_dialog.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_settings_dialog.h"
#include "client/connection/lobby_window.h"
#include "client/views/model/preview_geometry.h"
#include "client/views/model/record_info.h"
#include "client/views/record_preview.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/memo_view.h"
#include "platform/qt_text.h"
#include "tests/client/board/board_test_pictures.h"
#include "tests/client/board/board_test_support.h"
#include "tests/client/connection/client_windows_fixture.h"
#include "tests/client/connection/modal_answer.h"
#include "tests/qt_wait.h"

namespace {
using Texts = std::vector<std::string>;

// Nine lines, three black stones, white's move at ee; the last clocks 29:55 and 20:00.
const std::string kThreeStones =
    J("(;GM[1]FF[1]SZ[9]\r\nPB[山田]\r\nPW[川上]\r\nHA[3]\r\nAB[cc][gg][gc]\r\n"
      ";W[ee]WL[1200]TL[3,0]C[一手目]\r\n)");
const std::string kNineteen = "(;GM[1]SZ[19];B[pd];W[dp];B[pp])";

const std::string kWaiting = "<<SysComeIn>><<Status>><<IdCount=2>><<PlayList=>>" +
                             J("<<WaitList=Taro\r\n花子\r\n>>") +
                             "<<WaitHint=[0][0]>><<LookList=>>";

// The pixel in the middle of the stone drawn on `point`, away from any grid line.
QColor StonePixel(int point) {
  const PreviewSpot spot = PreviewSpotOf(PreviewGeometryOf(Form11->PreviewBoardSize), point);
  return Form11->Surface.pixelColor(spot.X + 1, spot.Y + 1);
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)),
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// The record dialog as a user moves through a folder: each selection in turn, then the answer.
// What the preview showed after each selection is kept.
class BrowsingDialogs : public FileDialogs, private FileDialogWindow {
 public:
  struct Seen {
    bool visible;
    bool on_top;
    int entries;
    std::string memo;
  };
  std::vector<std::string> selections;
  std::string answer;
  std::vector<Seen> seen;
  int placements = 0;
  int placed[4] = {};

  std::string ChooseSaveFile(std::string_view, const std::string&, std::string_view) override {
    return {};
  }
  std::string ChooseOpenFile(std::string_view, const std::string&, std::string_view) override {
    return {};
  }
  std::string ChooseOpenFileFollowed(std::string_view, const std::string&, std::string_view,
                                     OpenDialogEvents& events) override {
    seen.clear();
    events.OpenDialogShow(*this);
    events.OpenDialogFolderChange(*this);
    events.OpenDialogFolderChange(*this);  // a second folder: placed once only
    for (const std::string& path : selections) {
      events.OpenDialogSelectionChange(path);
      seen.push_back({Form11->isVisible(), Form11->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                      Form11->PreviewEntryCount, Form11->Memo1->ShownText()});
    }
    events.OpenDialogClose();
    return answer;
  }

 private:
  void Place(int left, int top, int width, int height) override {
    ++placements;
    placed[0] = left;
    placed[1] = top;
    placed[2] = width;
    placed[3] = height;
  }
  QWidget* Widget() override { return nullptr; }
};

}  // namespace

class RecordPreviewTest : public ClientWindowsTest {
 protected:
  std::string WriteRecord(const std::string& name, const std::string& text) {
    const std::string path = WorkPathOf(name);
    WriteWholeFile(path, text);
    return path;
  }
};

TEST_F(RecordPreviewTest, TheSmallBoardShowsTheRecordAndBlanksOnRequest) {
  Start();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Form11->size(), QSize(192, 273));
  EXPECT_FALSE(Form11->isVisible());
  Form11->LoadRecordFile(WriteRecord("three.sgf", kThreeStones));
  EXPECT_EQ(Form11->PreviewedFile(), WorkPathOf("three.sgf"));
  EXPECT_EQ(Form11->Memo1->ShownText(), J("● 山田\r\n○ 川上\r\n手数 ： 4  |  前配置 ： 3"));
  EXPECT_EQ(StonePixel(Pt("cc")), kTestBlackStone);
  EXPECT_EQ(StonePixel(Pt("ee")), kTestWhiteStone);
  EXPECT_EQ(StonePixel(Pt("dd")), kTestBoardColour);
  // Nine lines: the grid runs at 15, 35, … 175, and nothing at 5 where 19 lines would begin.
  EXPECT_EQ(Form11->Surface.pixelColor(15, 100), QColor(Qt::black));
  EXPECT_EQ(Form11->Surface.pixelColor(175, 100), QColor(Qt::black));
  EXPECT_EQ(Form11->Surface.pixelColor(5, 100), kTestBoardColour);

  Form11->PaintPreviewBoard();
  EXPECT_EQ(StonePixel(Pt("cc")), kTestBoardColour);
  EXPECT_EQ(Form11->Surface.pixelColor(15, 100), QColor(Qt::black));

  // A file that holds no record leaves no preview behind.
  Form11->LoadRecordFile(WriteRecord("notes.sgf", "hello, no record here"));
  EXPECT_EQ(Form11->PreviewEntryCount, 0);
  EXPECT_EQ(Form11->PreviewedFile(), "");
  EXPECT_EQ(Form11->Memo1->ShownText(), "");
  EXPECT_EQ(StonePixel(Pt("cc")), kTestBoardColour);
}

TEST_F(RecordPreviewTest, AMissingPictureIsNamedAndThePreviewStillDraws) {
  std::remove(WorkPathOf("bmp/" + std::string(kPreviewBoardPicture)).c_str());
  std::remove(ProgramPath("bmp/" + std::string(kPreviewBoardPicture)).c_str());
  Start();
  const Texts messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(kPreviewBoardPicture), std::string::npos);
  Form11->LoadRecordFile(WriteRecord("three.sgf", kThreeStones));
  EXPECT_EQ(StonePixel(Pt("cc")), kTestBlackStone);
  EXPECT_EQ(Form11->Surface.pixelColor(15, 100), QColor(Qt::black));
}

TEST_F(RecordPreviewTest, APressOutsideTheMemoDragsTheWindow) {
  Start();
  Form11->ShowBeside(nullptr, false);
  const QPoint start = Form11->pos();
  SendMouse(Form11, QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
  SendMouse(Form11, QEvent::MouseMove, {80, 70}, Qt::LeftButton);
  SendMouse(Form11, QEvent::MouseButtonRelease, {80, 70}, Qt::NoButton);
  EXPECT_EQ(Form11->pos(), start + QPoint(30, 20));
  // On the memo a press does not drag.
  SendMouse(Form11->Memo1->viewport(), QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
  SendMouse(Form11, QEvent::MouseMove, {120, 90}, Qt::LeftButton);
  EXPECT_EQ(Form11->pos(), start + QPoint(30, 20));
  Form11->HidePreview();
}

TEST_F(RecordPreviewTest, ChoosingAStartPositionFollowsTheSelectionAndSendsTheChosenRecord) {
  StartAndLogIn("Taro", kWaiting);
  const std::string nineteen = WriteRecord("a.sgf", kNineteen);
  const std::string notes = WriteRecord("notes.txt", kNineteen);
  const std::string three = WriteRecord("three.sgf", kThreeStones);
  BrowsingDialogs dialogs;
  Form3->OpenDialog1 = &dialogs;
  dialogs.selections = {nineteen, notes, three};
  dialogs.answer = three;
  Form6->ListBox2->setCurrentRow(1);
  ModalAnswer send(Form3, [&] {
    Form3->CheckBox1->setChecked(true);
    EXPECT_TRUE(Form3->CheckBox1->isChecked());
    EXPECT_EQ(FromQt(Form3->ComboBox1->currentText()), J("３子"));
    EXPECT_EQ(Form3->ComboBox2->currentIndex(), 2);
    EXPECT_EQ(Form3->Edit1->text(), "15");  // the record has no black clock
    EXPECT_EQ(Form3->Edit4->text(), "20");
    Form3->BitBtn1->click();
  });
  Form6->SpeedButton2Click();
  ASSERT_TRUE(send.answered());

  // The preview followed the selection, on top while the dialog was open; a file that is no
  // record by its name was not read.
  ASSERT_EQ(dialogs.seen.size(), 3u);
  EXPECT_TRUE(dialogs.seen[0].visible && dialogs.seen[0].on_top);
  EXPECT_EQ(dialogs.seen[0].memo, J("手数 ： 3"));
  EXPECT_EQ(dialogs.seen[1].memo, "");
  EXPECT_EQ(dialogs.seen[2].memo, J("● 山田\r\n○ 川上\r\n手数 ： 4  |  前配置 ： 3"));
  EXPECT_FALSE(Form11->isVisible());
  EXPECT_FALSE(Form11->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // Placed once, beside the settings dialog.
  EXPECT_EQ(dialogs.placements, 1);
  EXPECT_EQ(dialogs.placed[1], 77);
  EXPECT_EQ(dialogs.placed[3], 250);
  EXPECT_EQ(Form2->OpenDialogDir, env_.work_folder + "/");

  const Texts sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  // White's first move is told by the marker, as this system's own records tell it.
  EXPECT_TRUE(
      sent[0].ends_with(J("<<BanSize=9>><<KifuStart=(;GM[1]FF[1]SZ[9]PB[山田]PW[川上]"
                          "HA[3]AB[cc][gg][gc];W[ee])/<SiroSaki>/>>")))
      << sent[0];
}

TEST_F(RecordPreviewTest, AHandicapRecordOfAnotherProgramStartsWithWhiteToMove) {
  StartAndLogIn("Taro", kWaiting);
  // UTF-8 with comments that end in 手 (E6 89 8B), white first, variations after two moves.
  const std::string record =
      WriteRecord("other.sgf",
                  "(;GM[1]FF[4]CA[UTF-8]AP[Other:1.0]SZ[19]HA[2]KM[0.5]PB[黒田]PW[白石]AB[dd][pp]"
                  "C[二子局の手]\n;W[pd]C[手]\n(;B[dp]C[手])\n(;B[qq]))\n");
  BrowsingDialogs dialogs;
  Form3->OpenDialog1 = &dialogs;
  dialogs.selections = {record};
  dialogs.answer = record;
  Form6->ListBox2->setCurrentRow(1);
  ModalAnswer send(Form3, [&] {
    Form3->CheckBox1->setChecked(true);
    EXPECT_EQ(FromQt(Form3->ComboBox1->currentText()), J("２子"));
    EXPECT_EQ(Form3->ComboBox2->currentIndex(), 0);
    Form3->BitBtn1->click();
  });
  Form6->SpeedButton2Click();
  ASSERT_TRUE(send.answered());
  ASSERT_EQ(dialogs.seen.size(), 1u);
  EXPECT_EQ(dialogs.seen[0].memo, J("● 黒田\r\n○ 白石\r\n手数 ： 4  |  前配置 ： 2"));
  EXPECT_EQ(Form11->BuildStartPosition(), "/<SiroSaki>//<SiroTurn>/AB[dd][pp];[pd];[dp]");
  const Texts sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(
      sent[0].ends_with(J("<<KifuStart=(;GM[1]FF[4]SZ[19]HA[2]KM[0.5]PB[黒田]PW[白石]"
                          "AB[dd][pp];W[pd];B[dp])/<SiroSaki>//<SiroTurn>/>>")))
      << sent[0];
}

TEST_F(RecordPreviewTest, TheStartPositionIsTheChosenFilesOrNone) {
  StartAndLogIn("Taro", kWaiting);
  const std::string nineteen = WriteRecord("a.sgf", kNineteen);
  const std::string three = WriteRecord("three.sgf", kThreeStones);
  const std::string notes = WriteRecord("notes.sgf", "no record");
  const std::string empty = WriteRecord("empty.sgf", "(;GM[1]SZ[13])");
  BrowsingDialogs dialogs;
  Form3->OpenDialog1 = &dialogs;
  struct Case {
    std::string answer;
    bool ticked;
    int size_index;
  } cases[] = {
      // Chosen without being selected last: the chosen file counts, not the one previewed.
      {three, true, 2},
      // Cancelled, no record in the file, or a record without a stone: no start position.
      {"", false, 0},
      {notes, false, 0},
      {empty, false, 1},
  };
  for (const Case& c : cases) {
    dialogs.selections = {nineteen};
    dialogs.answer = c.answer;
    Form3->ComboBox2->setCurrentIndex(0);
    Form3->CheckBox1->setChecked(false);
    Form3->CheckBox1->setChecked(true);
    EXPECT_EQ(Form3->CheckBox1->isChecked(), c.ticked) << c.answer;
    EXPECT_EQ(Form3->ComboBox2->currentIndex(), c.size_index) << c.answer;
    EXPECT_EQ(Form3->Values().StartPosition.empty(), !c.ticked) << c.answer;
  }
}

TEST_F(RecordPreviewTest, AReceivedStartPositionIsPreviewedOfferedAndAnsweredAsRead) {
  StartAndLogIn();
  // A position without moves that says white begins: the offer and the answer say white moves.
  const std::string challenge =
      J("<<GameSet>><<IsKuro=黒番>><<KuroGameTime=15 分>><<SiroGameTime=15 分>><<AddTime=なし>>"
        "<<GameWari=２子>><<GameKomi=0>><<Player1=花子>><<Player2=Taro>><<BanSize=9>>") +
      "<<KifuStart=(;SZ[9]NE[W]AB[cc][gg])>>";
  for (const bool accept : {true, false}) {
    ModalAnswer modal(Form12, [accept] {
      EXPECT_TRUE(Form11->isVisible());
      EXPECT_EQ(Form11->Memo1->ShownText(), J("手数 ： 2  |  前配置 ： 2"));
      EXPECT_NE(Form12->Memo1->ShownText().find(J("(次ぎは白番)")), std::string::npos);
      (accept ? Form12->BitBtn1 : Form12->BitBtn2)->click();
    });
    socket_.Deliver(challenge);
    ASSERT_TRUE(WaitFor([&] { return modal.answered() && !Form12->isVisible(); }));
    EXPECT_FALSE(Form11->isVisible());
    const std::string base = challenge.substr(0, challenge.find("<<KifuStart="));
    EXPECT_EQ(Sent(),
              Texts{accept ? "OKRe" + base + "<<KifuStart=/<SiroSaki>//<SiroTurn>/AB[cc][gg]>>"
                           : "NORe" + challenge});
  }
}
