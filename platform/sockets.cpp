// platform/sockets.cpp — Qt's TCP sockets behind the transport interfaces.
#include "platform/sockets.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

QtServerTransport::QtServerTransport() : server_(std::make_unique<QTcpServer>()) {
  QObject::connect(server_.get(), &QTcpServer::newConnection, [this] { Accept(); });
}

QtServerTransport::~QtServerTransport() {
  for (auto& [id, socket] : sockets_) {
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    socket->abort();
    delete socket;
  }
}

bool QtServerTransport::Listen(std::uint16_t port, std::string* error) {
  if (server_->listen(QHostAddress::AnyIPv4, port)) return true;
  if (error != nullptr) *error = server_->errorString().toStdString();
  return false;
}

std::uint16_t QtServerTransport::Port() const { return server_->serverPort(); }

void QtServerTransport::Accept() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(nullptr);
    const ConnectionId id = next_id_++;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    sockets_[id] = socket;
    QObject::connect(socket, &QTcpSocket::readyRead, [this, id, socket] {
      if (!sockets_.count(id)) return;
      const QByteArray bytes = socket->readAll();
      if (!bytes.isEmpty() && listener_ != nullptr) listener_->OnClientRead(id, bytes.toStdString());
    });
    // Ends are reported from the event loop, never from inside a Send or Close of a handler.
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, id] { Lost(id); },
                     Qt::QueuedConnection);
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket, [this, id] { Lost(id); },
                     Qt::QueuedConnection);
    if (listener_ != nullptr) listener_->OnClientConnect(id);
    // The peer may already have sent bytes or gone before the connect event was handled.
    if (sockets_.count(id) && socket->bytesAvailable() > 0) emit socket->readyRead();
    if (sockets_.count(id) && socket->state() != QAbstractSocket::ConnectedState) {
      QMetaObject::invokeMethod(socket, [this, id] { Lost(id); }, Qt::QueuedConnection);
    }
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
  socket->deleteLater();
  if (listener_ != nullptr) listener_->OnClientDisconnect(id);
}

void QtServerTransport::Send(ConnectionId id, std::string_view bytes) {
  auto it = sockets_.find(id);
  if (it == sockets_.end() || bytes.empty()) return;
  it->second->write(bytes.data(), static_cast<qint64>(bytes.size()));
  // Out now rather than on a later pass of the event loop: a move reaches the opponent and every
  // watcher while its handler runs.
  it->second->flush();
}

void QtServerTransport::Close(ConnectionId id) {
  auto it = sockets_.find(id);
  if (it == sockets_.end()) return;
  it->second->disconnectFromHost();
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
