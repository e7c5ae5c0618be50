// The named colour slots with their default levels, and the default and second palettes.
#include "resources/colour_tables.h"

#include <cassert>
#include <string_view>

namespace vq {

constexpr std::array<ColourSlotInfo, kNamedSlotCount> kColourSlotTable = {{
    {"WAVE_BACK", 3, 0, 0, 0},
    {"WAVE_FRAME1", 63, 0, 0, 1},
    {"WAVE_FRAME2", 64, 5, 5, 5},
    {"GRID", 4, 2, 2, 2},
    {"MARKER", 19, 5, 0, 0},
    {"LINE_MKR1", 20, 5, 0, 0},
    {"LINE_MKR2", 21, 5, 0, 0},
    {"LINE_MKR3", 22, 5, 0, 0},
    {"LINE_MKR4", 23, 5, 0, 0},
    {"LINE_DATA", 24, 0, 5, 5},
    {"ANAL_WAVE", 25, 0, 0, 5},
    {"SPECIAL_MKR", 27, 5, 0, 0},
    {"MAIN_BACK", 28, 1, 1, 2},
    {"MAIN_CHAR", 29, 5, 5, 5},
    {"MAIN_CHAR_S", 30, 0, 0, 0},
    {"FUNCTION", 31, 2, 2, 4},
    {"FUNC_PUSH", 32, 0, 0, 1},
    {"FUNC_PUSH_CHAR", 33, 5, 5, 5},
    {"FUNC_PUSH_CHAR_S", 34, 0, 0, 0},
    {"FUNC_EFFECT", 35, 5, 5, 5},
    {"FUNC_EFFECT_S", 36, 0, 0, 0},
    {"FUNC_NOT", 37, 3, 3, 5},
    {"FUNC_NOT_S", 38, 0, 0, 0},
    {"FUNC_CUR", 39, 5, 3, 0},
    {"FUNC_CUR_CHAR", 40, 0, 0, 0},
    {"FUNC_CON", 41, 0, 0, 0},
    {"FUNC_PARAM", 42, 0, 5, 5},
    {"MEAS_BACK", 43, 0, 0, 0},
    {"MEAS_CHAR", 44, 0, 5, 5},
    {"CAL_BACK", 45, 0, 0, 0},
    {"CAL_CHAR", 46, 0, 5, 5},
    {"TRACE_KIND_BACK", 47, 0, 0, 0},
    {"INTWIN_BACK", 48, 0, 0, 2},
    {"ANAL_CHAR_NOT", 50, 2, 2, 2},
    {"ANAL_CHAR_NOT_S", 51, 1, 1, 3},
    {"POP_BACK", 52, 4, 4, 4},
    {"POP_LINE", 53, 3, 3, 3},
    {"POP_LINE_S", 54, 5, 5, 5},
    {"POP_CUR", 55, 0, 0, 3},
    {"SHORTCUTBOX_BACK", 59, 5, 5, 5},
    {"SHORTCUTBOX_FRAME", 60, 0, 0, 0},
    {"SHORTCUTBOX_CHAR", 61, 0, 0, 0},
    {"SHORTCUTBOX_S", 62, 0, 0, 0},
    {"SWEEPBOX_CHAR", 57, 5, 5, 0},
    {"SWEEPBOX_CHAR_S", 58, 0, 0, 0},
    {"ZOOMING", 65, 0, 5, 5},
    {"TRACE_LIST", 66, 5, 5, 5},
    {"FILE_LIST_BACK", 67, 5, 5, 5},
    {"FILE_LIST_CHAR", 68, 0, 0, 0},
    {"FILE_LIST_CUR", 69, 5, 3, 0},
    {"SCROLLBAR", 71, 4, 4, 4},
    {"MISCWIN", 72, 0, 0, 2},
    {"MISCWIN_TITLE", 73, 5, 5, 5},
    {"MISCWIN_TITLE_S", 74, 0, 0, 0},
    {"ANAL_CHAR", 75, 5, 5, 5},
    {"ANAL_CHAR_S", 76, 0, 0, 0},
    {"REF_CHAR", 79, 5, 5, 5},
    {"WARNING", 80, 5, 0, 0},
    {"TEMP_WAVE", 26, 4, 4, 4},
    {"GO_NO_GO", 78, 5, 0, 0},
    {"TRACE_A", 5, 5, 5, 0},
    {"TRACE_B", 6, 5, 3, 0},
    {"TRACE_C", 7, 3, 4, 3},
    {"TRACE_D", 8, 5, 4, 3},
    {"TRACE_E", 9, 3, 4, 5},
    {"TRACE_F", 10, 5, 2, 5},
    {"TRACE_G", 11, 0, 3, 0},
    {"TRACE_A_NOTACT", 12, 5, 5, 0},
    {"TRACE_B_NOTACT", 13, 5, 3, 0},
    {"TRACE_C_NOTACT", 14, 3, 4, 3},
    {"TRACE_D_NOTACT", 15, 5, 4, 3},
    {"TRACE_E_NOTACT", 16, 3, 4, 5},
    {"TRACE_F_NOTACT", 17, 5, 2, 5},
    {"TRACE_G_NOTACT", 18, 0, 3, 0},
}};

namespace {

constexpr bool SlotTableIsSound() {
  bool seen[kPaletteSlots] = {};
  for (const ColourSlotInfo& s : kColourSlotTable) {
    if (s.key < kFirstColourKey || s.key > kLastColourKey || seen[s.key]) return false;
    if (s.red < 0 || s.red > 5 || s.green < 0 || s.green > 5 || s.blue < 0 || s.blue > 5)
      return false;
    seen[s.key] = true;
  }
  // The keys the Color dialog steps over, and the spare 56, have no name.
  for (int key : kSkippedColourKeys) {
    if (seen[key]) return false;
  }
  return !seen[56];
}
static_assert(SlotTableIsSound(),
              "colour slots: unique keys 3 to 80 with levels 0 to 5; 49, 56, 70 and 77 unnamed");
static_assert(kLastColourKey - kFirstColourKey + 1 == kNamedSlotCount + 4,
              "every key of 3 to 80 but four has a name");

// Slots without a name in color.ini keep these built-in colours: 0 to 2 plain black, white and
// grey, 49 the double frame's inner edge, 56 and 70 spare, 77 the copy of FUNC_PUSH, 81 and 82
// the bevel light and dark, 83 to 85 spare.
struct FixedSlot {
  int key;
  uint8_t entry;
};
constexpr FixedSlot kUnnamedDefaults[] = {
    {0, PaletteEntry(0, 0, 0)},  {1, PaletteEntry(5, 5, 5)},  {2, PaletteEntry(3, 3, 3)},
    {49, PaletteEntry(3, 3, 4)}, {56, PaletteEntry(0, 0, 0)}, {70, PaletteEntry(0, 0, 0)},
    {77, PaletteEntry(0, 0, 1)}, {81, PaletteEntry(3, 3, 4)}, {82, PaletteEntry(0, 0, 0)},
    {83, PaletteEntry(0, 0, 0)}, {84, PaletteEntry(0, 0, 0)}, {85, PaletteEntry(0, 0, 0)},
};
static_assert(kNamedSlotCount + std::size(kUnnamedDefaults) == kPaletteSlots,
              "every palette slot is either named or fixed");

// Slots that the second palette holds white; every other slot is black there.
constexpr std::string_view kSecondPaletteWhite[] = {
    "WAVE_BACK",        "MAIN_BACK",       "MAIN_CHAR_S",     "FUNCTION",  "FUNC_PUSH_CHAR_S",
    "FUNC_EFFECT_S",    "FUNC_NOT_S",      "FUNC_CUR_CHAR",   "MEAS_BACK", "CAL_BACK",
    "TRACE_KIND_BACK",  "INTWIN_BACK",     "ANAL_CHAR_NOT_S", "POP_BACK",  "POP_LINE_S",
    "SHORTCUTBOX_BACK", "SWEEPBOX_CHAR_S", "FILE_LIST_BACK",  "SCROLLBAR", "MISCWIN",
    "MISCWIN_TITLE_S",  "ANAL_CHAR_S",
};

std::array<uint8_t, kPaletteSlots> MakeDefaultPalette() {
  std::array<uint8_t, kPaletteSlots> p{};
  for (const FixedSlot& f : kUnnamedDefaults) p[f.key] = f.entry;
  for (const ColourSlotInfo& s : kColourSlotTable) p[s.key] = PaletteEntry(s.red, s.green, s.blue);
  return p;
}

std::array<uint8_t, kPaletteSlots> MakeSecondPalette() {
  std::array<uint8_t, kPaletteSlots> p;
  p.fill(kPaletteBlack);
  for (std::string_view name : kSecondPaletteWhite) {
    for (const ColourSlotInfo& s : kColourSlotTable) {
      if (name == s.name) p[s.key] = kPaletteWhite;
    }
  }
  return p;
}

}  // namespace

const std::array<uint8_t, kPaletteSlots>& DefaultPalette() {
  static const std::array<uint8_t, kPaletteSlots> palette = MakeDefaultPalette();
  return palette;
}

const std::array<uint8_t, kPaletteSlots>& SecondPalette() {
  static const std::array<uint8_t, kPaletteSlots> palette = MakeSecondPalette();
  return palette;
}

ColourSet BuiltInColourSet(int set) {
  assert(set >= 0 && set < kColourSetCount && "colour set out of range");
  if (set < kColourSetMono) return DefaultPalette();
  if (set == kColourSetPrint) return SecondPalette();
  ColourSet inverse;
  for (int i = 0; i < kPaletteSlots; ++i)
    inverse[i] = SecondPalette()[i] == kPaletteWhite ? kPaletteBlack : kPaletteWhite;
  return inverse;
}

}  // namespace vq
