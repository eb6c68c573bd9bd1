// assets/lobby_assets.cpp — the lobby's background picture and the attention sound.
#include <QPainter>
#include <QRadialGradient>

#include "assets/asset_generator.h"
#include "platform/pictures.h"

namespace {
// The lobby's client area; the picture lies at its top left corner in its own size.
constexpr int kLobbyWidth = 517;
constexpr int kLobbyHeight = 407;

// A go stone seen from above, for the faint motif in the corner.
void PaintStone(QPainter& painter, QPointF centre, double radius, bool black, int alpha) {
  QRadialGradient shade(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.3);
  shade.setColorAt(0, black ? QColor(105, 105, 105, alpha) : QColor(255, 255, 255, alpha));
  shade.setColorAt(1, black ? QColor(15, 15, 15, alpha) : QColor(196, 192, 184, alpha));
  painter.setPen(Qt::NoPen);
  painter.setBrush(shade);
  painter.drawEllipse(centre, radius, radius);
}

bool WriteLobbyBackground(const std::string& path) {
  // Warm washi paper over the whole window, a band of pale wood along the bottom where the
  // buttons sit, and two faint stones in the top left corner.
  QImage image = PaperTexture(kLobbyWidth, kLobbyHeight, QColor(244, 236, 221), 0x51A7u);
  PaintWoodGrain(image, QRect(0, 332, kLobbyWidth, kLobbyHeight - 332), QColor(226, 196, 150),
                 0x7711u);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The seam between paper and wood: a soft shadow line.
    QLinearGradient seam(0, 326, 0, 336);
    seam.setColorAt(0, QColor(120, 90, 50, 0));
    seam.setColorAt(1, QColor(120, 90, 50, 55));
    painter.fillRect(QRect(0, 326, kLobbyWidth, 6), seam);
    painter.setPen(QPen(QColor(150, 115, 70, 120), 1));
    painter.drawLine(0, 332, kLobbyWidth, 332);
    // Two stones in the top left corner, beside the first heading.
    PaintStone(painter, QPointF(16, 14), 8, true, 80);
    PaintStone(painter, QPointF(31, 20), 8, false, 110);
  }
  PaintVignette(image, 0.10);
  return SaveJpegPicture(path, image, 90);
}

bool WriteAttentionSound(const std::string& path) {
  // Two soft descending bell notes (E6, C6), under a second, well below full scale.
  constexpr int kRate = 22050;
  std::vector<double> samples(static_cast<std::size_t>(kRate * 0.9), 0.0);
  AddChimeNote(samples, kRate, 0.00, 1318.5, 0.22, 0.16);
  AddChimeNote(samples, kRate, 0.18, 1046.5, 0.24, 0.22);
  // Fade the tail out so the sound ends in silence.
  const std::size_t fade = kRate / 10;
  for (std::size_t i = 0; i < fade; ++i) {
    samples[samples.size() - 1 - i] *= static_cast<double>(i) / fade;
  }
  return WriteWav(path, samples, kRate);
}
}  // namespace

std::vector<AssetFile> LobbyAssets() {
  return {
      {"bmp/VantaBG.jpg", WriteLobbyBackground},
      {"ano.wav", WriteAttentionSound},
  };
}
