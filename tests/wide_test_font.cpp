// The wide test font: a minimal TrueType file (head, hhea, maxp, hmtx, cmap, loca, glyf, name,
// post) whose glyphs 1 to 10 are the same box, for the digits 0 to 9.
#include "tests/wide_test_font.h"

#include <QFont>
#include <QFontDatabase>
#include <cstdint>
#include <map>
#include <string>

namespace {

constexpr int kBoxHeight = 700;
constexpr int kGlyphs = 11;  // .notdef and the ten digits

// Big-endian writer for the sfnt tables.
struct Bytes {
  QByteArray data;
  void U8(unsigned v) { data.append(static_cast<char>(v & 0xFF)); }
  void U16(unsigned v) {
    U8(v >> 8);
    U8(v);
  }
  void S16(int v) { U16(static_cast<unsigned>(static_cast<std::uint16_t>(v))); }
  void U32(std::uint32_t v) {
    U16(v >> 16);
    U16(v & 0xFFFF);
  }
  void Zeros(int n) { data.append(n, '\0'); }
};

QByteArray Head(int boxWidth) {
  Bytes b;
  b.U32(0x00010000);  // version
  b.U32(0x00010000);  // font revision
  b.U32(0);           // checksum adjustment
  b.U32(0x5F0F3CF5);  // magic number
  b.U16(0x000B);      // baseline at 0, integer scaling, lsb at x = 0
  b.U16(1000);        // units per em
  b.Zeros(16);        // created, modified
  b.S16(0);
  b.S16(0);
  b.S16(boxWidth);
  b.S16(kBoxHeight);
  b.U16(0);  // mac style
  b.U16(6);  // lowest readable size
  b.S16(2);  // direction hint
  b.S16(0);  // short loca offsets
  b.S16(0);  // glyph data format
  return b.data;
}

QByteArray Hhea(int boxWidth) {
  Bytes b;
  b.U32(0x00010000);
  b.S16(800);   // ascender
  b.S16(-200);  // descender
  b.S16(0);     // line gap
  b.U16(static_cast<unsigned>(boxWidth));
  b.S16(0);         // min left side bearing
  b.S16(0);         // min right side bearing
  b.S16(boxWidth);  // x max extent
  b.S16(1);         // caret slope rise
  b.S16(0);         // caret slope run
  b.S16(0);         // caret offset
  b.Zeros(8);       // reserved
  b.S16(0);         // metric data format
  b.U16(2);         // horizontal metrics
  return b.data;
}

QByteArray Maxp() {
  Bytes b;
  b.U32(0x00010000);
  b.U16(kGlyphs);
  b.U16(4);  // points
  b.U16(1);  // contours
  b.U16(0);
  b.U16(0);
  b.U16(2);  // zones
  b.Zeros(18);
  return b.data;
}

QByteArray Hmtx(int boxWidth) {
  Bytes b;
  b.U16(500);  // .notdef
  b.S16(0);
  b.U16(static_cast<unsigned>(boxWidth));  // the digits
  b.S16(0);
  for (int glyph = 2; glyph < kGlyphs; ++glyph) b.S16(0);  // their left side bearings
  return b.data;
}

// Format 4: the segment '0'..'9' maps to glyphs 1..10, then the closing segment.
QByteArray Cmap() {
  Bytes b;
  b.U16(0);
  b.U16(1);
  b.U16(3);  // Windows
  b.U16(1);  // Unicode BMP
  b.U32(12);
  b.U16(4);
  b.U16(32);  // length
  b.U16(0);   // language
  b.U16(4);   // 2 x segments
  b.U16(4);   // search range
  b.U16(1);   // entry selector
  b.U16(0);   // range shift
  b.U16('9');
  b.U16(0xFFFF);  // ends
  b.U16(0);
  b.U16('0');
  b.U16(0xFFFF);  // starts
  b.S16(1 - '0');
  b.S16(1);  // deltas
  b.U16(0);
  b.U16(0);  // range offsets
  return b.data;
}

// A box (0, 0) .. (boxWidth, kBoxHeight), drawn clockwise.
QByteArray Box(int boxWidth) {
  Bytes b;
  b.S16(1);
  b.S16(0);
  b.S16(0);
  b.S16(boxWidth);
  b.S16(kBoxHeight);
  b.U16(3);                             // last point of the contour
  b.U16(0);                             // no instructions
  for (int i = 0; i < 4; ++i) b.U8(1);  // on-curve, 16-bit deltas
  for (const int dx : {0, 0, boxWidth, 0}) b.S16(dx);
  for (const int dy : {0, kBoxHeight, 0, -kBoxHeight}) b.S16(dy);
  b.Zeros(2);  // to an even length for short offsets
  return b.data;
}

// Glyph 0 is empty; the digits follow.
QByteArray Glyf(int boxWidth) { return Box(boxWidth).repeated(kGlyphs - 1); }

// Short offsets (halved) of every glyph and of the end of the last.
QByteArray Loca(int boxLength) {
  Bytes b;
  b.U16(0);
  for (int glyph = 1; glyph <= kGlyphs; ++glyph) {
    b.U16(static_cast<unsigned>((glyph - 1) * boxLength / 2));
  }
  return b.data;
}

QByteArray Name() {
  const std::map<int, std::string> names = {
      {1, "Kor Wide Digits"}, {2, "Regular"}, {4, "Kor Wide Digits"}, {6, "KorWideDigits"}};
  Bytes strings;
  Bytes b;
  b.U16(0);
  b.U16(static_cast<unsigned>(names.size()));
  b.U16(static_cast<unsigned>(6 + 12 * names.size()));
  for (const auto& [id, text] : names) {
    const int offset = static_cast<int>(strings.data.size());
    for (const char c : text) strings.U16(static_cast<unsigned char>(c));  // UTF-16BE
    b.U16(3);
    b.U16(1);
    b.U16(0x0409);
    b.U16(static_cast<unsigned>(id));
    b.U16(static_cast<unsigned>(text.size() * 2));
    b.U16(static_cast<unsigned>(offset));
  }
  return b.data + strings.data;
}

QByteArray Post() {
  Bytes b;
  b.U32(0x00030000);  // no glyph names
  b.Zeros(28);
  return b.data;
}

std::uint32_t Checksum(const QByteArray& table) {
  std::uint32_t sum = 0;
  for (int i = 0; i < table.size(); ++i) {
    sum += static_cast<std::uint32_t>(static_cast<unsigned char>(table[i])) << (24 - 8 * (i % 4));
  }
  return sum;
}

}  // namespace

QByteArray WideDigitsFontFile(int boxWidth) {
  const QByteArray glyf = Glyf(boxWidth);
  const int boxLength = static_cast<int>(Box(boxWidth).size());
  // Sorted by tag, as the table directory must be.
  const std::map<std::string, QByteArray> tables = {
      {"cmap", Cmap()},         {"glyf", glyf},           {"head", Head(boxWidth)},
      {"hhea", Hhea(boxWidth)}, {"hmtx", Hmtx(boxWidth)}, {"loca", Loca(boxLength)},
      {"maxp", Maxp()},         {"name", Name()},         {"post", Post()}};
  Bytes file;
  file.U32(0x00010000);
  file.U16(static_cast<unsigned>(tables.size()));
  file.U16(128);  // search range for 9 tables: 8 x 16
  file.U16(3);
  file.U16(static_cast<unsigned>(tables.size() * 16 - 128));
  int offset = 12 + 16 * static_cast<int>(tables.size());
  QByteArray body;
  for (const auto& [tag, table] : tables) {
    file.data.append(tag.data(), 4);
    file.U32(Checksum(table));
    file.U32(static_cast<std::uint32_t>(offset));
    file.U32(static_cast<std::uint32_t>(table.size()));
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
