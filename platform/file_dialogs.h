// platform/file_dialogs.h — choosing a file to save or open; titles and filters are cp932, paths
// UTF-8.
#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

// A filter is written as the programs write it: description "|" pattern pairs joined by "|",
// e.g. "SGF棋譜ファイル|*.sgf|すべてのファイル(*.*)|*.*"; the first pair is chosen at the start.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The path chosen to save to, or empty when the user cancelled. Nothing is added to the name.
  virtual std::string ChooseSaveFile(std::string_view title, const std::string& folder,
                                     std::string_view filter) = 0;
  // An existing file chosen to open, or empty when the user cancelled.
  virtual std::string ChooseOpenFile(std::string_view title, const std::string& folder,
                                     std::string_view filter) = 0;
};

// Qt's file dialogs over an optional parent window; they run a nested event loop.
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  std::string ChooseSaveFile(std::string_view title, const std::string& folder,
                             std::string_view filter) override;
  std::string ChooseOpenFile(std::string_view title, const std::string& folder,
                             std::string_view filter) override;

 private:
  QWidget* parent_;
};

// The filter in Qt's notation: "SGF棋譜ファイル (*.sgf);;すべてのファイル(*.*) (*.*)" (UTF-8).
std::string QtFileFilter(std::string_view filter);

// Test double: records every dialog and answers from a script (cancel when it runs dry).
class ScriptedFileDialogs : public FileDialogs {
 public:
  struct Shown {
    bool save;
    std::string title;
    std::string folder;
    std::string filter;
  };
  std::string ChooseSaveFile(std::string_view title, const std::string& folder,
                             std::string_view filter) override;
  std::string ChooseOpenFile(std::string_view title, const std::string& folder,
                             std::string_view filter) override;

  // The next dialog answers `path` (empty: the user cancels).
  void QueueAnswer(std::string path) { answers_.push_back(std::move(path)); }
  const std::vector<Shown>& shown() const { return shown_; }

 private:
  std::string Answer(bool save, std::string_view title, const std::string& folder,
                     std::string_view filter);

  std::vector<Shown> shown_;
  std::deque<std::string> answers_;
};
