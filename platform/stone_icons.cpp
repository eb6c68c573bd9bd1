// platform/stone_icons.cpp — stones drawn with a radial shade.
#include "platform/stone_icons.h"

#include <QPainter>
#include <QRadialGradient>

QPixmap StonePixmap(int size, bool black) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QRadialGradient shade(size * 0.35, size * 0.3, size * 0.7);
  shade.setColorAt(0, black ? QColor(110, 110, 110) : QColor(255, 255, 255));
  shade.setColorAt(1, black ? QColor(10, 10, 10) : QColor(190, 190, 185));
  painter.setBrush(shade);
  painter.setPen(QPen(QColor(40, 40, 40), size / 32.0 + 0.5));
  painter.drawEllipse(QRectF(1, 1, size - 2, size - 2));
  return pixmap;
}

QIcon TwoStoneIcon(bool black_first) {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int stone = size * 2 / 3;
    if (black_first) {
      painter.drawPixmap(0, 0, StonePixmap(stone, true));
      painter.drawPixmap(size - stone, size - stone, StonePixmap(stone, false));
    } else {
      painter.drawPixmap(size - stone, 0, StonePixmap(stone, false));
      painter.drawPixmap(0, size - stone, StonePixmap(stone, true));
    }
    icon.addPixmap(pixmap);
  }
  return icon;
}
