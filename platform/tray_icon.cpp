// platform/tray_icon.cpp — QSystemTrayIcon, only where the desktop offers a notification area.
#include "platform/tray_icon.h"

#include <QSystemTrayIcon>

#include "platform/qt_text.h"

QtTrayIcon::QtTrayIcon(const QIcon& icon) : icon_(std::make_unique<QSystemTrayIcon>(icon)) {
  QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     if (!OnPress) return;
                     if (reason == QSystemTrayIcon::Trigger) OnPress(Press::Left);
                     if (reason == QSystemTrayIcon::Context) OnPress(Press::Right);
                   });
}

QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::Add(std::string_view tip) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  icon_->setToolTip(ToQt(tip));
  icon_->show();
  return true;
}

void QtTrayIcon::Remove() { icon_->hide(); }

bool QtTrayIcon::Shown() const { return icon_->isVisible(); }
