// The sweep processing of the traces: the points of a running sweep reach every measuring trace
// through its attribute's operation.
#include "traces/sweep_data.h"

#include <algorithm>

#include "instrument.h"

namespace vq {

namespace {

bool Measuring(int attribute) {
  return attribute < kAttrFirstCalculation && attribute != kAttrFix;
}

}  // namespace

int FirstMeasuringTrace() {
  const TraceStateBlock& s = GInstrument->traces.state;
  for (int t = 0; t < kTraceCount; ++t) {
    if (Measuring(s.attribute[t])) return t;
  }
  return -1;
}

void ApplySweepPoints(int fetched, size_t from, const double* levels, size_t count) {
  Instrument& g = *GInstrument;
  TraceStore& store = g.traces;
  const MeasCondition& setting = g.conditions.setting;
  const size_t points = static_cast<size_t>(std::clamp(setting.samplingPoints, 0, kMaxPoints));
  if (from >= points) return;
  count = std::min(count, points - from);
  for (int t = 0; t < kTraceCount; ++t) {
    const int attribute = store.state.attribute[t];
    if (!Measuring(attribute)) continue;
    Trace& trace = store.traces[t];
    // The trace shows the sweep's conditions, the label and level scale as set.
    trace.condition = setting;
    const double n =
        std::min<double>(store.rollCounter[t] + 1, std::max<int>(1, setting.rollAverageTimes));
    for (size_t i = 0; i < count; ++i) {
      double& level = trace.level[from + i];
      const double v = levels[i];
      if (t == fetched || attribute == kAttrWrite || level < 0) {
        level = v;
      } else if (attribute == kAttrMaxHold) {
        level = std::max(level, v);
      } else if (attribute == kAttrMinHold) {
        level = std::min(level, v);
      } else {
        level += (v - level) / n;  // ROLL AVG over the sweeps so far, at most its times
      }
    }
  }
  g.frame.redrawFlags |= kRedrawDynamicOnly | kRedrawTraceLabels;
}

void EndSweepOnTraces() {
  Instrument& g = *GInstrument;
  TraceStore& store = g.traces;
  const int times = std::max<int>(1, g.conditions.setting.rollAverageTimes);
  for (int t = 0; t < kTraceCount; ++t) {
    if (store.state.attribute[t] == kAttrRollAvg && store.rollCounter[t] < times) {
      ++store.rollCounter[t];
    }
  }
  if (g.calc.recalculate) g.calc.recalculate();
  g.frame.redrawFlags |= kRedrawDynamicOnly | kRedrawTraceLabels;
}

}  // namespace vq
