// platform/sockets.cpp — the server's sockets on epoll and Qt's client socket, behind the transport
// interfaces.
#include "platform/sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>
#include <array>
#include <cerrno>
#include <climits>

#include "platform/cp932.h"

namespace {
// The IP address of the socket's peer as text, empty when it cannot be told.
std::string PeerAddressOf(int descriptor) {
  sockaddr_storage peer{};
  socklen_t length = sizeof peer;
  if (::getpeername(descriptor, reinterpret_cast<sockaddr*>(&peer), &length) != 0) return {};
  char text[INET6_ADDRSTRLEN] = {};
  const void* address = nullptr;
  if (peer.ss_family == AF_INET) {
    address = &reinterpret_cast<const sockaddr_in*>(&peer)->sin_addr;
  } else if (peer.ss_family == AF_INET6) {
    address = &reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_addr;
  } else {
    return {};
  }
  return ::inet_ntop(peer.ss_family, address, text, sizeof text) != nullptr ? text : std::string();
}
}  // namespace

QtServerTransport::QtServerTransport() = default;

QtServerTransport::~QtServerTransport() {
  for (auto& [id, connection] : connections_) {
    if (connection.fd >= 0) ::close(connection.fd);
  }
  delete ready_;
  if (epoll_fd_ >= 0) ::close(epoll_fd_);
  StopListening();
}

void QtServerTransport::StopListening() {
  delete notifier_;
  notifier_ = nullptr;
  delete retry_;
  retry_ = nullptr;
  if (listen_fd_ >= 0) ::close(listen_fd_);
  if (spare_fd_ >= 0) ::close(spare_fd_);
  listen_fd_ = spare_fd_ = -1;
}

bool QtServerTransport::Listen(std::uint16_t port, std::string* error) {
  StopListening();  // listening anew replaces the earlier socket
  const auto fail = [&](int number) {
    const std::string shown = std::to_string(port);
    if (error == nullptr) return false;
    if (number == EADDRINUSE) {
      *error = J("ポート ") + shown + J(" は他のプログラムが既に使っています");
    } else if (number == EACCES) {
      *error = J("ポート ") + shown + J(" を使う権限がありません");
    } else {
      *error = J("ポート ") + shown + J(" で待ち受けできません (エラー番号 ") +
               std::to_string(number) + ")";
    }
    return false;
  };
  // The connections' set outlives the listening socket: connections stay when it is replaced.
  if (epoll_fd_ < 0) {
    epoll_fd_ = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll_fd_ < 0) return fail(errno);
    ready_ = new QSocketNotifier(epoll_fd_, QSocketNotifier::Read);
    QObject::connect(ready_, &QSocketNotifier::activated, [this] { ServeReady(); });
    read_buffer_.resize(kReadPiece);
  }
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return fail(errno);
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, SOMAXCONN) != 0) {
    const int number = errno;
    ::close(fd);
    return fail(number);
  }
  listen_fd_ = fd;
  spare_fd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  rlimit descriptors{};
  if (::getrlimit(RLIMIT_NOFILE, &descriptors) == 0 && descriptors.rlim_cur != RLIM_INFINITY &&
      descriptors.rlim_cur < static_cast<rlim_t>(INT_MAX)) {
    descriptor_ceiling_ = static_cast<int>(descriptors.rlim_cur) - kSpareDescriptors;
  }
  notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read);
  QObject::connect(notifier_, &QSocketNotifier::activated, [this] { Accept(); });
  retry_ = new QTimer();
  retry_->setSingleShot(true);
  QObject::connect(retry_, &QTimer::timeout, [this] {
    notifier_->setEnabled(true);
    Accept();
  });
  // Both are touched once now, while descriptors are free, as the checks of a sanitized build
  // need one the first time they meet a type.
  notifier_->setEnabled(true);
  retry_->stop();
  return true;
}

