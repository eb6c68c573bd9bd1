// platform/half_width.h — full-width letters, digits and signs mapped to their half-width forms.
#pragma once
#include <string>
#include <string_view>

// cp932 text with every full-width ASCII character (！ to ～, ０ to ９, Ａ to ｚ) and the
// ideographic space replaced by its half-width form; everything else (kana, kanji, and bytes
// that are not cp932) stands as it was.
std::string ToHalfWidth(std::string_view cp932);
