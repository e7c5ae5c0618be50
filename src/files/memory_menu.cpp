// The MEMORY soft keys: MEMORY NO., SAVE, RECALL, CLEAR and LIST PARAM, on the active trace.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "files/memory_slots.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "menu/param_entry.h"
#include "menu/softkey_column.h"

namespace vq {

namespace {

constexpr MenuId kNodeMemoryNo = 1162;
constexpr MenuId kNodeSave = 1163;
constexpr MenuId kNodeRecall = 1164;
constexpr MenuId kNodeClear = 1165;
constexpr MenuId kNodeListParam = 1166;
constexpr int kParMemoryNo = 88;  // 0 to 63, stepped by one

MemoryState& Memory() {
  return GInstrument->memory;
}

int ActiveTrace() {
  return std::min<int>(GInstrument->traces.state.activeTrace, kTraceCount - 1);
}

void PaintValue(int slot, int16_t pressed, const char* value, int highlighted) {
  MenuState& m = GInstrument->menu;
  SoftKeySlot& s = m.keySlots[slot];
  m.nodes[s.target].valueLine = value;
  if (highlighted >= 0) {
    s.style = static_cast<int16_t>((s.style & ~3) | 1);
    s.index = static_cast<int16_t>(highlighted);
  }
  StandardLabelPainter(slot, pressed);
}

void Redraw() {
  GInstrument->frame.redrawFlags |= kRedrawAll;
}

// The entry's value becomes the current slot.
void TakeEntryValue() {
  const EntryState& e = GInstrument->entry;
  if (e.parameter != kParMemoryNo) return;
  Memory().current = std::clamp(static_cast<int>(std::lround(e.value)), 0, kMemorySlots - 1);
  Redraw();
}

int32_t MemoryNoHandler(int mode, int16_t* key) {
  if (mode == kModeEnter) {
    StartEntry(0, -1, kParMemoryNo, Memory().current);
    return 1;
  }
  return NumericEntryKeyOrLeave(mode, key, TakeEntryValue);
}

void PaintMemoryNo(int slot, int16_t pressed) {
  const Instrument& g = *GInstrument;
  const long n = g.entry.parameter == kParMemoryNo ? std::lround(g.entry.value) : Memory().current;
  static char text[8];  // copied into the key's record before this returns
  std::snprintf(text, sizeof text, "%02ld", n);
  PaintValue(slot, pressed, text, -1);
}

// SAVE, RECALL and CLEAR of the current slot: the status text names it; a failure shows its
// message.
enum class SlotAction { Save, Recall, Clear };
template <SlotAction Action>
int32_t SlotHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  MemoryState& m = Memory();
  const int n = m.current;
  char status[48];
  int code = 0;
  if (Action == SlotAction::Save) {
    std::snprintf(status, sizeof status, "WRITE : TRACE TO MEMORY NO.%02d", n);
    code = SaveMemorySlot(n, ActiveTrace());
  } else if (Action == SlotAction::Recall) {
    std::snprintf(status, sizeof status, "READ : MEMORY NO.%02d TO TRACE", n);
    code = RecallMemorySlot(n, ActiveTrace());
  } else {
    std::snprintf(status, sizeof status, "MEMORY CLEAR : MEMORY NO.%02d", n);
    code = ClearMemorySlot(n);
  }
  m.status = status;
  if (code != 0) ShowMessage(code);
  Redraw();
  return 1;
}

int32_t ListParamHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  Memory().listParameter = Memory().listParameter ? 0 : 1;
  Redraw();
  return 1;
}

void PaintListParam(int slot, int16_t pressed) {
  PaintValue(slot, pressed, "LBL CONDTN", Memory().listParameter ? 1 : 0);
}

}  // namespace

void BindMemoryMenu() {
  BindNode(kNodeMemoryNo, MemoryNoHandler, PaintMemoryNo);
  BindNode(kNodeSave, SlotHandler<SlotAction::Save>);
  BindNode(kNodeRecall, SlotHandler<SlotAction::Recall>);
  BindNode(kNodeClear, SlotHandler<SlotAction::Clear>);
  BindNode(kNodeListParam, ListParamHandler, PaintListParam);
  GInstrument->menu.nodes[kNodeListParam].line2 = "";  // "LBL CONDTN" moves to the value line
}

}  // namespace vq
