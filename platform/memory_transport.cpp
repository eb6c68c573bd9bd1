// platform/memory_transport.cpp — the in-memory listening socket.
#include "platform/memory_transport.h"

bool MemoryServerTransport::Listen(std::uint16_t port, std::string* /*error*/) {
  port_ = port;
  return true;
}

void MemoryServerTransport::Send(ConnectionId id, std::string_view bytes) {
  if (!open_.count(id)) return;
  sent_[id].emplace_back(bytes);
}

void MemoryServerTransport::Close(ConnectionId id) { closed_.insert(id); }

std::string MemoryServerTransport::PeerAddress(ConnectionId id) const {
  const auto it = addresses_.find(id);
  return it == addresses_.end() ? std::string() : it->second;
}

ConnectionId MemoryServerTransport::Connect(const std::string& address) {
  const ConnectionId id = next_id_++;
  open_.insert(id);
  addresses_[id] = address;
  if (listener_ != nullptr) listener_->OnClientConnect(id);
  return id;
}

void MemoryServerTransport::Receive(ConnectionId id, const std::string& bytes) {
  if (open_.count(id) && listener_ != nullptr) listener_->OnClientRead(id, bytes);
}

void MemoryServerTransport::Drop(ConnectionId id) {
  if (open_.erase(id) && listener_ != nullptr) listener_->OnClientDisconnect(id);
}

const std::vector<std::string>& MemoryServerTransport::Sent(ConnectionId id) const {
  static const std::vector<std::string> kNone;
  auto it = sent_.find(id);
  return it == sent_.end() ? kNone : it->second;
}

std::vector<std::string> MemoryServerTransport::Take(ConnectionId id) {
  std::vector<std::string> taken;
  taken.swap(sent_[id]);
  return taken;
}
