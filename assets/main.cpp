// assets/main.cpp — writes every picture and sound into the folder given as the only argument.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "assets/asset_generator.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const std::string folder = argv[1];

  std::vector<AssetFile> files = LobbyAssets();
  for (AssetFile& file : BoardAssets()) files.push_back(std::move(file));
  for (AssetFile& file : ViewerAssets()) files.push_back(std::move(file));
  for (AssetFile& file : PreviewAssets()) files.push_back(std::move(file));
  int failures = 0;
  for (const AssetFile& file : files) {
    const std::string path = JoinPath(folder, file.name);
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos) MakeDirectory(path.substr(0, slash));
    if (!file.write(path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
