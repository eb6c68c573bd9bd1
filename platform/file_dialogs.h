// platform/file_dialogs.h — choosing a file to save or open; titles and filters are cp932, paths
// UTF-8.
#pragma once
#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

// An open file dialog, as a window that follows it sees it.
class FileDialogWindow {
 public:
  virtual ~FileDialogWindow() = default;
  // Moves and sizes the dialog's window (its outer frame).
  virtual void Place(int left, int top, int width, int height) = 0;
  // The dialog's widget while it is open; nullptr for a test double.
  virtual QWidget* Widget() = 0;
};

// What an open dialog reports while the user browses, all on the window thread.
class OpenDialogEvents {
 public:
  virtual ~OpenDialogEvents() = default;
  // The dialog has appeared.
  virtual void OpenDialogShow(FileDialogWindow& /*dialog*/) {}
  // The dialog has gone, chosen or cancelled.
  virtual void OpenDialogClose() {}
  // The dialog shows another folder; also once for its first folder, right after it appeared.
  virtual void OpenDialogFolderChange(FileDialogWindow& /*dialog*/) {}
  // The user moved to another entry of the folder (a file or a folder; empty for none).
  virtual void OpenDialogSelectionChange(const std::string& /*path*/) {}
};

// A filter is written as the programs write it: description "|" pattern pairs joined by "|",
// e.g. "SGF棋譜ファイル|*.sgf|すべてのファイル(*.*)|*.*"; the first pair is chosen at the start,
// and its pattern "*.sgf" makes ".sgf" the suffix that a name typed without any "." gets.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The path chosen to save to, or empty when the user cancelled.
  virtual std::string ChooseSaveFile(std::string_view title, const std::string& folder,
                                     std::string_view filter) = 0;
  // An existing file chosen to open, or empty when the user cancelled.
  virtual std::string ChooseOpenFile(std::string_view title, const std::string& folder,
                                     std::string_view filter) = 0;
  // ChooseOpenFile, telling `events` what happens while the dialog is open.
  virtual std::string ChooseOpenFileFollowed(std::string_view title, const std::string& folder,
                                             std::string_view filter, OpenDialogEvents& events) = 0;
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
  // Qt's own dialog (not the desktop's), which reports every folder and selection change.
  std::string ChooseOpenFileFollowed(std::string_view title, const std::string& folder,
                                     std::string_view filter, OpenDialogEvents& events) override;

 private:
  QWidget* parent_;
};

// The filter in Qt's notation: "SGF棋譜ファイル (*.sgf);;すべてのファイル(*.*) (*.*)" (UTF-8).
std::string QtFileFilter(std::string_view filter);
// The suffix a typed name without "." gets: "sgf" for a filter whose first pattern is "*.sgf";
// empty when the first pattern names no single suffix ("*.*", "*.sgf;*.txt").
std::string FileDialogSuffix(std::string_view filter);

// Test double: records every dialog and answers from a script (cancel when it runs dry). A
// followed dialog reports its showing and first folder, the selection of its answer (when it has
// one) and its closing.
class ScriptedFileDialogs : public FileDialogs {
 public:
  struct Shown {
    bool save;
    std::string title;
    std::string folder;
    std::string filter;
    // Where a followed dialog was placed (left, top, width, height); all -1 when it was not.
    std::array<int, 4> placed = {-1, -1, -1, -1};
  };
  std::string ChooseSaveFile(std::string_view title, const std::string& folder,
                             std::string_view filter) override;
  std::string ChooseOpenFile(std::string_view title, const std::string& folder,
                             std::string_view filter) override;
  std::string ChooseOpenFileFollowed(std::string_view title, const std::string& folder,
                                     std::string_view filter, OpenDialogEvents& events) override;

  // The next dialog answers `path` (empty: the user cancels).
  void QueueAnswer(std::string path) { answers_.push_back(std::move(path)); }
  const std::vector<Shown>& shown() const { return shown_; }

 private:
  std::string Answer(bool save, std::string_view title, const std::string& folder,
                     std::string_view filter);

  std::vector<Shown> shown_;
  std::deque<std::string> answers_;
};
