// Checks of the bitmap font tables: cells, coverage, baselines and glyph lookup.
#include "resources/fonts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vq {
namespace {

using Glyph = std::vector<uint8_t>;

Glyph GlyphOf(const BitmapFont& f, unsigned char c) {
  const uint8_t* bits = GlyphBits(f, c);
  return Glyph(bits, bits + f.height);
}

bool IsBlank(const Glyph& g) {
  for (uint8_t row : g) {
    if (row != 0) return false;
  }
  return true;
}

// Row of the lowest inked pixel, -1 for a blank glyph.
int LowestRow(const Glyph& g) {
  for (int y = static_cast<int>(g.size()) - 1; y >= 0; --y) {
    if (g[y] != 0) return y;
  }
  return -1;
}

struct TextFont {
  const char* name;
  const BitmapFont* font;
  int baselineRow;  // lowest row of digits and capitals without a tail
};

const TextFont kTextFonts[] = {
    {"small", &kFontSmall, 6}, {"normal", &kFontNormal, 9}, {"numeric", &kFontNumeric, 9}};

TEST(Fonts, CellsAndTableSizes) {
  EXPECT_EQ(kFontSmall.width, 8);
  EXPECT_EQ(kFontSmall.height, 8);
  EXPECT_EQ(kFontSmall.glyphCount, 256);
  EXPECT_EQ(kFontSmall.firstChar, 0);
  EXPECT_EQ(kFontNormal.width, 8);
  EXPECT_EQ(kFontNormal.height, 12);
  EXPECT_EQ(kFontNormal.glyphCount, 256);
  EXPECT_EQ(kFontNormal.firstChar, 0);
  EXPECT_EQ(kFontNumeric.width, 6);
  EXPECT_EQ(kFontNumeric.height, 12);
  EXPECT_EQ(kFontNumeric.firstChar, '+');
  EXPECT_EQ(kFontNumeric.glyphCount, '~' - '+' + 2);  // blank glyph 0, then '+'..'~'
  EXPECT_EQ(kFontSymbols.width, 8);
  EXPECT_EQ(kFontSymbols.height, 8);
  EXPECT_EQ(kFontSymbols.glyphCount, kSymbolCount);
}

TEST(Fonts, TextGlyphsAreDrawnOnOneBaseline) {
  for (const TextFont& t : kTextFonts) {
    SCOPED_TRACE(t.name);
    const BitmapFont& f = *t.font;
    const int firstPrintable = f.firstChar == 0 ? ' ' : f.firstChar;
    for (int c = firstPrintable; c <= '~'; ++c) {
      EXPECT_EQ(IsBlank(GlyphOf(f, c)), c == ' ') << "character " << c;
    }
    for (char c : std::string("0123456789ABEHKMXZ")) {
      EXPECT_EQ(LowestRow(GlyphOf(f, c)), t.baselineRow) << c;
    }
    EXPECT_GT(LowestRow(GlyphOf(f, 'g')), t.baselineRow) << "descender of g";
    std::set<Glyph> digits;
    for (char c = '0'; c <= '9'; ++c) digits.insert(GlyphOf(f, c));
    EXPECT_EQ(digits.size(), 10u) << "two digits share a glyph";
  }
}

TEST(Fonts, ControlCodesOfTheFullSetsAreBlank) {
  for (const BitmapFont* f : {&kFontSmall, &kFontNormal}) {
    for (int c = 0; c < 256; ++c) {
      if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        EXPECT_TRUE(IsBlank(GlyphOf(*f, c))) << c;
      }
    }
    EXPECT_FALSE(IsBlank(GlyphOf(*f, 0xB5)));  // micro sign of the Latin-1 half
  }
}

TEST(Fonts, NumericFontStaysInItsCellAndFallsBackToBlank) {
  for (int g = 0; g < kFontNumeric.glyphCount * kFontNumeric.height; ++g) {
    EXPECT_EQ(kFontNumeric.bits[g] & 0x03, 0) << "pixel beyond column 6, glyph " << g / 12;
  }
  EXPECT_TRUE(IsBlank(GlyphOf(kFontNumeric, 0)));
  EXPECT_EQ(GlyphBits(kFontNumeric, '+'), kFontNumeric.bits + 12);
  EXPECT_EQ(GlyphBits(kFontNumeric, '~'), kFontNumeric.bits + ('~' - '+' + 1) * 12);
  for (int c : {0x00, 0x20, '*' + 0, 0x7F, 0xB5, 0xFF}) {
    EXPECT_EQ(GlyphBits(kFontNumeric, c), kFontNumeric.bits) << c;
  }
  // The full sets index their glyphs by character code instead.
  EXPECT_EQ(GlyphBits(kFontNormal, '5'), kFontNormal.bits + '5' * 12);
}

TEST(Fonts, SymbolsAreDrawnAndDistinct) {
  std::set<Glyph> seen;
  for (int i = 0; i < kSymbolCount; ++i) {
    const Glyph g = GlyphOf(kFontSymbols, static_cast<unsigned char>(i));
    EXPECT_FALSE(IsBlank(g)) << "symbol " << i;
    seen.insert(g);
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kSymbolCount));
  EXPECT_EQ(GlyphBits(kFontSymbols, kSymbolBullet), kFontSymbols.bits + kSymbolBullet * 8);
}

}  // namespace
}  // namespace vq
