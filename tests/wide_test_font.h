// tests/wide_test_font.h — a font built in memory whose digits are solid boxes wider than an em,
// so that drawing tests see text that overflows on purpose, whatever fonts the machine has.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The TrueType file of the wide font: family "Kor Wide Digits", digits 0-9 only, each a filled
// box of `boxWidth` by 700 units (1000 units to the em) on the baseline, advancing by the box.
QByteArray WideDigitsFontFile(int boxWidth = 1200);

// While alive, the window font name `family` (UTF-8, e.g. "ＭＳ ゴシック") resolves to the wide
// font; the previous substitutes come back when it ends.
class WideFontSubstitute {
 public:
  explicit WideFontSubstitute(const char* family);
  ~WideFontSubstitute();
  WideFontSubstitute(const WideFontSubstitute&) = delete;
  WideFontSubstitute& operator=(const WideFontSubstitute&) = delete;

  // False when the font could not be registered (the tests then have nothing to draw with).
  bool Installed() const { return fontId_ >= 0; }

 private:
  QString family_;
  QStringList previous_;
  int fontId_ = -1;
};
