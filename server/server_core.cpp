// server/server_core.cpp — the server's socket events and the helpers every handler uses.
#include "server/server_core.h"

#include <algorithm>

#include "platform/cp932.h"

namespace {
const std::string kNamePrompt = "<<QuellName=";
}  // namespace

std::string ServerCaption(int player_count) {
  return J(" ザンテ - Kordraum   [ 参加者数 = ") + std::to_string(player_count) + " ]";
}

ServerCore::ServerCore(ServerTransport& transport, const Clock& clock)
    : transport_(transport), clock_(clock) {
  transport_.SetListener(this);
}

std::string ServerCore::CaptionText() const { return ServerCaption(PlayerCount < 0 ? 0 : PlayerCount); }

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

void ServerCore::SendToSlot(int j, std::string_view text) {
  if (!SlotInUse(j) || Players[j].PlayerSocket == 0) return;
  transport_.Send(Players[j].PlayerSocket, text);
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

void ServerCore::ServerSocket1ClientConnect(ConnectionId connection) {
  if (PlayerCount == -1) {
    // The server's own test connection proves that the listening socket works.
    LogEvent(J("<<サーバ起動ＯＫ>>"));
    SetPlayerCount(0);
    return;
  }
  transport_.Send(connection, kNamePrompt);
}

void ServerCore::ServerSocket1ClientRead(ConnectionId /*connection*/, const std::string& /*text*/) {
  // Logins and every later message are handled by the lobby's dispatcher, which is not built
  // yet: until then a message is dropped without reply.
}

void ServerCore::ServerSocket1ClientDisconnect(ConnectionId /*connection*/) {
  // No connection holds a participant slot before logins exist, so nothing is left to clean up.
}
