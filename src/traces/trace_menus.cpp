// The TRACE and DISPLAY soft-key menus: handlers, state queries and label painters.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"
#include "menu/softkey_column.h"
#include "traces/traces.h"

namespace vq {

namespace {

constexpr MenuId kNodeActiveTrace = 922;
constexpr MenuId kNodeView = 145;
constexpr MenuId kNodeRollAvg = 470;
constexpr MenuId kNodeCopySource = 1102;
constexpr MenuId kNodeCopyDestination = 1103;
constexpr MenuId kNodeCopyExecute = 486;
constexpr MenuId kNodeClearAll = 183;
constexpr MenuId kNodeNormal = 178;
constexpr MenuId kNodeSplit = 179;
constexpr MenuId kNodeUpperHold = 187;
constexpr MenuId kNodeLowerHold = 188;
constexpr int kActiveTracePage = 23;

// Keys that do the same thing for each trace A to G.
constexpr MenuId kActiveKeys[] = {146, 154, 160, 474, 475, 476, 477};
constexpr MenuId kClearKeys[] = {814, 815, 816, 817, 818, 819, 820};
constexpr MenuId kPaneKeys[] = {184, 185, 186, 536, 537, 538, 539};
static_assert(std::size(kActiveKeys) == kTraceCount && std::size(kClearKeys) == kTraceCount &&
              std::size(kPaneKeys) == kTraceCount);

// The attribute keys of the TRACE page and the attribute each sets.
struct AttributeKey {
  MenuId node;
  int code;
};
constexpr AttributeKey kAttributeKeys[] = {
    {141, kAttrWrite}, {142, kAttrFix}, {471, kAttrMaxHold}, {472, kAttrMinHold}};

constexpr const char* kLetters[kTraceCount] = {"A", "B", "C", "D", "E", "F", "G"};

TraceStateBlock& State() {
  return GInstrument->traces.state;
}

int ActiveTrace() {
  return std::min<int>(State().activeTrace, kTraceCount - 1);
}

const char* Letter(int trace) {
  return trace >= 0 && trace < kTraceCount ? kLetters[trace] : "?";
}

// Paints a key with its value line, the word `highlighted` marked (-1: plain).
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

// A key among several choices: the chosen one shows a marked "ON".
void PaintChoice(int slot, int16_t pressed, bool chosen) {
  PaintValue(slot, pressed, chosen ? "ON" : "", chosen ? 0 : -1);
}

// ACTIVE TRACE, TRACE CLEAR and TRACE UP/LOW: one handler and painter per trace.
void ChooseActive(int trace) {
  SetActiveTrace(trace);
  if (GInstrument->menu.page == kActiveTracePage) PopSoftKeyPage();
}
void FlipPane(int trace) {
  SetTracePane(trace, State().pane[trace] ? 0 : 1);
}
void ClearOne(int trace) {
  TraceClear(trace);
}
void PaintActive(int slot, int16_t pressed, int trace) {
  PaintChoice(slot, pressed, ActiveTrace() == trace);
}
void PaintPane(int slot, int16_t pressed, int trace) {
  PaintValue(slot, pressed, "UP LOW", State().pane[trace] ? 1 : 0);
}

using TraceAction = void (*)(int trace);
using TracePainter = void (*)(int slot, int16_t pressed, int trace);

template <TraceAction Action, int Trace>
int32_t OnTrace(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  Action(Trace);
  return 1;
}
template <TracePainter Painter, int Trace>
void PaintTrace(int slot, int16_t pressed) {
  Painter(slot, pressed, Trace);
}
template <TraceAction Action, size_t... T>
constexpr std::array<MenuHandler, kTraceCount> TraceHandlers(std::index_sequence<T...>) {
  return {OnTrace<Action, T>...};
}
template <TracePainter Painter, size_t... T>
constexpr std::array<LabelPainter, kTraceCount> TracePainters(std::index_sequence<T...>) {
  return {PaintTrace<Painter, T>...};
}
constexpr auto kEachTrace = std::make_index_sequence<kTraceCount>();

// WRITE, FIX, MAX HOLD and MIN HOLD on the active trace.
template <int Code>
int32_t AttributeHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  const int t = ActiveTrace();
  if (Code == kAttrWrite) WriteTrace(t);
  if (Code == kAttrFix) FixTrace(t);
  if (Code == kAttrMaxHold || Code == kAttrMinHold) HoldTrace(t, Code);
  return 1;
}
template <int Code>
void AttributePainter(int slot, int16_t pressed) {
  PaintChoice(slot, pressed, State().attribute[ActiveTrace()] == Code);
}
template <size_t... I>
constexpr std::array<MenuHandler, std::size(kAttributeKeys)> AttributeHandlers(
    std::index_sequence<I...>) {
  return {AttributeHandler<kAttributeKeys[I].code>...};
}
template <size_t... I>
constexpr std::array<LabelPainter, std::size(kAttributeKeys)> AttributePainters(
    std::index_sequence<I...>) {
  return {AttributePainter<kAttributeKeys[I].code>...};
}

void PaintActiveTrace(int slot, int16_t pressed) {
  PaintValue(slot, pressed, Letter(ActiveTrace()), -1);
}

int32_t ViewHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  const int t = ActiveTrace();
  SetDisplayState(t, State().display[t] ? 0 : 1);
  return 1;
}
void PaintView(int slot, int16_t pressed) {
  PaintValue(slot, pressed, "DISP BLANK", State().display[ActiveTrace()] ? 1 : 0);
}

