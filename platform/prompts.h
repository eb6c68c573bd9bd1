// platform/prompts.h — message boxes and yes/no questions; texts and captions are cp932.
#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

class Prompts {
 public:
  virtual ~Prompts() = default;
  // A plain message box with an OK button; returns when the user closed it.
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
  // A message box that closes itself after `seconds` when nobody closed it.
  virtual void ShowMessageFor(std::string_view text, std::string_view caption, int /*seconds*/) {
    ShowMessage(text, caption);
  }
};

// Qt message boxes over an optional parent window. They run a nested event loop, so sockets are
// still served while one is open.
class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void ShowMessage(std::string_view text, std::string_view caption) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  void ShowMessageFor(std::string_view text, std::string_view caption, int seconds) override;

 private:
  QWidget* parent_;
};

// Gives the standard buttons of every box and dialog (はい, いいえ, キャンセル, ...) Qt's own
// Japanese texts, as the rest of the program speaks Japanese; call once after the application
// object exists. English stays when the translations are not installed.
void InstallJapaneseStandardTexts();

// Test double: records every prompt and answers questions from a script (No when it runs dry).
class ScriptedPrompts : public Prompts {
 public:
  struct Shown {
    bool question;
    std::string text;
    std::string caption;
  };
  void ShowMessage(std::string_view text, std::string_view caption) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;

  void QueueAnswer(bool yes) { answers_.push_back(yes); }
  const std::vector<Shown>& shown() const { return shown_; }
  void Forget() { shown_.clear(); }

 private:
  std::vector<Shown> shown_;
  std::deque<bool> answers_;
};
