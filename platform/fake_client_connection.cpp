// platform/fake_client_connection.cpp — the scripted client socket.
#include "platform/fake_client_connection.h"

void FakeClientConnection::Open(const std::string& host, std::uint16_t port) {
  // Opening again ends an established connection first, as the real socket does.
  if (connected_) Drop();
  loss_unreported_ = false;  // the end of the earlier connection is never reported now
  attempts_.push_back({host, port});
  connecting_ = true;
}

void FakeClientConnection::Close() {
  connecting_ = false;
  if (connected_) Drop();
}

bool FakeClientConnection::Send(std::string_view bytes) {
  if (!connected_) return false;
  sent_.emplace_back(bytes);
  return true;
}

void FakeClientConnection::Accept() {
  if (!connecting_) return;
  connecting_ = false;
  connected_ = true;
  if (listener_ != nullptr) listener_->OnConnected();
}

void FakeClientConnection::Refuse(const std::string& reason) {
  if (!connecting_) return;
  connecting_ = false;
  if (listener_ != nullptr) listener_->OnConnectError(reason);
}

void FakeClientConnection::Deliver(const std::string& bytes) {
  if (!connected_ || listener_ == nullptr) return;
  listener_->OnRead(bytes);
  if (AfterEachRead) AfterEachRead();
}

void FakeClientConnection::Drop() {
  if (!connected_ && !loss_unreported_) return;
  connected_ = false;
  loss_unreported_ = false;
  if (listener_ != nullptr) listener_->OnDisconnected();
}

void FakeClientConnection::Lose() {
  loss_unreported_ = connected_;
  connected_ = false;
}

std::vector<std::string> FakeClientConnection::Take() {
  std::vector<std::string> taken;
  taken.swap(sent_);
  return taken;
}
