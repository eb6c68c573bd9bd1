// client/connection/model/challenge_texts.h — the texts of a challenge: the GameSetRequest made
// from the game settings dialog's values, the offer shown to the challenged player and the answers.
#pragma once
#include <string>
#include <string_view>

// What the game settings dialog holds when 送 信 is pressed, as typed (cp932).
struct GameSettingsValues {
  bool ChallengerBlack = true;  // 黒番 selected
  std::string BlackMinutes;     // black's main time
  std::string WhiteMinutes;     // white's main time
  std::string AddedSeconds;     // time added per move
  std::string Komi;
  std::string Handicap;  // the handicap word, sent as typed
  int SizeIndex = 0;     // 0 = 19, 1 = 13, 2 = 9 lines
  // The record of a start position ("<<KifuStart="), empty for none.
  std::string StartPosition;
};

// A main time as sent: the half-width text + " 分" when it reads as a whole number above 0,
// else "任意" (no limit).
std::string MainTimeText(std::string_view typed);
// The added time as sent: the half-width text + " 秒" when it reads as a whole number above 0,
// else "なし".
std::string AddedTimeText(std::string_view typed);
// The komi as sent: half-width, "0" when empty, then without blanks and "+" signs.
std::string KomiText(std::string_view typed);

// Why a typed komi or handicap cannot be sent, as the message shown to the user; empty when it
// can. A text holding "<" or ">" (the komi after its half-width mapping) could end its value early
// or read as a tag on every peer.
std::string KomiProblem(std::string_view typed);
std::string HandicapProblem(std::string_view typed);

// "<<GameSet>><<IsKuro=" … "<<BanSize=" size ">>", then "<<KifuStart=" with the start position
// when there is one: the challenge of `challenger` to `opponent`. The start position comes from a
// record file, so its "<<" and ">>" are sent full-width: no text of the file can end the tag or
// read as another one.
std::string ComposeGameSetRequest(const GameSettingsValues& values, std::string_view challenger,
                                  std::string_view opponent);

// The offer shown in the challenge received dialog for the challenge `message`: challenger,
// colours, handicap with board size, komi, the three times and, when the challenge brings a start
// position, who moves next; each item on its own indented line.
std::string ChallengeOfferText(std::string_view message);

// The challenge `message` with everything from its first "<<KifuStart=" on replaced by that tag
// holding `start` (the composer puts the tag last).
std::string WithStartPosition(std::string_view message, std::string_view start);

// The answers, each the received challenge with its prefix.
std::string AcceptAnswer(std::string_view message);   // "OKRe"
std::string DeclineAnswer(std::string_view message);  // "NORe"
std::string BusyAnswer(std::string_view message);     // "NoTimeRe"
