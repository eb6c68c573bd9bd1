// platform/files.h — whole-file reading and writing, sizes, moves and folders; paths are UTF-8.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Size in bytes; -1 when the file does not exist or cannot be examined.
std::int64_t FileSizeOf(const std::string& path);
// False, leaving `bytes` alone, for a missing or unreadable file and for anything but a file.
bool ReadWholeFile(const std::string& path, std::string& bytes);
// Creates or replaces the file with `bytes`.
bool WriteWholeFile(const std::string& path, std::string_view bytes);
// Appends `bytes` at the end of the file, creating it when missing.
bool AppendToFile(const std::string& path, std::string_view bytes);
// Moves `from` to `to`; fails rather than replace an existing `to`.
bool MoveFileNoReplace(const std::string& from, const std::string& to);
// Creates the folder (and its parents); true when it exists afterwards.
bool MakeDirectory(const std::string& path);
// `folder` joined with `name` by one "/".
std::string JoinPath(std::string_view folder, std::string_view name);
