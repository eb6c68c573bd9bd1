// server/main.cpp — Kordraum, the match server: listens on TCP port 4523.
#include "server/server_window.h"

int main(int argc, char** argv) { return ServerMain(argc, argv, 4523); }
