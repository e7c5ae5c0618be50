// Drawing primitives over the current pass's target surface.
#include "draw/primitives.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>

#include "instrument.h"
#include "resources/colour_tables.h"
#include "resources/fonts.h"

namespace vq {

namespace {

// Source over destination with alpha a, each channel rounded to nearest: (v + 127) / 255 done
// with shifts, exact for every v up to 255 * 255.
inline uint32_t Blend(uint32_t dst, uint32_t argb, uint32_t a) {
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t sc = (argb >> shift) & 0xFF;
    const uint32_t dc = (dst >> shift) & 0xFF;
    const uint32_t v = sc * a + dc * (255 - a) + 128;
    out |= ((v + (v >> 8)) >> 8) << shift;
  }
  return out;
}

// Writes one pixel with the slot colour; translucent slots blend on the dynamic layer.
inline void Plot(Surface& s, int x, int y, uint32_t argb, bool blend) {
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
  uint32_t& dst = s.pixels[static_cast<size_t>(y) * s.width + x];
  const uint32_t a = argb >> 24;
  if (!blend || a == 0xFF) {
    dst = argb | 0xFF000000u;
    return;
  }
  dst = Blend(dst, argb, a);
}

// A vertical run of pixels from y0 to y1 (inclusive, any order), clipped to the surface: the
// columns of a trace are such runs, so they skip the per-pixel stepping of the general line.
void VerticalRun(Surface& s, int x, int y0, int y1, uint32_t argb, bool blend) {
  if (y0 > y1) std::swap(y0, y1);
  if (x < 0 || x >= s.width) return;
  y0 = std::max(y0, 0);
  y1 = std::min(y1, s.height - 1);
  uint32_t* dst = s.pixels.data() + static_cast<size_t>(y0) * s.width + x;
  const uint32_t a = argb >> 24;
  if (!blend || a == 0xFF) {
    for (int y = y0; y <= y1; ++y, dst += s.width) *dst = argb | 0xFF000000u;
  } else {
    for (int y = y0; y <= y1; ++y, dst += s.width) *dst = Blend(*dst, argb, a);
  }
}

Surface& Target() {
  Instrument& g = *GInstrument;
  assert(g.screen.target && "primitives draw only inside a drawing pass");
  return *g.screen.target;
}

uint32_t SlotColour(int slot) {
  assert(slot >= 0 && slot < kColourSlots && "colour slot out of range");
  return GInstrument->screen.colours[slot];
}

// Dash patterns as bit strings read from the most significant of `length` bits.
struct DashPattern {
  uint32_t bits;
  int length;
};
constexpr DashPattern kDashPatterns[kDashStyleCount] = {
    {0b1, 1},             // solid
    {0b10, 2},            // dotted
    {0b11110000, 8},      // dashed
    {0b100, 3},           // sparse dots: the graph grid
    {0b11111100100, 11},  // dash-dot
};

void DrawLine(int x1, int y1, int x2, int y2, int slot, int style) {
  assert(style >= 0 && style < kDashStyleCount && "unknown dash style");
  Surface& s = Target();
  const uint32_t c = SlotColour(slot);
  const bool blend = GInstrument->screen.blending;
  const DashPattern& pattern = kDashPatterns[style];
  if (x1 == x2 && pattern.length == 1) {
    VerticalRun(s, x1, y1, y2, c, blend);
    return;
  }
  // Bresenham, both end points included; the pattern runs from the first point.
  const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  for (int phase = pattern.length - 1;; phase = phase == 0 ? pattern.length - 1 : phase - 1) {
    if ((pattern.bits >> phase) & 1u) Plot(s, x1, y1, c, blend);
    if (x1 == x2 && y1 == y2) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y1 += sy;
    }
  }
}

void DrawGlyphs(const BitmapFont& font, int x, int y, std::string_view text, uint32_t colour,
                int dx = 0, int dy = 0) {
  Surface& s = Target();
  const bool blend = GInstrument->screen.blending;
  for (size_t i = 0; i < text.size(); ++i) {
    const uint8_t* rows = GlyphBits(font, static_cast<unsigned char>(text[i]));
    const int cx = x + static_cast<int>(i) * font.width + dx;
    for (int r = 0; r < font.height; ++r) {
      for (int b = 0; b < font.width; ++b) {
        if (rows[r] & (0x80u >> b)) Plot(s, cx + b, y + r + dy, colour, blend);
      }
    }
  }
}

void TextWithBackground(const BitmapFont& font, int fg, int bg, int x, int y,
                        std::string_view text) {
  FillRect(x, y, static_cast<int>(text.size()) * font.width, font.height, bg);
  DrawGlyphs(font, x, y, text, SlotColour(fg));
}

}  // namespace

void FillRect(int x, int y, int width, int height, int slot) {
  Surface& s = Target();
  const uint32_t c = SlotColour(slot);
  const bool blend = GInstrument->screen.blending;
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + width, s.width), y1 = std::min(y + height, s.height);
  if (x0 >= x1) return;
  const bool opaque = !blend || (c >> 24) == 0xFF;
  for (int yy = y0; yy < y1; ++yy) {
    if (opaque) {
      uint32_t* row = s.pixels.data() + static_cast<size_t>(yy) * s.width;
      std::fill(row + x0, row + x1, c | 0xFF000000u);
    } else {
      for (int xx = x0; xx < x1; ++xx) Plot(s, xx, yy, c, blend);
    }
  }
}

void FillRectAlt(int x, int y, int width, int height, int slot) {
  const ScreenState& screen = GInstrument->screen;
  if (screen.altFill && screen.scheme < kSchemeMono) {
    if (slot == kSlotWaveBack) slot = kSlotWaveBackAlt;
    if (slot == kSlotIntWinBack) slot = kSlotIntWinBackAlt;
  }
  FillRect(x, y, width, height, slot);
}

