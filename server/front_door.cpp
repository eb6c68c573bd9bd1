// server/front_door.cpp — the server's front door: new connections, the login, the dispatcher
// that routes every message by its tags, the message board, the mode switch and lost connections.
#include <algorithm>
#include <initializer_list>
#include <string>

#include "platform/cp932.h"
#include "protocol/tag_message.h"
#include "server/server_core.h"

namespace {
const std::string kLoginKey = "<<QuellName=";  // also the name prompt: the bare key
const std::string kIdLimit = "<<SysIdLimit>>";
const std::string kSameName = "<<SysSameName>>";
const std::string kNotFound = "<<SysNotFound>>";
const std::string kUnnamed = "55555";  // the name of a login without one
}  // namespace

void ServerCore::ServerSocket1ClientConnect(ConnectionId connection) {
  if (PlayerCount == -1) {
    // The server's own test connection proves that the listening socket works.
    LogEvent(J("<<サーバ起動ＯＫ>>"));
    SetPlayerCount(0);
    return;
  }
  // The connection stays open either way; a refused client ends it itself.
  transport_.Send(connection, PlayerCount >= JoinLimit ? kIdLimit : kLoginKey);
  waiting_.emplace(connection, clock_.EpochSeconds());
  if (waiting_.size() > kMaxWaitingConnections) {
    transport_.Close(waiting_.begin()->first);
    waiting_.erase(waiting_.begin());
  }
}

void ServerCore::CloseIdleConnections() {
  PruneParkedCosts();
  const long long now = clock_.EpochSeconds();
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    if (now - it->second >= kLoginSeconds) {
      transport_.Close(it->first);
      it = waiting_.erase(it);
    } else {
      ++it;
    }
  }
}

void ServerCore::ServerSocket1ClientRead(ConnectionId connection, std::string text) {
  CloseStrayOpeningsIn(text);
  const int j = FindSenderSlot(connection);
  // 1. A login, taken only from a connection that has none yet. From a participant the login key
  // is just text (a typed line may hold it) and the message goes through the tests below.
  if (j == 0 && HasTag(text, kLoginKey)) {
    Login(connection, text);
    return;
  }
  // 2. Every other message needs a sender with a slot.
  if (j == 0) {
    transport_.Send(connection, kNotFound);
    return;
  }
  Dispatch(j, text);
}

void ServerCore::Dispatch(int j, std::string_view text) {
  // Each test looks only where tags open.
  const TagStarts tags(text);
  const auto has = [&](std::string_view tag) { return tags.Has(tag); };
  const auto has_any = [&](std::initializer_list<std::string_view> list) {
    return std::any_of(list.begin(), list.end(), has);
  };
  // 3. A call to the message board goes to everyone else; the text is tested further.
  // Relayed texts are written as the client writes them: what a peer adds goes no further.
  if (has("<<SeeMeseNow>>")) SendToAll("<<SeeMeseNow>>", j);

  // 4-13. The analysis room.
  if (has("<<DiscussChangeGame>>")) {
    // A number that names no game in use ends the message here.
    const int g = GetTagNumber(text, "<<Index=");
    if (!GameInUse(g)) return;
    RoomChangeGame(j, g, text);  // the same text is tested further
  }
  if (has("<<DiscussCallGame>>")) return RoomCallGame(j, text);
  if (has("<<DiscussOffGame>>")) return RoomOffGame(j, text);
  if (has("<<DiscussMese=")) return RoomChat(j, text);
  if (has("<<DiscussEnter>>")) return RoomEnter(j, text);
  if (has("<<DiscussReg>>")) return RoomRegister(j, text);
  if (has("<<DiscussCanEnd>>")) return RoomGiveUp(j, text);
  if (has("<<DiscussChange>>")) return RoomHandOver(j, text);
  if (has("<<DiscussInput>>")) return RoomInput(j, text);
  if (has("<<DiscussClose>>")) return RoomClose(j, text);

  // 14. The shared count of a game's territory.
  if (has_any({"<<RealTimeChange>>", "<<RealTimeCountStart>>", "<<RealTimeCount>>",
               "<<RealTimeCountEnd>>"})) {
    return RelaySharedCount(j, text);
  }
  // 15-16. Challenges. Every reply holds the challenge text, so the reply is tested first; while
  // all allowed game slots are in use a reply falls through to the challenge test and is refused.
  if (has("Re<<GameSet>>") && GameCount < GameLimit) return GameReply(j, text);
  if (has("<<GameSet>>")) {
    if (GameCount >= GameLimit) {
      // The challenge an answer refused this way answers is over all the same.
      if (has("Re<<GameSet>>")) TakePendingChallenge(j, text);
      return SendToSlot(j, "<<GameIsFull>>");
    }
    return GameChallenge(j, text);
  }
  // 17-21. Game chat, moves, watching and the end of a game.
  if (has("<<GameMese=")) return GameChat(j, text);
  if (has("<<Move=")) return GameMove(j, text);
  if (has("<<WatchGame=")) return WatchGame(j, text);
  const bool attached = Players[j].AttachedGame > 0;
  if (attached && has("<<OffWatchGame>>")) return OffWatchGame(j, text);
  if (attached &&
      has_any({"<<EndGameResign>>", "<<GameResign>>", "<<NewGameResign>>", "<<GameTimeOut>>"})) {
    return GameEndRequest(j, text);
  }
  // 22-24. The message board, the mode switch and the clock stop.
  if (has("<<MainMese=")) return BoardPost(j, text);
  if (has("<<ChangeMode>>")) return ChangeMode(j);
  if (has("<<TimeStop=")) return RelayTimeStop(j, text);
  // 25. Anything else is dropped without reply or log line.
}

