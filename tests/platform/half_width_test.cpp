// Tests of the full-width to half-width mapping.
#include "platform/half_width.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

TEST(ToHalfWidth, DigitsLettersSignsAndTheIdeographicSpace) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"１５", "15"}, {"＋６．５", "+6.5"}, {"ＡＢｃ", "ABc"}, {"－０．５", "-0.5"},
      {"　3", " 3"},  {"！～", "!~"},       {"15", "15"},      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ToHalfWidth(J(c.in)), c.out) << c.in;
}

TEST(ToHalfWidth, KanaKanjiAndStrayBytesStandAsTheyWere) {
  EXPECT_EQ(ToHalfWidth(J("２子")), "2" + J("子"));
  EXPECT_EQ(ToHalfWidth(J("互先")), J("互先"));
  EXPECT_EQ(ToHalfWidth(J("ソ連")), J("ソ連"));
  // A lead byte at the end with nothing after it, and an invalid pair.
  EXPECT_EQ(ToHalfWidth("a\x82"), "a\x82");
  EXPECT_EQ(ToHalfWidth("\x82\x20x"), "\x82\x20x");
}
