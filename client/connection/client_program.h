// client/connection/client_program.h — Korvanta from start to end: the desktop services every
// window uses, the creation of all windows in their fixed order, and the program entry.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/random_numbers.h"
#include "platform/sockets.h"
#include "platform/sound.h"

class QIcon;

// The program passes the real services; tests pass their doubles.
struct ClientEnvironment {
  ClientConnection* socket = nullptr;  // the one connection to the server
  Prompts* prompts = nullptr;
  Clipboard* clipboard = nullptr;
  SoundPlayer* sounds = nullptr;
  const Clock* clock = nullptr;
  RandomNumbers* random = nullptr;
  std::string program_folder;     // folder of the program file, with a trailing "/"
  std::string work_folder = ".";  // the record folder SGF/; pictures (bmp/) and sounds, when here
  std::string computer_name;      // the default login name
  std::uint16_t port = 4523;
};

// The services of this run (valid between CreateClientForms and DestroyClientForms).
const ClientEnvironment& ClientEnv();

// The application title: the caption of every plain message box. "Korvanta" until the login.
std::string& ApplicationTitle();
// A plain message box with the application title.
void ClientShowMessage(std::string_view text);

// A path below the work folder ("SGF" -> "<work>/SGF").
std::string WorkPath(std::string_view relative);
// Where the picture or sound `name` ("bmp/VantaBG.jpg", "stone.wav") is read from: the work
// folder when it holds the file, else the program folder.
std::string AssetPath(std::string_view name);

// Creates every window in the fixed order, each stored in its global reference: ClientMainForm,
// Form2, Form3, Form4, Form5, Form6, Form7, Form8, Form9, Form11, Form12, Form15, Form14.
void CreateClientForms(const ClientEnvironment& env);
// Destroys them in the reverse order and clears the references.
void DestroyClientForms();

// The client's icon: a black and a white stone.
QIcon ClientIcon();

// The program entry: runs the client until its main form closes; returns 0.
int ClientMain(int argc, char** argv);
