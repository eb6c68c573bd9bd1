// platform/desktop.h — handing a file to the program the desktop associates with it.
#pragma once
#include <functional>
#include <string>
#include <vector>

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Opens the file (UTF-8 path) with the desktop's program for it. `failed` is called when no
  // program took the file: at once, or later from the event loop once the desktop's opener has
  // given up.
  virtual void OpenFile(const std::string& path, std::function<void()> failed) = 0;
};

// xdg-open where it is installed (its exit status says whether a program took the file), else
// Qt's own choice of launcher.
class QtDesktop : public Desktop {
 public:
  void OpenFile(const std::string& path, std::function<void()> failed) override;
};

// Test double: remembers what it was asked to open, and fails when told to.
class FakeDesktop : public Desktop {
 public:
  void OpenFile(const std::string& path, std::function<void()> failed) override {
    opened_.push_back(path);
    if (!opens && failed) failed();
  }
  const std::vector<std::string>& opened() const { return opened_; }
  bool opens = true;  // whether a program is set to open files

 private:
  std::vector<std::string> opened_;
};
