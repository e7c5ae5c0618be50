// The ANALYSIS menu and its SPECTRAL WIDTH page: the width items, ANALYSIS EXECUTE and AUTO
// ANALYSIS; and the key painting the analysis menus share.
#include "analysis/analysis_menus.h"

#include <utility>

#include "analysis/analysis_execute.h"
#include "analysis/markers.h"
#include "analysis/result_window.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/softkey_column.h"

namespace vq {

namespace {

constexpr MenuId kNodeExecute = 1060;
constexpr MenuId kNodeAutoAnalysis = 119;
// The analysis items, in item order: THRESH ... NOTCH (SPECTRAL WIDTH page), DFB-LD ... PMD
// (ANALYSIS 1), WDM ... WDM FIL-BTM (ANALYSIS 2).
constexpr MenuId kItemNodes[] = {1062, 1063, 1064, 1065, 1066, 1067, 1068, 1069, 1070,
                                 1071, 1072, 1073, 1074, 1075, 1076, 1077, 1078};
static_assert(std::size(kItemNodes) == kItemCount, "one key per analysis item");

AnalysisState& Analysis() {
  return GInstrument->analysis;
}

// Choosing an item selects it and runs it once, as ANALYSIS EXECUTE would.
template <int Item>
int32_t ItemHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  GInstrument->frame.redrawFlags |= kRedrawSoftKeys;
  ExecuteAnalysis(Item);
  return 1;
}

// An item whose analysis is not in this viewer yet is greyed.
template <int Item>
int16_t ItemState() {
  return AnalysisItemAvailable(Item) ? CommonKeyState() : kKeyDisabled;
}

// The selected item is painted as a key held down.
template <int Item>
void ItemPainter(int slot, int16_t pressed) {
  StandardLabelPainter(slot, static_cast<int16_t>(pressed || Analysis().item == Item));
}

template <size_t... I>
constexpr std::array<MenuHandler, kItemCount> ItemHandlers(std::index_sequence<I...>) {
  return {ItemHandler<I>...};
}
template <size_t... I>
constexpr std::array<LabelPainter, kItemCount> ItemPainters(std::index_sequence<I...>) {
  return {ItemPainter<I>...};
}
template <size_t... I>
constexpr std::array<StateQuery, kItemCount> ItemStates(std::index_sequence<I...>) {
  return {ItemState<I>...};
}

int32_t ExecuteHandler(int mode, int16_t*) {
  if (mode != kModeEnter || !AnalysisItemAvailable(Analysis().item)) return 0;
  ExecuteAnalysis(Analysis().item);
  return 1;
}

int16_t ExecuteState() {
  return AnalysisItemAvailable(Analysis().item) ? CommonKeyState() : kKeyDisabled;
}

int32_t AutoAnalysisHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  SetAutoAnalysis(Analysis().autoAnalysis == 0);
  return 1;
}

void AutoAnalysisPainter(int slot, int16_t pressed) {
  PaintOnOff(slot, pressed, Analysis().autoAnalysis != 0);
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
  constexpr auto kEach = std::make_index_sequence<kItemCount>();
  constexpr auto handlers = ItemHandlers(kEach);
  constexpr auto painters = ItemPainters(kEach);
  constexpr auto states = ItemStates(kEach);
  for (int i = 0; i < kItemCount; ++i) BindNode(kItemNodes[i], handlers[i], painters[i], states[i]);
  BindNode(kNodeExecute, ExecuteHandler, nullptr, ExecuteState);
  BindNode(kNodeAutoAnalysis, AutoAnalysisHandler, AutoAnalysisPainter);
  BindResultWindowKeys();
}

}  // namespace vq
