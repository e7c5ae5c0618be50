// Spectral width analysis: THRESH, ENVELOPE, RMS, PEAK RMS and NOTCH.
#pragma once

#include <cstdint>

#include "state/analysis_state.h"

namespace vq {

// Runs width item 0 to 4 on a trace with the given parameters over the current search range and
// work buffer (filled here): 0 or a failure code; the result goes to `out`.
int RunSpectralWidth(int trace, int item, const WidthParameters& p, double modeDiff,
                     WidthResult& out);

// "ANALYSIS" "EXECUTE" for the width items: the selected item's parameters into the working copy,
// the run on the active trace, the result kind and the three analysis markers on success; on
// failure the result kind none and the message shown. Returns 0 or the failure code.
int ExecuteSpectralWidth(int item);

// The screen name of an analysis item ("THRESH", ..., "WDM FIL-BTM").
const char* AnalysisItemName(int item);

}  // namespace vq
