// server/server_core.cpp — the helpers every handler uses: finding and reaching participants,
// event lines, the lobby lists and the table operations.
#include "server/server_core.h"

#include <algorithm>

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
  if (text.size() <= kMaxKeptTextBytes) return;
  const std::size_t excess = text.size() - kMaxKeptTextBytes;
  // The first line start at or after the excess; a CR LF never splits a cp932 character.
  std::size_t end = text.find("\r\n", excess >= 2 ? excess - 2 : 0);
  text.erase(0, end == std::string::npos ? text.size() : end + 2);
}

void KeepNewestDiagrams(std::string& store) {
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
