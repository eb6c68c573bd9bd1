// server/watch_handlers.cpp — watching a game, leaving it, and the game chat with its diagrams.
#include <algorithm>
#include <string>

#include "platform/cp932.h"
#include "protocol/tag_message.h"
#include "server/server_core.h"

std::string ServerCore::NumberDiagram(std::string& store, std::string_view diagram) {
  DiagramCounter += 1;
  std::string n = std::to_string(DiagramCounter);
  store += "{" + n + "}<<DiaData=";
  store += diagram;
  store += ">>";
  KeepNewestDiagrams(store);
  return n;
}

std::string ServerCore::DiagramChatLine(std::string_view n) {
  return J("{ 碁盤 ") + std::string(n) + " }\r\n\r\n";
}

bool ServerCore::GameInUse(int g) const { return GameNumberValid(g) && Games[g].GameState > 0; }

bool ServerCore::IsRunningPlayer(int j, int g) const {
  if (!GameInUse(g) || Games[g].GameState != 1) return false;
  const std::string& name = Players[j].PlayerName;
  return name == Games[g].BlackName || name == Games[g].WhiteName;
}

bool ServerCore::IsPlayerOf(int j, int g) const {
  if (!GameInUse(g) || !SlotInUse(j) || Players[j].AttachedGame != g) return false;
  const std::string& name = Players[j].PlayerName;
  return name == Games[g].BlackName || name == Games[g].WhiteName;
}

std::string ServerCore::WatchSnapshot(int g, std::string_view text) const {
  const GameSlot& game = Games[g];
  std::string snapshot(text);
  snapshot += "<<AllMese=" + game.GameChatLog;
  snapshot += ">><<AllGameData=" + game.GameRecord;
  snapshot += ">><<KuroTime=" + game.BlackClock;
  snapshot += ">><<SiroTime=" + game.WhiteClock;
  snapshot += ">><<WatchCount=" + std::to_string(game.WatchCount);
  snapshot += ">><<WatchList=" + game.WatchNames;
  snapshot += ">><<WaitHint=" + WaitHintList;
  snapshot += ">><<GameIndex=" + std::to_string(g);
  // The diagrams hold ">>" themselves; the client reads them up to the end mark.
  snapshot += ">><<DiaStr=" + game.GameDiagrams;
  snapshot += ">><<DraumEND>>";
  return snapshot;
}

std::string ServerCore::WatchCountUpdate(int g) const {
  const GameSlot& game = Games[g];
  std::string update = "<<OnlyWatchCount=" + std::to_string(game.WatchCount);
  update += ">><<WaitHint=" + WaitHintList;
  update += ">><<WatchList=" + game.WatchNames;
  update += ">>";
  return update;
}

void ServerCore::WatchGame(int j, std::string_view text) {
  const int g = GetTagNumber(text, "<<WatchGame=");
  const std::string name = Players[j].PlayerName;
  // One game at a time: a participant who still plays or watches a game in use (a second click
  // before the first snapshot arrived, say) is refused, so that no game keeps a watcher who has
  // gone elsewhere and a finished game is always freed with its last watcher.
  if (!GameInUse(g) || GameInUse(Players[j].AttachedGame)) {
    LogEvent(EventLine(name, J("対局[") + std::to_string(g) + J("] ==> 観戦リクエスト ==>エラー")));
    return;
  }
  GameSlot& game = Games[g];
  game.WatchCount += 1;
  game.WatchNames += name + "\n";
  SetWaitHint(name, g);
  SendToSlot(j, WatchSnapshot(g, "<<WatchGame=" + std::to_string(g) + ">>"));

  const std::string update = WatchCountUpdate(g);
  const std::string hints = "<<WaitHint=" + WaitHintList + ">>";
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    if (Players[k].AttachedGame == g) {
      SendToSlot(k, update);
    } else if (k != j) {
      SendToSlot(k, hints);
    }
  }
  Players[j].AttachedGame = g;
  LogEvent(EventLine(name, J("対局[") + std::to_string(g) + J("] ==> 観戦開始")));
}

void ServerCore::OffWatchGame(int j, std::string_view text) {
  const int g = GetTagNumber(text, "<<GameIndex=");
  // Only a watcher of the game named leaves it: the counts of other games, and the game of a
  // player still playing it, are not touched by a stray message.
  if (!GameInUse(g) || Players[j].AttachedGame != g || IsRunningPlayer(j, g)) return;
  GameSlot& game = Games[g];
  const std::string name = Players[j].PlayerName;
  game.WatchCount = std::max(game.WatchCount - 1, 0);
  RemoveListEntry(game.WatchNames, name);
  Players[j].AttachedGame = 0;
  SetWaitHint(name, 0);

  if (game.WatchCount == 0 && game.GameState == 2) {
    FreeGameSlot(g);
    SendToAll(BuildStatus(kStatusPlayList | kStatusWaitList));
  } else {
    const std::string update = WatchCountUpdate(g);
    const std::string hints = "<<WaitHint=" + WaitHintList + ">>";
    for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
      SendToSlot(k, Players[k].AttachedGame == g ? update : hints);
    }
  }
  LogEvent(EventLine(name, J("対局[") + std::to_string(g) + J("] ==> 観戦終了")));
  if (game.WatchCount == 0) {
    LogEvent(J("対局[") + std::to_string(g) + J("] ==> 終了  (") + clock_.TimeText() + ")");
  }
}

void ServerCore::LeaveWatch(int g, std::string_view name) {
  if (!GameInUse(g)) return;
  GameSlot& game = Games[g];
  if (game.WatchCount > 0) game.WatchCount -= 1;
  RemoveListEntry(game.WatchNames, name);
  LogEvent(EventLine(name, J("対局[") + std::to_string(g) + J("] ==> 観戦終了")));
  if (game.WatchCount == 0 && game.GameState == 2) {
    FreeGameSlot(g);
    LogEvent(J("対局[") + std::to_string(g) + J("] ==> 終了  (") + clock_.TimeText() + ")");
  }
}

void ServerCore::GameChat(int j, std::string_view text) {
  const int g = GetTagNumber(text, "<<GameIndex=");
  // Only a participant attached to the game (a player or a watcher) talks in its chat.
  if (!GameInUse(g) || Players[j].AttachedGame != g) return;
  GameSlot& game = Games[g];
  const std::string line = LimitTypedLine(GetTagValue(text, "<<GameMese="));
  std::string relay = "<<GameMese=" + line + ">>";

  if (!HasTag(text, "<<DiaData=")) {
    game.GameChatLog += line + "\r\n";
    KeepNewestLines(game.GameChatLog);
    for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
      if (k != j && Players[k].AttachedGame == g) SendToSlot(k, relay);
    }
    return;
  }
  // A diagram gets the next server-wide number; the sender hears it back with everyone else.
  const std::string diagram = GetTagValue(text, "<<DiaData=");
  const std::string n = NumberDiagram(game.GameDiagrams, diagram);
  game.GameChatLog += line;
  game.GameChatLog += DiagramChatLine(n);
  KeepNewestLines(game.GameChatLog);
  relay += "<<DiaIndex=" + n + ">><<DiaData=" + diagram + ">>";
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    if (Players[k].AttachedGame == g) SendToSlot(k, relay);
  }
}
