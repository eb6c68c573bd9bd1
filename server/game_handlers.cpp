// server/game_handlers.cpp — challenges, game creation and the relay of a running game: moves,
// passes, undo, clock stops, the shared count and the end of a game.
#include <algorithm>
#include <string>

#include "platform/cp932.h"
#include "protocol/tag_message.h"
#include "server/game_record.h"
#include "server/server_core.h"

namespace {
const std::string kChallengerGone = "<<GameStart-NotFound>>";
const std::string kGameIsFull = "<<GameIsFull>>";

// The first free game slot, 0 when all five are in use.
int FirstFreeGameSlot(const ServerTables& tables) {
  for (int g = 1; g <= kMaxGames; ++g) {
    if (tables.Games[g].GameState == 0) return g;
  }
  return 0;
}

// The game number of a message's game tag: 0 when missing or not a number.
int GameOf(std::string_view text) { return GetTagNumber(text, "<<GameIndex="); }
}  // namespace

const std::string& ServerCore::OpponentOf(int g, std::string_view name) const {
  const GameSlot& game = Games[g];
  return name == game.BlackName ? game.WhiteName : game.BlackName;
}

int ServerCore::GameListIndex(int g) const {
  const int k = Memo2.IndexOf(GameListHead(g));
  return k >= 0 && k + 2 < Memo2.Count() ? k : -1;
}

// ---------------------------------------------------------------------------------------------
// Challenges and game creation

std::string_view ChallengeSettings(std::string_view text) {
  const std::size_t from = text.find("<<GameSet>>");
  if (from == std::string_view::npos) return {};
  text.remove_prefix(from);
  constexpr std::string_view kStart = "<<KifuStart=";
  const std::size_t start = text.find(kStart);
  return start == std::string_view::npos ? text : text.substr(0, start + kStart.size());
}

bool ServerCore::TakePendingChallenge(int j, std::string_view text) {
  const std::string answer = RelayedChallenge(text);
  const auto pending = PendingChallenges.find(GetTagValue(answer, "<<Player1="));
  if (pending == PendingChallenges.end() || pending->second.Asked != Players[j].PlayerName ||
      pending->second.Settings != ChallengeSettings(answer)) {
    return false;
  }
  PendingChallenges.erase(pending);
  return true;
}

void ServerCore::GameChallenge(int j, std::string_view text) {
  // A challenge is made in the sender's own name only.
  const std::string& challenger = Players[j].PlayerName;
  if (GetTagValue(text, "<<Player1=") != challenger) return;
  const std::string target = GetTagValue(text, "<<Player2=");
  // A name no participant can have is logged no longer than a name can be.
  LogEvent(EventLine(challenger,
                     "[ " + target.substr(0, kMaxNameBytes) + " ] ==> " + J("対局申し込み")));
  // A new challenge ends the challenger's earlier one, answered or not.
  PendingChallenges.erase(challenger);
  // Whether the target plays, watches or is the sender is for the challenged client to answer.
  if (const int k = FindNameSlot(target)) {
    // The challenge goes on with its own tags only, and its answer must repeat them.
    const std::string relayed = RelayedChallenge(text);
    PendingChallenges[challenger] = {target, std::string(ChallengeSettings(relayed))};
    return SendToSlot(k, relayed);
  }
  SendToSlot(j, J("<<SysMese=相手が見付かりません。Sorry。 [ザンテ]>>"));
}

