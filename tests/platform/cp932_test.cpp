// Tests of cp932 literals, conversion and the character scanner.
#include "platform/cp932.h"

#include <gtest/gtest.h>

TEST(Cp932, LiteralsAreConvertedToShiftJisBytes) {
  EXPECT_EQ(J("対局"), "\x91\xce\x8b\xc7");
  EXPECT_EQ(J("＞＞"), "\x81\x84\x81\x84");
  EXPECT_EQ(J("ソ"), "\x83\x5c");  // trail byte is a backslash
  // CP932 keeps 0x5C and 0x7E as backslash and tilde (SHIFT_JIS would not).
  EXPECT_EQ(J("\\~"), "\\~");
  EXPECT_EQ(J("abc"), "abc");
  // The same literal always yields the same object: converted once.
  EXPECT_EQ(&J("対局"), &J("対局"));
}

TEST(Cp932, RoundTripAndReplacementOfUnmappableBytes) {
  const std::string text = J("参加キー = CO015400 ゾ");
  EXPECT_EQ(Cp932FromUtf8(Utf8FromCp932(text)), text);
  // A lone lead byte at the end and an unassigned byte never break the conversion.
  EXPECT_EQ(Utf8FromCp932("a\x81"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Utf8FromCp932("\xA0" "b"), "\xEF\xBF\xBD" "b");
  // A character cp932 lacks becomes "?".
  EXPECT_EQ(Cp932FromUtf8("x\xF0\x9F\x98\x80y"), "x?y");
}

TEST(Cp932, ScannerStepsOverTrailBytesThatLookLikeAscii) {
  // ソ = 83 5C, ゾ = 83 5D: their trail bytes are "\" and "]" but are not characters of their own.
  const std::string text = J("ソゾ") + "]" + J("ゾ") + "[";
  EXPECT_EQ(FindCp932Char(text, ']'), 4u);
  EXPECT_EQ(FindCp932Char(text, '\\'), std::string::npos);
  EXPECT_EQ(FindCp932Char(text, '['), 7u);
  EXPECT_EQ(FindCp932Char(text, ']', 5), std::string::npos);
  // Starting in the middle keeps character boundaries from the start of the text.
  EXPECT_EQ(FindCp932Char(J("ゾ"), ']', 1), std::string::npos);

  std::vector<std::size_t> lengths;
  ForEachCp932Char(std::string("a") + J("対") + "\x81", [&](std::size_t, std::size_t n) {
    lengths.push_back(n);
  });
  EXPECT_EQ(lengths, (std::vector<std::size_t>{1, 2, 1}));  // a lone lead byte counts as one
}
