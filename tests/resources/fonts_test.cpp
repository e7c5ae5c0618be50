// Checks of the bitmap font tables: coverage, baselines, blank glyphs and distinct symbols.
#include "resources/fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
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
  return std::all_of(g.begin(), g.end(), [](uint8_t row) { return row == 0; });
}

// Row of the lowest inked pixel, -1 for a blank glyph.
int LowestRow(const Glyph& g) {
  for (int y = static_cast<int>(g.size()) - 1; y >= 0; --y) {
    if (g[y] != 0) return y;
  }
  return -1;
}

TEST(Fonts, TextGlyphsAreDrawnOnOneBaseline) {
  struct TextFont {
    const char* name;
    const BitmapFont* font;
    int baselineRow;  // lowest row of digits and capitals without a tail
  };
  for (const TextFont& t : {TextFont{"small", &kFontSmall, 6}, TextFont{"normal", &kFontNormal, 9},
                            TextFont{"numeric", &kFontNumeric, 9}}) {
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

TEST(Fonts, ControlCodesAndCharactersOutsideAFontAreBlank) {
  for (const BitmapFont* f : {&kFontSmall, &kFontNormal}) {
    for (int c = 0; c < 256; ++c) {
      // The normal font carries the instrument's lambda and Delta among the control codes.
      const bool instrumentGlyph = f == &kFontNormal && (c == 0x8B || c == 0x8D);
      if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        EXPECT_EQ(IsBlank(GlyphOf(*f, c)), !instrumentGlyph) << c;
      }
    }
    EXPECT_FALSE(IsBlank(GlyphOf(*f, 0xB5)));  // micro sign of the Latin-1 half
  }
  // The numeric font holds '+' to '~' in 6 of its 8 columns; anything else is its blank glyph.
  for (int i = 0; i < kFontNumeric.glyphCount * kFontNumeric.height; ++i) {
    EXPECT_EQ(kFontNumeric.bits[i] & 0x03, 0) << "pixel beyond column 6, glyph " << i / 12;
  }
  for (int c : {0x00, 0x20, '*' + 0, 0x7F, 0xB5, 0xFF}) {
    EXPECT_TRUE(IsBlank(GlyphOf(kFontNumeric, c))) << c;
  }
}

TEST(Fonts, SymbolsAreDrawnAndDistinct) {
  std::set<Glyph> seen;
  for (int i = 0; i < kSymbolCount; ++i) {
    const Glyph g = GlyphOf(kFontSymbols, static_cast<unsigned char>(i));
    EXPECT_FALSE(IsBlank(g)) << "symbol " << i;
    seen.insert(g);
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kSymbolCount));
}

}  // namespace
}  // namespace vq
