// server/server_core.cpp — the helpers every handler uses: finding and reaching participants,
// event lines, the lobby lists and the table operations.
#include "server/server_core.h"

#include <algorithm>
#include <set>

#include "platform/cp932.h"

std::string ServerCaption(int player_count) {
  return J(" ザンテ - Kordraum   [ 参加者数 = ") + std::to_string(player_count) + " ]";
}

bool LoginNameAllowed(std::string_view name) {
  if (name.size() > kMaxNameBytes) return false;
  bool allowed = true;
  ForEachCp932Char(name, [&](std::size_t pos, std::size_t length) {
    if (length != 1) return;
    const auto c = static_cast<unsigned char>(name[pos]);
    if (c < 0x20 || c == '<' || c == '>' || c == '[' || c == ']') allowed = false;
  });
  return allowed;
}

std::string LimitTypedLine(std::string_view line) {
  if (line.size() <= kMaxTypedLineBytes) return std::string(line);
  const std::string_view end = line.ends_with("\r\n") ? "\r\n" : "";
  const std::size_t room = kMaxTypedLineBytes - end.size();
  std::size_t cut = 0;
  ForEachCp932Char(line, [&](std::size_t pos, std::size_t length) {
    if (pos + length <= room) cut = pos + length;
  });
  return std::string(line.substr(0, cut)) + std::string(end);
}

void KeepNewestLines(std::string& text) {
  if (text.size() <= kMaxKeptTextBytes + kKeptTextSlackBytes) return;
  const std::size_t excess = text.size() - kMaxKeptTextBytes;
  // The first line start at or after the excess; a CR LF never splits a cp932 character.
  std::size_t end = text.find("\r\n", excess >= 2 ? excess - 2 : 0);
  text.erase(0, end == std::string::npos ? text.size() : end + 2);
}

void KeepNewestDiagrams(std::string& store) {
  if (store.size() <= kMaxKeptTextBytes + kKeptTextSlackBytes) return;
  constexpr std::string_view kEntryEnd = ">>{";
  std::size_t from = 0;
  while (store.size() - from > kMaxKeptTextBytes) {
    const std::size_t next = store.find(kEntryEnd, from);
    if (next == std::string::npos) break;
    from = next + 2;
  }
  store.erase(0, from);
}

bool RemoveListEntry(std::string& entries, std::string_view name) {
  std::size_t start = 0;
  while (start < entries.size()) {
    const std::size_t end = entries.find('\n', start);
    if (end == std::string::npos) return false;  // an unterminated tail is no entry
    if (std::string_view(entries).substr(start, end - start) == name) {
      entries.erase(start, end - start + 1);
      return true;
    }
    start = end + 1;
  }
  return false;
}

ServerCore::ServerCore(ServerTransport& transport, const Clock& clock)
    : transport_(transport), clock_(clock) {
  transport_.SetListener(this);
}

std::string ServerCore::CaptionText() const {
  return ServerCaption(PlayerCount < 0 ? 0 : PlayerCount);
}

void ServerCore::SetPlayerCount(int count) {
  PlayerCount = count;
  if (OnPlayerCountChanged) OnPlayerCountChanged();
}

int ServerCore::FindSenderSlot(ConnectionId connection) const {
  if (connection == 0) return 0;
  for (int j = std::min(PlayerCount, kMaxPlayers); j >= 1; --j) {
    if (Players[j].PlayerSocket == connection) return j;
  }
  return 0;
}

int ServerCore::FindNameSlot(std::string_view name) const {
  for (int j = std::min(PlayerCount, kMaxPlayers); j >= 1; --j) {
    if (Players[j].PlayerName == name) return j;
  }
  return 0;
}

void ServerCore::SendToSlot(int j, std::string_view text) {
  if (!SlotInUse(j) || Players[j].PlayerSocket == 0) return;
  transport_.Send(Players[j].PlayerSocket, text);
}

