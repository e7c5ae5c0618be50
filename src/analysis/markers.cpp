// Marker operations, the searches as their keys run them, AUTO SEARCH and AUTO ANALYSIS, and the
// hook after new trace data.
#include "analysis/markers.h"

#include <algorithm>

#include "analysis/analysis_execute.h"
#include "analysis/search.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "menu/messages.h"
#include "traces/traces.h"

namespace vq {

namespace {

constexpr int kMsgAutoAnalysisOff = 5;
constexpr int kMsgAutoSearchOff = 6;
constexpr int kMsgMarkerOutOfRange = 108;

AnalysisState& Analysis() {
  return GInstrument->analysis;
}

void MarkMarkersChanged() {
  GInstrument->frame.redrawFlags |= kMarkerRedraw;
}

// The keys that need a moving marker or line markers 1 and 2 are greyed without them.
void MarkKeysChanged() {
  GInstrument->frame.redrawFlags |= kMarkerRedraw | kRedrawSoftKeys;
}

int32_t ClampIndex(const TraceAxis& axis, int32_t index) {
  return axis.points > 0 ? std::clamp(index, 0, axis.points - 1) : 0;
}

// A marker on (trace, index): its wavelength and level; a point without data reads 0.
void PlaceOn(MarkerSlot& m, int trace, int32_t index) {
  const TraceAxis axis = AxisOfTrace(trace);
  m.on = 1;
  m.trace = static_cast<uint16_t>(trace);
  m.index = ClampIndex(axis, index);
  m.wavelength = IndexToWavelength(axis, m.index);
  m.level = std::max(GInstrument->traces.traces[trace].level[m.index], 0.0);
}

// A failed search hides the analysis result; the markers stay where they were.
int SearchFailed(int code) {
  Analysis().resultKind = kResultNone;
  MarkMarkersChanged();
  return code;
}

// Whether any point of the stored search range holds light.
bool RangeHasData(int trace) {
  const SearchRange& r = Analysis().range;
  const auto& level = GInstrument->traces.traces[trace].level;
  const int32_t first = std::max(r.start, 0), last = std::min(r.end, kMaxPoints - 1);
  for (int32_t i = first; i <= last; ++i) {
    if (level[i] > 0) return true;
  }
  return first > last;  // an empty range is the search's own failure
}

}  // namespace

int SearchTrace() {
  return std::clamp<int>(GInstrument->traces.state.activeTrace, 0, kTraceCount - 1);
}

void MoveMarker(int trace, int32_t index) {
  MarkerSlot& m = Analysis().markers[kMovingMarker];
  const bool wasOn = m.on == 1;
  PlaceOn(m, trace, index);
  wasOn ? MarkMarkersChanged() : MarkKeysChanged();
}

int32_t MovingMarkerIndexOn(int trace) {
  const MarkerSlot& m = Analysis().markers[kMovingMarker];
  return m.trace == trace ? m.index : WavelengthToIndex(AxisOfTrace(trace), m.wavelength);
}

int FixedMarkerCount() {
  const auto& markers = Analysis().markers;
  int n = 0;
  while (n < kFixedMarkers && markers[n + 1].on == 1) ++n;
  return n;
}

int SetMarker(int n) {
  AnalysisState& a = Analysis();
  if (n < 1 || n > kFixedMarkers || a.markers[kMovingMarker].on != 1) return kMsgMarkerOutOfRange;
  // Numbering stays without gaps: n must be on already or follow a marker that is.
  if (n > 1 && a.markers[n].on != 1 && a.markers[n - 1].on != 1) return kMsgMarkerOutOfRange;
  a.markers[n] = a.markers[kMovingMarker];
  a.markers[n].on = 1;
  a.resultKind = kResultNone;
  MarkMarkersChanged();
  return 0;
}

int ClearMarker(int n) {
  AnalysisState& a = Analysis();
  if (n < 1 || n > kFixedMarkers) return kMsgMarkerOutOfRange;
  a.markers[n].on = 0;
  a.resultKind = kResultNone;
  MarkMarkersChanged();
  return 0;
}

void ClearAllMarkers() {
  AnalysisState& a = Analysis();
  for (int n = 1; n <= kFixedMarkers; ++n) a.markers[n].on = 0;
  a.resultKind = kResultNone;
  MarkMarkersChanged();
}

void PlaceMultiMarkers(int trace) {
  AnalysisState& a = Analysis();
  for (int n = 1; n <= kFixedMarkers; ++n) a.markers[n].on = 0;
  const int count = std::min<int>(a.multi.count, kFixedMarkers);
  for (int i = 0; i < count; ++i) PlaceOn(a.markers[i + 1], trace, a.multi.index[i]);
  MarkMarkersChanged();
}

void MarkerRefresh(int trace) {
  AnalysisState& a = Analysis();
  for (int n = 1; n <= kFixedMarkers && a.markers[n].on == 1; ++n) {
    if (a.markers[n].trace == trace) PlaceOn(a.markers[n], trace, a.markers[n].index);
  }
  MarkMarkersChanged();
}

void SetLineMarker(int n, double value) {
  if (n < kLineL1 || n > kLineL4) return;
  Analysis().lineMarkers[n] = {1, value};
  MarkKeysChanged();
}

void LineMarkerOff(int n) {
  if (n < kLineL1 || n > kLineL4) return;
  Analysis().lineMarkers[n].on = 0;
  MarkKeysChanged();
}

void AllLineMarkersOff() {
  for (int n = kLineL1; n <= kLineL4; ++n) LineMarkerOff(n);
}

int PeakSearchAction(bool peak) {
  AnalysisState& a = Analysis();
  const int trace = SearchTrace();
  a.search.lastKind = peak ? 1 : 0;
  ComputeSearchRange(trace);
  if (!RangeHasData(trace)) return SearchFailed(SearchFailureCode());
  if (a.search.searchMode == 1) {
    const SearchSettings& s = a.search;
    if (const int code = MultiSearch(trace, peak, s.multiThresh, s.modeDiff, s.sortBy)) {
      return SearchFailed(code);
    }
    PlaceMultiMarkers(trace);
  }
  if (const int code = SingleSearch(trace, peak)) return SearchFailed(code);
  MoveMarker(trace, a.result.index);
  return 0;
}

int NextSearchAction(NextDirection direction) {
  AnalysisState& a = Analysis();
  const MarkerSlot& m = a.markers[kMovingMarker];
  if (m.on != 1) return SearchFailed(SearchFailureCode());
  // Kinds 1 to 3 look for peaks, 4 to 6 for bottoms: level, left, right.
  int kind = direction == NextDirection::Level ? 1 : direction == NextDirection::Left ? 2 : 3;
  if (a.search.lastKind == 0) kind += 3;
  const int trace = SearchTrace();
  if (const int code = NextSearch(trace, kind, MovingMarkerIndexOn(trace), a.search.modeDiff)) {
    return SearchFailed(code);
  }
  MoveMarker(trace, a.result.index);
  return 0;
}

void SetAutoSearch(bool on) {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  a.search.autoSearch = on ? 1 : 0;
  g.frame.redrawFlags |= kRedrawSoftKeys;
  if (!on) return;
  if (a.autoAnalysis) {
    a.autoAnalysis = 0;
    ShowMessage(kMsgAutoAnalysisOff);
  }
  if (TraceHasData(SearchTrace())) {
    if (const int code = PeakSearchAction(a.search.lastKind == 1)) ShowMessage(code);
  }
}

void SetAutoAnalysis(bool on) {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  a.autoAnalysis = on ? 1 : 0;
  g.frame.redrawFlags |= kRedrawSoftKeys;
  if (!on) return;
  if (a.search.autoSearch) {
    a.search.autoSearch = 0;
    ShowMessage(kMsgAutoSearchOff);
  }
  if (AnalysisItemAvailable(a.item) && TraceHasData(SearchTrace())) ExecuteAnalysis(a.item);
}

void NewTraceData(int trace) {
  AnalysisState& a = Analysis();
  if (trace < 0 || trace >= kTraceCount) return;
  if (a.search.markerAutoUpdate) {
    const MarkerSlot& m = a.markers[kMovingMarker];
    if (m.on == 1 && m.trace == trace) MoveMarker(trace, m.index);
    MarkerRefresh(trace);
  }
  if (const auto judge = GInstrument->templates.newTraceData) judge(trace);
  if (a.search.autoSearch && trace == SearchTrace()) {
    if (const int code = PeakSearchAction(a.search.lastKind == 1)) ShowMessage(code);
  } else if (a.autoAnalysis && AnalysisItemAvailable(a.item)) {
    // Any trace: EDFA-NF and the DUAL TRACE WDM read trace B as well as the active trace.
    ExecuteAnalysis(a.item);
  }
}

}  // namespace vq
