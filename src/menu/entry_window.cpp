// The entry window of the dynamic layer: name, value or typed digits, step mode, auxiliary box.
#include <cstdio>
#include <string>
#include <string_view>

#include "draw/primitives.h"
#include "instrument.h"
#include "menu/param_entry.h"
#include "resources/colour_tables.h"

namespace vq {

namespace {

constexpr int kPanelShadowed = 2;
constexpr int kPanelDoubleFrame = 3;
constexpr int kFill = kSlotIntWinBack;
constexpr int kNameSlot = kSlotMiscWinTitle;
constexpr int kValueSlot = 42;     // FUNC_PARAM
constexpr int kStepModeSlot = 57;  // SWEEPBOX_CHAR

// Text rows inside the window, relative to its corner.
constexpr int kMargin = 2;
constexpr int kNameRow = 4;
constexpr int kValueRow = 22;
constexpr int kStepModeRow = 46;
constexpr int kCellWidth = 8;
constexpr int kCursorRow = kValueRow + 10;  // a two-pixel bar under the next character cell

// The auxiliary box under the window: two lines of 14 small-font cells.
constexpr int kAuxX = 512;
constexpr int kAuxY = 243;
constexpr int kAuxWidth = 113;
constexpr int kAuxHeight = 22;
constexpr int kAuxCells = 14;

// A label and a value, the value right-aligned in the box's width.
std::string AuxLine(std::string_view label, std::string value) {
  value.erase(0, value.find_first_not_of(' '));
  std::string line(label);
  const size_t used = line.size() + value.size();
  line.append(used < kAuxCells ? kAuxCells - used : 1, ' ');
  return line + value;
}

// Normally the limits; Ctrl+Home switches to the step that the arrows take now.
void DrawAuxBox(const EntryState& e, const ParamRecord& p) {
  Panel(kAuxX, kAuxY, kAuxWidth, kAuxHeight, kFill, kPanelShadowed);
  std::string first, second;
  if (!e.alternateDisplay) {
    first = AuxLine("MAX", FormatEntryValue(e.parameter, p.maximum));
    second = AuxLine("MIN", FormatEntryValue(e.parameter, p.minimum));
  } else {
    first = e.stepMode == 1 ? "COARSE STEP" : "FINE STEP";
    if (e.stepMode == 1 && p.preferred != nullptr) {
      second = AuxLine("", "PRESET VALUES");
    } else if (e.stepMode == 0 && e.parameter == 17) {
      second = AuxLine("", "1 DIGIT");  // the linear level steps its mantissa
    } else {
      char step[24];
      std::snprintf(step, sizeof step, "%g", e.stepMode == 1 ? p.coarseStep : p.fineStep);
      second = AuxLine("", step);
    }
  }
  TextSmall(kNameSlot, kFill, kAuxX + 1, kAuxY + 2, first);
  TextSmall(kNameSlot, kFill, kAuxX + 1, kAuxY + 12, second);
}

}  // namespace

void DrawEntryWindow() {
  const EntryState& e = GInstrument->entry;
  if (e.parameter < 0 || !e.windowShown) return;
  const ParamRecord& p = e.params[e.parameter];
  const int x = e.window[0] + kMargin, y = e.window[1];
  Panel(e.window[0], y, e.window[2], e.window[3], kFill, kPanelDoubleFrame);
  TextNormal(kNameSlot, kFill, x, y + kNameRow, p.name);
  if (e.edited) {
    TextNormal(kValueSlot, kFill, x, y + kValueRow, std::string_view(e.digits, e.length));
    FillRect(x + kCellWidth * e.length, y + kCursorRow, kCellWidth, 2, kValueSlot);
  } else {
    TextNormal(kValueSlot, kFill, x, y + kValueRow, FormatEntryValue(e.parameter, e.value));
  }
  TextSmall(kStepModeSlot, kFill, x, y + kStepModeRow, e.stepMode == 1 ? "COARSE" : "FINE");
  if (e.auxShown) DrawAuxBox(e, p);
}

}  // namespace vq
