// platform/asset_files.h — where the programs read their pictures and sounds: the working folder
// first, then the program folder, so a program started from any folder finds its own files.
#pragma once
#include <string>
#include <string_view>

// The path of the picture or sound `name` (relative, "bmp/GoBan19.bmp" or "stone.wav"): below
// `work_folder` when the file is there, else below `program_folder` when it is there. When neither
// holds it, the path below `work_folder`, so that a message names the first place looked at.
std::string FindAssetFile(std::string_view work_folder, std::string_view program_folder,
                          std::string_view name);
