// client/connection/model/client_settings.cpp — reading and writing QuellVanta.dat.
#include "client/connection/model/client_settings.h"

#include <algorithm>

#include "protocol/tag_message.h"

std::string SettingsValue(std::string_view text, std::string_view key) {
  const std::size_t at = text.find(key);
  if (at == std::string_view::npos) return {};
  const std::string_view rest = text.substr(at + key.size());
  const std::size_t close = rest.find(']');
  if (close == std::string_view::npos) return {};
  return std::string(rest.substr(0, close));
}

void ReadClientSettings(std::string_view text, ClientSettingsFile& settings) {
  struct TextSetting {
    std::string_view key;
    std::string ClientSettingsFile::*field;
  };
  static constexpr TextSetting kTextSettings[] = {
      {"UserName[", &ClientSettingsFile::NameEdit},
      {"SaveDialogDir[", &ClientSettingsFile::SaveDialogDir},
      {"OpenDialogDir[", &ClientSettingsFile::OpenDialogDir},
      {"KuroTime[", &ClientSettingsFile::KuroTime},
      {"SiroTime[", &ClientSettingsFile::SiroTime},
      {"AddTime[", &ClientSettingsFile::AddTime},
      {"Komi[", &ClientSettingsFile::Komi},
      {"Wari[", &ClientSettingsFile::Wari},
      {"BanSize[", &ClientSettingsFile::BoardSizeText},
  };
  for (const TextSetting& setting : kTextSettings) {
    std::string value = SettingsValue(text, setting.key);
    if (!value.empty()) settings.*setting.field = std::move(value);
  }
  settings.OnlyWatch = text.find("OnlyWatch[1]") != std::string_view::npos;
  settings.AskEnd = text.find("AskEnd[1]") != std::string_view::npos;

  const std::string count = SettingsValue(text, "KeyCount[");
  if (count.empty()) return;
  settings.JoinKeyCount = std::clamp(ReadNumber(count, 0), 1, 5);
  for (int n = settings.JoinKeyCount; n >= 1; --n) {
    std::string key = SettingsValue(text, "Key" + std::to_string(n) + "[");
    if (!key.empty()) settings.JoinKeys[static_cast<std::size_t>(n)] = std::move(key);
  }
}

std::vector<std::string> ClientSettingsLines(const ClientSettingsFile& settings) {
  auto line = [](std::string_view key, std::string_view value) {
    std::string text(key);
    text += '[';
    text += value;
    text += ']';
    return text;
  };
  std::vector<std::string> lines;
  if (!settings.NameEdit.empty()) lines.push_back(line("UserName", settings.NameEdit));
  lines.push_back(line("OnlyWatch", settings.OnlyWatch ? "1" : "0"));
  lines.push_back(line("AskEnd", settings.AskEnd ? "1" : "0"));
  lines.push_back(line("SaveDialogDir", settings.SaveDialogDir));
  lines.push_back(line("OpenDialogDir", settings.OpenDialogDir));
  lines.push_back(line("KuroTime", settings.KuroTime));
  lines.push_back(line("SiroTime", settings.SiroTime));
  lines.push_back(line("AddTime", settings.AddTime));
  lines.push_back(line("Komi", settings.Komi));
  lines.push_back(line("Wari", settings.Wari));
  lines.push_back(line("BanSize", settings.BoardSizeText));
  const int count = std::clamp(settings.JoinKeyCount, 0, 5);
  if (count > 0) {
    lines.push_back(line("KeyCount", std::to_string(count)));
    for (int i = count; i >= 1; --i) {
      lines.push_back(
          line("Key" + std::to_string(i), settings.JoinKeys[static_cast<std::size_t>(i)]));
    }
  }
  return lines;
}

std::string BoardSizeTextOfIndex(int index) {
  if (index == 1) return "13";
  if (index == 2) return "9";
  return "19";
}

int BoardSizeIndexOfText(std::string_view text) {
  if (text == "13") return 1;
  if (text == "9") return 2;
  return 0;
}