// ROLL AVG: the active trace averages over the times typed or stepped in the entry.
void StoreRollAverage() {
  const EntryState& e = GInstrument->entry;
  if (e.parameter != kParRollAverage) return;
  RollAverageTrace(ActiveTrace(), static_cast<int>(std::lround(e.value)));
}

int32_t RollAvgHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  const int t = ActiveTrace();
  if (mode == kModeEnter) {
    const ParamRecord& p = g.entry.params[kParRollAverage];
    const int stored = g.traces.traces[t].condition.rollAverageTimes;
    const int times = std::clamp(stored, static_cast<int>(p.minimum), static_cast<int>(p.maximum));
    RollAverageTrace(t, times);
    StartEntry(0, -1, kParRollAverage, times);
    return 1;
  }
  return NumericEntryKeyOrLeave(mode, key, StoreRollAverage);
}

void PaintRollAvg(int slot, int16_t pressed) {
  const Instrument& g = *GInstrument;
  const int t = ActiveTrace();
  const long times = g.entry.parameter == kParRollAverage
                         ? std::lround(g.entry.value)
                         : g.traces.traces[t].condition.rollAverageTimes;
  // Copied into the key's record before this returns.
  static char text[16];
  std::snprintf(text, sizeof text, "%4ld", times);
  PaintValue(slot, pressed, text, State().attribute[t] == kAttrRollAvg ? 0 : -1);
}

// TRACE COPY: each press of SOURCE or DESTINATION takes the next trace; the arrows step and the
// letters A to G choose directly while the key is current.
template <int Which>
uint16_t& CopyChoice() {
  return Which == 0 ? State().copySource : State().copyDestination;
}
template <int Which>
int32_t CopyChoiceHandler(int mode, int16_t* key) {
  uint16_t& choice = CopyChoice<Which>();
  int next = choice;
  if (mode == kModeEnter) {
    next = choice + 1;
  } else if (mode == kModeKey) {
    const int k = static_cast<uint16_t>(*key);
    if (k == kCmdUp || k == kCmdRight) next = choice + 1;
    if (k == kCmdDown || k == kCmdLeft) next = choice + kTraceCount - 1;
    if (k >= 'A' && k < 'A' + kTraceCount) next = k - 'A';
    if (k >= 'a' && k < 'a' + kTraceCount) next = k - 'a';
  }
  choice = static_cast<uint16_t>(next % kTraceCount);
  GInstrument->frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}
