// Glyph lookup in the bitmap font tables.
#include "resources/fonts.h"

#include <cassert>

namespace vq {

const uint8_t* GlyphBits(const BitmapFont& f, unsigned char c) {
  int glyph = c;
  if (f.firstChar != 0) {
    // A table that starts above character 0 keeps a blank glyph 0 for every character it lacks.
    const int index = c - f.firstChar + 1;
    glyph = (index >= 1 && index < f.glyphCount) ? index : 0;
  } else if (glyph >= f.glyphCount) {
    // Only the symbol font is shorter than 256 glyphs, and its indices come from SymbolIndex.
    assert(false && "glyph index beyond the end of the font table");
    glyph = 0;
  }
  return f.bits + glyph * f.height;
}

}  // namespace vq
