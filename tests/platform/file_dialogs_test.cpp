// Tests of the file dialogs: a name typed without a suffix gets the one of the filter's first
// pattern, in the save dialog and in the open dialog that a window follows.
#include "platform/file_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/cp932.h"
#include "platform/files.h"

namespace {

// Types `name` into the next file dialog and accepts it, as a user does; a dialog that does not
// take it is cancelled after a while, so a failing test goes on.
class TypedAnswer {
 public:
  explicit TypedAnswer(QString name) : name_(std::move(name)) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
  }

 private:
  void Poll() {
    if (dialog_ == nullptr) {
      dialog_ = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog_ == nullptr || !dialog_->isVisible()) return;
      if (auto* edit = dialog_->findChild<QLineEdit*>("fileNameEdit")) edit->setText(name_);
      QMetaObject::invokeMethod(dialog_, "accept");
    } else if (clock_.elapsed() > 10000 && dialog_->isVisible()) {
      // The typed name was refused: whatever box says so is closed, then the dialog.
      QWidget* box = QApplication::activeModalWidget();
      if (box != nullptr && box != dialog_) box->close();
      QMetaObject::invokeMethod(dialog_, "reject");
    }
  }

  QString name_;
  QTimer timer_;
  QElapsedTimer clock_;
  QPointer<QFileDialog> dialog_;
};

}  // namespace

TEST(FileDialogs, ANameTypedWithoutASuffixGetsTheFiltersSuffix) {
  const std::string records = J("SGF棋譜ファイル|*.sgf|すべてのファイル(*.*)|*.*");
  EXPECT_EQ(FileDialogSuffix(records), "sgf");
  EXPECT_EQ(FileDialogSuffix("All|*.*"), "");
  EXPECT_EQ(FileDialogSuffix("Two|*.sgf;*.txt"), "");
  EXPECT_EQ(FileDialogSuffix(""), "");

  QTemporaryDir temp;
  const std::string folder = temp.path().toStdString();
  ASSERT_TRUE(WriteWholeFile(folder + "/game.sgf", "(;SZ[19])"));
  QtFileDialogs dialogs;
  struct Case {
    const char* typed;
    bool save;
    const char* chosen;
  } cases[] = {
      {"new", true, "new.sgf"},
      {"notes.txt", true, "notes.txt"},
      {"game", false, "game.sgf"},
  };
  for (const Case& c : cases) {
    TypedAnswer answer(QString::fromUtf8(c.typed));
    OpenDialogEvents quiet;
    const std::string path = c.save
                                 ? dialogs.ChooseSaveFile("save", folder, records)
                                 : dialogs.ChooseOpenFileFollowed("open", folder, records, quiet);
    EXPECT_EQ(path, folder + "/" + c.chosen) << c.typed;
  }
}
