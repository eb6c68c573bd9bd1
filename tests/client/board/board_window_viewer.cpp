// tests/client/board/board_window_viewer.cpp — shows the board window with a record file read
// onto it, as a user sees it: for looking at the pictures, the drawing and the turned view.
//
//   board_window_viewer <record file> [--turn] [--numbers] [--shot <picture.png>]
//
// The pictures come from the folder of the programs. With --shot the window is saved as a
// picture once it is shown and the viewer ends; otherwise it stays open until closed.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <string>

#include "client/board/board_window.h"
#include "client/connection/client_program.h"
#include "client/connection/connect_window.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/fake_client_connection.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/prompts.h"
#include "platform/random_numbers.h"
#include "platform/sound.h"
#include "platform/window_state.h"

int main(int argc, char** argv) {
  PreferX11WindowSystem();
  QApplication app(argc, argv);
  InstallJapaneseFontSubstitutes();
  std::string record_path, shot;
  bool turn = false, numbers = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--turn") {
      turn = true;
    } else if (arg == "--numbers") {
      numbers = true;
    } else if (arg == "--shot" && i + 1 < argc) {
      shot = argv[++i];
    } else {
      record_path = arg;
    }
  }
  std::string record;
  if (record_path.empty() || !ReadWholeFile(record_path, record)) {
    std::fprintf(stderr, "usage: %s <record file> [--turn] [--numbers] [--shot <png>]\n", argv[0]);
    return 2;
  }

  FakeClientConnection socket;
  QtPrompts prompts;
  MemoryClipboard clipboard;
  RecordingSoundPlayer sounds;
  SystemClock clock;
  SeededRandomNumbers random(1);
  ClientEnvironment env;
  env.socket = &socket;
  env.prompts = &prompts;
  env.clipboard = &clipboard;
  env.sounds = &sounds;
  env.clock = &clock;
  env.random = &random;
  env.program_folder = std::string(KOR_BIN_DIR) + "/";
  env.work_folder = KOR_BIN_DIR;
  env.computer_name = "viewer";
  CreateClientForms(env);
  // Closing the window only ends the viewer: nothing to confirm.
  Form2->AskEndFlag = 0;
  Form4->Timer1->stop();

  Form4->LoadKifuText(record);
  if (numbers) {
    Form4->NumbersOn = true;
    Form4->FormPaint();
  }
  if (turn) Form4->Image19Click();
  Form4->show();
  int result = 0;
  if (!shot.empty()) {
    QTimer::singleShot(600, [&] {
      if (!Form4->grab().save(QString::fromStdString(shot))) result = 1;
      QCoreApplication::exit(0);
    });
  }
  // The viewer ends with the board window (closing it would bring up the lobby otherwise).
  QTimer closed;
  QObject::connect(&closed, &QTimer::timeout, [] {
    if (!Form4->isVisible()) QCoreApplication::exit(0);
  });
  closed.start(200);
  app.exec();
  DestroyClientForms();
  return result;
}
