// The wide test font: a minimal TrueType file (head, hhea, maxp, hmtx, cmap, loca, glyf, name,
// post) whose glyphs 1 to 10 are the same box, for the digits 0 to 9.
#include "tests/wide_test_font.h"

#include <QFont>
#include <QFontDatabase>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>

namespace {

constexpr int kBoxHeight = 700;
constexpr int kGlyphs = 11;  // .notdef and the ten digits

// Big-endian writer for the sfnt tables; 16-bit values may be given signed or unsigned.
struct Bytes {
  QByteArray data;
  Bytes& U16(std::initializer_list<int> values) {
    for (const int v : values) {
      data.append(static_cast<char>((v >> 8) & 0xFF));
      data.append(static_cast<char>(v & 0xFF));
    }
    return *this;
  }
  Bytes& U32(std::uint32_t v) { return U16({static_cast<int>(v >> 16), static_cast<int>(v)}); }
  Bytes& Zeros(int n) {
    data.append(n, '\0');
    return *this;
  }
};

QByteArray Head(int boxWidth) {
  Bytes b;
  b.U32(0x00010000).U32(0x00010000).U32(0).U32(0x5F0F3CF5);  // versions, checksum, magic
  b.U16({0x000B, 1000}).Zeros(16);                           // flags, units per em, dates
  b.U16({0, 0, boxWidth, kBoxHeight});                       // bounding box
  b.U16({0, 6, 2, 0, 0});  // style, smallest size, direction, short loca, glyph format
  return b.data;
}

QByteArray Hhea(int boxWidth) {
  Bytes b;
  b.U32(0x00010000).U16({800, -200, 0, boxWidth, 0, 0, boxWidth, 1, 0, 0});
  b.Zeros(8).U16({0, 2});  // metric format, two full metrics
  return b.data;
}

QByteArray Maxp() {
  Bytes b;
  b.U32(0x00010000).U16({kGlyphs, 4, 1, 0, 0, 2}).Zeros(16);  // glyphs, points, contours, zones
  return b.data;
}

// .notdef, then the digits: the last advance holds for every later glyph, which lists only its
// left side bearing.
QByteArray Hmtx(int boxWidth) {
  Bytes b;
  b.U16({500, 0, boxWidth, 0});
  for (int glyph = 2; glyph < kGlyphs; ++glyph) b.U16({0});
  return b.data;
}

// Windows Unicode, format 4: the segment '0'..'9' maps to glyphs 1..10, then the closing segment.
QByteArray Cmap() {
  Bytes b;
  b.U16({0, 1, 3, 1}).U32(12);
  b.U16({4, 32, 0, 4, 4, 1, 0});         // format, length, language, 2 x segments, search fields
  b.U16({'9', 0xFFFF, 0, '0', 0xFFFF});  // ends, pad, starts
  b.U16({1 - '0', 1, 0, 0});             // deltas, range offsets
  return b.data;
}

// A box (0, 0) .. (boxWidth, kBoxHeight), drawn clockwise, padded to an even length.
QByteArray Box(int boxWidth) {
  Bytes b;
  b.U16({1, 0, 0, boxWidth, kBoxHeight, 3, 0});  // one contour, its box, last point, no code
  b.data.append(4, '\x01');                      // on-curve points with 16-bit deltas
  b.U16({0, 0, boxWidth, 0}).U16({0, kBoxHeight, 0, -kBoxHeight}).Zeros(2);
  return b.data;
}

// Short offsets (halved): .notdef is empty, each digit one box.
QByteArray Loca(int boxLength) {
  Bytes b;
  b.U16({0});
  for (int glyph = 1; glyph <= kGlyphs; ++glyph) b.U16({(glyph - 1) * boxLength / 2});
  return b.data;
}

QByteArray Name() {
  const std::map<int, std::string> names = {{1, "Kor Wide Digits"}, {2, "Regular"}};
  Bytes strings;
  Bytes b;
  b.U16({0, static_cast<int>(names.size()), static_cast<int>(6 + 12 * names.size())});
  for (const auto& [id, text] : names) {
    b.U16({3, 1, 0x0409, id, static_cast<int>(text.size() * 2),
           static_cast<int>(strings.data.size())});
    for (const char c : text) strings.U16({c});  // UTF-16BE
  }
  return b.data + strings.data;
}

QByteArray Post() { return Bytes().U32(0x00030000).Zeros(28).data; }  // no glyph names

std::uint32_t Checksum(const QByteArray& table) {
  std::uint32_t sum = 0;
  for (int i = 0; i < table.size(); ++i) {
    sum += static_cast<std::uint32_t>(static_cast<unsigned char>(table[i])) << (24 - 8 * (i % 4));
  }
  return sum;
}

}  // namespace

QByteArray WideDigitsFontFile(int boxWidth) {
  // Sorted by tag, as the table directory must be.
  const std::map<std::string, QByteArray> tables = {
      {"cmap", Cmap()},         {"glyf", Box(boxWidth).repeated(kGlyphs - 1)},
      {"head", Head(boxWidth)}, {"hhea", Hhea(boxWidth)},
      {"hmtx", Hmtx(boxWidth)}, {"loca", Loca(static_cast<int>(Box(boxWidth).size()))},
      {"maxp", Maxp()},         {"name", Name()},
      {"post", Post()}};
  Bytes file;
  const int count = static_cast<int>(tables.size());
  file.U32(0x00010000).U16({count, 128, 3, count * 16 - 128});  // search fields for 9 tables
  int offset = 12 + 16 * count;
  QByteArray body;
  for (const auto& [tag, table] : tables) {
    file.data.append(tag.data(), 4);
    file.U32(Checksum(table))
        .U32(static_cast<std::uint32_t>(offset))
        .U32(static_cast<std::uint32_t>(table.size()));
    QByteArray padded = table;
    while (padded.size() % 4 != 0) padded.append('\0');
    body += padded;
    offset += static_cast<int>(padded.size());
  }
  return file.data + body;
}

WideFontSubstitute::WideFontSubstitute(const char* family) : family_(QString::fromUtf8(family)) {
  previous_ = QFont::substitutes(family_);
  QFont::removeSubstitutions(family_);
  QFont::insertSubstitution(family_, QStringLiteral("Kor Wide Digits"));
  // Registering the font also empties Qt's font cache, so the new substitute is used from now on.
  fontId_ = QFontDatabase::addApplicationFontFromData(WideDigitsFontFile());
}

WideFontSubstitute::~WideFontSubstitute() {
  QFont::removeSubstitutions(family_);
  QFont::insertSubstitutions(family_, previous_);
  if (fontId_ >= 0) QFontDatabase::removeApplicationFont(fontId_);
}
