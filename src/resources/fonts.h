// The four bitmap fonts of the instrument screen: glyph tables, one bit per pixel, MSB leftmost.
#pragma once

#include <cstdint>

namespace vq {

// One fixed-cell bitmap font. Glyph g occupies `height` bytes starting at bits[g * height];
// bit 7 of each byte is the leftmost pixel of that row (only the leftmost `width` bits are used).
struct BitmapFont {
  int width;       // cell width in pixels
  int height;      // cell height in pixels (= bytes per glyph)
  int firstChar;   // character code of glyph 1 for the numeric font, of glyph 0 otherwise
  int glyphCount;  // number of glyphs in the table
  const uint8_t* bits;
};

extern const BitmapFont kFontSmall;    // 8 by 8, full 256-character set (ISO 8859-1 / ANSI)
extern const BitmapFont kFontNormal;   // 8 by 12, full 256-character set
extern const BitmapFont kFontNumeric;  // 6 by 12: glyph 0 is a blank cell drawn for any character
                                       // outside the table; glyph i (i >= 1) is character
                                       // firstChar + i - 1, firstChar being '+'
extern const BitmapFont kFontSymbols;  // 8 by 8 special marks addressed by index (see kSymbol*)

// Indices into kFontSymbols.
enum SymbolIndex : int {
  kSymbolArrowUp = 0,
  kSymbolArrowDown,
  kSymbolArrowLeft,
  kSymbolArrowRight,
  kSymbolMarkerDown,  // filled triangle pointing down (moving marker)
  kSymbolMarkerUp,    // filled triangle pointing up
  kSymbolDiamond,     // fixed marker
  kSymbolSquare,      // line marker handle
  kSymbolCross,
  kSymbolCheck,
  kSymbolEntryMark,  // small marker glyph of a soft key that opens a value entry
  kSymbolMicro,      // the micro sign as a unit prefix
  kSymbolDegree,
  kSymbolPlusMinus,
  kSymbolDelta,
  kSymbolBullet,
  kSymbolCount
};

// Glyph bytes of character c in font f (numeric font: the blank glyph 0 for characters outside).
const uint8_t* GlyphBits(const BitmapFont& f, unsigned char c);

}  // namespace vq
