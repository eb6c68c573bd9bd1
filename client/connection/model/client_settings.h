// client/connection/model/client_settings.h — the client's settings file QuellVanta.dat: one
// "key[value]" line per setting, read by searching the whole text for each key.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kClientSettingsFileName = "QuellVanta.dat";

// What the file keeps. Reading changes only what the file says; writing writes every field.
struct ClientSettingsFile {
  std::string NameEdit;  // the name edit's text ("UserName["); not written while empty
  bool OnlyWatch = false;
  bool AskEnd = true;
  std::string SaveDialogDir;
  std::string OpenDialogDir;
  std::string KuroTime;
  std::string SiroTime;
  std::string AddTime;
  std::string Komi;
  std::string Wari;
  std::string BoardSizeText;  // "19", "13" or "9" ("BanSize[")
  // Remembered join keys 1..5 (index 0 unused), most recent first; the first JoinKeyCount count.
  std::array<std::string, 6> JoinKeys;
  int JoinKeyCount = 0;
};

// The text of key `key` (with its "["): the bytes after its first occurrence anywhere in `text`
// up to the next "]"; empty when the key or the "]" is missing or the value is empty.
std::string SettingsValue(std::string_view text, std::string_view key);

// Applies a file's whole text (lines joined by CR LF) to `settings`: a text value is taken only
// when it is not empty; the two switches are set exactly when "OnlyWatch[1]" / "AskEnd[1]" occur;
// "KeyCount[" is read as a number (0 when not one), clamped to 1..5, and keys 1..count are taken
// where present.
void ReadClientSettings(std::string_view text, ClientSettingsFile& settings);

// The file's lines in their fixed order (each written followed by CR LF).
std::vector<std::string> ClientSettingsLines(const ClientSettingsFile& settings);

// The board size choice of the game settings dialog (0 = 19, 1 = 13, 2 = 9) and its text.
std::string BoardSizeTextOfIndex(int index);
int BoardSizeIndexOfText(std::string_view text);
