// platform/fonts.h — the Japanese font names the windows ask for, mapped to installed fonts.
#pragma once
#include <QFont>
#include <string_view>

// Maps "ＭＳ Ｐゴシック", "ＭＳ ゴシック", "ＭＳ 明朝" and "HG正楷書体-PRO" to the IPA fonts (or any
// installed Japanese font). Call once after the application object exists.
void InstallJapaneseFontSubstitutes();

// A font of `family` (UTF-8) at `pixels` pixel size, bold when asked.
QFont PixelFont(const char* family, int pixels, bool bold = false);
