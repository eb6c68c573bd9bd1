// server/server_core.cpp — the helpers every handler uses: finding and reaching participants,
// event lines, the lobby lists and the table operations.
#include "server/server_core.h"

#include <algorithm>
#include <iterator>
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

std::string KeepTags(std::string_view text, std::initializer_list<std::string_view> keys) {
  std::string kept;
  kept.reserve(text.size());
  std::vector<std::string_view> taken;
  for (std::size_t at = text.find("<<"); at != std::string_view::npos;) {
    const std::size_t close = text.find(">>", at + 2);
    if (close == std::string_view::npos) break;  // an unclosed tag is no tag
    const std::string_view tag = text.substr(at, close + 2 - at);
    const std::size_t eq = tag.find('=');
    const std::string_view key = eq == std::string_view::npos ? tag : tag.substr(0, eq + 1);
    if (std::find(keys.begin(), keys.end(), key) != keys.end() &&
        std::find(taken.begin(), taken.end(), key) == taken.end()) {
      taken.push_back(key);
      kept += tag;
    }
    at = text.find("<<", close + 2);
  }
  return kept;
}

std::string RelayedChallenge(std::string_view text) {
  constexpr std::string_view kHead = "<<GameSet>>";
  const std::size_t head = text.find(kHead);
  if (head == std::string_view::npos) return {};
  std::string relayed;
  const std::string_view word = text.substr(0, head);
  if (word == "OKRe" || word == "NORe" || word == "NoTimeRe") relayed = word;
  relayed += KeepTags(text.substr(head), {kHead, "<<IsKuro=", "<<KuroGameTime=", "<<SiroGameTime=",
                                          "<<AddTime=", "<<GameWari=", "<<GameKomi=", "<<Player1=",
                                          "<<Player2=", "<<BanSize=", "<<KifuStart="});
  return relayed;
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
  if (charged_ != 0 && Players[j].PlayerSocket != charged_) {
    CountRelayed(j, text.size());
  }
  transport_.Send(Players[j].PlayerSocket, text);
}

void ServerCore::StartCountingRelayed() {
  ++relayed_stamp_;
  relayed_most_ = 0;
}

void ServerCore::CountRelayed(int j, std::size_t bytes) {
  Relayed& entry = relayed_[static_cast<std::size_t>(j)];
  if (entry.stamp != relayed_stamp_) entry = {relayed_stamp_, 0};
  entry.bytes += bytes;
  relayed_most_ = std::max(relayed_most_, entry.bytes);
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
  if (Memo1.Count() <= kKeptEventLines + kKeptEventLines / 4) return;
  // The oldest lines leave memory together, a quarter of the kept ones at a time.
  const int leaving = Memo1.Count() - kKeptEventLines;
  if (OnEventLinesLeaving) {
    std::string text;
    for (int i = 0; i < leaving; ++i) text.append(Memo1.Line(i)).append("\r\n");
    OnEventLinesLeaving(text);
  }
  Memo1.DeleteFirst(leaving);
}

// ---------------------------------------------------------------------------------------------
// What each peer costs: event lines and relay bytes

ServerCore::Peer& ServerCore::PeerOf(ConnectionId id) {
  auto [it, added] = peers_.try_emplace(id);
  if (added) {
    it->second.cost.events.counted_at = clock_.EpochSeconds();
    it->second.cost.relay.counted_at = clock_.SteadyMilliseconds();
  }
  return it->second;
}

bool ServerCore::Refill(PeerCost& cost) const {
  // A clock set back refills nothing; one set forward refills at most the burst.
  EventBudget& events = cost.events;
  const long long now = clock_.EpochSeconds();
  if (now > events.counted_at) {
    const long long seconds = now - events.counted_at;
    events.lines = seconds >= kEventBurst
                       ? kEventBurst
                       : std::min(kEventBurst, events.lines + seconds * kEventLinesPerSecond);
  }
  events.counted_at = now;
  RelayBudget& relay = cost.relay;
  const long long now_ms = clock_.SteadyMilliseconds();
  if (now_ms > relay.counted_at) {
    const long long ms = std::min(now_ms - relay.counted_at, 1000 * kRelayBurstBytes);
    relay.bytes = std::min(kRelayBurstBytes, relay.bytes + ms * kRelayBytesPerSecond / 1000);
  }
  relay.counted_at = now_ms;
  return events.lines == kEventBurst && relay.bytes == kRelayBurstBytes;
}