std::uint16_t QtServerTransport::Port() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (listen_fd_ < 0 ||
      ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

void QtServerTransport::Accept() {
  for (;;) {
    const int descriptor = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (descriptor >= 0) {
      // Descriptors are handed out lowest first, so a high one means few are left: the peer is
      // refused, and the logs, the settings and the program itself keep what they need.
      if (descriptor >= descriptor_ceiling_) {
        ::close(descriptor);
      } else {
        TakeConnection(descriptor);
      }
      continue;
    }
    if (errno == EINTR || errno == ECONNABORTED) continue;
    if (errno != EMFILE && errno != ENFILE && errno != ENOBUFS && errno != ENOMEM) return;
    // No descriptor left: the spare one makes room to take the waiting peer and end it at once,
    // which it sees as a refused connection; the server goes on serving everyone else.
    // (At the limit accept reports the missing descriptor before it looks for a waiting peer.)
    if (spare_fd_ >= 0) {
      ::close(spare_fd_);
      const int refused = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      const int reason = errno;
      if (refused >= 0) ::close(refused);
      spare_fd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
      if (refused >= 0 || reason == EINTR || reason == ECONNABORTED) continue;
      if (reason == EAGAIN || reason == EWOULDBLOCK) return;  // nobody waits any more
    }
    // The system as a whole is out of descriptors: the waiting peers wait, and accepting starts
    // again shortly rather than waking at once for the same peer again.
    notifier_->setEnabled(false);
    retry_->start(100);
    return;
  }
}

void QtServerTransport::TakeConnection(int descriptor) {
  const ConnectionId id = next_id_;
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = id;
  if (::epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, descriptor, &event) != 0) {
    ::close(descriptor);
    return;
  }
  ++next_id_;
  const int on = 1;
  ::setsockopt(descriptor, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  Connection& connection = connections_[id];
  connection.fd = descriptor;
  connection.address = PeerAddressOf(descriptor);
  // What the peer sent already, or its end, is reported by the set on the next pass of the loop.
  if (listener_ != nullptr) listener_->OnClientConnect(id);
}

void QtServerTransport::ServeReady() {
  // One piece from each ready connection per pass: a connection with more to send is ready again
  // on the next pass, after the others and the window had their turn.
  std::array<epoll_event, 64> events;
  const int ready = ::epoll_wait(epoll_fd_, events.data(), static_cast<int>(events.size()), 0);
  for (int i = 0; i < ready; ++i) {
    const ConnectionId id = events[i].data.u64;
    const std::uint32_t what = events[i].events;
    if (what & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
      if (!ReadPiece(id)) continue;
    }
    if (what & EPOLLOUT) {
      auto it = connections_.find(id);
      if (it != connections_.end() && !it->second.ending) WriteUnsent(id, it->second);
    }
  }
}

bool QtServerTransport::ReadPiece(ConnectionId id) {
  auto it = connections_.find(id);
  if (it == connections_.end() || it->second.ending) return true;
  const ssize_t n = ::recv(it->second.fd, read_buffer_.data(), kReadPiece, 0);
  if (n > 0) {
    if (listener_ != nullptr) {
      listener_->OnClientRead(id,
                              std::string_view(read_buffer_.data(), static_cast<std::size_t>(n)));
    }
    return true;
  }
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return true;
  // The peer ended the connection, or it failed.
  Lost(id);
  return false;
}

void QtServerTransport::Send(ConnectionId id, std::string_view bytes) {
  auto it = connections_.find(id);
  if (it == connections_.end() || bytes.empty()) return;
  Connection& connection = it->second;
  if (connection.ending) return;
  const std::size_t waiting = connection.unsent.size() - connection.unsent_at;
  if (static_cast<std::int64_t>(waiting + bytes.size()) > kMaxUnsent) {
    Close(id);
    return;
  }
  // Bytes that wait go first; then whatever the kernel takes at once leaves now, while the
  // handler runs: a move reaches the opponent and every watcher before the next event.
  if (waiting > 0) {
    connection.unsent.append(bytes);
    return;
  }
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(connection.fd, bytes.data() + sent, bytes.size() - sent,
                             MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      break;
    } else {
      Fail(id, connection);
      return;
    }
  }
  if (sent == bytes.size()) return;
  connection.unsent.assign(bytes.substr(sent));
  connection.unsent_at = 0;
  WatchWrites(id, connection, true);
}

std::size_t QtServerTransport::Unsent(ConnectionId id) const {
  const auto it = connections_.find(id);
  return it == connections_.end() ? 0 : it->second.unsent.size() - it->second.unsent_at;
}

void QtServerTransport::WriteUnsent(ConnectionId id, Connection& connection) {
  while (connection.unsent_at < connection.unsent.size()) {
    const ssize_t n =
        ::send(connection.fd, connection.unsent.data() + connection.unsent_at,
               connection.unsent.size() - connection.unsent_at, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      connection.unsent_at += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // What went out is dropped once it is most of the buffer, so appends stay cheap.
      if (connection.unsent_at >= connection.unsent.size() / 2) {
        connection.unsent.erase(0, connection.unsent_at);
        connection.unsent_at = 0;
      }
      return;
    } else {
      Fail(id, connection);
      return;
    }
  }
  // All out: the buffer of a burst is given back.
  std::string().swap(connection.unsent);
  connection.unsent_at = 0;
  WatchWrites(id, connection, false);
}

void QtServerTransport::WatchWrites(ConnectionId id, Connection& connection, bool on) {
  if (connection.waiting_to_write == on) return;
  connection.waiting_to_write = on;
  epoll_event event{};
  event.events = on ? EPOLLIN | EPOLLOUT : EPOLLIN;
  event.data.u64 = id;
  ::epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, connection.fd, &event);
}

