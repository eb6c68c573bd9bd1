// server/server_core.h — the match server without its window: the tables and the handlers of
// every socket event. The window shows the core's lists and relays the transport's events to it.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/sockets.h"
#include "server/server_tables.h"

class ServerCore : public ServerTables, public ServerTransportListener {
 public:
  ServerCore(ServerTransport& transport, const Clock& clock);

  // Socket events.
  void ServerSocket1ClientConnect(ConnectionId connection);
  void ServerSocket1ClientRead(ConnectionId connection, const std::string& text);
  void ServerSocket1ClientDisconnect(ConnectionId connection);

  // The participant slot whose connection is `connection`, searched from PlayerCount down; 0 none.
  int FindSenderSlot(ConnectionId connection) const;
  // Sends `text` as one message to the participant in slot `j`; nothing for a slot not in use.
  void SendToSlot(int j, std::string_view text);
  // "[ " name " ] ==> " event "  (" time ")".
  std::string EventLine(std::string_view name, std::string_view event) const;
  // Adds one line to the event log (Memo1).
  void LogEvent(std::string line) { Memo1.Add(std::move(line)); }

  // The window caption for the present participant count.
  std::string CaptionText() const;

  // Called whenever PlayerCount changes, so the window can set its caption.
  std::function<void()> OnPlayerCountChanged;

  const Clock& clock() const { return clock_; }

 private:
  void OnClientConnect(ConnectionId id) override { ServerSocket1ClientConnect(id); }
  void OnClientRead(ConnectionId id, const std::string& bytes) override {
    ServerSocket1ClientRead(id, bytes);
  }
  void OnClientDisconnect(ConnectionId id) override { ServerSocket1ClientDisconnect(id); }

  void SetPlayerCount(int count);

  ServerTransport& transport_;
  const Clock& clock_;
};

// " ザンテ - Kordraum   [ 参加者数 = " count " ]".
std::string ServerCaption(int player_count);
