// Symbol 8x8 font: hand-drawn marks addressed by SymbolIndex (not generated, not from a font).
#include "resources/fonts.h"

namespace vq {
namespace {

// Eight rows a glyph, top first, in SymbolIndex order. Shapes with a centre (arrows, diamond,
// square, cross, bullet) are centred on column 3, row 3, so they can be placed by that pixel.
// The marker triangles have their tip on column 3 at the bottom row (pointing down) or top row
// (pointing up), so the tip can sit exactly on the marked point. The micro sign follows the small
// font: body down to row 6 (the baseline), tail in row 7.
// clang-format off
constexpr uint8_t kSymbolBits[] = {
    // kSymbolArrowUp
    0b00010000,
    0b00111000,
    0b01111100,
    0b11111110,
    0b00111000,
    0b00111000,
    0b00111000,
    0b00000000,
    // kSymbolArrowDown
    0b00111000,
    0b00111000,
    0b00111000,
    0b11111110,
    0b01111100,
    0b00111000,
    0b00010000,
    0b00000000,
    // kSymbolArrowLeft
    0b00010000,
    0b00110000,
    0b01111110,
    0b11111110,
    0b01111110,
    0b00110000,
    0b00010000,
    0b00000000,
    // kSymbolArrowRight
    0b00010000,
    0b00011000,
    0b11111100,
    0b11111110,
    0b11111100,
    0b00011000,
    0b00010000,
    0b00000000,
    // kSymbolMarkerDown
    0b00000000,
    0b00000000,
    0b00000000,
    0b00000000,
    0b11111110,
    0b01111100,
    0b00111000,
    0b00010000,
    // kSymbolMarkerUp
    0b00010000,
    0b00111000,
    0b01111100,
    0b11111110,
    0b00000000,
    0b00000000,
    0b00000000,
    0b00000000,
    // kSymbolDiamond
    0b00010000,
    0b00111000,
    0b01111100,
    0b11111110,
    0b01111100,
    0b00111000,
    0b00010000,
    0b00000000,
    // kSymbolSquare
    0b00000000,
    0b01111100,
    0b01111100,
    0b01111100,
    0b01111100,
    0b01111100,
    0b00000000,
    0b00000000,
    // kSymbolCross
    0b10000010,
    0b01000100,
    0b00101000,
    0b00010000,
    0b00101000,
    0b01000100,
    0b10000010,
    0b00000000,
    // kSymbolCheck
    0b00000000,
    0b00000010,
    0b00000110,
    0b10001100,
    0b11011000,
    0b01110000,
    0b00100000,
    0b00000000,
    // kSymbolEntryMark
    0b00000000,
    0b00100000,
    0b00110000,
    0b00111000,
    0b00110000,
    0b00100000,
    0b00000000,
    0b00000000,
    // kSymbolMicro
    0b00000000,
    0b00000000,
    0b01000100,
    0b01000100,
    0b01000100,
    0b01001100,
    0b01110110,
    0b01000000,
    // kSymbolDegree
    0b00011000,
    0b00100100,
    0b00100100,
    0b00011000,
    0b00000000,
    0b00000000,
    0b00000000,
    0b00000000,
    // kSymbolPlusMinus
    0b00010000,
    0b00010000,
    0b11111110,
    0b00010000,
    0b00010000,
    0b00000000,
    0b11111110,
    0b00000000,
    // kSymbolDelta
    0b00010000,
    0b00101000,
    0b00101000,
    0b01000100,
    0b01000100,
    0b10000010,
    0b11111110,
    0b00000000,
    // kSymbolBullet
    0b00000000,
    0b00111000,
    0b01111100,
    0b01111100,
    0b01111100,
    0b00111000,
    0b00000000,
    0b00000000,
};
// clang-format on
static_assert(sizeof(kSymbolBits) == kSymbolCount * 8, "one 8-row glyph for every SymbolIndex");

}  // namespace

const BitmapFont kFontSymbols = {8, 8, 0, kSymbolCount, kSymbolBits};

}  // namespace vq
