// Tests of the generated pictures and sounds as the programs find them beside the executables.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "client/board/board_geometry.h"
#include "client/board/board_pictures.h"
#include "client/views/diagram_viewer_geometry.h"
#include "client/views/model/preview_geometry.h"
#include "platform/files.h"
#include "platform/pictures.h"

namespace {
std::string BinPath(const std::string& name) { return std::string(KOR_BIN_DIR) + "/" + name; }

struct Wav {
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::vector<std::int16_t> samples;
};

std::uint32_t Little(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

bool ReadWav(const std::string& path, Wav& wav) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes) || bytes.size() < 44) return false;
  if (bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0) return false;
  if (Little(bytes, 20, 2) != 1) return false;  // PCM
  wav.channels = static_cast<int>(Little(bytes, 22, 2));
  wav.rate = static_cast<int>(Little(bytes, 24, 4));
  wav.bits = static_cast<int>(Little(bytes, 34, 2));
  if (bytes.compare(36, 4, "data") != 0) return false;
  const std::uint32_t size = Little(bytes, 40, 4);
  if (44 + size != bytes.size()) return false;
  wav.samples.resize(size / 2);
  std::memcpy(wav.samples.data(), bytes.data() + 44, size);
  return true;
}

double Luminance(QRgb pixel) {
  return 0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel);
}
}  // namespace

TEST(GeneratedAssets, LobbyBackgroundFillsTheLobbyAndStaysLightBehindText) {
  QImage picture;
  std::string message;
  ASSERT_TRUE(LoadJpegPicture(BinPath("bmp/VantaBG.jpg"), picture, &message)) << message;
  EXPECT_EQ(picture.size(), QSize(517, 407));
  // Headings, buttons and the bottom strip's labels are dark text straight on the picture.
  double darkest = 255;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      // The two small stones of the top left corner are meant to be dark.
      if (x < 45 && y < 32) continue;
      darkest = std::min(darkest, Luminance(picture.pixel(x, y)));
    }
  }
  EXPECT_GT(darkest, 150.0);
}

