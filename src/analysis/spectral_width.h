// Spectral width analysis: THRESH, ENVELOPE, RMS, PEAK RMS and NOTCH.
#pragma once

#include <cstdint>
#include <span>

#include "analysis/search.h"
#include "state/analysis_state.h"

namespace vq {

// Runs width item 0 to 4 on a trace with the given parameters over the current search range and
// work buffer (filled here): 0 or a failure code; the result goes to `out`.
int RunSpectralWidth(int trace, int item, const WidthParameters& p, double modeDiff,
                     WidthResult& out);

// The same on explicit data: w[s..e] of a trace with the given axis (its own work buffer, e.g. the
// output trace of EDFA-NF); the turning points go to the analysis state's list.
int SpectralWidthOn(std::span<const double> w, int32_t s, int32_t e, const TraceAxis& axis,
                    int item, const WidthParameters& p, double modeDiff, WidthResult& out);

// A width item on the active trace with its parameters (copied to the working copy): on success
// the result kind and the three analysis markers. 0 or the failure code.
int RunWidthAnalysis(int item);

// The setting rows of a width item (width_settings.cpp).
struct SettingRow;
std::span<const SettingRow> WidthSettingRows(int item);

// The screen name of an analysis item ("THRESH", ..., "WDM FIL-BTM").
const char* AnalysisItemName(int item);

}  // namespace vq
