// platform/sockets.cpp — Qt's TCP sockets behind the transport interfaces.
#include "platform/sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>
#include <cerrno>
#include <climits>

#include "platform/cp932.h"

QtServerTransport::QtServerTransport() = default;

QtServerTransport::~QtServerTransport() {
  for (auto& [id, socket] : sockets_) {
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    socket->abort();
    delete socket;
  }
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
  auto* socket = new QTcpSocket();
  if (!socket->setSocketDescriptor(descriptor)) {
    delete socket;
    ::close(descriptor);
    return;
  }
  const ConnectionId id = next_id_++;
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  sockets_[id] = socket;
  QObject::connect(socket, &QTcpSocket::readyRead, [this, id, socket] {
    if (!sockets_.count(id)) return;
    const QByteArray bytes = socket->readAll();
    if (!bytes.isEmpty() && listener_ != nullptr) listener_->OnClientRead(id, bytes.toStdString());
  });
  // Ends are reported from the event loop, never from inside a Send or Close of a handler.
  QObject::connect(
      socket, &QTcpSocket::disconnected, socket, [this, id] { Lost(id); }, Qt::QueuedConnection);
  QObject::connect(
      socket, &QTcpSocket::errorOccurred, socket, [this, id] { Lost(id); }, Qt::QueuedConnection);
  if (listener_ != nullptr) listener_->OnClientConnect(id);
  // The peer may already have sent bytes or gone before the connect event was handled.
  if (sockets_.count(id) && socket->bytesAvailable() > 0) emit socket->readyRead();
  if (sockets_.count(id) && socket->state() != QAbstractSocket::ConnectedState) {
    QMetaObject::invokeMethod(
        socket, [this, id] { Lost(id); }, Qt::QueuedConnection);
  }
}

void QtServerTransport::Lost(ConnectionId id) {
  auto it = sockets_.find(id);
  if (it == sockets_.end()) return;
  QTcpSocket* socket = it->second;
  // Bytes that arrived just before the end are still one message of the connection.
  if (socket->bytesAvailable() > 0 && listener_ != nullptr) {
    const QByteArray bytes = socket->readAll();
    listener_->OnClientRead(id, bytes.toStdString());
  }
  sockets_.erase(id);
  QObject::disconnect(socket, nullptr, nullptr, nullptr);
  socket->abort();
  socket->deleteLater();
  if (listener_ != nullptr) listener_->OnClientDisconnect(id);
}

void QtServerTransport::Send(ConnectionId id, std::string_view bytes) {
  auto it = sockets_.find(id);
  if (it == sockets_.end() || bytes.empty()) return;
  QTcpSocket* socket = it->second;
  if (socket->state() != QAbstractSocket::ConnectedState) return;  // closing already
  if (socket->bytesToWrite() + static_cast<qint64>(bytes.size()) > kMaxUnsent) {
    Close(id);
    return;
  }
  socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
  // Out now rather than on a later pass of the event loop: a move reaches the opponent and every
  // watcher while its handler runs.
  socket->flush();
}

void QtServerTransport::Close(ConnectionId id) {
  auto it = sockets_.find(id);
  if (it == sockets_.end()) return;
  QTcpSocket* socket = it->second;
  if (socket->state() == QAbstractSocket::UnconnectedState) return;
  // Nothing more is read from or sent to it; what was sent leaves first unless the peer has
  // stopped reading it. Its end reaches the listener from the loop.
  QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
  if (socket->bytesToWrite() > 0) {
    socket->abort();
  } else {
    socket->disconnectFromHost();
  }
  QMetaObject::invokeMethod(
      socket, [this, id] { Lost(id); }, Qt::QueuedConnection);
}

std::string QtServerTransport::PeerAddress(ConnectionId id) const {
  const auto it = sockets_.find(id);
  return it == sockets_.end() ? std::string() : it->second->peerAddress().toString().toStdString();
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
