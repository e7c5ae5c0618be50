// Marker operations: the moving marker, the fixed markers 1 to 1024, the line markers, marker
// refresh; the peak and next searches as their keys run them, AUTO SEARCH and AUTO ANALYSIS, and
// the hook that runs after new data arrive in a trace.
#pragma once

#include <cstdint>

#include "state/analysis_state.h"
#include "state/frame_state.h"

namespace vq {

// What a marker change redraws: the graph's dynamic layer, the marker row (drawn with the
// background) and the data area.
constexpr uint32_t kMarkerRedraw = kRedrawDynamicOnly | kRedrawBackground | kRedrawConditions;

// Line markers by number: L1, L2 wavelengths (nm); L3, L4 levels (mW).
enum LineMarkerIndex { kLineL1 = 0, kLineL2 = 1, kLineL3 = 2, kLineL4 = 3 };

// The active trace, 0 to 6.
int SearchTrace();

// Puts the moving marker on a data point of a trace (the index clamped to the trace's points).
void MoveMarker(int trace, int32_t index);
// The data point of a trace where the moving marker stands: its own index on its own trace, else
// the point nearest to its wavelength.
int32_t MovingMarkerIndexOn(int trace);
// SET MARKER n: fixed marker n takes the moving marker's place. 0, or 108 when no moving marker is
// on, n is outside 1 to 1024, or marker n would leave a gap in the numbering.
int SetMarker(int n);
// CLEAR MARKER n: 0, or 108 when n is outside 1 to 1024.
int ClearMarker(int n);
// ALL MARKER CLEAR: every fixed marker off.
void ClearAllMarkers();
// The number of fixed markers on from 1 without a gap.
int FixedMarkerCount();
// Fixed markers 1 to N on the multi-search table, after all fixed markers were cleared.
void PlaceMultiMarkers(int trace);
// Re-reads the level of each fixed marker standing on the trace (1, 2, ... up to the first one
// off), with the wavelength of its index.
void MarkerRefresh(int trace);

// Line marker n on at value (nm for L1 and L2, mW for L3 and L4); off; all four off.
void SetLineMarker(int n, double value);
void LineMarkerOff(int n);
void AllLineMarkersOff();

// PEAK SEARCH (peak) or BOTTOM SEARCH as the key runs it on the active trace: the last kind, the
// multi search and its fixed markers in MULTI mode, the single search, the moving marker to the
// result. 0, or the failure code (103 or 110) after which the result kind is none and the marker
// stays; the caller shows the message.
int PeakSearchAction(bool peak);
// NEXT LEVEL SEARCH, NEXT SEARCH RIGHT, NEXT SEARCH LEFT from the moving marker, after a peak or a
// bottom search: 0 or the failure code, as PeakSearchAction.
enum class NextDirection { Level, Right, Left };
int NextSearchAction(NextDirection direction);

// AUTO SEARCH and AUTO ANALYSIS exclude each other: switching one on switches the other off with
// message 5 or 6. Switching one on runs it once on the active trace when it holds data.
void SetAutoSearch(bool on);
void SetAutoAnalysis(bool on);

// After new data arrived in a trace (a file loaded into it): GO/NO GO judges the active trace
// again; MARKER AUTO UPDATE refreshes the markers standing on it; on the active trace AUTO
// SEARCH searches again and AUTO ANALYSIS runs the selected item again.
void NewTraceData(int trace);

}  // namespace vq
