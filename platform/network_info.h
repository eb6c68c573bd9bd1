// platform/network_info.h — this machine's host name and IPv4 addresses.
#pragma once
#include <string>
#include <vector>

class NetworkInfo {
 public:
  virtual ~NetworkInfo() = default;
  // The host name as the system gives it (gethostname); empty when it cannot be read.
  virtual std::string HostName() const = 0;
  // Dotted-decimal addresses of the interfaces that are up, loopback left out, in the order the
  // system lists them.
  virtual std::vector<std::string> Ipv4Addresses() const = 0;
};

class SystemNetworkInfo : public NetworkInfo {
 public:
  std::string HostName() const override;
  std::vector<std::string> Ipv4Addresses() const override;
};

// Test double with the host name and addresses the test gives it.
class FakeNetworkInfo : public NetworkInfo {
 public:
  FakeNetworkInfo(std::string host = "testhost", std::vector<std::string> addresses = {})
      : host_(std::move(host)), addresses_(std::move(addresses)) {}
  std::string HostName() const override { return host_; }
  std::vector<std::string> Ipv4Addresses() const override { return addresses_; }

 private:
  std::string host_;
  std::vector<std::string> addresses_;
};