void ServerCore::SendToAll(std::string_view text, int except) {
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    if (k != except) SendToSlot(k, text);
  }
}

void ServerCore::SendAroundGame(int g, std::string_view to_game, std::string_view to_room,
                                std::string_view to_others) {
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    const Participant& p = Players[k];
    const std::string_view text = p.AttachedGame == g                  ? to_game
                                  : (RoomGame == g && p.RoomState > 0) ? to_room
                                                                       : to_others;
    if (!text.empty()) SendToSlot(k, text);
  }
}

std::string ServerCore::EventLine(std::string_view name, std::string_view event) const {
  std::string line = "[ ";
  line += name;
  line += " ] ==> ";
  line += event;
  line += "  (";
  line += clock_.TimeText();
  line += ")";
  return line;
}

void ServerCore::LogEvent(std::string line) {
  if (charged_ != 0 && !ChargeEventLine(charged_)) return;
  Memo1.Add(std::move(line));
}

bool ServerCore::ChargeEventLine(ConnectionId connection) {
  const long long now = clock_.EpochSeconds();
  auto [it, added] = event_budgets_.try_emplace(connection);
  EventBudget& budget = it->second;
  if (added) budget.counted_at = now;
  if (budget.spent) return false;
  // A clock set back refills nothing; one set forward refills at most the burst.
  if (now > budget.counted_at) {
    const long long seconds = now - budget.counted_at;
    budget.lines = seconds >= kEventBurst
                       ? kEventBurst
                       : std::min(kEventBurst, budget.lines + seconds * kEventLinesPerSecond);
  }
  budget.counted_at = now;
  if (budget.lines > 0) {
    --budget.lines;
    return true;
  }
  budget.spent = true;
  transport_.Close(connection);
  return false;
}

bool ServerCore::EventBudgetSpent(ConnectionId connection) const {
  const auto it = event_budgets_.find(connection);
  return it != event_budgets_.end() && it->second.spent;
}

void ServerCore::OnClientRead(ConnectionId id, std::string_view bytes) {
  if (EventBudgetSpent(id)) return;
  auto framer = framers_.try_emplace(id, MessageFramer::Side::Server).first;
  // The list is reused for its capacity.
  std::vector<std::string> messages;
  messages.swap(read_);
  messages.clear();
  framer->second.Feed(bytes, messages);
  const ConnectionId before = charged_;
  charged_ = id;
  for (std::string& message : messages) {
    ServerSocket1ClientRead(id, std::move(message));
    if (EventBudgetSpent(id)) break;
  }
  charged_ = before;
  read_.swap(messages);
}

void ServerCore::OnClientDisconnect(ConnectionId id) {
  framers_.erase(id);
  waiting_.erase(id);
  // The leave lines are charged to nobody.
  const ConnectionId before = charged_;
  charged_ = 0;
  ServerSocket1ClientDisconnect(id);
  charged_ = before;
  event_budgets_.erase(id);
}

std::string ServerCore::BuildStatus(unsigned parts) const {
  std::string status = "<<Status>>";
  if (parts & kStatusIdCount) {
    status += "<<IdCount=";
    status += std::to_string(PlayerCount);
    status += ">>";
  }
  if (parts & kStatusPlayList) {
    status += "<<PlayList=";
    status += Memo2.Text();
    status += ">>";
  }
  if (parts & kStatusWaitList) {
    status += "<<WaitList=";
    status += Memo3.Text();
    status += ">><<WaitHint=";
    status += WaitHintList;
    status += ">>";
  }
  if (parts & kStatusLookList) {
    status += "<<LookList=";
    status += Memo4.Text();
    status += ">>";
  }
  return status;
}

bool ServerCore::IsPlayingName(std::string_view name) const {
  for (int g = 1; g <= kMaxGames; ++g) {
    const GameSlot& game = Games[g];
    if (game.GameState == 1 && (game.BlackName == name || game.WhiteName == name)) return true;
  }
  return false;
}

