// platform/asset_files.cpp — looking up pictures and sounds in the working and program folders.
#include "platform/asset_files.h"

#include "platform/files.h"

std::string FindAssetFile(std::string_view work_folder, std::string_view program_folder,
                          std::string_view name) {
  std::string in_work = JoinPath(work_folder, name);
  if (FileExists(in_work) || program_folder.empty()) return in_work;
  std::string in_program = JoinPath(program_folder, name);
  return FileExists(in_program) ? in_program : in_work;
}
