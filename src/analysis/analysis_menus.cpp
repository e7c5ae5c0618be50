// The ANALYSIS menu and its SPECTRAL WIDTH page: the width items, ANALYSIS EXECUTE and AUTO
// ANALYSIS; and the key painting the analysis menus share.
#include "analysis/analysis_menus.h"

#include <utility>

#include "analysis/markers.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/softkey_column.h"

namespace vq {

namespace {

constexpr MenuId kNodeExecute = 1060;
constexpr MenuId kNodeAutoAnalysis = 119;
// The width items THRESH, ENVELOPE, RMS, PEAK RMS and NOTCH, in item order.
constexpr MenuId kWidthItemNodes[] = {1062, 1063, 1064, 1065, 1066};
static_assert(std::size(kWidthItemNodes) == kWidthItems, "one key per width item");
// The setting window and the result keys come with the result window; until then greyed.
constexpr MenuId kNodeParameterSetting = 920;
constexpr MenuId kNodeResult = 921;

AnalysisState& Analysis() {
  return GInstrument->analysis;
}

// Choosing an item selects it and runs it once, as ANALYSIS EXECUTE would.
template <int Item>
int32_t ItemHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  Analysis().item = Item;
  GInstrument->frame.redrawFlags |= kRedrawSoftKeys;
  ExecuteSpectralWidth(Item);
  return 1;
}

// The selected item is painted as a key held down.
template <int Item>
void ItemPainter(int slot, int16_t pressed) {
  StandardLabelPainter(slot, static_cast<int16_t>(pressed || Analysis().item == Item));
}

template <size_t... I>
constexpr std::array<MenuHandler, kWidthItems> ItemHandlers(std::index_sequence<I...>) {
  return {ItemHandler<I>...};
}
template <size_t... I>
constexpr std::array<LabelPainter, kWidthItems> ItemPainters(std::index_sequence<I...>) {
  return {ItemPainter<I>...};
}

int32_t ExecuteHandler(int mode, int16_t*) {
  if (mode != kModeEnter || Analysis().item >= kWidthItems) return 0;
  ExecuteSpectralWidth(Analysis().item);
  return 1;
}

// EXECUTE runs the width items; the other items come with their analyses.
int16_t ExecuteState() {
  return Analysis().item < kWidthItems ? CommonKeyState() : kKeyDisabled;
}

int32_t AutoAnalysisHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  SetAutoAnalysis(Analysis().autoAnalysis == 0);
  return 1;
}

void AutoAnalysisPainter(int slot, int16_t pressed) {
  PaintOnOff(slot, pressed, Analysis().autoAnalysis != 0);
}

int16_t Greyed() {
  return kKeyDisabled;
}

}  // namespace

void PaintKeyValue(int slot, int16_t pressed, const std::string& value, int highlighted) {
  MenuState& m = GInstrument->menu;
  SoftKeySlot& s = m.keySlots[slot];
  MenuNode& node = m.nodes[s.target];
  if (highlighted >= 0) {
    s.style = static_cast<int16_t>((s.style & ~3) | 1);
    s.index = static_cast<int16_t>(highlighted);
  }
  // The painter copies the line into the key's record; the node keeps its own text.
  const char* own = node.valueLine;
  node.valueLine = value.c_str();
  StandardLabelPainter(slot, pressed);
  node.valueLine = own;
}

void PaintOnOff(int slot, int16_t pressed, bool on) {
  PaintKeyValue(slot, pressed, "     OFF ON", on ? 1 : 0);
}

bool IsStepKey(int key) {
  return key == kCmdUp || key == kCmdDown || key == kCmdLeft || key == kCmdRight;
}

void BindAnalysisMenus() {
  constexpr auto kEach = std::make_index_sequence<kWidthItems>();
  constexpr auto handlers = ItemHandlers(kEach);
  constexpr auto painters = ItemPainters(kEach);
  for (int i = 0; i < kWidthItems; ++i) BindNode(kWidthItemNodes[i], handlers[i], painters[i]);
  BindNode(kNodeExecute, ExecuteHandler, nullptr, ExecuteState);
  BindNode(kNodeAutoAnalysis, AutoAnalysisHandler, AutoAnalysisPainter);
  // Navigation keys keep their standard handler; only their state changes.
  BindNode(kNodeParameterSetting, nullptr, nullptr, Greyed);
  BindNode(kNodeResult, nullptr, nullptr, Greyed);
}

}  // namespace vq