void QtServerTransport::Fail(ConnectionId id, Connection& connection) {
  if (connection.ending) return;
  connection.ending = true;
  if (connection.fd >= 0) ::epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, connection.fd, nullptr);
  // Ends are reported from the event loop, never from inside a Send or Close of a handler.
  QMetaObject::invokeMethod(
      ready_, [this, id] { Lost(id); }, Qt::QueuedConnection);
}

void QtServerTransport::Lost(ConnectionId id) {
  // Bytes that arrived just before a failure are still the connection's, a piece at a time; the
  // listener may close the connection meanwhile. The dead connection receives nothing new.
  auto it = connections_.find(id);
  while (it != connections_.end() && it->second.fd >= 0 && listener_ != nullptr) {
    const ssize_t n = ::recv(it->second.fd, read_buffer_.data(), kReadPiece, MSG_DONTWAIT);
    if (n <= 0) break;
    listener_->OnClientRead(id, std::string_view(read_buffer_.data(), static_cast<std::size_t>(n)));
    it = connections_.find(id);
  }
  // Its end is reported here, once.
  if (it == connections_.end()) return;
  if (it->second.fd >= 0) ::close(it->second.fd);  // closing also takes it out of the set
  connections_.erase(it);
  if (listener_ != nullptr) listener_->OnClientDisconnect(id);
}

void QtServerTransport::Close(ConnectionId id) {
  auto it = connections_.find(id);
  if (it == connections_.end()) return;
  Connection& connection = it->second;
  if (connection.fd < 0) return;  // closed already
  // Nothing more is read from or sent to it; what was sent leaves first unless the peer has
  // stopped reading it, in which case the connection is reset. Its end reaches the listener from
  // the loop.
  if (connection.unsent_at < connection.unsent.size()) {
    const linger reset{1, 0};
    ::setsockopt(connection.fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  }
  ::close(connection.fd);
  connection.fd = -1;
  std::string().swap(connection.unsent);
  connection.unsent_at = 0;
  connection.waiting_to_write = false;
  if (!connection.ending) Fail(id, connection);
}

std::string QtServerTransport::PeerAddress(ConnectionId id) const {
  const auto it = connections_.find(id);
  return it == connections_.end() ? std::string() : it->second.address;
}

QtClientConnection::QtClientConnection() = default;

QtClientConnection::~QtClientConnection() {
  if (socket_ != nullptr) {
    QObject::disconnect(socket_, nullptr, nullptr, nullptr);
    socket_->abort();
    delete socket_;
  }
}

void QtClientConnection::Post(std::function<void()> event) {
  QMetaObject::invokeMethod(
      socket_,
      [this, generation = generation_, event = std::move(event)] {
        if (generation == generation_ && listener_ != nullptr) event();
      },
      Qt::QueuedConnection);
}

void QtClientConnection::Attach() {
  socket_ = new QTcpSocket();
  // Every event reaches the listener from the event loop in arrival order, never inside Qt's own
  // signal: a handler that opens a message box runs a nested loop, and Qt does not signal new
  // bytes again while its read signal is still being handled.
  QObject::connect(socket_, &QTcpSocket::connected, [this] {
    connected_ = true;
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    Post([this] { listener_->OnConnected(); });
  });
  QObject::connect(socket_, &QTcpSocket::readyRead, [this] {
    const QByteArray bytes = socket_->readAll();
    if (bytes.isEmpty()) return;
    Post([this, text = bytes.toStdString()] { listener_->OnRead(text); });
  });
  QObject::connect(socket_, &QTcpSocket::disconnected, [this] {
    if (!connected_) return;
    connected_ = false;
    Post([this] { listener_->OnDisconnected(); });
  });
  QObject::connect(socket_, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError) {
    if (connected_) {
      // An established connection that fails ends like any lost connection.
      if (socket_->state() == QAbstractSocket::UnconnectedState) {
        connected_ = false;
        Post([this] { listener_->OnDisconnected(); });
      }
      return;
    }
    Post([this, message = socket_->errorString().toStdString()] {
      listener_->OnConnectError(message);
    });
  });
}

void QtClientConnection::Open(const std::string& host, std::uint16_t port) {
  if (socket_ == nullptr) Attach();
  ++generation_;  // events of an earlier connection are not delivered any more
  socket_->abort();
  connected_ = false;
  socket_->connectToHost(QString::fromStdString(host), port);
}

void QtClientConnection::Close() {
  if (socket_ == nullptr) return;
  ++generation_;
  const bool was_connected = connected_;
  connected_ = false;
  socket_->abort();
  if (was_connected && listener_ != nullptr) listener_->OnDisconnected();
}

bool QtClientConnection::Send(std::string_view bytes) {
  if (!connected_) return false;
  if (!bytes.empty()) socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  return true;
}

bool QtClientConnection::Connected() const { return connected_; }
