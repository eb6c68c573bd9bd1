// assets/textures.cpp — paper, wood and vignette drawn pixel by pixel, reproducibly.
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "assets/asset_generator.h"

namespace {
double Hash(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                    static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return (h & 0xFFFFFFu) / double(0xFFFFFF);
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

QRgb Shade(QColor base, double factor) {
  auto channel = [factor](int c) { return std::clamp(static_cast<int>(c * factor), 0, 255); };
  return qRgb(channel(base.red()), channel(base.green()), channel(base.blue()));
}
}  // namespace

double DiscCoverage(int column, int row, double centre, double radius) {
  constexpr int kSamples = 5;
  int inside = 0;
  for (int sy = 0; sy < kSamples; ++sy) {
    for (int sx = 0; sx < kSamples; ++sx) {
      const double x = column + (sx + 0.5) / kSamples - centre;
      const double y = row + (sy + 0.5) / kSamples - centre;
      if (x * x + y * y <= radius * radius) ++inside;
    }
  }
  return static_cast<double>(inside) / (kSamples * kSamples);
}

double ValueNoise(double x, double y, double scale, std::uint32_t seed) {
  const double fx = x / scale;
  const double fy = y / scale;
  const int ix = static_cast<int>(std::floor(fx));
  const int iy = static_cast<int>(std::floor(fy));
  const double tx = Smooth(fx - ix);
  const double ty = Smooth(fy - iy);
  const double top = Hash(ix, iy, seed) * (1 - tx) + Hash(ix + 1, iy, seed) * tx;
  const double bottom = Hash(ix, iy + 1, seed) * (1 - tx) + Hash(ix + 1, iy + 1, seed) * tx;
  return top * (1 - ty) + bottom * ty;
}

QImage PaperTexture(int width, int height, QColor base, std::uint32_t seed) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      // Clouding at three scales, plus a fine grain.
      const double cloud = 0.55 * ValueNoise(x, y, 90, seed) +
                           0.30 * ValueNoise(x, y, 28, seed + 1) +
                           0.15 * ValueNoise(x, y, 7, seed + 2);
      const double grain = Hash(x, y, seed + 3) - 0.5;
      row[x] = Shade(base, 0.965 + 0.05 * cloud + 0.012 * grain);
    }
  }
  // Fibres: short, thin, slightly darker or lighter curves.
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const int fibres = width * height / 900;
  for (int i = 0; i < fibres; ++i) {
    const double x = Hash(i, 1, seed + 4) * width;
    const double y = Hash(i, 2, seed + 4) * height;
    const double angle = Hash(i, 3, seed + 4) * 6.2832;
    const double length = 6 + Hash(i, 4, seed + 4) * 18;
    const double bend = (Hash(i, 5, seed + 4) - 0.5) * 8;
    const bool dark = Hash(i, 6, seed + 4) < 0.6;
    QColor colour = dark ? base.darker(118) : base.lighter(106);
    colour.setAlpha(dark ? 38 : 60);
    painter.setPen(QPen(colour, 0.7));
    QPainterPath path(QPointF(x, y));
    const QPointF end(x + std::cos(angle) * length, y + std::sin(angle) * length);
    const QPointF control((x + end.x()) / 2 - std::sin(angle) * bend,
                          (y + end.y()) / 2 + std::cos(angle) * bend);
    path.quadTo(control, end);
    painter.drawPath(path);
  }
  return image;
}

void PaintWoodGrain(QImage& image, const QRect& rect, QColor base, std::uint32_t seed) {
  const QRect area = rect.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      // Growth rings: bands across y whose spacing wanders with slow noise, each ending in a thin
      // darker late-wood line; fine streaks run along the grain.
      const double growth =
          y / 6.5 + 5.0 * ValueNoise(x, y, 150, seed) + 1.2 * ValueNoise(x, y, 40, seed + 1);
      const double ring = growth - std::floor(growth);
      const double late_wood = std::pow(ring, 7);
      const double streak = ValueNoise(x * 0.04, y * 1.7, 3, seed + 2);
      const double factor = 1.0 - 0.085 * late_wood - 0.035 * streak + 0.02 * ring;
      row[x] = Shade(base, factor);
    }
  }
}

void PaintVignette(QImage& image, double strength) {
  const double cx = image.width() / 2.0;
  const double cy = image.height() / 2.0;
  const double reach = std::hypot(cx, cy);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const double d = std::hypot(x - cx, y - cy) / reach;
      const double factor = 1 - strength * std::pow(d, 2.4);
      row[x] = Shade(QColor::fromRgb(row[x]), factor);
    }
  }
}