namespace {
// Byte position of the n-th "[" of a hint list (the last one when there are fewer); npos when the
// list holds none.
std::size_t NthHintEntry(const std::string& hints, int n) {
  std::size_t found = std::string::npos;
  std::size_t from = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t at = hints.find('[', from);
    if (at == std::string::npos) break;
    found = at;
    from = at + 1;
  }
  return found;
}
}  // namespace

void ServerCore::RemoveWaitHint(int n) {
  if (WaitHintList.empty()) return;
  const std::size_t open = NthHintEntry(WaitHintList, n);
  if (open == std::string::npos) return;
  const std::size_t close = WaitHintList.find(']', open);
  if (close == std::string::npos) return;
  WaitHintList.erase(open, close - open + 1);
}

void ServerCore::SetWaitHint(std::string_view name, int g) {
  if (WaitHintList.empty()) return;
  const int k = Memo3.IndexOf(name);
  if (k < 0) return;
  const std::size_t open = NthHintEntry(WaitHintList, k + 1);
  if (open == std::string::npos) return;
  const std::size_t close = WaitHintList.find(']', open);
  if (close == std::string::npos) return;
  WaitHintList.replace(open, close - open + 1, WaitHintEntry(g));
}

void ServerCore::RemovePlayer(int j) {
  if (!SlotInUse(j)) return;
  // Challenges by or to the leaver are over.
  const std::string& name = Players[j].PlayerName;
  std::erase_if(PendingChallenges, [&](const auto& entry) {
    return entry.first == name || entry.second.Asked == name;
  });
  for (int k = j; k < PlayerCount; ++k) Players[k] = Players[k + 1];
  // The vacated last slot starts over, so that the next login finds no game and no room there.
  Players[PlayerCount] = Participant{};
  SetPlayerCount(PlayerCount - 1);

  Memo3.Clear();
  Memo4.Clear();
  WaitHintList.clear();
  for (int i = 1; i <= PlayerCount; ++i) {
    const Participant& p = Players[i];
    if (p.PlayerMode == 0) {
      Memo4.Add(p.PlayerName);
    } else if (!IsPlayingName(p.PlayerName)) {
      Memo3.Add(p.PlayerName);
      WaitHintList += WaitHintEntry(p.AttachedGame);
    }
  }
}

std::string ServerCore::WaitHintEntry(int g) {
  std::string entry = "[";
  entry += std::to_string(g);
  entry += ']';
  return entry;
}

std::string ServerCore::GameListHead(int g) {
  std::string head = "[ ";
  head += std::to_string(g);
  head += " ]";
  return head;
}

void ServerCore::FreeGameSlot(int g) {
  if (!GameNumberValid(g) || Games[g].GameState == 0) return;
  GameCount -= 1;
  Games[g].GameState = 0;
  const int k = Memo2.IndexOf(GameListHead(g));
  if (k >= 0) {
    for (int i = 0; i < 3; ++i) Memo2.Delete(k);
  }
}

