// platform/fonts.cpp — font substitution for the Japanese font names of the windows.
#include "platform/fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {
QStringList Installed(const QStringList& wanted) {
  QStringList found;
  const QStringList families = QFontDatabase::families();
  for (const QString& name : wanted) {
    if (families.contains(name)) found << name;
  }
  return found;
}
}  // namespace

void InstallJapaneseFontSubstitutes() {
  const QStringList gothic = Installed({"IPAPGothic", "IPAGothic", "Droid Sans Fallback",
                                        "Noto Sans CJK JP"});
  const QStringList gothic_fixed = Installed({"IPAGothic", "IPAPGothic", "Droid Sans Fallback"});
  const QStringList mincho = Installed({"IPAPMincho", "IPAMincho", "IPAPGothic",
                                        "Droid Sans Fallback"});
  QFont::insertSubstitutions(QString::fromUtf8("ＭＳ Ｐゴシック"), gothic);
  QFont::insertSubstitutions(QString::fromUtf8("ＭＳ ゴシック"), gothic_fixed);
  QFont::insertSubstitutions(QString::fromUtf8("ＭＳ Ｐ明朝"), mincho);
  QFont::insertSubstitutions(QString::fromUtf8("ＭＳ 明朝"), mincho);
  QFont::insertSubstitutions(QString::fromUtf8("HG正楷書体-PRO"), mincho);
}

QFont PixelFont(const char* family, int pixels, bool bold) {
  QFont font(QString::fromUtf8(family));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}
