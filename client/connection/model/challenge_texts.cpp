// client/connection/model/challenge_texts.cpp — challenge, offer and answer texts.
#include "client/connection/model/challenge_texts.h"

#include "client/connection/model/client_settings.h"
#include "platform/cp932.h"
#include "platform/half_width.h"
#include "protocol/tag_message.h"

namespace {
// The typed text in half-width followed by `unit` when it is a whole number above 0, else
// `otherwise`. The text itself is sent, not the number read from it.
std::string TimeText(std::string_view typed, const std::string& unit,
                     const std::string& otherwise) {
  std::string text = ToHalfWidth(typed);
  if (ReadNumber(text, 0) > 0) return text + unit;
  return otherwise;
}

bool HoldsAngleBracket(std::string_view text) {
  // "<" and ">" are never the second byte of a double-byte character.
  return text.find_first_of("<>") != std::string_view::npos;
}
}  // namespace

std::string MainTimeText(std::string_view typed) { return TimeText(typed, J(" 分"), J("任意")); }

std::string AddedTimeText(std::string_view typed) { return TimeText(typed, J(" 秒"), J("なし")); }

std::string KomiText(std::string_view typed) {
  std::string half = ToHalfWidth(typed);
  if (half.empty()) half.assign(1, '0');
  std::string komi;
  komi.reserve(half.size());
  // Neither byte can be the second half of a double-byte character.
  for (char c : half) {
    if (c != ' ' && c != '+') komi += c;
  }
  return komi;
}

std::string KomiProblem(std::string_view typed) {
  if (!HoldsAngleBracket(KomiText(typed))) return {};
  return J("コミに「<」「>」は使えません。 入力し直して下さい。");
}

std::string HandicapProblem(std::string_view typed) {
  if (!HoldsAngleBracket(typed)) return {};
  return J("手合に「<」「>」は使えません。 入力し直して下さい。");
}

std::string ComposeGameSetRequest(const GameSettingsValues& values, std::string_view challenger,
                                  std::string_view opponent) {
  const std::string black_time = MainTimeText(values.BlackMinutes);
  const std::string white_time = MainTimeText(values.WhiteMinutes);
  std::string added_time = AddedTimeText(values.AddedSeconds);
  // Without a limit on either side there is nothing to add to.
  if (black_time == J("任意") || white_time == J("任意")) added_time = J("なし");

  std::string m = "<<GameSet>><<IsKuro=";
  m += values.ChallengerBlack ? J("黒番") : J("白番");
  m += ">><<KuroGameTime=" + black_time;
  m += ">><<SiroGameTime=" + white_time;
  m += ">><<AddTime=" + added_time;
  m += ">><<GameWari=" + values.Handicap;
  m += ">><<GameKomi=" + KomiText(values.Komi);
  m += ">><<Player1=";
  m += challenger;
  m += ">><<Player2=";
  m += opponent;
  m += ">><<BanSize=" + BoardSizeTextOfIndex(values.SizeIndex) + ">>";
  if (!values.StartPosition.empty()) {
    m += "<<KifuStart=" + EscapeChatText(values.StartPosition) + ">>";
  }
  return m;
}

std::string ChallengeOfferText(std::string_view m) {
  const std::string item = "\r\n\r\n    ";
  std::string text =
      "\r\n    " + GetTagValue(m, "<<Player1=") + J(" さんから 対局の申し込み が有りました。");
  text += item + J("手番  ==  向こう ") + GetTagValue(m, "<<IsKuro=");
  text += item + J("手合  ==  ") + GetTagValue(m, "<<GameWari=");
  const std::string size = GetTagValue(m, "<<BanSize=");
  if (!size.empty()) text += "   [ " + size + J("路盤 ]");
  const std::string komi = GetTagValue(m, "<<GameKomi=");
  text += item + J("コ ミ  ==  ") + (komi == "0" ? J("なし") : komi);
  text += item + J("黒持ち時間  ==  ") + GetTagValue(m, "<<KuroGameTime=");
  text += item + J("白持ち時間  ==  ") + GetTagValue(m, "<<SiroGameTime=");
  text += item + J("追加時間  ==  ") + GetTagValue(m, "<<AddTime=");
  if (HasTag(m, "<<KifuStart=")) {
    const bool white_next = HasTag(GetTagValue(m, "<<KifuStart="), "/<SiroTurn>/");
    text += item + J("★☆スタート局面が指定されています。(次ぎは") +
            (white_next ? J("白") : J("黒")) + J("番)");
  }
  text += item + J("対 局 し ま す か ？");
  return text;
}

std::string WithStartPosition(std::string_view message, std::string_view start) {
  const std::size_t at = message.find("<<KifuStart=");
  std::string m(message.substr(0, at));
  m += "<<KifuStart=";
  m += start;
  m += ">>";
  return m;
}

std::string AcceptAnswer(std::string_view message) { return "OKRe" + std::string(message); }
std::string DeclineAnswer(std::string_view message) { return "NORe" + std::string(message); }
std::string BusyAnswer(std::string_view message) { return "NoTimeRe" + std::string(message); }
