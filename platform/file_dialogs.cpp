// platform/file_dialogs.cpp — Qt's file dialogs and the scripted test double.
#include "platform/file_dialogs.h"

#include <QFileDialog>
#include <QTimer>

#include "platform/cp932.h"
#include "platform/qt_text.h"
#include "platform/window_state.h"

namespace {
class QtDialogWindow : public FileDialogWindow {
 public:
  explicit QtDialogWindow(QFileDialog* dialog) : dialog_(dialog) {}
  void Place(int left, int top, int width, int height) override {
    SetWindowBounds(dialog_, left, top, width, height);
  }
  QWidget* Widget() override { return dialog_; }

 private:
  QFileDialog* dialog_;
};

class RecordedDialogWindow : public FileDialogWindow {
 public:
  void Place(int left, int top, int width, int height) override {
    placed = {left, top, width, height};
  }
  QWidget* Widget() override { return nullptr; }

  std::array<int, 4> placed = {-1, -1, -1, -1};
};
}  // namespace

std::string QtFileFilter(std::string_view filter) {
  const std::string utf8 = Utf8FromCp932(filter);
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = utf8.find('|', start);
    parts.push_back(utf8.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::string result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns = parts[i + 1];
    for (char& c : patterns) {
      if (c == ';') c = ' ';
    }
    if (!result.empty()) result += ";;";
    result += parts[i] + " (" + patterns + ")";
  }
  return result;
}

std::string FileDialogSuffix(std::string_view filter) {
  const std::size_t first = filter.find('|');
  if (first == std::string_view::npos) return {};
  std::string_view pattern = filter.substr(first + 1);
  pattern = pattern.substr(0, pattern.find('|'));
  if (!pattern.starts_with("*.")) return {};
  const std::string_view suffix = pattern.substr(2);
  if (suffix.empty() || suffix.find_first_of("*?;. ") != std::string_view::npos) return {};
  return std::string(suffix);
}

namespace {
// A dialog of `mode` whose typed names without "." get the filter's suffix.
void PrepareDialog(QFileDialog& dialog, QFileDialog::AcceptMode mode, std::string_view filter) {
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                     : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QString::fromStdString(FileDialogSuffix(filter)));
}

std::string ChosenPath(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return PathFromQt(dialog.selectedFiles().front());
}
}  // namespace

std::string QtFileDialogs::ChooseSaveFile(std::string_view title, const std::string& folder,
                                          std::string_view filter) {
  QFileDialog dialog(parent_, ToQt(title), PathToQt(folder),
                     QString::fromStdString(QtFileFilter(filter)));
  PrepareDialog(dialog, QFileDialog::AcceptSave, filter);
  return ChosenPath(dialog);
}

std::string QtFileDialogs::ChooseOpenFile(std::string_view title, const std::string& folder,
                                          std::string_view filter) {
  QFileDialog dialog(parent_, ToQt(title), PathToQt(folder),
                     QString::fromStdString(QtFileFilter(filter)));
  PrepareDialog(dialog, QFileDialog::AcceptOpen, filter);
  return ChosenPath(dialog);
}

std::string QtFileDialogs::ChooseOpenFileFollowed(std::string_view title, const std::string& folder,
                                                  std::string_view filter,
                                                  OpenDialogEvents& events) {
  QFileDialog dialog(parent_, ToQt(title), PathToQt(folder),
                     QString::fromStdString(QtFileFilter(filter)));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  PrepareDialog(dialog, QFileDialog::AcceptOpen, filter);
  QtDialogWindow window(&dialog);
  QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                   [&](const QString&) { events.OpenDialogFolderChange(window); });
  QObject::connect(&dialog, &QFileDialog::currentChanged, &dialog, [&](const QString& path) {
    events.OpenDialogSelectionChange(PathFromQt(path));
  });
  // Once the dialog's own loop runs, it is on the screen with its first folder.
  QTimer::singleShot(0, &dialog, [&] {
    events.OpenDialogShow(window);
    events.OpenDialogFolderChange(window);
  });
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  events.OpenDialogClose();
  return chosen ? PathFromQt(dialog.selectedFiles().front()) : std::string();
}

std::string ScriptedFileDialogs::ChooseOpenFileFollowed(std::string_view title,
                                                        const std::string& folder,
                                                        std::string_view filter,
                                                        OpenDialogEvents& events) {
  const std::size_t index = shown_.size();
  shown_.push_back({false, std::string(title), folder, std::string(filter)});
  RecordedDialogWindow window;
  events.OpenDialogShow(window);
  events.OpenDialogFolderChange(window);
  std::string path;
  if (!answers_.empty()) {
    path = std::move(answers_.front());
    answers_.pop_front();
  }
  if (!path.empty()) events.OpenDialogSelectionChange(path);
  events.OpenDialogClose();
  shown_[index].placed = window.placed;
  return path;
}

std::string ScriptedFileDialogs::ChooseSaveFile(std::string_view title, const std::string& folder,
                                                std::string_view filter) {
  return Answer(true, title, folder, filter);
}

std::string ScriptedFileDialogs::ChooseOpenFile(std::string_view title, const std::string& folder,
                                                std::string_view filter) {
  return Answer(false, title, folder, filter);
}

std::string ScriptedFileDialogs::Answer(bool save, std::string_view title,
                                        const std::string& folder, std::string_view filter) {
  shown_.push_back({save, std::string(title), folder, std::string(filter)});
  if (answers_.empty()) return {};
  std::string path = std::move(answers_.front());
  answers_.pop_front();
  return path;
}