void ServerCore::GameReply(int j, std::string_view text) {
  const std::string answer = RelayedChallenge(text);
  if (!answer.starts_with("OKRe") && !answer.starts_with("NORe") &&
      !answer.starts_with("NoTimeRe")) {
    return;
  }
  const std::string challenger = GetTagValue(answer, "<<Player1=");
  // Only the participant asked answers a challenge, once, to the settings it was offered.
  const bool answers_pending = TakePendingChallenge(j, answer);
  // Such an answer costs its sender nothing, neither event lines nor relayed bytes: the client
  // answers every challenge, busy or not, and the challenger has paid for the challenge.
  struct Restore {
    ConnectionId& charged;
    ConnectionId before;
    ~Restore() { charged = before; }
  } restore{charged_, charged_};
  if (answers_pending) charged_ = 0;
  if (!answer.starts_with("OKRe")) {
    // Declined or busy: the answer goes back to the challenger as it came.
    if (!answers_pending) return;
    LogEvent(EventLine(Players[j].PlayerName, "[ " + challenger + " ] ==> " + J("対局キャンセル")));
    if (const int c = FindNameSlot(challenger)) SendToSlot(c, answer);
    return;
  }
  const int c = answers_pending ? FindNameSlot(challenger) : 0;
  // An acceptance of no pending challenge, or one that would have somebody play two running
  // games at once or a game against itself, is answered as if the challenger had gone.
  if (c == 0 || c == j || IsPlayingName(challenger) || IsPlayingName(Players[j].PlayerName)) {
    return SendToSlot(j, kChallengerGone);
  }
  if (FirstFreeGameSlot(*this) == 0) return SendToSlot(j, kGameIsFull);
  CreateGame(j, c, answer);
}

void ServerCore::CreateGame(int j, int c, std::string_view text) {
  const std::string handicap = GetTagValue(text, "<<GameWari=");
  const bool challenger_black = GetTagValue(text, "<<IsKuro=") == J("黒番");
  const bool challenger_first = BlackMovesFirst(text, handicap) == challenger_black;

  // A player who was watching a game, or who stayed on its own finished game, leaves it.
  for (const int slot : {j, c}) {
    const int h = Players[slot].AttachedGame;
    if (GameNumberValid(h) && Games[h].GameState > 0) LeaveWatch(h, Players[slot].PlayerName);
  }

  const int g = FirstFreeGameSlot(*this);  // the caller saw one free; leaving may free another
  GameCount += 1;
  GameSlot& game = Games[g];
  game.GameState = 1;
  Players[c].AttachedGame = g;
  Players[j].AttachedGame = g;
  game.WatchNames.clear();
  const std::string sender = Players[j].PlayerName;
  const std::string challenger = Players[c].PlayerName;
  game.BlackName = challenger_black ? challenger : sender;
  game.WhiteName = challenger_black ? sender : challenger;

  Memo2.Add(GameListHead(g));
  Memo2.Add(J("● ") + game.BlackName);
  Memo2.Add(J("○ ") + game.WhiteName);
  // Both players leave the waiting list, each line with its hint.
  for (;;) {
    int k = Memo3.IndexOf(challenger);
    if (k < 0) k = Memo3.IndexOf(sender);
    if (k < 0) break;
    Memo3.Delete(k);
    RemoveWaitHint(k + 1);
  }

  std::string tail = ">><<GameWari=" + handicap;
  tail += ">><<BanSize=" + GetTagValue(text, "<<BanSize=");
  tail += ">><<GameKomi=" + GetTagValue(text, "<<GameKomi=");
  tail += ">><<KuroGameTime=" + GetTagValue(text, "<<KuroGameTime=");
  tail += ">><<SiroGameTime=" + GetTagValue(text, "<<SiroGameTime=");
  tail += ">><<AddTime=" + GetTagValue(text, "<<AddTime=");
  tail += ">><<GameIndex=" + std::to_string(g);
  tail += ">><<PlayList=" + Memo2.Text();
  tail += ">><<WaitList=" + Memo3.Text();
  tail += ">><<WaitHint=" + WaitHintList;
  tail += ">>";
  tail += BuildKifuStartStr(text, handicap);

  const std::string play = "<<GameStart-Play>><<Color=";
  const std::string wait = "<<GameStart-Wait>><<Color=";
  SendToSlot(c, (challenger_first ? play : wait) + (challenger_black ? "black" : "white") +
                    ">><<OpName=" + sender + tail);
  SendToSlot(j, (challenger_first ? wait : play) + (challenger_black ? "white" : "black") +
                    ">><<OpName=" + challenger + tail);
  const std::string lists = BuildStatus(kStatusPlayList | kStatusWaitList);
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    if (k != c && k != j) SendToSlot(k, lists);
  }
  LogEvent(EventLine(sender, "[ " + challenger + " ] ==> " + J("対局OK ==> 対局[") +
                                 std::to_string(g) + J("] 開始")));

  game.GameRecord = RecordHeader(text, game.BlackName, game.WhiteName);
  game.RecordHeaderLength = game.GameRecord.size();
  game.BlackClock = "0";
  game.WhiteClock = "0";
  game.GameChatLog.clear();
  game.GameDiagrams.clear();
  game.UndoState = 0;
  game.PassCount = 0;
  game.WatchCount = 0;
}

