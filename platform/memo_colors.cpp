// platform/memo_colors.cpp — memo colours in the programs' blue-green-red notation.
#include "platform/memo_colors.h"

#include <QPalette>
#include <QWidget>

unsigned NextMemoColor(unsigned bgr) {
  switch (bgr) {
    case 0xF0FFF0:
      return 0xFFF0F0;
    case 0xFFF0F0:
      return 0xF0F0FF;
    case 0xF0F0FF:
      return 0xFFFFFF;
    case 0xFFFFFF:
      return 0xF0FFF0;
    default:
      return bgr;
  }
}

QColor ColorFromBgr(unsigned bgr) {
  return {static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
          static_cast<int>((bgr >> 16) & 0xFF)};
}

unsigned BgrFromColor(const QColor& color) {
  return static_cast<unsigned>(color.red()) | (static_cast<unsigned>(color.green()) << 8) |
         (static_cast<unsigned>(color.blue()) << 16);
}

void SetMemoColor(QWidget* widget, unsigned bgr) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, ColorFromBgr(bgr));
  widget->setPalette(palette);
}

unsigned MemoColor(const QWidget* widget) {
  return BgrFromColor(widget->palette().color(QPalette::Base));
}

void SetMemoTextColor(QWidget* widget, unsigned bgr) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Text, ColorFromBgr(bgr));
  widget->setPalette(palette);
}