void ServerCore::Login(ConnectionId connection, std::string_view text) {
  std::string name = GetTagValue(text, kLoginKey);
  if (name.empty()) name = kUnnamed;
  // A name that could be read as a tag or a list mark, or that holds a control byte, is refused
  // like a taken one: the client then asks for another name.
  if (!LoginNameAllowed(name)) return transport_.Send(connection, kSameName);
  for (int k = 1; k <= PlayerCount; ++k) {
    if (Players[k].PlayerName == name) return transport_.Send(connection, kSameName);
  }
  // The table has 50 slots; a login beyond them gets the refusal of a full server.
  if (PlayerCount < 0 || PlayerCount >= kMaxPlayers) return transport_.Send(connection, kIdLimit);
  // A peer whose address has spent its event lines (reconnecting after a flood) cannot even log
  // its arrival: it is closed before it costs a line or a list.
  if (charged_ == connection) {
    Peer& peer = PeerOf(connection);
    Refill(peer.cost);
    if (peer.cost.events.lines <= 0) return CloseOverdrawn(connection);
  }

  const int j = PlayerCount + 1;
  waiting_.erase(connection);
  Participant& p = Players[j];
  p = Participant{};
  p.PlayerSocket = connection;
  p.PlayerName = name;
  SetPlayerCount(j);

  if (HasTag(text, "<<IdFlag=1>>")) {
    p.PlayerMode = 1;
    Memo3.Add(name);
    WaitHintList += "[0]";
  } else {
    p.PlayerMode = 0;
    Memo4.Add(name);
  }
  LogEvent(
      EventLine(name, J("到着 { ") + (p.PlayerMode == 1 ? J("対局/観戦") : J("観戦のみ")) + " }"));

  std::string accepted = "<<SysComeIn>>" + BuildStatus(kStatusAll);
  if (!BoardText.empty()) accepted += "<<MainStr=" + BoardText + ">>";
  SendToSlot(j, accepted);
  // The others hear of it in order of login.
  const std::string status = BuildStatus(kStatusIdCount | kStatusWaitList | kStatusLookList);
  for (int k = 1; k < j; ++k) SendToSlot(k, status);
}

void ServerCore::BoardPost(int j, std::string_view text) {
  const std::string line = LimitTypedLine(GetTagValue(text, "<<MainMese="));
  BoardText += line;
  BoardText += "\r\n";
  KeepNewestLines(BoardText);  // the newest lines, which every new participant gets
  // The post goes on alone, as the board keeps it: nothing sent with it reaches the others.
  SendToAll("<<MainMese=" + line + ">>", j);
}

void ServerCore::ChangeMode(int j) {
  Participant& p = Players[j];
  if (p.PlayerMode != 0) {
    p.PlayerMode = 0;
    const int k = Memo3.IndexOf(p.PlayerName);
    if (k >= 0) {
      Memo3.Delete(k);
      RemoveWaitHint(k + 1);
    }
    Memo4.Add(p.PlayerName);
  } else {
    p.PlayerMode = 1;
    const int k = Memo4.IndexOf(p.PlayerName);
    if (k >= 0) Memo4.Delete(k);
    Memo3.Add(p.PlayerName);
    WaitHintList += WaitHintEntry(p.AttachedGame);
  }
  SendToAll(BuildStatus(kStatusWaitList | kStatusLookList));
}

