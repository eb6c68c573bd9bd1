// platform/sound.cpp — asynchronous sounds through QSoundEffect.
#include "platform/sound.h"

#include <QDir>
#include <QSoundEffect>
#include <QUrl>

#include "platform/files.h"
#include "platform/qt_text.h"

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::Play(const std::string& file_name) {
  // The name is looked up in the current folder at every call, so a sound that appears later
  // still plays, and one that vanished stays silent.
  const QString path = QDir::current().absoluteFilePath(PathToQt(file_name));
  if (!FileExists(PathFromQt(path))) return;
  std::unique_ptr<QSoundEffect>& effect = effects_[PathFromQt(path)];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(path));
  }
  if (effect->status() == QSoundEffect::Error) return;
  effect->stop();
  effect->play();
}

bool QtSoundPlayer::Settled() const {
  for (const auto& [path, effect] : effects_) {
    if (effect->status() == QSoundEffect::Loading) return false;
  }
  return true;
}