template <int Which>
void PaintCopyChoice(int slot, int16_t pressed) {
  PaintValue(slot, pressed, Letter(CopyChoice<Which>()), -1);
}

int32_t CopyExecuteHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  TraceCopy(State().copySource, State().copyDestination);
  return 1;
}

int32_t ClearAllHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  ClearAllTraces();
  return 1;
}

// NORMAL and SPLIT display, and the holds of the two panes of the split display.
template <int Split>
int32_t DisplayHandler(int mode, int16_t*) {
  if (mode == kModeEnter) SetSplitDisplay(Split != 0);
  return mode == kModeEnter;
}
template <int Split>
void PaintDisplay(int slot, int16_t pressed) {
  PaintChoice(slot, pressed, State().splitMode == Split);
}
template <int Pane>
int32_t PaneHoldHandler(int mode, int16_t*) {
  if (mode == kModeEnter) SetPaneHold(Pane, State().paneHold[Pane] == 0);
  return mode == kModeEnter;
}
template <int Pane>
void PaintPaneHold(int slot, int16_t pressed) {
  PaintValue(slot, pressed, "OFF ON", State().paneHold[Pane] ? 1 : 0);
}
// The holds only mean something while the display is split.
int16_t SplitKeyState() {
  return State().splitMode == 1 ? CommonKeyState() : kKeyDisabled;
}

}  // namespace

void BindTraceMenus() {
  MenuState& m = GInstrument->menu;
  // ACTIVE TRACE opens its page through the standard handler; it shows the active letter.
  m.nodes[kNodeActiveTrace].painter = PaintActiveTrace;

  constexpr auto activeHandlers = TraceHandlers<ChooseActive>(kEachTrace);
  constexpr auto activePainters = TracePainters<PaintActive>(kEachTrace);
  constexpr auto clearHandlers = TraceHandlers<ClearOne>(kEachTrace);
  constexpr auto paneHandlers = TraceHandlers<FlipPane>(kEachTrace);
  constexpr auto panePainters = TracePainters<PaintPane>(kEachTrace);
  for (int t = 0; t < kTraceCount; ++t) {
    BindNode(kActiveKeys[t], activeHandlers[t], activePainters[t]);
    BindNode(kClearKeys[t], clearHandlers[t], nullptr);
    BindNode(kPaneKeys[t], paneHandlers[t], panePainters[t]);
    m.nodes[kPaneKeys[t]].line2 = "";  // "UP LOW" moves to the value line to mark the pane
  }

  constexpr auto attributeSequence = std::make_index_sequence<std::size(kAttributeKeys)>();
  constexpr auto attributeHandlers = AttributeHandlers(attributeSequence);
  constexpr auto attributePainters = AttributePainters(attributeSequence);
  for (size_t i = 0; i < std::size(kAttributeKeys); ++i) {
    BindNode(kAttributeKeys[i].node, attributeHandlers[i], attributePainters[i]);
  }

  BindNode(kNodeView, ViewHandler, PaintView);
  m.nodes[kNodeView].line2 = "";  // "DISP BLANK" moves to the value line to mark the state
  BindNode(kNodeRollAvg, RollAvgHandler, PaintRollAvg);
  BindNode(kNodeCopySource, CopyChoiceHandler<0>, PaintCopyChoice<0>);
  BindNode(kNodeCopyDestination, CopyChoiceHandler<1>, PaintCopyChoice<1>);
  BindNode(kNodeCopyExecute, CopyExecuteHandler, nullptr);
  BindNode(kNodeClearAll, ClearAllHandler, nullptr);
  BindNode(kNodeNormal, DisplayHandler<0>, PaintDisplay<0>);
  BindNode(kNodeSplit, DisplayHandler<1>, PaintDisplay<1>);
  BindNode(kNodeUpperHold, PaneHoldHandler<0>, PaintPaneHold<0>, SplitKeyState);
  BindNode(kNodeLowerHold, PaneHoldHandler<1>, PaintPaneHold<1>, SplitKeyState);
}

}  // namespace vq
