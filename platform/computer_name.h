// platform/computer_name.h — this machine's name, the client's default login name.
#pragma once
#include <string>

// The host name up to its first "." (the machine's own name without a domain); empty when the
// system cannot tell.
std::string ComputerName();
