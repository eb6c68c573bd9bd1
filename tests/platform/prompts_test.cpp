// Tests of the standard texts of boxes: both programs' questions answer with Japanese buttons.
#include "platform/prompts.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>

TEST(StandardTexts, QuestionAndMessageButtonsSpeakJapanese) {
  InstallJapaneseStandardTexts();
  QMessageBox box(QMessageBox::Question, QString(), QString(),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QString::fromUtf8("はい(&Y)"));
  EXPECT_EQ(box.button(QMessageBox::No)->text(), QString::fromUtf8("いいえ(&N)"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("キャンセル"));
}
