// tests/qt_test_main.cpp — GoogleTest main with a QApplication, offscreen by default.
#include <QApplication>
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/fonts.h"

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  InstallJapaneseFontSubstitutes();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
