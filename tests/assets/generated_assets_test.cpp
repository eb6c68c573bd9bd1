// Tests of the generated pictures and sounds as the programs find them beside the executables.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

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
