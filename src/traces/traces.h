// The seven traces A to G: level and source arrays, condition records and the trace state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "state/trace_state.h"
#include "traces/meas_condition.h"

namespace vq {

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

// The level scale of a record: the fields the LEVEL keys edit (reference level, log scale, base
// level, sub scale, offsets, fibre length, level unit).
bool IsLevelScaleField(double MeasCondition::*field);
void CopyLevelScale(const MeasCondition& from, MeasCondition& to);
// After a LEVEL edit: in the split display the pane showing the active trace, unless held, takes
// the level scale of the setting record, and its graph is redrawn.
void FollowLevelScale();
// Whether two records differ in a level-scale field.
bool LevelScaleDiffers(const MeasCondition& a, const MeasCondition& b);

// Binds the TRACE and DISPLAY menu functions.
void BindTraceMenus();

}  // namespace vq
