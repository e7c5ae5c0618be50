// The points of a sweep measured on the connected analyzer, applied to the traces by their
// attributes: WRITE takes them, MAX HOLD and MIN HOLD keep the extreme, ROLL AVG averages.
#pragma once

#include <cstddef>

namespace vq {

// Applies `count` linear levels (mW) from point index `from` on to every measuring trace (WRITE,
// MAX HOLD, MIN HOLD, ROLL AVG). `fetched` is the trace whose data the analyzer sent already
// processed: it takes them as they are. The traces take the sweep's setting record.
void ApplySweepPoints(int fetched, size_t from, const double* levels, size_t count);
// A sweep has ended: the roll-average counters step and the calculated traces follow.
void EndSweepOnTraces();
// The first trace in a measuring state (attribute below 5 and not FIX), or -1.
int FirstMeasuringTrace();

}  // namespace vq
