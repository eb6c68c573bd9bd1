// tests/server/server_fixture.h — a server core on the in-memory transport with a fixed clock,
// and the few client messages the watching and room tests drive it with.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/memory_transport.h"
#include "server/server_core.h"

using Messages = std::vector<std::string>;

// Memo text: every line followed by CR LF.
inline std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// What every log line of the fixed clock ends with.
inline const std::string kTime = "  (9:05:07)";

// A server and its participants' connections; a test may hold several.
struct ServerHarness {
  MemoryServerTransport transport;
  FixedClock clock{"2026/12/09", "9:05:07"};
  ServerCore core{transport, clock};
  ConnectionId self_test = transport.Connect();
  std::vector<ConnectionId> all;

  // Logs `name` in as a player (IdFlag 1) or watch-only participant.
  ConnectionId Join(const std::string& name, bool plays = true) {
    const ConnectionId c = transport.Connect();
    all.push_back(c);
    transport.Receive(c, "<<QuellName=" + name + ">><<IdFlag=" + (plays ? "1" : "0") + ">>");
    return c;
  }
  // Forgets what was sent so far to every connection.
  void Forget() {
    for (ConnectionId c : all) transport.Take(c);
  }
  // `c` sends `text` as one read, then nothing for a while: a message that waited for a tail
  // that may still come is handed over. Time passes only while the server holds one.
  void Send(ConnectionId c, const std::string& text) {
    transport.Receive(c, text);
    if (core.HoldsGrowingMessages()) Quiet();
  }
  // The clients send nothing for as long as the server holds a message for its tail.
  void Quiet() {
    clock.AdvanceMilliseconds(MessageFramer::kHoldMilliseconds);
    core.HandOverHeldMessages();
  }
  int SlotOf(ConnectionId c) const { return core.FindSenderSlot(c); }
  const Participant& Player(ConnectionId c) const { return core.Players[SlotOf(c)]; }
  std::string LastLog() const { return core.Memo1.Lines().back(); }
  // The last `n` log lines, oldest first.
  std::vector<std::string> LastLogs(int n) const {
    const auto& lines = core.Memo1.Lines();
    return {lines.end() - n, lines.end()};
  }

  // `from` challenges `to` to an even 19-line game with black; `to` accepts. Returns the slot.
  // What `to` was sent before its answer (the relayed challenge among it) is read.
  int StartGame(ConnectionId from, ConnectionId to) {
    const std::string challenge = "<<GameSet>><<IsKuro=" + J("黒番") + ">><<KuroGameTime=15" +
                                  J(" 分") + ">><<SiroGameTime=" + J("任意") +
                                  ">><<AddTime=" + J("なし") + ">><<GameWari=" + J("互先") +
                                  ">><<GameKomi=5.5>><<Player1=" + Player(from).PlayerName +
                                  ">><<Player2=" + Player(to).PlayerName + ">><<BanSize=19>>";
    Send(from, challenge);
    transport.Take(to);
    Send(to, "OKRe" + challenge);
    return Player(to).AttachedGame;
  }
  static std::string Move(int g, int point, const char* colour, int time) {
    return "<<GameIndex=" + std::to_string(g) + ">><<Move=" + std::to_string(point) +
           ">><<Color=" + colour + ">><<Time=" + std::to_string(time) + ">>";
  }
  static std::string Resign(int g) {
    return "<<GameResign>><<Suu=2>><<GameIndex=" + std::to_string(g) + ">>";
  }
  static std::string Watch(int g) { return "<<WatchGame=" + std::to_string(g) + ">>"; }
  static std::string StopWatching(int g) {
    return "<<OffWatchGame>><<GameIndex=" + std::to_string(g) + ">>";
  }
};

struct ServerFixture : testing::Test, ServerHarness {};
