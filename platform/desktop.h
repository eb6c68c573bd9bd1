// platform/desktop.h — handing a file to the program the desktop associates with it.
#pragma once
#include <string>
#include <vector>

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Opens the file (UTF-8 path) with the desktop's program for it; false when none could start.
  virtual bool OpenFile(const std::string& path) = 0;
};

class QtDesktop : public Desktop {
 public:
  bool OpenFile(const std::string& path) override;
};

// Test double: remembers what it was asked to open.
class FakeDesktop : public Desktop {
 public:
  bool OpenFile(const std::string& path) override {
    opened_.push_back(path);
    return true;
  }
  const std::vector<std::string>& opened() const { return opened_; }

 private:
  std::vector<std::string> opened_;
};
