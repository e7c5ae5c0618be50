// The seven traces A to G: level and source arrays, condition records and the trace state block.
#pragma once

#include <array>
#include <cstdint>

#include "resources/trace_attributes.h"
#include "state/condition_state.h"

namespace vq {

constexpr int kTraceCount = 7;
constexpr int kMaxPoints = 50001;
struct Trace {
  MeasCondition condition{};
  std::array<double, kMaxPoints> level{};   // mW; 0 = no light; a negative value = no data
  std::array<double, kMaxPoints> source{};  // input kept for calculated traces
};

// The trace state block (stored in settings files), fields in order.
struct TraceStateBlock {
  uint16_t activeTrace;
  uint16_t splitMode;
  uint16_t display[kTraceCount];  // 0 displayed, 1 blank
  uint16_t pane[kTraceCount];     // 0 upper, 1 lower
  uint16_t attribute[kTraceCount];
  uint16_t fixedFrom[kTraceCount];
  uint16_t holdSelection[kTraceCount];  // 2 MAX HOLD, 3 MIN HOLD
  uint16_t calcOperation[5][kTraceCount];
  uint16_t copySource;
  uint16_t copyDestination;
  uint16_t calcCategory[kTraceCount];
  uint16_t paneHold[2];
  int16_t curveFitThreshold;
  int16_t peakCurveFitThreshold;
  uint16_t measWavelengthChoice;  // 0 air, 1 vacuum
};

struct TraceStore {
  std::array<Trace, kTraceCount> traces;
  TraceStateBlock state{};
  std::array<int16_t, kTraceCount> rollCounter{};
  bool fixRequestPending = false;
};

}  // namespace vq