ServerCore::PeerCost ServerCore::TakeParkedCost(const std::string& address) {
  PeerCost fresh;
  Refill(fresh);
  if (address.empty()) return fresh;
  // Of several, the one with the least left: reconnecting never makes a peer richer.
  const auto [first, last] = parked_.equal_range(address);
  auto taken = last;
  for (auto it = first; it != last; ++it) {
    Refill(it->second.cost);
    const PeerCost& c = it->second.cost;
    if (taken == last || c.events.lines < taken->second.cost.events.lines ||
        (c.events.lines == taken->second.cost.events.lines &&
         c.relay.bytes < taken->second.cost.relay.bytes)) {
      taken = it;
    }
  }
  if (taken == last) return fresh;
  const PeerCost cost = taken->second.cost;
  parked_.erase(taken);
  return cost;
}

void ServerCore::ParkCost(const std::string& address, const PeerCost& cost) {
  PeerCost left = cost;
  if (address.empty() || Refill(left)) return;  // a full budget is a fresh one
  if (parked_.size() >= kMaxParkedCosts) PruneParkedCosts();
  parked_.emplace(address, ParkedCost{left, clock_.EpochSeconds()});
}

void ServerCore::PruneParkedCosts() {
  for (auto it = parked_.begin(); it != parked_.end();) {
    it = Refill(it->second.cost) ? parked_.erase(it) : std::next(it);
  }
  // Still too many (peers from thousands of addresses): the oldest half goes.
  if (parked_.size() < kMaxParkedCosts) return;
  std::vector<long long> times;
  for (const auto& entry : parked_) times.push_back(entry.second.parked_at);
  auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
  std::nth_element(times.begin(), middle, times.end());
  std::erase_if(parked_, [&](const auto& entry) { return entry.second.parked_at <= *middle; });
}

bool ServerCore::ChargeEventLine(ConnectionId connection) {
  Peer& peer = PeerOf(connection);
  Refill(peer.cost);
  long long& lines = peer.cost.events.lines;
  if (peer.leaving) {
    if (lines <= -kLeaveDebtLines) return false;
    --lines;
    return true;
  }
  if (peer.closing) return false;
  if (lines > 0) {
    --lines;
    return true;
  }
  CloseOverdrawn(connection);
  return false;
}

void ServerCore::CloseOverdrawn(ConnectionId id) {
  Peer& peer = PeerOf(id);
  if (peer.closing) return;
  peer.closing = true;
  peer.held.clear();
  peer.held_bytes = 0;
  transport_.Close(id);
}

bool ServerCore::EventBudgetSpent(ConnectionId connection) const {
  const auto it = peers_.find(connection);
  return it != peers_.end() && it->second.closing;
}

std::size_t ServerCore::HeldBytes(ConnectionId connection) const {
  const auto it = peers_.find(connection);
  return it == peers_.end() ? 0 : it->second.held_bytes;
}

void ServerCore::OnClientConnect(ConnectionId id) {
  Peer& peer = PeerOf(id);
  peer.address = transport_.PeerAddress(id);
  peer.cost = TakeParkedCost(peer.address);
  ServerSocket1ClientConnect(id);
}

void ServerCore::OnClientRead(ConnectionId id, std::string_view bytes) {
  if (EventBudgetSpent(id)) return;
  auto framer = framers_.try_emplace(id, MessageFramer::Side::Server).first;
  // The list is reused for its capacity.
  std::vector<std::string> messages;
  messages.swap(read_);
  messages.clear();
  framer->second.Feed(bytes, messages);
  HoldWhileGrowing(id, framer->second);
  HandleMessages(id, messages);
  read_.swap(messages);
}

