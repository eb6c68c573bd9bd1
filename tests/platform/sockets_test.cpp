// Tests of the Qt listening and client sockets on loopback.
#include "platform/sockets.h"

#include <gtest/gtest.h>

#include <QTcpSocket>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "tests/qt_wait.h"

namespace {
struct Recorder : ServerTransportListener {
  std::vector<ConnectionId> connected, disconnected;
  std::map<ConnectionId, std::string> received;
  std::function<void(ConnectionId, std::string_view)> on_read;
  void OnClientConnect(ConnectionId id) override { connected.push_back(id); }
  void OnClientRead(ConnectionId id, std::string_view bytes) override {
    received[id] += bytes;
    if (on_read) on_read(id, bytes);
  }
  void OnClientDisconnect(ConnectionId id) override { disconnected.push_back(id); }
};

std::unique_ptr<QTcpSocket> ConnectTo(std::uint16_t port) {
  auto socket = std::make_unique<QTcpSocket>();
  socket->connectToHost("127.0.0.1", port);
  socket->waitForConnected(3000);
  return socket;
}
}  // namespace

TEST(QtServerTransport, IdsAreNeverReusedAndEachEndIsReportedOnce) {
  QtServerTransport transport;
  Recorder events;
  transport.SetListener(&events);
  std::string error;
  ASSERT_TRUE(transport.Listen(0, &error)) << error;
  ASSERT_NE(transport.Port(), 0);

  auto first = ConnectTo(transport.Port());
  ASSERT_TRUE(WaitFor([&] { return events.connected.size() == 1; }));
  // The peer's address, which the server keeps its budgets by.
  EXPECT_NE(transport.PeerAddress(events.connected[0]).find("127.0.0.1"), std::string::npos);
  first->write("hello");
  ASSERT_TRUE(WaitFor([&] { return events.received[events.connected[0]] == "hello"; }));
  first->disconnectFromHost();
  ASSERT_TRUE(WaitFor([&] { return events.disconnected.size() == 1; }));

  auto second = ConnectTo(transport.Port());
  ASSERT_TRUE(WaitFor([&] { return events.connected.size() == 2; }));
  EXPECT_NE(events.connected[0], events.connected[1]);
  EXPECT_EQ(events.disconnected[0], events.connected[0]);

  // Sending to the gone connection is silently nothing.
  transport.Send(events.connected[0], "lost");
  // The server ending a connection reports it once as well.
  transport.Close(events.connected[1]);
  ASSERT_TRUE(WaitFor([&] { return events.disconnected.size() == 2; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(events.disconnected.size(), 2u);
}

TEST(QtServerTransport, WholeTextArrivesAndAHandlerMaySendAndClose) {
  QtServerTransport transport;
  Recorder events;
  transport.SetListener(&events);
  ASSERT_TRUE(transport.Listen(0, nullptr));
  // A handler answers and ends the connection inside its own read event.
  events.on_read = [&](ConnectionId id, std::string_view) {
    transport.Send(id, std::string(300000, 'x') + "END");
    transport.Close(id);
  };
  auto client = ConnectTo(transport.Port());
  client->write("ask");
  QByteArray got;
  ASSERT_TRUE(WaitFor([&] {
    got += client->readAll();
    return got.endsWith("END");
  }));
  EXPECT_EQ(got.size(), 300003);
  ASSERT_TRUE(WaitFor([&] { return events.disconnected.size() == 1; }));
}

// A peer that sends its last message and leaves at once: the message is handed over, then the
// end, each once.
TEST(QtServerTransport, TheLastBytesBeforeTheEndComeFirst) {
  QtServerTransport transport;
  Recorder events;
  transport.SetListener(&events);
  ASSERT_TRUE(transport.Listen(0, nullptr));
  auto client = ConnectTo(transport.Port());
  client->write("<<GameResign>>");
  client->disconnectFromHost();
  ASSERT_TRUE(WaitFor([&] { return events.disconnected.size() == 1; }));
  // Nothing is read after the end is reported: what came must be there by then.
  EXPECT_EQ(events.received[events.disconnected[0]], "<<GameResign>>");
  QCoreApplication::processEvents();
  EXPECT_EQ(events.disconnected.size(), 1u);
}

// Measured before: a read was taken whole, so a peer that sent megabytes at once cost the server
// megabytes per connection. Now each read hands over at most kReadPiece bytes, in order.
TEST(QtServerTransport, ABigSendIsReadInBoundedPiecesInOrder) {
  QtServerTransport transport;
  Recorder events;
  std::size_t largest = 0, reads = 0;
  events.on_read = [&](ConnectionId, std::string_view bytes) {
    largest = std::max(largest, bytes.size());
    ++reads;
  };
  transport.SetListener(&events);
  ASSERT_TRUE(transport.Listen(0, nullptr));
  auto client = ConnectTo(transport.Port());
  ASSERT_TRUE(WaitFor([&] { return events.connected.size() == 1; }));
  std::string sent;
  for (int i = 0; sent.size() < 4 * QtServerTransport::kReadPiece; ++i) {
    sent += "<<" + std::to_string(i) + ">>";
  }
  client->write(sent.data(), static_cast<qint64>(sent.size()));
  ASSERT_TRUE(client->waitForBytesWritten(5000));
  const ConnectionId id = events.connected[0];
  ASSERT_TRUE(WaitFor([&] { return events.received[id].size() >= sent.size(); }, 10000));
  EXPECT_EQ(events.received[id], sent);
  EXPECT_LE(largest, QtServerTransport::kReadPiece);
  EXPECT_GE(reads, 4u);
}

// What the kernel does not take at once waits and leaves as the peer reads, after what went
// before it and before what follows: every byte arrives, in order.
TEST(QtServerTransport, WhatTheKernelDoesNotTakeLeavesLaterInOrder) {
  QtServerTransport transport;
  Recorder events;
  transport.SetListener(&events);
  ASSERT_TRUE(transport.Listen(0, nullptr));
  auto reader = ConnectTo(transport.Port());
  reader->setReadBufferSize(1);  // takes next to nothing until it is let go
  ASSERT_TRUE(WaitFor([&] { return events.connected.size() == 1; }));
  const ConnectionId id = events.connected[0];
  std::string sent;
  const auto send_block = [&](int n) {
    // Blocks of varying length, each naming its number, so a lost or moved piece shows.
    const std::string block = "[" + std::to_string(n) + "]" +
                              std::string(1000 + n % 5000, static_cast<char>('a' + n % 26));
    transport.Send(id, block);
    sent += block;
  };
  int n = 0;
  while (transport.Unsent(id) == 0 && sent.size() < std::size_t{64} << 20) send_block(n++);
  ASSERT_GT(transport.Unsent(id), 0u) << "the kernel took everything";
  for (int more = 0; more < 100; ++more) send_block(n++);
  reader->setReadBufferSize(0);
  std::string got;
  ASSERT_TRUE(WaitFor(
      [&] {
        got += reader->readAll().toStdString();
        return got.size() >= sent.size();
      },
      20000));
  EXPECT_TRUE(got == sent) << got.size() << " bytes of " << sent.size();
  EXPECT_EQ(transport.Unsent(id), 0u);
  EXPECT_TRUE(events.disconnected.empty());
}

// Measured before: a peer that stopped reading had everything queued for it, without limit. Now
// it is closed like a lost connection once more than kMaxUnsent bytes wait for it.
TEST(QtServerTransport, APeerThatStopsReadingIsClosedOnceTooMuchWaits) {
  QtServerTransport transport;
  Recorder events;
  transport.SetListener(&events);
  std::string error;
  ASSERT_TRUE(transport.Listen(0, &error)) << error;
  auto sleeper = ConnectTo(transport.Port());
  sleeper->setReadBufferSize(1);  // reads next to nothing, so the kernel's buffers fill up
  auto reader = ConnectTo(transport.Port());
  ASSERT_TRUE(WaitFor([&] { return events.connected.size() == 2; }));
  const ConnectionId slow = events.connected[0];
  const ConnectionId fast = events.connected[1];
  const std::string block(64 * 1024, 'm');
  std::size_t sent = 0;
  std::string got;
  while (events.disconnected.empty() && sent < 64u * 1024 * 1024) {
    transport.Send(slow, block);
    transport.Send(fast, "x");
    sent += block.size();
    QCoreApplication::processEvents();
    got += reader->readAll().toStdString();
  }
  ASSERT_TRUE(WaitFor([&] { return !events.disconnected.empty(); }));
  EXPECT_EQ(events.disconnected, std::vector<ConnectionId>{slow});
  EXPECT_LT(sent, 32u * 1024 * 1024);  // the kernel's buffers and the bound, no more
  // The reading peer is served on.
  transport.Send(fast, "end");
  ASSERT_TRUE(WaitFor([&] {
    got += reader->readAll().toStdString();
    return got.ends_with("end");
  }));
  EXPECT_EQ(events.disconnected.size(), 1u);
}

TEST(QtClientConnection, ConnectsReadsAndReportsTheEnd) {
  QtServerTransport transport;
  Recorder server_events;
  transport.SetListener(&server_events);
  ASSERT_TRUE(transport.Listen(0, nullptr));

  struct ClientEvents : ClientConnectionListener {
    int connected = 0, disconnected = 0;
    std::string read, error;
    void OnConnected() override { ++connected; }
    void OnRead(const std::string& bytes) override { read += bytes; }
    void OnDisconnected() override { ++disconnected; }
    void OnConnectError(const std::string& message) override { error = message; }
  } events;
  QtClientConnection client;
  client.SetListener(&events);
  EXPECT_FALSE(client.Send("too early"));
  client.Open("127.0.0.1", transport.Port());
  ASSERT_TRUE(
      WaitFor([&] { return events.connected == 1 && server_events.connected.size() == 1; }));
  EXPECT_TRUE(client.Send("<<QuellName=a>>"));
  transport.Send(server_events.connected[0], "<<SysComeIn>>");
  ASSERT_TRUE(WaitFor([&] { return events.read == "<<SysComeIn>>"; }));
  transport.Close(server_events.connected[0]);
  ASSERT_TRUE(WaitFor([&] { return events.disconnected == 1; }));
  EXPECT_FALSE(client.Connected());
  EXPECT_EQ(server_events.received[server_events.connected[0]], "<<QuellName=a>>");
}

TEST(QtClientConnection, RefusedConnectionIsAnErrorNotADisconnect) {
  auto probe = std::make_unique<QtServerTransport>();
  ASSERT_TRUE(probe->Listen(0, nullptr));
  const std::uint16_t port = probe->Port();
  probe.reset();  // the port is free again and nobody listens on it
  struct ClientEvents : ClientConnectionListener {
    int disconnected = 0;
    std::string error;
    void OnConnected() override {}
    void OnRead(const std::string&) override {}
    void OnDisconnected() override { ++disconnected; }
    void OnConnectError(const std::string& message) override { error = message; }
  } events;
  QtClientConnection client;
  client.SetListener(&events);
  client.Open("127.0.0.1", port);
  ASSERT_TRUE(WaitFor([&] { return !events.error.empty(); }));
  EXPECT_EQ(events.disconnected, 0);
}

// A read handler that opens a message box runs a nested event loop; bytes that arrive meanwhile
// must reach the program inside that loop, not wait for more bytes after it.
TEST(QtClientConnection, ReadsGoOnWhileAHandlerRunsANestedLoop) {
  QtServerTransport transport;
  Recorder server_events;
  transport.SetListener(&server_events);
  ASSERT_TRUE(transport.Listen(0, nullptr));

  struct NestedReader : ClientConnectionListener {
    std::vector<std::string> reads;
    bool second_seen_inside = false;
    std::function<void()> while_box_open;
    void OnConnected() override {}
    void OnRead(const std::string& bytes) override {
      reads.push_back(bytes);
      if (reads.size() != 1) return;
      // The "message box": the server sends again while it is open.
      while_box_open();
      second_seen_inside = WaitFor([&] { return reads.size() >= 2; }, 3000);
    }
    void OnDisconnected() override {}
    void OnConnectError(const std::string&) override {}
  } events;
  QtClientConnection client;
  client.SetListener(&events);
  client.Open("127.0.0.1", transport.Port());
  ASSERT_TRUE(WaitFor([&] { return server_events.connected.size() == 1; }));
  const ConnectionId id = server_events.connected[0];
  events.while_box_open = [&] { transport.Send(id, "<<Status>>"); };
  transport.Send(id, "<<SysMese=first>>");
  ASSERT_TRUE(WaitFor([&] { return events.reads.size() >= 2; }));
  EXPECT_TRUE(events.second_seen_inside);
  EXPECT_EQ(events.reads[1], "<<Status>>");
}
