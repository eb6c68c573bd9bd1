// platform/memory_transport.h — an in-memory listening socket for tests: the test connects,
// sends and drops connections by hand and reads what the server sent to each.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sockets.h"

class MemoryServerTransport : public ServerTransport {
 public:
  bool Listen(std::uint16_t port, std::string* error) override;
  std::uint16_t Port() const override { return port_; }
  void Send(ConnectionId id, std::string_view bytes) override;
  void Close(ConnectionId id) override;
  std::string PeerAddress(ConnectionId id) const override;

  // A peer arrives from `address`; its connect event is delivered at once.
  ConnectionId Connect(const std::string& address = "127.0.0.1");
  // The peer sends `bytes` as one read.
  void Receive(ConnectionId id, const std::string& bytes);
  // The peer goes away; its disconnect event is delivered once.
  void Drop(ConnectionId id);

  // Every message sent to the connection so far, in order.
  const std::vector<std::string>& Sent(ConnectionId id) const;
  // The messages sent since the last call, for this connection; the record is emptied.
  std::vector<std::string> Take(ConnectionId id);
  bool ClosedByServer(ConnectionId id) const { return closed_.count(id) > 0; }
  bool Open(ConnectionId id) const { return open_.count(id) > 0; }

 private:
  std::uint16_t port_ = 0;
  ConnectionId next_id_ = 1;
  std::set<ConnectionId> open_;
  std::set<ConnectionId> closed_;
  std::map<ConnectionId, std::vector<std::string>> sent_;
  std::map<ConnectionId, std::string> addresses_;
};
