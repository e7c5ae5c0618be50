// Built-in colour tables: the named colour slots with their default levels, and the two palettes.
#pragma once

#include <array>
#include <cstdint>

namespace vq {

constexpr int kPaletteSlots = 86;  // slots 0 to 85 come from a palette; 86 and 87 are derived
constexpr int kColourSlots = 88;

// A palette entry: 10 + 36 x red + 6 x green + blue, each level 0 to 5 (10 black, 225 white).
constexpr uint8_t PaletteEntry(int r, int g, int b) {
  return static_cast<uint8_t>(10 + 36 * r + 6 * g + b);
}
constexpr uint8_t kPaletteBlack = PaletteEntry(0, 0, 0);
constexpr uint8_t kPaletteWhite = PaletteEntry(5, 5, 5);
static_assert(kPaletteBlack == 10 && kPaletteWhite == 225, "palette cube corners");

// A named slot of color.ini with its default colour levels in sets 0 to 4.
struct ColourSlotInfo {
  const char* name;
  int key;
  int red, green, blue;
};

constexpr int kNamedSlotCount = 74;
// The keys a user may set (the Color dialog's range and Palette.txt's lines); the dialog steps
// over the three unnamed ones among them.
constexpr int kFirstColourKey = 3;
constexpr int kLastColourKey = 80;
constexpr int kSkippedColourKeys[] = {49, 70, 77};
extern const std::array<ColourSlotInfo, kNamedSlotCount> kColourSlotTable;

// Slot numbers the frame and renderer use by name.
enum ColourSlot : int {
  kSlotWaveBack = 3,
  kSlotGrid = 4,
  kSlotTraceA = 5,
  kSlotMarker = 19,
  kSlotLineMarker1 = 20,  // 20 to 23: line markers 1 to 4
  kSlotAnalysisWave = 25,
  kSlotSpecialMarker = 27,
  kSlotMainBack = 28,
  kSlotMainChar = 29,
  kSlotMainCharShadow = 30,
  kSlotFunction = 31,
  kSlotFuncPush = 32,
  kSlotFuncPushChar = 33,
  kSlotFuncPushShadow = 34,
  kSlotFuncEffect = 35,
  kSlotFuncEffectShadow = 36,
  kSlotFuncNot = 37,
  kSlotFuncNotShadow = 38,
  kSlotFuncCur = 39,
  kSlotFuncCurChar = 40,
  kSlotFuncCon = 41,
  kSlotMeasBack = 43,
  kSlotMeasChar = 44,
  kSlotCalBack = 45,
  kSlotCalChar = 46,
  kSlotTraceKindBack = 47,
  kSlotIntWinBack = 48,
  kSlotDoubleFrameInner = 49,
  kSlotGreyChar = 50,  // ANAL_CHAR_NOT
  kSlotPopBack = 52,
  kSlotPopLine = 53,
  kSlotPopLineShadow = 54,
  kSlotPopCursor = 55,
  kSlotShortcutFrame = 60,
  kSlotShortcutShadow = 62,
  kSlotWaveFrame1 = 63,
  kSlotWaveFrame2 = 64,
  kSlotZooming = 65,
  kSlotMiscWin = 72,
  kSlotMiscWinTitle = 73,
  kSlotMiscWinTitleShadow = 74,
  kSlotWarning = 80,
  kSlotBevelLight = 81,
  kSlotBevelDark = 82,
  kSlotWaveBackAlt = 86,
  kSlotIntWinBackAlt = 87,
};

// The built-in default palette (sets 0 to 4) and the second palette (the print set 6; set 5 is
// its inverse). Both are made from the slot table, with fixed values for the unnamed slots.
const std::array<uint8_t, kPaletteSlots>& DefaultPalette();
const std::array<uint8_t, kPaletteSlots>& SecondPalette();

// A colour set: one palette entry per slot 0 to 85. Sets 0 to 4 are the colour sets of color.ini,
// 5 black and white, 6 the print set.
using ColourSet = std::array<uint8_t, kPaletteSlots>;
constexpr int kColourSetCount = 7;
constexpr int kColourSetMono = 5;
constexpr int kColourSetPrint = 6;
// A set as it starts: 0 to 4 the default palette, 6 the second palette, 5 the second palette's
// inverse (black where it is white, white everywhere else).
ColourSet BuiltInColourSet(int set);

}  // namespace vq
