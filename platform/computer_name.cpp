// platform/computer_name.cpp — the machine's name from gethostname.
#include "platform/computer_name.h"

#include <unistd.h>

#include <array>

std::string ComputerName() {
  std::array<char, 256> buffer{};
  if (gethostname(buffer.data(), buffer.size() - 1) != 0) return {};
  std::string name(buffer.data());
  const std::size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}
