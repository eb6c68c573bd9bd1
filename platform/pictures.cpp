// platform/pictures.cpp — picture files: BMP through Qt, JPEG through libjpeg.
#include "platform/pictures.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// clang-format off
#include <jpeglib.h>
// clang-format on

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/qt_text.h"

namespace {
// Larger pictures are refused rather than allocated: no window draws anything near this size.
constexpr unsigned kMaxSide = 16384;

std::string Unreadable(const std::string& path, std::string_view cause_utf8) {
  return J("画像ファイル「") + Cp932FromUtf8(path) + J("」を読み込めません（") +
         Cp932FromUtf8(cause_utf8) + J("）。");
}

bool Fail(const std::string& path, std::string_view cause_utf8, std::string* message) {
  if (message != nullptr) *message = Unreadable(path, cause_utf8);
  return false;
}

bool CheckReadable(const std::string& path, std::string* message) {
  if (!FileExists(path)) return Fail(path, "ファイルがありません", message);
  return true;
}

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
// decoder with the library's own message kept here.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf resume;
  char text[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  (*info->err->format_message)(info, errors->text);
  std::longjmp(errors->resume, 1);
}

void JpegQuiet(j_common_ptr, int) {}

// Decodes `bytes` into `pixels` (RGB888 rows). Nothing with a destructor lives in this frame after
// setjmp, so the jump back is safe.
bool DecodeJpeg(const std::string& bytes, std::vector<unsigned char>& pixels, unsigned& width,
                unsigned& height, char* error_text) {
  jpeg_decompress_struct info;
  JpegErrors errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JpegErrorExit;
  errors.manager.emit_message = JpegQuiet;
  errors.text[0] = '\0';
  if (setjmp(errors.resume) != 0) {
    std::strncpy(error_text, errors.text, JMSG_LENGTH_MAX - 1);
    error_text[JMSG_LENGTH_MAX - 1] = '\0';
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    std::strcpy(error_text, "CMYK JPEG is not supported");
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_width == 0 || info.output_height == 0 || info.output_width > kMaxSide ||
      info.output_height > kMaxSide || info.output_components != 3) {
    std::strcpy(error_text, "unsupported picture size or layout");
    jpeg_destroy_decompress(&info);
    return false;
  }
  width = info.output_width;
  height = info.output_height;
  // Resizing before the first row is read keeps every allocation ahead of the library's calls.
  pixels.resize(static_cast<std::size_t>(width) * height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels.data() + static_cast<std::size_t>(info.output_scanline) * width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}
}  // namespace

bool LoadBitmapPicture(const std::string& path, QImage& image, std::string* message) {
  if (!CheckReadable(path, message)) return false;
  QImage loaded;
  if (!loaded.load(PathToQt(path), "BMP") || loaded.isNull()) {
    return Fail(path, "BMP 画像として読めません", message);
  }
  image = loaded.convertToFormat(QImage::Format_RGB32);
  return true;
}

bool LoadJpegPicture(const std::string& path, QImage& image, std::string* message) {
  if (!CheckReadable(path, message)) return false;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return Fail(path, "ファイルを開けません", message);
  std::vector<unsigned char> pixels;
  unsigned width = 0;
  unsigned height = 0;
  char error_text[JMSG_LENGTH_MAX] = {};
  if (!DecodeJpeg(bytes, pixels, width, height, error_text)) {
    return Fail(path, std::string("JPEG 画像として読めません: ") + error_text, message);
  }
  QImage decoded(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  for (unsigned y = 0; y < height; ++y) {
    const unsigned char* source = pixels.data() + static_cast<std::size_t>(y) * width * 3;
    auto* target = reinterpret_cast<QRgb*>(decoded.scanLine(static_cast<int>(y)));
    for (std::size_t x = 0; x < width; ++x) {
      target[x] = qRgb(source[3 * x], source[3 * x + 1], source[3 * x + 2]);
    }
  }
  image = std::move(decoded);
  return true;
}

bool LoadPicture(const std::string& path, QImage& image, std::string* message) {
  const QString lower = PathToQt(path).toLower();
  if (lower.endsWith(QStringLiteral(".jpg")) || lower.endsWith(QStringLiteral(".jpeg"))) {
    return LoadJpegPicture(path, image, message);
  }
  return LoadBitmapPicture(path, image, message);
}

bool SaveBitmapPicture(const std::string& path, const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB888).save(PathToQt(path), "BMP");
}

bool SaveJpegPicture(const std::string& path, const QImage& image, int quality) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(rgb.width());
  info.image_height = static_cast<JDIMENSION>(rgb.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto* row = const_cast<JSAMPLE*>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(file) == 0;
}