// ---------------------------------------------------------------------------------------------
// Moves, passes and undo

void ServerCore::GameMove(int j, std::string_view text) {
  const int g = GameOf(text);
  const auto log_error = [&] {
    LogEvent(J("対局 ") + std::to_string(g) + J(" ==> エラー発生  (") + clock_.TimeText() + ")");
  };
  if (!GameNumberValid(g) || Games[g].GameState == 0) return log_error();
  // Only the game's own players move, pass and take back, each with its own colour; anyone
  // else's message changes nothing and reaches nobody.
  if (!IsPlayerOf(j, g)) return;
  if (HasTag(text, "<<MoveBack>>")) return GameUndo(j, g, text);

  GameSlot& game = Games[g];
  const bool black = Players[j].PlayerName == game.BlackName;
  if (GetTagValue(text, "<<Color=") != (black ? "black" : "white")) return;
  const std::string point = GetTagValue(text, "<<Move=");
  // A point that names no place on a board is neither recorded nor relayed.
  const std::optional<std::string> entry = MoveEntry(point);
  if (!entry) return log_error();

  game.UndoState = 0;  // a move or pass drops a pending undo request
  const std::string& opponent = black ? game.WhiteName : game.BlackName;
  const std::string time = GetTagValue(text, "<<Time=");  // empty for a pass
  (black ? game.BlackClock : game.WhiteClock) = time;
  // Consecutive passes; a finished game keeps relaying passes without ending again.
  game.PassCount = point == "0" ? std::min(game.PassCount + 1, 2) : 0;
  if (game.PassCount == 2 && game.GameState == 1) return EndByTwoPasses(j, g, text);
  // No real game comes near the record's bound; moves beyond it are relayed but not kept.
  if (game.GameRecord.size() - game.RecordHeaderLength + entry->size() <= kMaxRecordBytes) {
    game.GameRecord += *entry;
  }

  move_to_opponent_.assign("<<Move=").append(point).append(">><<Time=").append(time).append(">>");
  move_to_watchers_.assign("<<Move=")
      .append(point)
      .append(">><<KuroTime=")
      .append(game.BlackClock)
      .append(">><<SiroTime=")
      .append(game.WhiteClock)
      .append(">>");
  move_to_room_.assign("<<DisCussGameMove=").append(point).append(">>");
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    const Participant& p = Players[k];
    if (p.PlayerName == opponent) {
      SendToSlot(k, move_to_opponent_);
    } else if (p.AttachedGame == g && k != j) {
      SendToSlot(k, move_to_watchers_);
    } else if (RoomGame == g && p.RoomState > 0) {
      SendToSlot(k, move_to_room_);
    }
  }
}

std::string ServerCore::GameOverTail(int g) const {
  std::string tail = "<<PlayList=" + Memo2.Text();
  tail += ">><<WaitList=" + Memo3.Text();
  tail += ">><<WaitHint=" + WaitHintList;
  tail += ">>";
  return tail + GameWatchersRecordAndClocks(g);
}

