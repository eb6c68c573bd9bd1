// platform/qt_text.h — cp932 text where it meets Qt: widget texts and file-system paths.
#pragma once
#include <QString>
#include <string>
#include <string_view>

// cp932 bytes to a widget text and back.
QString ToQt(std::string_view cp932);
std::string FromQt(const QString& text);
// A UTF-8 path (never cp932) to Qt and back.
QString PathToQt(const std::string& path);
std::string PathFromQt(const QString& path);
