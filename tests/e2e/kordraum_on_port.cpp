// tests/e2e/kordraum_on_port.cpp — the server program with its port as the first argument, so
// end-to-end tests can run it beside a server on 4523. Everything else is the program itself.
#include <cstdlib>

#include "protocol/tag_message.h"
#include "server/server_window.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const int port = ReadNumber(argv[1], -1);
  if (port < 0 || port > 65535) return 2;
  argv[1] = argv[0];
  return ServerMain(argc - 1, argv + 1, static_cast<std::uint16_t>(port));
}