std::string ServerCore::GameWatchersRecordAndClocks(int g) const {
  const GameSlot& game = Games[g];
  std::string text = "<<WatchCount=" + std::to_string(game.WatchCount);
  text += ">><<WatchList=" + game.WatchNames;
  text += ">>";
  text += game.GameRecord;
  text += "<<KuroTime=" + game.BlackClock;
  text += ">><<SiroTime=" + game.WhiteClock;
  text += ">>";
  return text;
}

void ServerCore::ReturnToWaitingList(std::string_view name, int hint) {
  // Only a participant who may play goes back, and only once: a player who switched to watching
  // during the game stays in the watch-only list, one who switched back is listed already.
  const int k = FindNameSlot(name);
  if (k == 0 || Players[k].PlayerMode != 1 || Memo3.IndexOf(name) >= 0) return;
  Memo3.Add(std::string(name));
  WaitHintList += WaitHintEntry(hint);
}

void ServerCore::EndByTwoPasses(int j, int g, std::string_view text) {
  GameSlot& game = Games[g];
  // The first pass leaves the record, the second never entered it.
  CutLastEntry(game.GameRecord, game.RecordHeaderLength);
  game.PassCount = 0;
  game.GameState = 2;
  // Both players stay on the finished game as its watchers.
  game.WatchCount += 2;
  game.WatchNames += game.BlackName + "\n" + game.WhiteName + "\n";
  if (const int k = GameListIndex(g); k >= 0) {
    Memo2.Set(k + 1, Memo2.Line(k + 1) + " End");
    Memo2.Set(k + 2, Memo2.Line(k + 2) + " End");
  }
  ReturnToWaitingList(game.BlackName, g);
  ReturnToWaitingList(game.WhiteName, g);

  const std::string& sender = Players[j].PlayerName;
  const std::string notice = "<<PassEndGame>><<Name=" + sender +
                             ">><<Suu=" + GetTagValue(text, "<<Suu=") + ">>" + GameOverTail(g);
  const std::string lists = BuildStatus(kStatusPlayList | kStatusWaitList);
  const std::string to_room = lists + "<<DiscussGameEnd>>";
  SendAroundGame(g, notice, to_room, lists);
  LogEvent(EventLine(sender, J("対局[") + std::to_string(g) + J("] ==> 両パス終局")));
}

void ServerCore::GameUndo(int j, int g, std::string_view text) {
  GameSlot& game = Games[g];
  const std::string& sender = Players[j].PlayerName;
  const int asker = sender == game.BlackName ? 1 : 2;
  if (game.UndoState == 0) {
    game.UndoState = asker;
    if (const int k = FindNameSlot(OpponentOf(g, sender))) SendToSlot(k, "<<ReceiveMoveBack>>");
    return;
  }
  if (game.UndoState == asker) return;  // asked again by the same player

  // The other player agrees: one entry goes, and the pass count follows the entry now last, so
  // that a pass before the undone move still counts towards two passes and nothing more does.
  game.UndoState = 0;
  CutLastEntry(game.GameRecord, game.RecordHeaderLength);
  game.PassCount = LastEntryIsPass(game.GameRecord, game.RecordHeaderLength) ? 1 : 0;
  SendAroundGame(g, GameTag(g) + "<<Move=>><<MoveBack>>", "<<DisCussMoveBack>>", "");
}

// ---------------------------------------------------------------------------------------------
// Clock stop and shared count

void ServerCore::RelayTimeStop(int j, std::string_view text) {
  const int g = GameOf(text);
  if (!IsPlayerOf(j, g)) return;  // only a player stops or restarts its game
  const std::string& sender = Players[j].PlayerName;
  const std::string& opponent = OpponentOf(g, sender);
  // Written as the client writes it, with the sender the server knows.
  const std::string relayed = "<<TimeStop=" + GetTagValue(text, "<<TimeStop=") + ">>" + GameTag(g) +
                              "<<Sender=" + sender + ">>";
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    if (Players[k].PlayerName == opponent) SendToSlot(k, relayed);
  }
}

