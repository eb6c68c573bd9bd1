// Tests of pictures (BMP through Qt, JPEG through libjpeg), sounds, memo colours and the fake
// client socket.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "platform/cp932.h"
#include "platform/fake_client_connection.h"
#include "platform/files.h"
#include "platform/memo_colors.h"
#include "platform/pictures.h"
#include "platform/qt_text.h"
#include "platform/sound.h"
#include "platform/status_bar.h"
#include "tests/qt_wait.h"

namespace {
class PictureTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const {
    return JoinPath(PathFromQt(dir_.path()), name);
  }
  static QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 4 % 256, y * 4 % 256, 128));
    }
    return image;
  }
  QTemporaryDir dir_;
};

int MaxChannelDifference(const QImage& a, const QImage& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return worst;
}
}  // namespace

TEST_F(PictureTest, JpegWrittenAndReadBackKeepsSizeAndColours) {
  const QImage original = Gradient(61, 37);
  ASSERT_TRUE(SaveJpegPicture(Path("a.jpg"), original, 95));
  QImage read;
  std::string message;
  ASSERT_TRUE(LoadJpegPicture(Path("a.jpg"), read, &message)) << message;
  EXPECT_EQ(read.size(), original.size());
  EXPECT_LE(MaxChannelDifference(read, original), 24);
}

TEST_F(PictureTest, BitmapReadsExactlyAndTheExtensionChoosesTheLoader) {
  const QImage original = Gradient(20, 40);
  ASSERT_TRUE(SaveBitmapPicture(Path("b.bmp"), original));
  ASSERT_TRUE(SaveJpegPicture(Path("c.JPG"), original, 90));
  QImage bitmap, jpeg;
  ASSERT_TRUE(LoadPicture(Path("b.bmp"), bitmap, nullptr));
  ASSERT_TRUE(LoadPicture(Path("c.JPG"), jpeg, nullptr));
  EXPECT_EQ(MaxChannelDifference(bitmap, original), 0);
  EXPECT_EQ(jpeg.size(), original.size());
}

TEST_F(PictureTest, MissingAndBrokenFilesAreMessagesNamingTheFile) {
  WriteWholeFile(Path("text.jpg"), "this is not a picture at all");
  WriteWholeFile(Path("empty.jpg"), "");
  WriteWholeFile(Path("text.bmp"), "BM not really");
  // A real JPEG cut short in the middle of its picture data.
  ASSERT_TRUE(SaveJpegPicture(Path("whole.jpg"), Gradient(64, 64), 90));
  std::string whole;
  ReadWholeFile(Path("whole.jpg"), whole);
  WriteWholeFile(Path("header.jpg"), whole.substr(0, whole.size() * 2 / 3));
  WriteWholeFile(Path("start.jpg"), whole.substr(0, 100));

  for (const char* name :
       {"missing.jpg", "missing.bmp", "text.jpg", "empty.jpg", "text.bmp", "start.jpg"}) {
    QImage image(3, 3, QImage::Format_RGB32);
    std::string message;
    EXPECT_FALSE(LoadPicture(Path(name), image, &message)) << name;
    EXPECT_NE(message.find(Cp932FromUtf8(Path(name))), std::string::npos) << name;
    EXPECT_EQ(image.size(), QSize(3, 3)) << name;
  }
  std::string missing;
  QImage image;
  LoadPicture(Path("missing.jpg"), image, &missing);
  EXPECT_NE(missing.find(J("ファイルがありません")), std::string::npos);

  // A JPEG cut short decodes what it has; the rest stays grey, as libjpeg fills it.
  std::string message;
  EXPECT_TRUE(LoadJpegPicture(Path("header.jpg"), image, &message)) << message;
  EXPECT_EQ(image.size(), QSize(64, 64));
}

TEST(QtSoundPlayer, AMissingFileIsSilentAndEachFileIsPreparedOnce) {
  QTemporaryDir dir;
  const QString old = QDir::currentPath();
  QDir::setCurrent(dir.path());
  auto player = std::make_unique<QtSoundPlayer>();
  player->Play("no-such-sound.wav");
  EXPECT_EQ(player->PreparedCount(), 0);
  WriteWholeFile("short.wav", std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0"
                                          "\x22\x56\0\0\x44\xAC\0\0\x02\0\x10\0data\0\0\0\0",
                                          44));
  player->Play("short.wav");
  player->Play("short.wav");
  EXPECT_EQ(player->PreparedCount(), 1);
  // The sound is read in the background; the player goes once that is done.
  EXPECT_TRUE(WaitFor([&] { return player->Settled(); }));
  player.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QDir::setCurrent(old);
}

TEST(NextMemoColor, CyclesTheFourColoursAndKeepsOthers) {
  EXPECT_EQ(NextMemoColor(0xF0FFF0), 0xFFF0F0u);
  EXPECT_EQ(NextMemoColor(0xFFF0F0), 0xF0F0FFu);
  EXPECT_EQ(NextMemoColor(0xF0F0FF), 0xFFFFFFu);
  EXPECT_EQ(NextMemoColor(0xFFFFFF), 0xF0FFF0u);
  EXPECT_EQ(NextMemoColor(0x123456), 0x123456u);
  // Blue-green-red: 0x0000FF is red.
  EXPECT_EQ(ColorFromBgr(0x0000FF), QColor(255, 0, 0));
  QWidget memo;
  SetMemoColor(&memo, 0xFAF8FF);
  EXPECT_EQ(MemoColor(&memo), 0xFAF8FFu);
}

TEST(FakeClientConnection, PlaysTheServersSideInOrder) {
  struct Events : ClientConnectionListener {
    std::string log;
    void OnConnected() override { log += "C"; }
    void OnRead(const std::string& bytes) override { log += "R(" + bytes + ")"; }
    void OnDisconnected() override { log += "D"; }
    void OnConnectError(const std::string& m) override { log += "E(" + m + ")"; }
  } events;
  FakeClientConnection socket;
  socket.SetListener(&events);
  EXPECT_FALSE(socket.Send("x"));
  socket.Deliver("ignored");  // nothing arrives before the connection is up
  socket.Open("10.0.0.1", 4523);
  socket.Refuse("no");
  socket.Open("10.0.0.1", 4523);
  socket.Accept();
  EXPECT_TRUE(socket.Send("a"));
  socket.Deliver("b");
  socket.Open("10.0.0.2", 4523);  // opening again ends the open connection first
  socket.Accept();
  socket.Close();
  socket.Close();
  EXPECT_EQ(events.log, "E(no)CR(b)DCD");
  EXPECT_EQ(socket.Take(), std::vector<std::string>{"a"});
  EXPECT_EQ(socket.attempts().size(), 3u);
}

TEST(PanelStatusBar, PanelsKeepTheirWidthAndWidenForLongTexts) {
  PanelStatusBar bar;
  bar.AddPanel(181, true);
  bar.AddPanel(50, true);
  bar.SetPanelText(1, "ok");
  EXPECT_EQ(bar.PanelText(1), "ok");
  EXPECT_EQ(bar.findChildren<QLabel*>()[1]->width(), 50);
  const std::string long_text =
      J("[ザンテ]サーバの接続が切れました！[ザンテ]サーバの接続が切れました！");
  bar.SetPanelText(0, long_text);
  QLabel* first = bar.findChildren<QLabel*>()[0];
  EXPECT_GE(first->width(), first->fontMetrics().horizontalAdvance(ToQt(long_text)));
  bar.SetPanelText(0, "x");
  EXPECT_EQ(first->width(), 181);
  bar.SetPanelText(5, "nowhere");
  EXPECT_EQ(bar.PanelText(5), "");
}
