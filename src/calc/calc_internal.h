// What the calculation files share among themselves: preparing the destination, the analysis
// range of a source, and the fits of trace G.
#pragma once

#include <cstdint>

#include "calc/trace_calc.h"
#include "state/trace_state.h"

namespace vq {

constexpr int kAttrMarkerFit = 50;

// The destination takes the measured record with its attribute `code` and the calculation
// settings in force.
Trace& PrepareDestination(int trace, int code);

// The analysis range of a trace, limited to its points; the current analysis's range is kept.
struct TraceRange {
  int32_t first = 0, last = -1;
  int32_t points = 0;
};
TraceRange AnalysisRangeOf(int trace);

// The input of a normalised or fitted G: the source's levels.
void KeepSource(Trace& dest, const Trace& source, int points);

// CRV FIT and PKCVFIT of a source into G: 0, or -1 when the operation stopped.
int FitTrace(const CalcOperation& op);
// MKR FIT into G: 0, or 111 after showing the message.
int MarkerFit();

}  // namespace vq
