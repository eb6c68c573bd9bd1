// tests/client/connection/client_windows_fixture.cpp — the windows on their test doubles.
#include "tests/client/connection/client_windows_fixture.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>

#include "client/connection/client_main_form.h"
#include "client/connection/connect_window.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/qt_text.h"
#include "tests/client/board/board_test_pictures.h"

ClientWindowsTest::ClientWindowsTest() {
  env_.socket = &socket_;
  env_.prompts = &prompts_;
  env_.clipboard = &clipboard_;
  env_.sounds = &sounds_;
  env_.clock = &clock_;
  env_.random = &random_;
  env_.program_folder = PathFromQt(program_dir_.path()) + "/";
  env_.work_folder = PathFromQt(work_dir_.path());
  env_.computer_name = "gohost";
  env_.port = 4523;
  // The lobby's background picture, so that starting shows no message.
  MakeDirectory(WorkPathOf("bmp"));
  QImage picture(32, 24, QImage::Format_RGB32);
  picture.fill(QColor(240, 230, 210));
  SaveJpegPicture(WorkPathOf("bmp/VantaBG.jpg"), picture, 90);
  // The board window's pictures, where it loads them at start and on a size change.
  WriteBoardWindowPictures(env_.work_folder);
  WriteBoardWindowPictures(env_.program_folder);
}

ClientWindowsTest::~ClientWindowsTest() {
  socket_.AfterEachRead = nullptr;
  if (started_) DestroyClientForms();
}

void ClientWindowsTest::Start() {
  CreateClientForms(env_);
  started_ = true;
  // The server falls quiet after each read: a message that waited for its tail is read then.
  socket_.AfterEachRead = [] { Form2->HandOverHeldMessage(); };
  ClientMainForm->OnClosed = [this] { ended_ = true; };
  Form2->show();
}

void ClientWindowsTest::Stop() {
  if (!started_) return;
  socket_.AfterEachRead = nullptr;
  DestroyClientForms();
  started_ = false;
  socket_.Drop();
  socket_.Take();
}

void ClientWindowsTest::StartAndLogIn(const std::string& name, const std::string& accepted) {
  Start();
  Form2->VantaKey->setEditText("J0013000");
  Form2->Edit1->setText(ToQt(name));
  Form2->BitBtn1Click();
  socket_.Accept();
  socket_.Deliver("<<QuellName=");
  socket_.Deliver(accepted);
  socket_.Take();
  prompts_.Forget();
}

std::vector<std::string> ClientWindowsTest::Messages() {
  std::vector<std::string> texts;
  for (const auto& shown : prompts_.shown()) texts.push_back(shown.text);
  prompts_.Forget();
  return texts;
}

std::string ClientWindowsTest::ProgramPath(const std::string& name) const {
  return env_.program_folder + name;
}

std::string ClientWindowsTest::WorkPathOf(const std::string& name) const {
  return JoinPath(env_.work_folder, name);
}
