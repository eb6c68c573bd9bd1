// platform/sockets.h — the TCP connections of both programs: a listening socket that hands out
// connection ids, and a client socket. Every event arrives on the event loop, one at a time.
#pragma once
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Identifies one accepted connection for the life of the process; ids are never reused.
using ConnectionId = std::uint64_t;

class ServerTransportListener {
 public:
  virtual ~ServerTransportListener() = default;
  virtual void OnClientConnect(ConnectionId id) = 0;
  // The bytes of one read, in order; a message may arrive in several reads and one read may hold
  // several messages. The bytes are valid during the call only.
  virtual void OnClientRead(ConnectionId id, std::string_view bytes) = 0;
  // Reported once per connection, whether the peer or this side ended it.
  virtual void OnClientDisconnect(ConnectionId id) = 0;
};

class ServerTransport {
 public:
  virtual ~ServerTransport() = default;
  void SetListener(ServerTransportListener* listener) { listener_ = listener; }
  // Starts listening on all IPv4 interfaces; false with the reason on failure (a Japanese cp932
  // sentence naming the cause, such as another program using the port).
  virtual bool Listen(std::uint16_t port, std::string* error) = 0;
  // The port actually listened on (useful when 0 asked the system for a free one).
  virtual std::uint16_t Port() const = 0;
  // Queues the whole text for sending; nothing when the connection is gone.
  virtual void Send(ConnectionId id, std::string_view bytes) = 0;
  // Ends the connection; its disconnect is reported through the event loop.
  virtual void Close(ConnectionId id) = 0;
  // The peer's address as text ("192.168.0.5"); empty when it is not known.
  virtual std::string PeerAddress(ConnectionId /*id*/) const { return {}; }

 protected:
  ServerTransportListener* listener_ = nullptr;
};

class QSocketNotifier;
class QTcpSocket;
class QTimer;

// The listening socket and its connections on the system's sockets, TCP_NODELAY on each. One
// epoll set holds every connection, so the event loop watches one descriptor however many are
// connected and wakes once for what arrived. A read hands over at most kReadPiece bytes; what the
// kernel does not take of a send waits here, in order, and goes out as the peer reads. A failure
// to listen is told in Japanese (cp932), naming the cause.
class QtServerTransport : public ServerTransport {
 public:
  QtServerTransport();
  ~QtServerTransport() override;
  bool Listen(std::uint16_t port, std::string* error) override;
  std::uint16_t Port() const override;
  // Written to the socket at once. A peer that stops reading is closed like a lost connection
  // once more than kMaxUnsent bytes wait here to be sent to it: twice the largest message the
  // server sends (a snapshot of at most about 1 MiB), far beyond what a reading client ever lets
  // pile up.
  void Send(ConnectionId id, std::string_view bytes) override;
  // Ends the connection at once, whatever is still unsent; the end is reported from the loop.
  void Close(ConnectionId id) override;
  std::string PeerAddress(ConnectionId id) const override;
  // Bytes sent to the connection that the kernel has not taken yet.
  std::size_t Unsent(ConnectionId id) const;

  static constexpr std::int64_t kMaxUnsent = 2 * 1024 * 1024;
  // The most bytes one read takes from a connection: a peer that sends much at once is read a
  // piece at a time, every other connection getting its turn in between, and costs no more
  // memory here than one piece.
  static constexpr std::size_t kReadPiece = std::size_t{64} * 1024;

 private:
  struct Connection {
    int fd = -1;
    std::string unsent;  // what the kernel has not taken yet, from unsent_at on
    std::size_t unsent_at = 0;
    bool waiting_to_write = false;  // the epoll set reports when the socket takes more
    bool ending = false;  // closed or failed: nothing more is read or sent, its end is on the way
    std::string address;  // the peer's IP address as text
  };

  void StopListening();
  void Accept();
  void TakeConnection(int descriptor);
  // The epoll set has events: each ready connection is read once and written to.
  void ServeReady();
  // Reads one piece; false when the connection ended (it is gone then).
  bool ReadPiece(ConnectionId id);
  void WriteUnsent(ConnectionId id, Connection& connection);
  void WatchWrites(ConnectionId id, Connection& connection, bool on);
  // A send failed: the end is reported from the loop, after the bytes that still wait.
  void Fail(ConnectionId id, Connection& connection);
  // Reports the end: what the peer sent before it first, then the disconnect.
  void Lost(ConnectionId id);

  // Connections are refused once a new one would leave fewer than kSpareDescriptors free.
  static constexpr int kSpareDescriptors = 16;
  int descriptor_ceiling_ = INT_MAX;
  int listen_fd_ = -1;
  // A descriptor kept open for the moment the process has none left: closing it makes room to
  // take a waiting connection and end it, so the listening socket never stays readable unserved.
  int spare_fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QTimer* retry_ = nullptr;  // accepting again after the system itself ran out of descriptors
  int epoll_fd_ = -1;        // every connection
  QSocketNotifier* ready_ = nullptr;  // the set has events
  std::unordered_map<ConnectionId, Connection> connections_;
  std::string read_buffer_;  // kReadPiece bytes, reused by every read
  ConnectionId next_id_ = 1;
};

class ClientConnectionListener {
 public:
  virtual ~ClientConnectionListener() = default;
  virtual void OnConnected() = 0;
  virtual void OnRead(const std::string& bytes) = 0;
  // The connection ended after it was established (reported once).
  virtual void OnDisconnected() = 0;
  // The connection could not be established, or failed; `message` is readable (UTF-8).
  virtual void OnConnectError(const std::string& message) = 0;
};

class ClientConnection {
 public:
  virtual ~ClientConnection() = default;
  void SetListener(ClientConnectionListener* listener) { listener_ = listener; }
  // Starts connecting; the outcome arrives as OnConnected or OnConnectError.
  virtual void Open(const std::string& host, std::uint16_t port) = 0;
  // Ends the connection (an established one reports OnDisconnected).
  virtual void Close() = 0;
  // Queues the whole text; false when not connected.
  virtual bool Send(std::string_view bytes) = 0;
  virtual bool Connected() const = 0;

 protected:
  ClientConnectionListener* listener_ = nullptr;
};

class QtClientConnection : public ClientConnection {
 public:
  QtClientConnection();
  ~QtClientConnection() override;
  void Open(const std::string& host, std::uint16_t port) override;
  void Close() override;
  bool Send(std::string_view bytes) override;
  bool Connected() const override;

 private:
  void Attach();
  // Delivers `event` to the listener from the event loop, unless the connection was opened anew
  // or closed in between.
  void Post(std::function<void()> event);

  QTcpSocket* socket_ = nullptr;
  bool connected_ = false;
  unsigned generation_ = 0;
};