void ServerCore::ServerSocket1ClientDisconnect(ConnectionId connection) {
  const int j = FindSenderSlot(connection);
  if (j == 0) return;  // never logged in, or the self-test connection
  const Participant& p = Players[j];
  const int g = p.AttachedGame;

  if (p.RoomState == 2) {
    LeaveRoomAsOperator(j);
  } else if (p.RoomState == 1) {
    LeaveRoom(j);
  }
  // A room member normally neither plays nor watches. One who does (a challenge accepted from the
  // room) leaves its game like anyone else below, so that a running game always ends and a
  // finished one is freed with its last watcher.
  if (GameNumberValid(g) && Games[g].GameState > 0) {
    const GameSlot& game = Games[g];
    const std::string& name = Players[j].PlayerName;
    if (game.GameState == 1 && (name == game.BlackName || name == game.WhiteName)) {
      return LosePlayerOfRunningGame(j, g);
    }
    return LoseWatcher(j, g);
  }
  LoseParticipant(j);
}

std::string ServerCore::LostPlayerMessage(int g, std::string_view leaver) const {
  std::string message = "<<OutGameResign>><<Name=";
  message += leaver;
  message += ">><<IdCount=" + std::to_string(PlayerCount);
  message += ">><<PlayList=" + Memo2.Text();
  message += ">><<WaitList=" + Memo3.Text();
  message += ">><<WaitHint=" + WaitHintList;
  message += ">><<LookList=" + Memo4.Text();
  message += ">>";
  message += GameWatchersRecordAndClocks(g);
  return message;
}

std::string ServerCore::WatcherLeftMessage(int g) const {
  const GameSlot& game = Games[g];
  std::string message = "<<OutWatchCount=" + std::to_string(game.WatchCount);
  message += ">><<WatchList=" + game.WatchNames;
  message += ">><<IdCount=" + std::to_string(PlayerCount);
  message += ">><<WaitList=" + Memo3.Text();
  message += ">><<WaitHint=" + WaitHintList;
  message += ">><<LookList=" + Memo4.Text();
  message += ">>";
  return message;
}

void ServerCore::LosePlayerOfRunningGame(int j, int g) {
  const std::string name = Players[j].PlayerName;
  GameSlot& game = Games[g];
  // The game ends; the opponent stays on it as a watcher.
  game.GameState = 2;
  Players[j].AttachedGame = 0;
  game.WatchCount += 1;
  game.WatchNames += (name == game.BlackName ? game.WhiteName : game.BlackName) + "\n";

  const int k = Memo2.IndexOf(GameListHead(g));
  if (k >= 0 && k + 2 < Memo2.Count()) {
    Memo2.Set(k + 1, Memo2.Line(k + 1) + " End");
    Memo2.Set(k + 2, Memo2.Line(k + 2) + " End");
    // The leaver's own line, found by comparing the whole line.
    const int own = Memo2.Line(k + 1) == J("● ") + name + " End" ? k + 1 : k + 2;
    Memo2.Set(own, Memo2.Line(own) + " Out");
  }
  RemovePlayer(j);

  const std::string to_game = LostPlayerMessage(g, name);
  const std::string to_others = BuildStatus(kStatusAll);
  const std::string to_room = to_others + "<<DiscussGameEnd>>";
  SendAroundGame(g, to_game, to_room, to_others);
  // The record gets no result on this path.
  LogEvent(EventLine(name, J("接続切れ  ( 対局") + std::to_string(g) + J(" - 対局終了 )")));
}

void ServerCore::LoseWatcher(int j, int g) {
  const std::string name = Players[j].PlayerName;
  GameSlot& game = Games[g];
  game.WatchCount -= 1;
  RemoveListEntry(game.WatchNames, name);
  RemovePlayer(j);

  if (game.WatchCount > 0 || game.GameState == 1) {
    const std::string to_game = WatcherLeftMessage(g);
    const std::string to_others = BuildStatus(kStatusAll);
    for (int i = PlayerCount; i >= 1; --i) {
      SendToSlot(i, Players[i].AttachedGame == g ? to_game : to_others);
    }
  } else {
    // The last watcher of a finished game: the slot is free again.
    FreeGameSlot(g);
    SendToAll(BuildStatus(kStatusAll));
  }
  LogEvent(EventLine(name, J("接続切れ  ( 対局") + std::to_string(g) + J(" - 観戦終了 )")));
  if (game.WatchCount == 0) {
    LogEvent(J("対局[") + std::to_string(g) + J("] ==> 終了  (") + clock_.TimeText() + ")");
  }
}

void ServerCore::LoseParticipant(int j) {
  LogEvent(EventLine(Players[j].PlayerName, J("接続切れ")));
  RemovePlayer(j);
  SendToAll(BuildStatus(kStatusIdCount | kStatusWaitList | kStatusLookList));
}
