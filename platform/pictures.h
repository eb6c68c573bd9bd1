// platform/pictures.h — the pictures the windows load and draw: BMP through Qt, JPEG through
// libjpeg, both into a QImage. A picture that cannot be read is a message naming the file.
#pragma once
#include <QImage>
#include <string>

// Each loader returns false and leaves `image` unchanged when the file is missing or unreadable;
// `message` (when given) then holds a cp932 text for the user that names the file and the cause.
bool LoadBitmapPicture(const std::string& path, QImage& image, std::string* message);
bool LoadJpegPicture(const std::string& path, QImage& image, std::string* message);
// Chooses the loader by the name's extension (".jpg" and ".jpeg" in any case are JPEG).
bool LoadPicture(const std::string& path, QImage& image, std::string* message);

// Writers for the picture generator and tests; false when the file cannot be written.
bool SaveBitmapPicture(const std::string& path, const QImage& image);
bool SaveJpegPicture(const std::string& path, const QImage& image, int quality);