std::string ServerCore::CheckConsistency() const {
  if (PlayerCount < -1 || PlayerCount > kMaxPlayers) return "PlayerCount out of range";
  std::set<std::string> names, free_to_play, watch_only;
  std::set<ConnectionId> sockets;
  int holders = 0;
  std::set<std::string> in_room;
  for (int j = 1; j <= PlayerCount; ++j) {
    const Participant& p = Players[j];
    const std::string at = " at slot " + std::to_string(j);
    if (!names.insert(p.PlayerName).second) return "name twice" + at;
    if (p.PlayerSocket == 0 || !sockets.insert(p.PlayerSocket).second) return "connection" + at;
    if (!LoginNameAllowed(p.PlayerName)) return "name not allowed" + at;
    if (p.PlayerMode != 0 && p.PlayerMode != 1) return "mode" + at;
    (p.PlayerMode == 0 ? watch_only : free_to_play).insert(p.PlayerName);
    if (p.AttachedGame < 0 || p.AttachedGame > kMaxGames) return "attached game" + at;
    if (p.AttachedGame > 0 && Games[p.AttachedGame].GameState == 0) return "free game" + at;
    if (p.RoomState < 0 || p.RoomState > 2) return "room state" + at;
    if (p.RoomState > 0) in_room.insert(p.PlayerName);
    if (p.RoomState == 2) ++holders;
  }
  // The room: counts match the lists, every registrant is a member, the first one holds the
  // input right and nobody else does.
  const std::vector<std::string> members = RoomListNames(RoomMembers);
  const std::vector<std::string> queue = RoomListNames(RegList);
  if (RoomCount != static_cast<int>(members.size())) return "RoomCount";
  if (RegisteredCount != static_cast<int>(queue.size())) return "RegisteredCount";
  if (std::set<std::string>(members.begin(), members.end()) != in_room) return "room members";
  if (members.size() != in_room.size()) return "room member twice";
  for (const std::string& name : queue) {
    if (!in_room.count(name)) return "registrant outside the room";
  }
  if (std::set<std::string>(queue.begin(), queue.end()).size() != queue.size()) {
    return "registrant twice";
  }
  if (queue.empty() ? holders != 0 || !InputHolder.empty()
                    : holders != 1 || InputHolder != queue.front() ||
                          Players[FindNameSlot(queue.front())].RoomState != 2) {
    return "input holder";
  }
  if (RoomGame < 0 || RoomGame > kMaxGames) return "RoomGame";
  // Games: the count, three lines each in the game list, the stores within their bounds.
  int in_use = 0;
  for (int g = 1; g <= kMaxGames; ++g) {
    const GameSlot& game = Games[g];
    const std::string at = " of game " + std::to_string(g);
    if (game.GameState < 0 || game.GameState > 2) return "state" + at;
    if (game.GameState == 0) {
      if (Memo2.IndexOf(GameListHead(g)) >= 0) return "free game listed" + at;
      continue;
    }
    ++in_use;
    const int k = Memo2.IndexOf(GameListHead(g));
    if (k < 0 || k + 2 >= Memo2.Count()) return "game list" + at;
    if (game.WatchCount < 0) return "watch count" + at;
    if (game.PassCount < 0 || game.PassCount > 2) return "pass count" + at;
    if (game.UndoState < 0 || game.UndoState > 2) return "undo state" + at;
    if (game.GameChatLog.size() > kMaxKeptTextBytes + kKeptTextSlackBytes) return "chat log" + at;
    if (game.GameRecord.size() > game.RecordHeaderLength + kMaxRecordBytes) return "record" + at;
  }
  if (GameCount != in_use) return "GameCount";
  if (Memo2.Count() != 3 * in_use) return "game list length";
  // The lobby lists: the waiting list has one hint each and only names that may play; the
  // watch-only list holds exactly those who watch only.
  int hints = 0;
  for (char c : WaitHintList) hints += c == '[';
  if (hints != Memo3.Count()) return "wait hints";
  std::set<std::string> waiting;
  for (const std::string& name : Memo3.Lines()) {
    if (!free_to_play.count(name) || !waiting.insert(name).second) return "waiting list: " + name;
  }
  const std::vector<std::string>& looking = Memo4.Lines();
  if (std::set<std::string>(looking.begin(), looking.end()) != watch_only ||
      looking.size() != watch_only.size()) {
    return "watch-only list";
  }
  // Pending challenges: both sides are logged in.
  for (const auto& [challenger, pending] : PendingChallenges) {
    if (!names.count(challenger) || !names.count(pending.Asked)) return "pending challenge";
  }
  if (BoardText.size() > kMaxKeptTextBytes + kKeptTextSlackBytes) return "message board";
  if (RoomChatLog.size() > kMaxKeptTextBytes + kKeptTextSlackBytes) return "room chat";
  return {};
}
