// Tests of the tag extractor, the number reader and the escaping of typed text.
#include "protocol/tag_message.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

TEST(GetTagValue, MissingEmptyAndUnclosedValuesAreEmpty) {
  struct Case {
    const char* message;
    const char* key;
    const char* value;
  } cases[] = {
      {"<<Type=5>><<Value=45>>", "<<Value=", "45"},
      {"<<Type=5>><<Value=45>>", "<<Index=", ""},
      {"<<Index=>>", "<<Index=", ""},
      {"<<Index=3", "<<Index=", ""},
      {"<<Index=1>><<Index=2>>", "<<Index=", "1"},  // the first occurrence counts
      {"<<Name=a<b>c>>", "<<Name=", "a<b>c"},       // "<<" and single ">" may stand in a value
      {"<<Name= x >>", "<<Name=", " x "},           // nothing is trimmed
      {"<<name=x>>", "<<Name=", ""},                // keys are case-sensitive
      {"", "<<Name=", ""},
      {"<<Name=>>>", "<<Name=", ""},  // the first ">>" ends the value at once
  };
  for (const auto& c : cases) EXPECT_EQ(GetTagValue(c.message, c.key), c.value) << c.message;
}

TEST(GetTagValue, MultiLineValuesKeepTheirLineEnds) {
  EXPECT_EQ(GetTagValue("<<Status>><<WaitList=alice\r\nbob\r\n>><<LookList=>>", "<<WaitList="),
            "alice\r\nbob\r\n");
}

TEST(HasTag, AnyOccurrenceCounts) {
  EXPECT_TRUE(HasTag("OKRe<<GameSet>>", "<<GameSet>>"));
  EXPECT_TRUE(HasTag("OKRe<<GameSet>>", "Re<<GameSet>>"));
  EXPECT_FALSE(HasTag("<<GameSet>>", "Re<<GameSet>>"));
  EXPECT_FALSE(HasTag("", "<<Move="));
}

TEST(ReadNumber, NonNumbersAndOverflowGiveTheDefault) {
  struct Case {
    const char* text;
    int fallback;
    int value;
  } cases[] = {
      {"45", 0, 45},
      {"-7", 0, -7},
      {"+3", 0, 3},
      {"x", 0, 0},
      {"", -1, -1},
      {"3x", 0, 0},
      {" 3", 0, 0},
      {"-", 0, 0},
      {"+-1", 0, 0},
      {"2147483647", 0, 2147483647},
      {"-2147483648", 0, -2147483647 - 1},
      {"2147483648", 9, 9},
      {"-2147483649", 9, 9},
      {"99999999999999999999999", 9, 9},
      {"007", 0, 7},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadNumber(c.text, c.fallback), c.value) << c.text;
  EXPECT_EQ(ReadNumber64("9223372036854775807", 0), 9223372036854775807LL);
  EXPECT_EQ(ReadNumber64("9223372036854775808", 5), 5);
  EXPECT_EQ(GetTagNumber("<<MoveSuu=x>>", "<<MoveSuu=", -1), -1);
  EXPECT_EQ(GetTagNumber("<<MoveSuu=>>", "<<MoveSuu=", -1), -1);
  EXPECT_EQ(GetTagNumber("<<Type=x>>", "<<Type="), 0);
  EXPECT_EQ(GetTagNumber("<<GameIndex=3>>", "<<GameIndex="), 3);
}

TEST(GameTag, CarriesTheSlotNumber) {
  EXPECT_EQ(GameTag(3), "<<GameIndex=3>>");
  EXPECT_EQ(GetTagNumber("<<Move=88>>" + GameTag(5), "<<GameIndex="), 5);
}

TEST(EscapeChatText, TypedTextCanNeitherEndAValueNorOpenATag) {
  const std::string gt2 = J("＞＞"), lt2 = J("＜＜"), gt = J("＞");
  struct Case {
    std::string typed, sent;
  } cases[] = {
      {"a>>b", "a" + gt2 + "b"},
      {"a<<Move=1>>", "a" + lt2 + "Move=1" + gt2},
      {"ok>", "ok" + gt},  // a final ">" would join the closing ">>"
      {"a>>>", "a" + gt2 + gt},
      {"a>b<c", "a>b<c"},  // single brackets inside stay
      {"", ""},
      {J("ソ>"), J("ソ") + gt},
  };
  for (const auto& c : cases) {
    const std::string sent = EscapeChatText(c.typed);
    EXPECT_EQ(sent, c.sent) << c.typed;
    EXPECT_EQ(GetTagValue("<<GameMese=" + sent + ">>", "<<GameMese="), sent);
  }
}

TEST(EscapeBoardText, ReplacesUntilNoClosingPairIsLeft) {
  EXPECT_EQ(EscapeBoardText("a>>b"), "a><b");
  EXPECT_EQ(EscapeBoardText(">>>"), "><" + J("＞"));  // ">>>" -> "><>" -> final ">"
  EXPECT_EQ(EscapeBoardText(">>>>"), "><><");
  EXPECT_EQ(EscapeBoardText("<<x"), J("＜＜") + "x");
  for (const std::string typed : {">>>>>", "a>><<>>", "<<<>>>", ">"}) {
    const std::string sent = EscapeBoardText(typed);
    EXPECT_EQ(sent.find(">>"), std::string::npos) << typed;
    EXPECT_EQ(sent.find("<<"), std::string::npos) << typed;
    EXPECT_NE(sent.back(), '>') << typed;
  }
}

// A peer's "<<" inside a value once made the server's tests see a tag the framer never saw (a
// board line "x<<DiscussEnter" entered the room). Every "<<" left opens a tag.
TEST(CloseStrayOpenings, OnlyTagsOpenWithTwoLessThanSigns) {
  const std::string lt = J("＜");
  struct Case {
    std::string message;
    std::string closed;
  } cases[] = {
      {"<<MainMese=[ a ]x>>", "<<MainMese=[ a ]x>>"},  // the usual text is unchanged
      {"<<MainMese=x<<DiscussEnter>>", "<<MainMese=x<" + lt + "DiscussEnter>>"},
      {"<<<Move=5>>", "<<" + lt + "Move=5>>"},
      {"<<Di=a><<DiscussEnter>>", "<<Di=a><" + lt + "DiscussEnter>>"},
      {"<<A=<<<b", "<<A=<" + lt + "<b"},  // unclosed
      {"x<y<<Z>>", "x<y<<Z>>"},
      {"<<Z>>y<", "<<Z>>y" + lt},  // a last "<" would open a tag with the next message
      {"/<SiroSaki>/<<K=(;AB[aa]/<SiroTurn>/>>", "/<SiroSaki>/<<K=(;AB[aa]/<SiroTurn>/>>"},
  };
  for (const auto& c : cases) {
    const std::string closed = CloseStrayOpenings(c.message);
    EXPECT_EQ(closed, c.closed) << c.message;
    std::string in_place = c.message;
    CloseStrayOpeningsIn(in_place);
    EXPECT_EQ(in_place, c.closed) << c.message;
    // Every "<<" left is where a tag opens.
    for (std::size_t at = closed.find("<<"); at != std::string::npos;
         at = closed.find("<<", at + 1)) {
      EXPECT_TRUE(at == 0 || closed.compare(at - 2, 2, ">>") == 0 || closed[at - 1] != '<')
          << closed;
    }
  }
}