TEST(GeneratedAssets, AttentionSoundIsShortQuietAndEndsInSilence) {
  Wav wav;
  ASSERT_TRUE(ReadWav(BinPath("ano.wav"), wav));
  EXPECT_EQ(wav.channels, 1);
  EXPECT_EQ(wav.bits, 16);
  ASSERT_GT(wav.rate, 0);
  const double seconds = static_cast<double>(wav.samples.size()) / wav.rate;
  EXPECT_GT(seconds, 0.2);
  EXPECT_LT(seconds, 1.5);
  int peak = 0;
  for (std::int16_t s : wav.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_GT(peak, 32767 / 20);  // audible
  EXPECT_LT(peak, 32767 / 2);   // and quiet
  EXPECT_LT(std::abs(wav.samples.front()), 200);
  EXPECT_LT(std::abs(wav.samples.back()), 200);
}

// ---------------------------------------------------------------------------------------------
// The board window's pictures and the stone sound

namespace {
QImage LoadOrFail(const std::string& name) {
  QImage picture;
  std::string message;
  EXPECT_TRUE(LoadPicture(BinPath(name), picture, &message)) << message;
  return picture;
}

// A board of kaya: a warm mid tone with a visible but quiet grain, so that the black grid and
// both stones stand out.
void ExpectWood(const QImage& board, const std::string& name) {
  double red = 0, green = 0, blue = 0, sum = 0, squares = 0;
  const double count = static_cast<double>(board.width()) * board.height();
  for (int y = 0; y < board.height(); ++y) {
    for (int x = 0; x < board.width(); ++x) {
      const QRgb pixel = board.pixel(x, y);
      red += qRed(pixel);
      green += qGreen(pixel);
      blue += qBlue(pixel);
      const double l = Luminance(pixel);
      sum += l;
      squares += l * l;
    }
  }
  const double mean = sum / count;
  const double spread = std::sqrt(squares / count - mean * mean);
  EXPECT_GT(red / count, green / count + 15) << name;
  EXPECT_GT(green / count, blue / count + 30) << name;
  EXPECT_GT(mean, 140) << name;
  EXPECT_LT(mean, 215) << name;
  EXPECT_GT(spread, 2.0) << name;  // grain, not a flat colour
  EXPECT_LT(spread, 25.0) << name;
}
}  // namespace

TEST(GeneratedAssets, BoardsOfEverySizeAreKayaOfOneSizeAndWhitesViewIsTurned) {
  for (const int size : {19, 13, 9}) {
    const BoardGeometry& g = GeometryOf(size);
    const QImage board = LoadOrFail(std::string("bmp/") + g.BoardPicture);
    const QImage turned = LoadOrFail(std::string("bmp/") + g.TurnedBoardPicture);
    ASSERT_EQ(board.size(), QSize(kBoardPictureSide, kBoardPictureSide)) << size;
    ASSERT_EQ(turned.size(), board.size()) << size;
    EXPECT_EQ(turned, board.transformed(QTransform().rotate(180))) << size;
    ExpectWood(board, g.BoardPicture);
    // Every stone of the grid lies inside the picture.
    EXPECT_GE(g.FirstLine() - g.StoneBefore, 0);
    EXPECT_LE(g.LastLine() + g.StoneAfter, board.width());
  }
}

TEST(GeneratedAssets, StoneSheetsHoldShadedStonesWithExactMasks) {
  for (const int size : {19, 13, 9}) {
    const BoardGeometry& g = GeometryOf(size);
    const QImage sheet = LoadOrFail(std::string("bmp/") + g.StoneSheet);
    for (const bool black : {true, false}) {
      const PixelRect picture = g.SheetRect(black, false);
      const PixelRect mask = g.SheetRect(black, true);
      ASSERT_LE(std::max(picture.Right, mask.Right), sheet.width()) << size;
      ASSERT_LE(std::max(picture.Bottom, mask.Bottom), sheet.height()) << size;
      int inside = 0;
      double sum = 0, darkest = 255, brightest = 0;
      int brightX = 0, brightY = 0;
      for (int row = 0; row < g.Sprite; ++row) {
        for (int column = 0; column < g.Sprite; ++column) {
          const QRgb m = sheet.pixel(mask.Left + column, mask.Top + row);
          const QRgb p = sheet.pixel(picture.Left + column, picture.Top + row);
          // The OR of the mask and the AND of the picture leave the board alone outside the stone.
          ASSERT_TRUE(m == qRgb(0, 0, 0) || m == qRgb(255, 255, 255)) << size << " mask";
          const QRgb mirrored = sheet.pixel(mask.Left + g.Sprite - 1 - column, mask.Top + row);
          const QRgb flipped = sheet.pixel(mask.Left + column, mask.Top + g.Sprite - 1 - row);
          EXPECT_EQ(m, mirrored) << size << " mask is round";
          EXPECT_EQ(m, flipped) << size << " mask is round";
          if (m == qRgb(0, 0, 0)) {
            EXPECT_EQ(p, qRgb(255, 255, 255)) << size << " at " << column << "," << row;
            continue;
          }
          ++inside;
          const double l = Luminance(p);
          sum += l;
          darkest = std::min(darkest, l);
          if (l > brightest) {
            brightest = l;
            brightX = column;
            brightY = row;
          }
        }
      }
      // A disc filling its square: touching the middle of each side, about pi/4 of the area.
      const double fill = static_cast<double>(inside) / (g.Sprite * g.Sprite);
      EXPECT_GT(fill, 0.72) << size;
      EXPECT_LT(fill, 0.84) << size;
      EXPECT_EQ(sheet.pixel(mask.Left, mask.Top + g.Sprite / 2), qRgb(255, 255, 255)) << size;
      EXPECT_EQ(sheet.pixel(mask.Left, mask.Top), qRgb(0, 0, 0)) << size;
      const double mean = sum / inside;
      if (black) {
        EXPECT_LT(mean, 75) << size;
      } else {
        EXPECT_GT(mean, 190) << size;
      }
      // Shaded, with the highlight towards the upper left where the light comes from.
      EXPECT_GT(brightest - darkest, black ? 80 : 35) << size;
      EXPECT_LT(brightX, g.Sprite / 2) << size;
      EXPECT_LT(brightY, g.Sprite / 2) << size;
    }
  }
}

TEST(GeneratedAssets, BackgroundAndButtonsHaveTheirSizes) {
  const QImage background = LoadOrFail("bmp/" + std::string(kBoardBackgroundPicture));
  EXPECT_GE(background.width(), kBoardBackgroundWidth);
  EXPECT_GE(background.height(), kBoardBackgroundHeight);
  for (const ButtonPicture& button : kBoardButtonPictures) {
    const QImage picture = LoadOrFail("bmp/" + std::string(button.File));
    EXPECT_EQ(picture.size(), QSize(button.Width, button.Height)) << button.File;
  }
  // The replay bar's six fields of 28 pixels.
  EXPECT_EQ(kReplayBar.Width, 6 * 28);
}

TEST(GeneratedAssets, StoneSoundIsAShortClickThatEndsInSilence) {
  Wav wav;
  ASSERT_TRUE(ReadWav(BinPath("stone.wav"), wav));
  EXPECT_EQ(wav.channels, 1);
  EXPECT_EQ(wav.bits, 16);
  ASSERT_GT(wav.rate, 0);
  const double seconds = static_cast<double>(wav.samples.size()) / wav.rate;
  EXPECT_GT(seconds, 0.1);
  EXPECT_LT(seconds, 0.5);
  int peak = 0;
  std::size_t peak_at = 0;
  double energy = 0, early = 0;
  const std::size_t early_end = static_cast<std::size_t>(wav.rate * 0.05);
  for (std::size_t i = 0; i < wav.samples.size(); ++i) {
    const int s = std::abs(static_cast<int>(wav.samples[i]));
    if (s > peak) {
      peak = s;
      peak_at = i;
    }
    energy += static_cast<double>(s) * s;
    if (i < early_end) early += static_cast<double>(s) * s;
  }
  EXPECT_GT(peak, 32767 / 5);                                   // clearly audible
  EXPECT_LT(peak_at, static_cast<std::size_t>(wav.rate / 60));  // at once
  EXPECT_GT(early / energy, 0.8);                               // and soon over
  EXPECT_LT(std::abs(wav.samples.back()), 200);
}

TEST(GeneratedAssets, ViewerBoardAndSmallStoneSheetsPutWhiteFirstOnTheBoardsTone) {
  const QImage board = LoadOrFail(std::string("bmp/") + std::string(kViewerBoardPicture));
  ASSERT_EQ(board.size(), QSize(kViewerBoardWidth, kViewerBoardHeight));
  ExpectWood(board, "ssGoBan.bmp");
  double mean = 0;
  for (int y = 0; y < board.height(); ++y) {
    for (int x = 0; x < board.width(); ++x) mean += Luminance(board.pixel(x, y));
  }
  mean /= board.width() * board.height();
  for (const int size : {19, 13, 9}) {
    const ViewerGeometry& g = ViewerGeometryOf(size);
    const QImage sheet = LoadOrFail(std::string("bmp/") + std::string(g.StoneSheet));
    ASSERT_EQ(sheet.size(), QSize(g.SheetWidth(), g.SheetHeight())) << size;
    const int middle = g.Sprite / 2;
    EXPECT_GT(Luminance(sheet.pixel(g.WhiteLeft + middle, middle)), 180) << size;
    EXPECT_LT(Luminance(sheet.pixel(g.BlackLeft + middle, middle)), 90) << size;
    // Copied without a mask, a stone's corners must melt into the board.
    for (const int left : {g.WhiteLeft, g.BlackLeft}) {
      EXPECT_NEAR(Luminance(sheet.pixel(left, 0)), mean, 12) << size;
      EXPECT_NEAR(Luminance(sheet.pixel(left + g.Sprite - 1, g.Sprite - 1)), mean, 12) << size;
    }
    // The stone square the viewer copies into lies on the board for every point.
    EXPECT_EQ(g.StoneBefore + g.StoneAfter, g.Sprite) << size;
    EXPECT_GE(g.FirstLine() - g.StoneBefore, 0) << size;
    EXPECT_LE(g.LastLine() + g.StoneAfter, kViewerBoardWidth) << size;
  }
}

TEST(GeneratedAssets, SmallBoardAndItsStonesSitOnTheSameWood) {
  const QImage board = LoadOrFail("bmp/" + std::string(kPreviewBoardPicture));
  const QImage sheet = LoadOrFail("bmp/" + std::string(kPreviewStonePicture));
  ASSERT_EQ(board.size(), QSize(kPreviewBoardSide, kPreviewBoardSide));
  ASSERT_EQ(sheet.size(), QSize(kPreviewSheetWidth, kPreviewSheetHeight));
  ExpectWood(board, "small board");
  // The sprites are copied without a mask: their corners must look like the board around them.
  const QRgb wood = board.pixel(kPreviewBoardSide / 2, kPreviewBoardSide / 2);
  for (const int top : {0, kPreviewWhiteSpriteTop}) {
    for (const QPoint corner :
         {QPoint(0, top), QPoint(kPreviewSprite - 1, top), QPoint(0, top + kPreviewSprite - 1),
          QPoint(kPreviewSprite - 1, top + kPreviewSprite - 1)}) {
      EXPECT_NEAR(Luminance(sheet.pixel(corner)), Luminance(wood), 12) << top;
    }
  }
  const auto centre = [&sheet](int top) {
    return Luminance(sheet.pixel(kPreviewSprite / 2, top + kPreviewSprite / 2));
  };
  EXPECT_LT(centre(0), 80);
  EXPECT_GT(centre(kPreviewWhiteSpriteTop), 190);
}
