// platform/prompts.cpp — Qt message boxes and the scripted test double.
#include "platform/prompts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include "platform/qt_text.h"

void QtPrompts::ShowMessage(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::NoIcon, ToQt(caption), ToQt(text), QMessageBox::Ok, parent_);
  box.exec();
}

void QtPrompts::ShowMessageFor(std::string_view text, std::string_view caption, int seconds) {
  QMessageBox box(QMessageBox::NoIcon, ToQt(caption), ToQt(text), QMessageBox::Ok, parent_);
  QTimer::singleShot(seconds * 1000, &box, [&box] { box.done(QMessageBox::Ok); });
  box.exec();
}

bool QtPrompts::AskYesNo(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::Question, ToQt(caption), ToQt(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void InstallJapaneseStandardTexts() {
  auto* texts = new QTranslator(QCoreApplication::instance());
  if (texts->load(QStringLiteral("qtbase_ja"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(texts);
  } else {
    delete texts;
  }
}

void ScriptedPrompts::ShowMessage(std::string_view text, std::string_view caption) {
  shown_.push_back({false, std::string(text), std::string(caption)});
}

bool ScriptedPrompts::AskYesNo(std::string_view text, std::string_view caption) {
  shown_.push_back({true, std::string(text), std::string(caption)});
  if (answers_.empty()) return false;
  const bool yes = answers_.front();
  answers_.pop_front();
  return yes;
}
