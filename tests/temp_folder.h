// tests/temp_folder.h — a fresh folder for one test's files, and reading a file back.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/files.h"

// A new empty folder below the system's temporary folder; kept after the test for inspection.
inline std::string TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kortest.XXXXXX").string();
  return mkdtemp(pattern.data());
}

// The file's bytes, or the empty text when it cannot be read.
inline std::string ReadBack(const std::string& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}
