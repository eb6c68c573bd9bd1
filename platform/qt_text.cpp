// platform/qt_text.cpp — conversions between cp932 bytes and QString.
#include "platform/qt_text.h"

#include "platform/cp932.h"

QString ToQt(std::string_view cp932) { return QString::fromStdString(Utf8FromCp932(cp932)); }

std::string FromQt(const QString& text) { return Cp932FromUtf8(text.toStdString()); }

QString PathToQt(const std::string& path) { return QString::fromStdString(path); }

std::string PathFromQt(const QString& path) { return path.toStdString(); }
