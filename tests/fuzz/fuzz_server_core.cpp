// Fuzzer of the server core: peers connect, send any bytes in any reads and go away (a script of
// operations, server_script.h) through the in-memory transport. After every operation the tables
// keep all their rules, and what the server sent each peer is cut by a client's framer into the
// messages it sent, within the client's bound.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/memory_transport.h"
#include "protocol/message_framer.h"
#include "server/server_core.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/server_script.h"

namespace {
void CheckOutput(const MemoryServerTransport& transport, ConnectionId c) {
  const std::vector<std::string>& sent = transport.Sent(c);
  std::string stream;
  for (const std::string& m : sent) {
    Require(m.size() <= MessageFramer::kMaxClientRead, "a message beyond the client's bound");
    stream += m;
  }
  MessageFramer client(MessageFramer::Side::Client);
  std::vector<std::string> read = client.Feed(stream);
  client.Flush(read);
  // Every message but the last comes out as sent; the last may wait for what follows it.
  if (read.size() + 1 < sent.size() || read.size() > sent.size()) {
    std::string all = "\nsent:";
    for (const std::string& m : sent) all += "\n  " + m;
    all += "\nread:";
    for (const std::string& m : read) all += "\n  " + m;
    Broken("messages cut apart:" + all);
  }
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (read[i] == sent[i]) continue;
    // After the pause the last one may come out without text after its last tag that may begin
    // the next message (an answer word); that text waits.
    const bool last = i + 1 == sent.size();
    if (last && sent[i].starts_with(read[i]) &&
        client.HeldBytes() == sent[i].size() - read[i].size()) {
      continue;
    }
    Broken("sent " + sent[i] + " read " + read[i]);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryServerTransport transport;
  FixedClock clock;
  ServerCore core(transport, clock);
  transport.Connect();  // the server's own test connection
  std::vector<ConnectionId> peers;
  const auto peer = [&](std::uint8_t k) { return peers[k % peers.size()]; };

  for (std::size_t at = 0; at < size;) {
    const char op = static_cast<char>(data[at++]);
    if (op == server_script::kConnect) {
      if (peers.size() < 64) peers.push_back(transport.Connect());
    } else if (op == server_script::kDrop && at < size && !peers.empty()) {
      transport.Drop(peer(data[at++]));
    } else if (op == server_script::kSend && at + 3 <= size && !peers.empty()) {
      const ConnectionId c = peer(data[at]);
      std::size_t n = data[at + 1] * 256u + data[at + 2];
      at += 3;
      n = std::min(n, size - at);
      transport.Receive(c, std::string(reinterpret_cast<const char*>(data) + at, n));
      at += n;
    } else if (op == server_script::kTime && at < size) {
      clock.SetEpochSeconds(clock.EpochSeconds() + 10 * data[at++]);
      core.CloseIdleConnections();
      core.ReleaseHeldMessages();
      core.HandOverHeldMessages();
    } else if (op == server_script::kQuiet) {
      clock.AdvanceMilliseconds(MessageFramer::kHoldMilliseconds);
      core.HandOverHeldMessages();
    } else {
      continue;
    }
    const std::string wrong = core.CheckConsistency();
    if (!wrong.empty()) Broken(wrong);
    Require(core.WaitingConnections() <= ServerCore::kMaxWaitingConnections, "waiting peers");
    for (ConnectionId c : peers) {
      Require(core.HeldBytes(c) <= ServerCore::kMaxHeldBytes, "messages held beyond the bound");
    }
  }
  for (ConnectionId c : peers) CheckOutput(transport, c);
  return 0;
}
