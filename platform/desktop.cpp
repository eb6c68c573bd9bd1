// platform/desktop.cpp — QDesktopServices opens files with the desktop's program.
#include "platform/desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/qt_text.h"

bool QtDesktop::OpenFile(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(PathToQt(path)).absoluteFilePath()));
}
