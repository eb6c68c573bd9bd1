// Tests of the challenge texts: the GameSetRequest from the dialog's values, what the user may not
// send, and the offer shown to the challenged player.
#include "client/connection/model/challenge_texts.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

namespace {
GameSettingsValues Defaults() {
  GameSettingsValues values;
  values.ChallengerBlack = true;
  values.BlackMinutes = "15";
  values.WhiteMinutes = "15";
  values.AddedSeconds.assign(1, '0');
  values.Komi = "5.5";
  values.Handicap = J("互先");
  values.SizeIndex = 0;
  return values;
}
}  // namespace

TEST(GameSetRequest, DesignDefaultsGiveTheDocumentedMessage) {
  EXPECT_EQ(ComposeGameSetRequest(Defaults(), "Taro", J("花子")),
            J("<<GameSet>><<IsKuro=黒番>><<KuroGameTime=15 分>><<SiroGameTime=15 分>>"
              "<<AddTime=なし>><<GameWari=互先>><<GameKomi=5.5>><<Player1=Taro>>"
              "<<Player2=花子>><<BanSize=19>>"));
}

TEST(GameSetRequest, AnAddedTimeOnlyWhenBothSidesHaveALimit) {
  GameSettingsValues values = Defaults();
  values.WhiteMinutes = "20";
  values.AddedSeconds = J("３０");
  values.SizeIndex = 1;
  const std::string request = ComposeGameSetRequest(values, "a", "b");
  EXPECT_NE(request.find(J("<<SiroGameTime=20 分>><<AddTime=30 秒>>")), std::string::npos);
  EXPECT_NE(request.find("<<BanSize=13>>"), std::string::npos);

  for (const char* unlimited : {"", "0"}) {
    values.BlackMinutes = unlimited;
    EXPECT_NE(ComposeGameSetRequest(values, "a", "b")
                  .find(J("<<KuroGameTime=任意>><<SiroGameTime=20 分>><<AddTime=なし>>")),
              std::string::npos);
  }
}

TEST(GameSetRequest, TimesThatAreNotPositiveWholeNumbers) {
  struct Case {
    const char* typed;
    const char* main;
    const char* added;
  } cases[] = {
      {"15", "15 分", "15 秒"}, {"１２０", "120 分", "120 秒"},  {"", "任意", "なし"},
      {"0", "任意", "なし"},    {"-5", "任意", "なし"},          {"1.5", "任意", "なし"},
      {"十五", "任意", "なし"}, {"99999999999", "任意", "なし"},  // beyond any number of minutes:
                                                                  // no limit, no overflow
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MainTimeText(J(c.typed)), J(c.main)) << c.typed;
    EXPECT_EQ(AddedTimeText(J(c.typed)), J(c.added)) << c.typed;
  }
}

TEST(GameSetRequest, KomiForms) {
  struct Case {
    const char* typed;
    const char* sent;
  } cases[] = {
      {"5.5", "5.5"},      {"", "0"},        {" ", ""},  // the blank goes after the empty test
      {"＋６．５", "6.5"}, {"+ 6.5", "6.5"}, {"-0.5", "-0.5"},
      {"－３", "-3"},      {"6　5", "65"},  // an ideographic space is a blank
      {"７目半", "7目半"},                  // not examined further
  };
  for (const auto& c : cases) EXPECT_EQ(KomiText(J(c.typed)), J(c.sent)) << c.typed;
}

TEST(GameSetRequest, AngleBracketsInKomiOrHandicapAreRefused) {
  for (const char* komi : {"<<", "5>", "6.5>><<GameStart-Play", "＜５", "５＞"}) {
    EXPECT_EQ(KomiProblem(J(komi)), J("コミに「<」「>」は使えません。 入力し直して下さい。"))
        << komi;
  }
  for (const char* handicap : {"互先>>", "<<Move=1>>", ">"}) {
    EXPECT_EQ(HandicapProblem(J(handicap)),
              J("手合に「<」「>」は使えません。 入力し直して下さい。"))
        << handicap;
  }
  // Full-width brackets in the handicap are sent as typed and cannot form a tag.
  for (const char* fine : {"互先", "９子", "＜互先＞", ""}) {
    EXPECT_EQ(HandicapProblem(J(fine)), "") << fine;
  }
  for (const char* fine : {"5.5", "", "-0.5", "ソ"}) EXPECT_EQ(KomiProblem(J(fine)), "") << fine;
}

TEST(GameSetRequest, AStartPositionComesLastAndNoTextOfItsFileReadsAsATag) {
  GameSettingsValues values = Defaults();
  values.StartPosition = "(;GC[<<GameStart-Play>> a>>b]SZ[19];B[pd])/<SiroTurn>/";
  const std::string request = ComposeGameSetRequest(values, "a", "b");
  EXPECT_EQ(request.substr(request.find("<<BanSize=")),
            "<<BanSize=19>><<KifuStart=(;GC[" + J("＜＜") + "GameStart-Play" + J("＞＞") + " a" +
                J("＞＞") + "b]SZ[19];B[pd])/<SiroTurn>/>>");
  EXPECT_EQ(request.find("<<GameStart-Play"), std::string::npos);
  // The challenged client answers with the start position it read.
  EXPECT_EQ(WithStartPosition(request, "AB[dd];[pd]"),
            request.substr(0, request.find("<<KifuStart=")) + "<<KifuStart=AB[dd];[pd]>>");
}

TEST(ChallengeOffer, NoKomiNoSizeAndStartPositions) {
  const std::string base =
      J("<<GameSet>><<IsKuro=黒番>><<GameWari=互先>><<GameKomi=0>><<Player1=a>>");
  const std::string offer = ChallengeOfferText(base);
  EXPECT_NE(offer.find(J("コ ミ  ==  なし\r\n")), std::string::npos);
  // Without a size the handicap stands alone.
  EXPECT_NE(offer.find(J("手合  ==  互先\r\n")), std::string::npos);
  EXPECT_EQ(offer.find(J("スタート局面")), std::string::npos);
  // Only exactly "0" means no komi.
  EXPECT_NE(ChallengeOfferText(J("<<GameKomi=0.0>>")).find(J("コ ミ  ==  0.0\r\n")),
            std::string::npos);

  const std::string white_next =
      ChallengeOfferText(base + "<<KifuStart=/<SiroSaki>/AB[dd]/<SiroTurn>/>>");
  EXPECT_NE(white_next.find(J("\r\n\r\n    ★☆スタート局面が指定されています。(次ぎは白番)"
                              "\r\n\r\n    対 局 し ま す か ？")),
            std::string::npos);
  EXPECT_NE(ChallengeOfferText(base + "<<KifuStart=AB[dd];[pp]>>").find(J("(次ぎは黒番)")),
            std::string::npos);
}
