// platform/file_dialogs.cpp — Qt's file dialogs and the scripted test double.
#include "platform/file_dialogs.h"

#include <QFileDialog>

#include "platform/cp932.h"
#include "platform/qt_text.h"

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

std::string QtFileDialogs::ChooseSaveFile(std::string_view title, const std::string& folder,
                                          std::string_view filter) {
  const QString chosen = QFileDialog::getSaveFileName(parent_, ToQt(title), PathToQt(folder),
                                                      QString::fromStdString(QtFileFilter(filter)));
  return PathFromQt(chosen);
}

std::string QtFileDialogs::ChooseOpenFile(std::string_view title, const std::string& folder,
                                          std::string_view filter) {
  const QString chosen = QFileDialog::getOpenFileName(parent_, ToQt(title), PathToQt(folder),
                                                      QString::fromStdString(QtFileFilter(filter)));
  return PathFromQt(chosen);
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
