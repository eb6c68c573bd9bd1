// server/server_tables.cpp — initial values of the server's tables.
#include "server/server_tables.h"

ServerTables::ServerTables() = default;
