// client/connection/client_program.cpp — the windows' creation and the program entry.
#include "client/connection/client_program.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <exception>

#include "client/board/board_window.h"
#include "client/connection/challenge_dialog.h"
#include "client/connection/client_main_form.h"
#include "client/connection/connect_window.h"
#include "client/connection/game_chat_window.h"
#include "client/connection/game_settings_dialog.h"
#include "client/connection/lobby_window.h"
#include "client/connection/message_board_window.h"
#include "client/views/counting_board.h"
#include "client/views/diagram_viewer.h"
#include "client/views/game_list_board.h"
#include "client/views/mark_toolbar.h"
#include "client/views/record_preview.h"
#include "platform/asset_files.h"
#include "platform/computer_name.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/qt_text.h"
#include "platform/stone_icons.h"
#include "platform/termination.h"
#include "platform/window_state.h"

namespace {
ClientEnvironment g_env;
std::string g_application_title = "Korvanta";

}  // namespace

const ClientEnvironment& ClientEnv() { return g_env; }

std::string& ApplicationTitle() { return g_application_title; }

void ClientShowMessage(std::string_view text) {
  g_env.prompts->ShowMessage(text, g_application_title);
}

std::string WorkPath(std::string_view relative) { return JoinPath(g_env.work_folder, relative); }

std::string AssetPath(std::string_view name) {
  return FindAssetFile(g_env.work_folder, g_env.program_folder, name);
}

QIcon ClientIcon() { return TwoStoneIcon(false); }

void CreateClientForms(const ClientEnvironment& env) {
  g_env = env;
  g_application_title = "Korvanta";
  // Each window may look at the windows created before it, never at later ones.
  ClientMainForm = new TClientMainForm();
  Form2 = new TForm2();
  Form3 = new TForm3();
  Form4 = new TForm4();
  Form5 = new TForm5();
  Form6 = new TForm6();
  Form7 = new TForm7();
  Form8 = new TForm8();
  Form9 = new TForm9();
  Form11 = new TForm11();
  Form12 = new TForm12();
  Form15 = new TForm15();
  Form14 = new TForm14();
}

namespace {
template <typename T>
void Destroy(T*& form) {
  delete form;
  form = nullptr;
}
}  // namespace

void DestroyClientForms() {
  Destroy(Form14);
  Destroy(Form15);
  Destroy(Form12);
  Destroy(Form11);
  Destroy(Form9);
  Destroy(Form8);
  Destroy(Form7);
  Destroy(Form6);
  Destroy(Form5);
  Destroy(Form4);
  Destroy(Form3);
  Destroy(Form2);
  Destroy(ClientMainForm);
}

int ClientMain(int argc, char** argv) {
  PreferX11WindowSystem();
  QApplication app(argc, argv);
  try {
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(ClientIcon());
    InstallJapaneseFontSubstitutes();
    InstallJapaneseStandardTexts();

    QtClientConnection socket;
    QtPrompts prompts;
    QtClipboard clipboard;
    QtSoundPlayer sounds;
    SystemClock clock;
    SeededRandomNumbers random(static_cast<unsigned long long>(clock.EpochSeconds()));

    ClientEnvironment env;
    env.socket = &socket;
    env.prompts = &prompts;
    env.clipboard = &clipboard;
    env.sounds = &sounds;
    env.clock = &clock;
    env.random = &random;
    env.program_folder = PathFromQt(QCoreApplication::applicationDirPath()) + "/";
    env.computer_name = ComputerName();

    CreateClientForms(env);
    // The main form's close ends the program whatever other windows are open.
    ClientMainForm->OnClosed = [] { QCoreApplication::exit(0); };
    // Ending from outside (SIGTERM, Ctrl+C) still writes the settings.
    OnTerminationSignal([] { ClientMainForm->Close(); });
    Form2->show();
    app.exec();
    // The connection ends with the program; no event may reach the windows while they go.
    socket.SetListener(nullptr);
    DestroyClientForms();
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, QStringLiteral("Korvanta"), QString::fromUtf8(error.what()));
  }
  return 0;
}
