// platform/clipboard.h — the desktop clipboard's text, as cp932.
#pragma once
#include <string>
#include <string_view>

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void SetText(std::string_view cp932) = 0;
  virtual std::string Text() const = 0;
};

class QtClipboard : public Clipboard {
 public:
  void SetText(std::string_view cp932) override;
  std::string Text() const override;
};

// Test double: a clipboard of its own.
class MemoryClipboard : public Clipboard {
 public:
  void SetText(std::string_view cp932) override {
    text_ = cp932;
    ++writes_;
  }
  std::string Text() const override { return text_; }
  int writes() const { return writes_; }

 private:
  std::string text_;
  int writes_ = 0;
};
