// platform/fake_client_connection.h — test double of the client socket: records what was opened
// and sent, and lets a test play the server's side (accept, deliver reads, drop, refuse).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/sockets.h"

class FakeClientConnection : public ClientConnection {
 public:
  struct Attempt {
    std::string host;
    std::uint16_t port;
  };

  void Open(const std::string& host, std::uint16_t port) override;
  void Close() override;
  bool Send(std::string_view bytes) override;
  bool Connected() const override { return connected_; }

  // The server's side. Each reports the matching event to the listener, as the real socket does.
  void Accept();                           // the pending attempt succeeds
  void Refuse(const std::string& reason);  // the pending attempt fails
  void Deliver(const std::string& bytes);  // one read event with these bytes
  void Drop();                             // the server ends an established connection
  // The connection ends and its end is still on the way, as the real socket reports it from the
  // event loop: Connected() is false, and the next Drop() reports the end.
  void Lose();
  // Runs after every Deliver: a test whose server falls quiet after each read lets the reader's
  // wait for a message's tail run out there.
  std::function<void()> AfterEachRead;

  bool Connecting() const { return connecting_; }
  const std::vector<Attempt>& attempts() const { return attempts_; }
  // Every send since the last Take(), in order.
  const std::vector<std::string>& sent() const { return sent_; }
  // Returns the sends so far and forgets them.
  std::vector<std::string> Take();

 private:
  bool connected_ = false;
  bool connecting_ = false;
  bool loss_unreported_ = false;
  std::vector<Attempt> attempts_;
  std::vector<std::string> sent_;
};
