// The trace operations: active trace, attributes, display state, copy, clear, list and panes.
#include "traces/traces.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "instrument.h"

namespace vq {

namespace {

constexpr uint32_t kRedrawStatusColumn = 0x80000;
// A trace's curve, its label box, its status entry and the soft keys showing its settings.
constexpr uint32_t kRedrawTrace = kRedrawGraphFrames | kRedrawDynamicOnly | kRedrawTraceLabels |
                                  kRedrawStatusColumn | kRedrawSoftKeys;

// The level-scale fields of the record; a pane's graph is drawn from them.
using M = MeasCondition;
constexpr double M::*kLevelScaleFields[] = {
    &M::refLevel,           &M::logScale,     &M::baseLevel,        &M::subScaleLinear,
    &M::subScaleLog,        &M::subScaleDbKm, &M::subScalePercent,  &M::subScaleMin,
    &M::subScaleMinPercent, &M::offsetLevel,  &M::offsetLevelPerKm, &M::fibreLength,
};
static_assert(std::size(kLevelScaleFields) == 12, "the real-valued level-scale fields");

bool ValidTrace(int trace) {
  return trace >= 0 && trace < kTraceCount;
}

void Redraw(uint32_t bits) {
  GInstrument->frame.redrawFlags |= bits;
}

// The attribute a trace shows in its groups: a FIX trace counts as what it was fixed from.
int EffectiveAttribute(int trace) {
  const TraceStateBlock& s = GInstrument->traces.state;
  return s.attribute[trace] == kAttrFix ? s.fixedFrom[trace] : s.attribute[trace];
}

// Switching a measured attribute onto a trace frees the pane it sits in from its hold.
void ReleasePaneHold(int trace) {
  TraceStateBlock& s = GInstrument->traces.state;
  const int pane = s.pane[trace] ? 1 : 0;
  if (s.paneHold[pane]) {
    s.paneHold[pane] = 0;
    Redraw(kRedrawTrace);
  }
}

// A calculated trace leaving its calculation keeps its last result as its source.
void KeepCalculatedValues(int trace, int oldAttribute) {
  Trace& t = GInstrument->traces.traces[trace];
  if (IsCalculation(oldAttribute)) t.source = t.level;
}

void ClearArrays(int trace) {
  TraceStore& store = GInstrument->traces;
  Trace& t = store.traces[trace];
  t.level.fill(0.0);
  t.source.fill(0.0);
  if (store.state.attribute[trace] == kAttrFix) store.state.fixedFrom[trace] = kAttrFix;
}

}  // namespace

bool SetActiveTrace(int trace) {
  Instrument& g = *GInstrument;
  if (!ValidTrace(trace)) return false;
  if (g.traces.state.activeTrace != trace) {
    g.traces.state.activeTrace = static_cast<uint16_t>(trace);
    Redraw(kRedrawTrace);
  }
  return true;
}

bool SetAttribute(int trace, int code) {
  Instrument& g = *GInstrument;
  if (!ValidTrace(trace) || !ValidAttribute(code)) return false;
  TraceStore& store = g.traces;
  const int old = EffectiveAttribute(trace);
  if (store.state.attribute[trace] != code) {
    if (code != kAttrFix) store.fixRequestPending = false;
    if (code != kAttrRollAvg) store.rollCounter[trace] = 0;
  }
  store.state.attribute[trace] = static_cast<uint16_t>(code);
  Redraw(kRedrawTrace);
  if ((IsCalculation(old) || IsCalculation(code)) && code != kAttrFix) {
    store.traces[trace].condition.traceAttribute = static_cast<int16_t>(code);
  }
  return true;
}

bool WriteTrace(int trace) {
  if (!ValidTrace(trace)) return false;
  const int old = GInstrument->traces.state.attribute[trace];
  if (old == kAttrWrite) return true;
  ReleasePaneHold(trace);
  SetAttribute(trace, kAttrWrite);
  KeepCalculatedValues(trace, old);
  return true;
}

bool FixTrace(int trace) {
  if (!ValidTrace(trace)) return false;
  const int old = GInstrument->traces.state.attribute[trace];
  if (old == kAttrFix) return true;  // the fixed-from attribute stays
  KeepCalculatedValues(trace, old);
  return FixTraceAs(trace, old);
}

bool FixTraceAs(int trace, int fixedFrom) {
  if (!ValidTrace(trace) || !ValidAttribute(fixedFrom)) return false;
  GInstrument->traces.state.fixedFrom[trace] = static_cast<uint16_t>(fixedFrom);
  return SetAttribute(trace, kAttrFix);
}

bool HoldTrace(int trace, int code) {
  if (!ValidTrace(trace) || (code != kAttrMaxHold && code != kAttrMinHold)) return false;
  TraceStateBlock& s = GInstrument->traces.state;
  const int old = s.attribute[trace];
  ReleasePaneHold(trace);
  s.holdSelection[trace] = static_cast<uint16_t>(code);
  SetAttribute(trace, code);
  KeepCalculatedValues(trace, old);
  return true;
}

bool RollAverageTrace(int trace, int times) {
  if (!ValidTrace(trace)) return false;
  GInstrument->traces.traces[trace].condition.rollAverageTimes = static_cast<int16_t>(times);
  return SetAttribute(trace, kAttrRollAvg);
}

bool SetDisplayState(int trace, int blank) {
  if (!ValidTrace(trace) || (blank != 0 && blank != 1)) return false;
  TraceStateBlock& s = GInstrument->traces.state;
  if (s.display[trace] != blank) {
    s.display[trace] = static_cast<uint16_t>(blank);
    Redraw(kRedrawTrace);
  }
  return true;
}

bool TraceCopy(int source, int destination) {
  Instrument& g = *GInstrument;
  if (!ValidTrace(source) || !ValidTrace(destination) || source == destination) return false;
  TraceStore& store = g.traces;
  ReleasePaneHold(destination);
  const Trace& from = store.traces[source];
  Trace& to = store.traces[destination];
  to.condition = from.condition;
  to.level = from.level;
  to.source = from.source;
  // A copy of a FIX trace is fixed from what the original was fixed from.
  const int copied =
      ValidAttribute(EffectiveAttribute(source)) ? EffectiveAttribute(source) : kAttrFix;
  store.state.attribute[destination] = static_cast<uint16_t>(copied);
  SetDisplayState(destination, 0);
  FixTraceAs(destination, copied);
  // Calculated traces that take the copy as input follow it.
  if (g.calc.recalculate) g.calc.recalculate();
  g.frame.redrawFlags = kRedrawAll;
  return true;
}

bool TraceClear(int trace) {
  if (!ValidTrace(trace)) return false;
  ClearArrays(trace);
  GInstrument->frame.redrawFlags = kRedrawAll;
  return true;
}

void ClearAllTraces() {
  for (int t = 0; t < kTraceCount; ++t) ClearArrays(t);
  GInstrument->frame.redrawFlags = kRedrawAll;
}

bool TraceHasData(int trace) {
  if (!ValidTrace(trace)) return false;
  const Trace& t = GInstrument->traces.traces[trace];
  const int points = std::clamp(t.condition.samplingPoints, 0, kMaxPoints);
  return std::any_of(t.level.begin(), t.level.begin() + points, [](double v) { return v != 0.0; });
}

bool TraceOnSubScale(int trace) {
  return ValidTrace(trace) && AttributeHas(EffectiveAttribute(trace), kAttrSubScale);
}

std::string TraceListLine(int trace) {
  Instrument& g = *GInstrument;
  if (!ValidTrace(trace)) return "";
  const TraceStateBlock& s = g.traces.state;
  const int attribute = s.attribute[trace];
  char counter[8] = "";
  if (attribute == kAttrRollAvg && g.conditions.sweepState != 0) {
    std::snprintf(counter, sizeof counter, "%3d ", g.traces.rollCounter[trace]);
  }
  const char* name =
      attribute == kAttrFix ? AttributeFixedName(s.fixedFrom[trace]) : AttributeListName(attribute);
  char line[40];
  std::snprintf(line, sizeof line, "%c:%s%s%s", 'A' + trace, counter, name,
                s.display[trace] ? "/BLK" : "/DSP");
  return line;
}

void SetSplitDisplay(bool split) {
  Instrument& g = *GInstrument;
  g.traces.state.splitMode = split ? 1 : 0;
  g.screen.screenMode = split ? 1 : 0;
  g.frame.redrawFlags = kRedrawAll;
}

bool SetTracePane(int trace, int pane) {
  if (!ValidTrace(trace) || (pane != 0 && pane != 1)) return false;
  TraceStateBlock& s = GInstrument->traces.state;
  if (s.pane[trace] != pane) {
    s.pane[trace] = static_cast<uint16_t>(pane);
    Redraw(kRedrawTrace);
  }
  return true;
}

bool SetPaneHold(int pane, bool hold) {
  if (pane != 0 && pane != 1) return false;
  GInstrument->traces.state.paneHold[pane] = hold ? 1 : 0;
  Redraw(kRedrawTrace);
  return true;
}

bool IsLevelScaleField(double MeasCondition::*field) {
  return std::find(std::begin(kLevelScaleFields), std::end(kLevelScaleFields), field) !=
         std::end(kLevelScaleFields);
}

bool LevelScaleDiffers(const MeasCondition& a, const MeasCondition& b) {
  for (double M::*field : kLevelScaleFields) {
    if (a.*field != b.*field) return true;
  }
  return a.levelUnit != b.levelUnit || a.subScaleMode != b.subScaleMode;
}

void CopyLevelScale(const MeasCondition& from, MeasCondition& to) {
  for (double M::*field : kLevelScaleFields) to.*field = from.*field;
  to.levelUnit = from.levelUnit;
  to.subScaleMode = from.subScaleMode;
}

void FollowLevelScale() {
  Instrument& g = *GInstrument;
  const TraceStateBlock& s = g.traces.state;
  // One graph is drawn from the setting record itself.
  if (g.screen.screenMode != 1 || !ValidTrace(s.activeTrace)) return;
  const int pane = s.pane[s.activeTrace] ? 1 : 0;
  if (s.paneHold[pane]) return;
  CopyLevelScale(g.conditions.setting, g.conditions.panes[pane]);
  Redraw(kRedrawGraphFrames | kRedrawGraphLabels | kRedrawDynamicOnly);
}

}  // namespace vq
