// Drawing primitives of the instrument screen: colour slots and integer pixel coordinates only.
#pragma once

#include <string_view>

namespace vq {

// Dash styles of StyledLine: 0 solid, 1 dotted (every other pixel), 2 dashed (4 on, 4 off),
// 3 sparse dots (1 on, 2 off: the graph grid), 4 dash-dot (6 on, 2 off, 1 on, 2 off).
constexpr int kDashStyleCount = 5;

void FillRect(int x, int y, int width, int height, int slot);
void FillRectAlt(int x, int y, int width, int height, int slot);
void Line(int x1, int y1, int x2, int y2, int slot);
void StyledLine(int x1, int y1, int x2, int y2, int slot, int style);
void Outline(int x1, int y1, int x2, int y2, int slot);
void DashedOutline(int x1, int y1, int x2, int y2, int slot, int style);
// Style 0 raised, 1 sunken, 2 outline and shadow, 3 double frame, 4 outline 82, 5 outline 60;
// bit 7 fills with FillRectAlt.
void Panel(int x, int y, int width, int height, int fillSlot, int style);
void TextSmall(int foreground, int background, int x, int y, std::string_view text);
void TextNormal(int foreground, int background, int x, int y, std::string_view text);
void TextNumeric(int foreground, int background, int x, int y, std::string_view text);
void TextShadow(int foreground, int shadow, int x, int y, std::string_view text);
// Glyph pixels only; normalFont picks the 8 by 12 font instead of the 8 by 8 one.
void TextTransparent(int foreground, int x, int y, std::string_view text, bool normalFont = false);
void TextBoxed(int foreground, int background, int x, int y, std::string_view text);
void TextRight(int foreground, int background, int rightEdge, int y, std::string_view text);
void Symbol(int foreground, int x, int y, int index);
void Point(int x, int y, int slot);
void DrawLogo(int scheme);

}  // namespace vq