void ServerCore::RelaySharedCount(int j, std::string_view text) {
  const int g = GameOf(text);
  if (!IsPlayerOf(j, g)) return;  // the count is the two players' own
  const std::string& sender = Players[j].PlayerName;
  const std::string& opponent = OpponentOf(g, sender);
  const std::string relayed =
      KeepTags(text, {"<<GameIndex=", "<<RealTimeCountStart>>", "<<RealTimeCount>>",
                      "<<RealTimeChange>>", "<<RealTimeCountEnd>>", "<<Type=", "<<Value="});
  if (const int k = FindNameSlot(opponent)) SendToSlot(k, relayed);
  // Who counts is the two players' business; the watchers follow the count itself.
  if (HasTag(text, "<<RealTimeChange>>")) return;
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    const Participant& p = Players[k];
    if (p.AttachedGame == g && p.PlayerName != opponent && p.PlayerName != sender) {
      SendToSlot(k, relayed);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// End requests

void ServerCore::GameEndRequest(int j, std::string_view text) {
  const int g = GameOf(text);
  if (!GameNumberValid(g) || Games[g].GameState != 1) return;  // a game is ended once
  GameSlot& game = Games[g];
  const std::string sender = Players[j].PlayerName;
  // Only one of the two players ends a game: anyone else's request would leave the lists and
  // the watcher count of the game wrong.
  if (!IsPlayerOf(j, g)) return;

  game.GameState = 2;
  const bool closing = HasTag(text, "<<EndGameResign>>");
  const std::string opponent = OpponentOf(g, sender);
  if (closing) {
    // The board window is closed: the sender leaves the game, the opponent stays on it.
    Players[j].AttachedGame = 0;
    game.WatchCount += 1;
    game.WatchNames += opponent + "\n";
  } else {
    game.WatchCount += 2;
    game.WatchNames += game.BlackName + "\n" + game.WhiteName + "\n";
  }
  const bool sender_black = sender == game.BlackName;
  if (const int k = GameListIndex(g); k >= 0) {
    Memo2.Set(k + 1, Memo2.Line(k + 1) + " End");
    Memo2.Set(k + 2, Memo2.Line(k + 2) + " End");
    if (closing) {
      const int own = sender_black ? k + 1 : k + 2;
      Memo2.Set(own, Memo2.Line(own) + " OUT");
    }
  }
  ReturnToWaitingList(sender, closing ? 0 : g);
  ReturnToWaitingList(opponent, g);

  // Whoever ends the game loses it, a time-out like a resignation.
  const std::string winner = sender_black ? "W" : "B";
  game.GameRecord += "/RE[" + winner + "+R]/";

  // The request as the client writes it, then the sender the server knows.
  const char* request = closing                             ? "<<EndGameResign>>"
                        : HasTag(text, "<<NewGameResign>>") ? "<<NewGameResign>>"
                        : HasTag(text, "<<GameResign>>")    ? "<<GameResign>>"
                                                            : "<<GameTimeOut>>";
  const std::string notice = request + ("<<Suu=" + GetTagValue(text, "<<Suu=")) + ">>" +
                             GameTag(g) + "<<Name=" + sender + ">>" + GameOverTail(g);
  const std::string lists = BuildStatus(kStatusPlayList | kStatusWaitList);
  const std::string to_room = lists + "<<DiscussGameEnd>><<Result=" + winner + ">>";
  SendAroundGame(g, notice, to_room, lists);

  const char* word = closing                             ? "[×]終了"
                     : HasTag(text, "<<NewGameResign>>") ? "終了"
                     : HasTag(text, "<<GameResign>>")    ? "投了"
                                                         : "時間切れ";
  LogEvent(EventLine(sender, J("対局[") + std::to_string(g) + "] ==> " + J(word)));
}
