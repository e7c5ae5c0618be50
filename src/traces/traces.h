// The seven traces A to G: level and source arrays, condition records and the trace state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "traces/meas_condition.h"

namespace vq {

constexpr int kTraceCount = 7;
constexpr int kMaxPoints = 50001;
constexpr int kGraphColumns = 601;
constexpr int kAttributeCount = 51;

// Attribute codes of the measurement; 5 and above are calculations (10 to 13 are unused).
constexpr int kAttrWrite = 0;
constexpr int kAttrFix = 1;
constexpr int kAttrMaxHold = 2;
constexpr int kAttrMinHold = 3;
constexpr int kAttrRollAvg = 4;
constexpr int kAttrFirstCalculation = 5;

struct Trace {
  MeasCondition condition{};
  std::array<double, kMaxPoints> level{};   // mW; 0 = no light; a negative value = no data
  std::array<double, kMaxPoints> source{};  // input kept for calculated traces
  // Screen rows plotted per graph column (top and bottom); -1 = nothing plotted yet.
  std::array<std::array<int16_t, 2>, kGraphColumns> columns = EmptyColumns();

  static constexpr std::array<std::array<int16_t, 2>, kGraphColumns> EmptyColumns() {
    std::array<std::array<int16_t, 2>, kGraphColumns> c{};
    for (auto& pair : c) pair = {-1, -1};
    return c;
  }
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

// Attribute names and groups (names are NUL padded 16-byte fields; "" for unknown codes).
bool ValidAttribute(int code);  // 0 to 50 without the unused 10 to 13
const char* AttributeListName(int code);
const char* AttributeFixedName(int code);
const char* AttributeCalcName(int code);
bool IsCalculation(int code);
bool InSubScaleGroup(int code);

// Trace operations. Those returning bool refuse a trace or code out of range (false, nothing
// changed); every change sets the redraw bits of what it touches.
bool SetActiveTrace(int trace);
bool SetAttribute(int trace, int code);
bool WriteTrace(int trace);
bool FixTrace(int trace);
// Fixes a trace whose data came from elsewhere (a copy, a file, the memory) with that attribute.
bool FixTraceAs(int trace, int fixedFrom);
bool HoldTrace(int trace, int code);  // kAttrMaxHold or kAttrMinHold
bool RollAverageTrace(int trace, int times);
bool SetDisplayState(int trace, int blank);   // 0 displayed, 1 blank
bool TraceCopy(int source, int destination);  // equal traces: nothing to do, false
bool TraceClear(int trace);
void ClearAllTraces();
bool TraceHasData(int trace);
bool TraceOnSubScale(int trace);
// The trace list line: letter, roll-average count while a sweep runs, name, "/DSP" or "/BLK".
std::string TraceListLine(int trace);

// The split display: screen mode 1 with an upper and a lower pane, each trace in one of them.
void SetSplitDisplay(bool split);
bool SetTracePane(int trace, int pane);
bool SetPaneHold(int pane, bool hold);

// Binds the TRACE and DISPLAY menu functions.
void BindTraceMenus();

}  // namespace vq
