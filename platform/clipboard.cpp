// platform/clipboard.cpp — the Qt clipboard.
#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/qt_text.h"

void QtClipboard::SetText(std::string_view cp932) {
  QGuiApplication::clipboard()->setText(ToQt(cp932));
}

std::string QtClipboard::Text() const { return FromQt(QGuiApplication::clipboard()->text()); }
