// platform/desktop.cpp — files opened with the desktop's program for them.
#include "platform/desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/qt_text.h"

void QtDesktop::OpenFile(const std::string& path, std::function<void()> failed) {
  const QString file = QFileInfo(PathToQt(path)).absoluteFilePath();
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) {
    // Qt starts the launcher it finds and does not wait for it; false when it found none.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)) && failed) failed();
    return;
  }
  // xdg-open ends with a failure status when no program could open the file. It may also stay
  // until the program it started ends, so it is waited for from the event loop; a process still
  // running when ours ends is left to go on.
  auto* process = new QProcess();
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QObject::connect(process, &QProcess::finished, process,
                   [process, failed](int code, QProcess::ExitStatus status) {
                     if ((status != QProcess::NormalExit || code != 0) && failed) failed();
                     process->deleteLater();
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, failed](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     if (failed) failed();
                     process->deleteLater();
                   });
  process->start(opener, {file});
}
