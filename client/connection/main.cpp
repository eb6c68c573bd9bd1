// client/connection/main.cpp — Korvanta, the client.
#include "client/connection/client_program.h"

int main(int argc, char** argv) { return ClientMain(argc, argv); }