void Line(int x1, int y1, int x2, int y2, int slot) {
  DrawLine(x1, y1, x2, y2, slot, 0);
}

void StyledLine(int x1, int y1, int x2, int y2, int slot, int style) {
  DrawLine(x1, y1, x2, y2, slot, style);
}

void Outline(int x1, int y1, int x2, int y2, int slot) {
  DashedOutline(x1, y1, x2, y2, slot, 0);
}

void DashedOutline(int x1, int y1, int x2, int y2, int slot, int style) {
  DrawLine(x1, y1, x2, y1, slot, style);
  DrawLine(x2, y1, x2, y2, slot, style);
  DrawLine(x2, y2, x1, y2, slot, style);
  DrawLine(x1, y2, x1, y1, slot, style);
}

// Frame lines: top and left in one slot, bottom and right in another, `out` pixels outside.
static void Bevel(int x, int y, int width, int height, int out, int topLeft, int bottomRight) {
  const int l = x - out, t = y - out, r = x + width - 1 + out, b = y + height - 1 + out;
  Line(l, b, r, b, bottomRight);
  Line(r, t, r, b, bottomRight);
  Line(l, t, r, t, topLeft);
  Line(l, t, l, b, topLeft);
}

void Panel(int x, int y, int width, int height, int fillSlot, int style) {
  if (style & 0x80) {
    FillRectAlt(x, y, width, height, fillSlot);
  } else {
    FillRect(x, y, width, height, fillSlot);
  }
  const int r = x + width, b = y + height;  // one pixel outside the fill
  switch (style & 0x7F) {
    case 0:
      Bevel(x, y, width, height, 1, kSlotBevelLight, kSlotBevelDark);
      break;
    case 1:
      Bevel(x, y, width, height, 1, kSlotBevelDark, kSlotBevelLight);
      break;
    case 2:
      Outline(x - 1, y - 1, r, b, kSlotShortcutFrame);
      Line(x, b + 1, r + 1, b + 1, kSlotShortcutShadow);
      Line(r + 1, y, r + 1, b + 1, kSlotShortcutShadow);
      break;
    case 3:
      Outline(x - 3, y - 3, r + 2, b + 2, kSlotBevelLight);
      Outline(x - 2, y - 2, r + 1, b + 1, kSlotBevelLight);
      Bevel(x, y, width, height, 1, kSlotDoubleFrameInner, kSlotBevelDark);
      break;
    case 4:
      Outline(x - 1, y - 1, r, b, kSlotBevelDark);
      break;
    case 5:
      Outline(x - 1, y - 1, r, b, kSlotShortcutFrame);
      break;
    default:
      assert(false && "unknown panel style");
  }
}

void TextSmall(int foreground, int background, int x, int y, std::string_view text) {
  TextWithBackground(kFontSmall, foreground, background, x, y, text);
}

void TextNormal(int foreground, int background, int x, int y, std::string_view text) {
  TextWithBackground(kFontNormal, foreground, background, x, y, text);
}

void TextNumeric(int foreground, int background, int x, int y, std::string_view text) {
  TextWithBackground(kFontNumeric, foreground, background, x, y, text);
}

void TextShadow(int foreground, int shadow, int x, int y, std::string_view text) {
  DrawGlyphs(kFontSmall, x, y, text, SlotColour(shadow), 1, 1);
  DrawGlyphs(kFontSmall, x, y, text, SlotColour(foreground));
}

void TextTransparent(int foreground, int x, int y, std::string_view text, bool normalFont) {
  DrawGlyphs(normalFont ? kFontNormal : kFontSmall, x, y, text, SlotColour(foreground));
}

void TextBoxed(int foreground, int background, int x, int y, std::string_view text) {
  const int width = static_cast<int>(text.size()) * 8 + 4;
  Outline(x, y, x + width - 1, y + 9, foreground);
  TextSmall(foreground, background, x + 2, y + 2, text);
}

void TextRight(int foreground, int background, int rightEdge, int y, std::string_view text) {
  // Scale labels: the field x 2 to 44 is cleared, then the text ends at the right edge.
  FillRect(2, y, 43, kFontNumeric.height, background);
  TextNumeric(foreground, background,
              rightEdge - static_cast<int>(text.size()) * kFontNumeric.width, y, text);
}

void Symbol(int foreground, int x, int y, int index) {
  assert(index >= 0 && index < kSymbolCount && "unknown symbol");
  Surface& s = Target();
  const uint32_t c = SlotColour(foreground);
  const bool blend = GInstrument->screen.blending;
  const uint8_t* rows = kFontSymbols.bits + index * kFontSymbols.height;
  for (int r = 0; r < kFontSymbols.height; ++r) {
    for (int b = 0; b < 8; ++b) {
      if (rows[r] & (0x80u >> b)) Plot(s, x + b, y + r, c, blend);
    }
  }
}

void Point(int x, int y, int slot) {
  Plot(Target(), x, y, SlotColour(slot), GInstrument->screen.blending);
}

void DrawLogo(int scheme) {
  ScreenState& screen = GInstrument->screen;
  const Surface& logo = screen.logos[scheme < kSchemeMono ? 0 : scheme == kSchemeMono ? 1 : 2];
  if (!logo.Exists()) return;
  Surface& s = Target();
  for (int y = 0; y < logo.height; ++y) {
    for (int x = 0; x < logo.width; ++x) s.pixels[(2 + y) * s.width + 2 + x] = logo.At(x, y);
  }
}

}  // namespace vq
