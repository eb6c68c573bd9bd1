// platform/files.cpp — file helpers on POSIX and std::filesystem.
#include "platform/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool DirectoryExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

std::int64_t FileSizeOf(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  return ec ? -1 : static_cast<std::int64_t>(size);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  // A folder opens like a file but fails on the first read, which the stream reports by throwing.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  try {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    bytes = std::move(content);
    return true;
  } catch (const std::ios_base::failure&) {
    return false;
  }
}

namespace {
bool WriteWithMode(const std::string& path, std::string_view bytes, std::ios::openmode mode) {
  std::ofstream out(path, std::ios::binary | mode);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}
}  // namespace

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  return WriteWithMode(path, bytes, std::ios::trunc);
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  return WriteWithMode(path, bytes, std::ios::app);
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  // A hard link fails when `to` exists, so nothing is ever replaced.
  if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0;
  if (errno == EEXIST) return false;
  if (FileExists(to)) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool MakeDirectory(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  return DirectoryExists(path);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string path(folder);
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}