void ServerCore::HandleMessages(ConnectionId id, std::vector<std::string>& messages) {
  std::size_t i = 0;
  // Messages are handled while nothing waits and the relay budget lasts; the rest wait in order.
  for (Peer* peer = &PeerOf(id); i < messages.size() && peer->held.empty(); ++i) {
    Refill(peer->cost);
    if (peer->cost.relay.bytes <= 0) break;
    HandleMessage(id, std::move(messages[i]));
    if (peer->closing) return;
  }
  if (i == messages.size()) return;
  Peer& peer = PeerOf(id);
  for (; i < messages.size(); ++i) {
    peer.held_bytes += messages[i].size();
    peer.held.push_back(std::move(messages[i]));
  }
  if (peer.held_bytes > kMaxHeldBytes) return CloseOverdrawn(id);
  AskForRelease();
}

void ServerCore::HandleMessage(ConnectionId id, std::string message) {
  const ConnectionId before = charged_;
  charged_ = id;
  StartCountingRelayed();
  ServerSocket1ClientRead(id, std::move(message));
  PeerOf(id).cost.relay.bytes -= static_cast<long long>(relayed_most_);
  charged_ = before;
}

void ServerCore::ReleaseHeldMessages() {
  for (auto& [id, peer] : peers_) {
    while (!peer.held.empty() && !peer.closing) {
      Refill(peer.cost);
      if (peer.cost.relay.bytes <= 0) break;
      std::string message = std::move(peer.held.front());
      peer.held.pop_front();
      peer.held_bytes -= message.size();
      HandleMessage(id, std::move(message));
    }
  }
  AskForRelease();
}

void ServerCore::AskForRelease() {
  if (!OnMessagesHeld) return;
  long long soonest = -1;
  for (auto& [id, peer] : peers_) {
    if (peer.held.empty() || peer.closing) continue;
    Refill(peer.cost);
    // Until the budget holds a byte again.
    const long long missing = 1 - peer.cost.relay.bytes;
    const long long ms =
        std::max(1LL, (missing * 1000 + kRelayBytesPerSecond - 1) / kRelayBytesPerSecond);
    if (soonest < 0 || ms < soonest) soonest = ms;
  }
  if (soonest >= 0) OnMessagesHeld(soonest);
}

void ServerCore::HoldWhileGrowing(ConnectionId id, const MessageFramer& framer) {
  if (!framer.MayGrow()) {
    hold_until_.erase(id);
    return;
  }
  hold_until_[id] = clock_.SteadyMilliseconds() + MessageFramer::kHoldMilliseconds;
  if (OnHoldArmed) OnHoldArmed(MessageFramer::kHoldMilliseconds);
}

void ServerCore::HandOverHeldMessages() {
  const long long now = clock_.SteadyMilliseconds();
  std::vector<ConnectionId> due;
  long long next = -1;  // milliseconds until the next one is due
  for (const auto& [id, until] : hold_until_) {
    if (until <= now) {
      due.push_back(id);
    } else if (next < 0 || until - now < next) {
      next = until - now;
    }
  }
  for (ConnectionId id : due) {
    hold_until_.erase(id);
    const auto framer = framers_.find(id);
    if (framer == framers_.end() || EventBudgetSpent(id)) continue;
    std::vector<std::string> messages = framer->second.Flush();
    HandleMessages(id, messages);
  }
  if (next >= 0 && OnHoldArmed) OnHoldArmed(next);
}

void ServerCore::OnClientDisconnect(ConnectionId id) {
  // What the connection sent last is handled before its end, also a message held for its tail.
  if (const auto framer = framers_.find(id); framer != framers_.end() && !EventBudgetSpent(id)) {
    std::vector<std::string> messages = framer->second.Flush();
    HandleMessages(id, messages);
  }
  framers_.erase(id);
  hold_until_.erase(id);
  waiting_.erase(id);
  // What the peer sent and that still waits goes with it; the lines and lists of its leave are
  // its own cost, and then what it has left of its budgets stays with its address.
  Peer& peer = PeerOf(id);
  peer.held.clear();
  peer.held_bytes = 0;
  peer.leaving = true;
  const ConnectionId before = charged_;
  charged_ = id;
  StartCountingRelayed();
  ServerSocket1ClientDisconnect(id);
  peer.cost.relay.bytes -= static_cast<long long>(relayed_most_);
  charged_ = before;
  ParkCost(peer.address, peer.cost);
  peers_.erase(id);
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
