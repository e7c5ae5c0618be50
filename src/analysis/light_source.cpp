// Light-source analyses on the context: SMSR, POWER and PMD runs, FP-LD and LED, and their markers.
#include "analysis/light_source.h"

#include <algorithm>
#include <cmath>

#include "analysis/analysis_common.h"
#include "analysis/markers.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr int kMaxPmdPeaks = 100;
constexpr double kMaxPmdPs = 10000;

LightSourceState& Light() {
  return GInstrument->analysis.light;
}

void Shown(ResultKind kind, int trace) {
  AnalysisState& a = GInstrument->analysis;
  a.resultKind = kind;
  a.resultTrace = static_cast<uint16_t>(trace);
}

// Range and work buffer of an item on a trace: false when the range is empty.
bool PrepareRange(int trace, int item) {
  AnalysisState& a = GInstrument->analysis;
  ComputeSearchRange(trace, item);
  if (a.range.start > a.range.end) return false;
  FillWorkBuffer(trace);
  return true;
}

std::span<const double> Work() {
  const auto& w = GInstrument->analysis.work;
  return {w.data(), w.size()};
}

}  // namespace

// Fixed markers 1 to n on the given data indices, in that order, all others off (through the
// fixed-marker table the multi search fills).
void PlaceFixedMarkers(int trace, std::span<const int32_t> indices) {
  MultiSearchResult& table = GInstrument->analysis.multi;
  const size_t n = std::min<size_t>(indices.size(), kMultiResults);
  std::copy_n(indices.begin(), n, table.index.begin());
  table.count = static_cast<uint16_t>(n);
  PlaceMultiMarkers(trace);
}

// The moving marker on the main mode, fixed markers 1 and 2 (3) on the main and side mode(s).
void PlaceSmsrMarkers(int trace, const SmsrResult& r) {
  MoveMarker(trace, r.mainIndex);
  const int32_t marks[3] = {r.mainIndex, r.sideIndex[0], r.sideIndex[1]};
  PlaceFixedMarkers(trace, std::span(marks, IsTwoSided(r.mode) ? 3 : 2));
}

// One width part of a composite analysis on a trace.
int RunWidthPart(int trace, const WidthPart& part, WidthResult& out) {
  constexpr int kItems[] = {kItemEnvelope, kItemThresh, kItemRms, kItemPeakRms};
  const int item = part.algo <= kAlgoPeakRms ? kItems[part.algo] : kItemThresh;
  const WidthParameters p{part.thresh, part.thresh2, part.k, part.modeFit, 0};
  return RunSpectralWidth(trace, item, p, part.modeDiff, out);
}

int PowerOnRange(int trace, double offsetDb, bool reuse, double& totalMw) {
  const AnalysisState& a = GInstrument->analysis;
  if (!reuse && a.range.start <= a.range.end) FillWorkBuffer(trace);
  return IntegratePower(trace, a.range.start, a.range.end, offsetDb, totalMw);
}

int RunSmsr() {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  LightSourceState& l = Light();
  l.working = l.settings;
  const int trace = SearchTrace();
  if (!PrepareRange(trace, kItemSmsr)) return SearchFailureCode();
  const SmsrSettings& s = l.working.smsr;
  if (!SmsrOn(Work(), a.range.start, a.range.end, AxisOfTrace(trace), s.mode, s.mask,
              a.search.modeDiff, a.turning, l.smsr)) {
    return SearchFailureCode();
  }
  PlaceSmsrMarkers(trace, l.smsr);
  Shown(kResultSmsr, trace);
  return 0;
}

int RunPower() {
  LightSourceState& l = Light();
  l.working = l.settings;
  const int trace = SearchTrace();
  ComputeSearchRange(trace, kItemPower);
  if (const int code = PowerOnRange(trace, l.working.powerOffset, false, l.powerMw)) return code;
  Shown(kResultPower, trace);
  return 0;
}

bool PmdOn(std::span<const double> w, int32_t s, int32_t e, const TraceAxis& axis, double threshDb,
           double modeDiff, TurningPointList& list, std::vector<int32_t>& selected,
           PmdResult& out) {
  out = {};
  selected.clear();
  SingleSearchOn(w, s, e, true, list);
  // Fewer than two modes give no mode spacing to count: the analysis fails.
  if (list.highestPos < 0) return false;
  QualifyBuiltList(w, modeDiff, list);
  if (list.qualifiedPeaks < 2) return false;
  const double limitDb = LinearToDbm(list.highestLevel) - threshDb;
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    const TurningPoint& t = list.entries[pos];
    if (t.state == kQualifiedPeak && LinearToDbm(w[t.index]) >= limitDb - kDbTolerance) {
      selected.push_back(t.index);
    }
  }
  // Too many: drop the outermost peak farther from the highest one (the right one on a tie).
  const int32_t top = list.highestIndex;
  size_t first = 0, last = selected.size();
  while (last - first > kMaxPmdPeaks) {
    if (selected[last - 1] - top >= top - selected[first]) {
      --last;
    } else {
      ++first;
    }
  }
  selected = std::vector<int32_t>(selected.begin() + first, selected.begin() + last);
  const int32_t n = static_cast<int32_t>(selected.size());
  if (n == 0) return false;  // the highest candidate was not a mode and none lies within T of it
  out.count = n;
  out.firstThz = TraceFrequency(axis, IndexToWavelength(axis, selected.front()));
  out.lastThz = TraceFrequency(axis, IndexToWavelength(axis, selected.back()));
  out.pmdPs = n == 1 ? 0.001 : std::min((n - 1) / (out.firstThz - out.lastThz), kMaxPmdPs);
  return true;
}

int RunPmd() {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  LightSourceState& l = Light();
  l.working = l.settings;
  const int trace = SearchTrace();
  if (!PrepareRange(trace, kItemPmd)) return SearchFailureCode();
  std::vector<int32_t> selected;
  if (!PmdOn(Work(), a.range.start, a.range.end, AxisOfTrace(trace), l.working.pmdThresh,
             a.search.modeDiff, a.turning, selected, l.pmd)) {
    return SearchFailureCode();
  }
  PlaceFixedMarkers(trace, selected);
  Shown(kResultPmd, trace);
  return 0;
}

int RunFpLd() {
  LightSourceState& l = Light();
  l.working = l.settings;
  const FpLdSettings& s = l.working.fp;
  FpLdResult& r = l.fp;
  r = {};
  const int trace = SearchTrace();
  WidthResult width;
  if (const int code = RunWidthPart(trace, s.parts[0], width)) return code;
  r.widthNm = width.widthNm;
  r.widthThz = width.widthThz;
  if (const int code = RunWidthPart(trace, s.parts[1], width)) return code;
  r.meanNm = width.centreNm;
  ComputeSearchRange(trace, kItemFpLd);
  if (const int code = PowerOnRange(trace, s.offset, false, r.powerMw)) return code;
  if (const int code = RunWidthPart(trace, s.parts[2], width)) return code;
  r.modeCount = width.modeCount;
  Shown(kResultFpLd, trace);
  return 0;
}

int RunLed() {
  AnalysisState& a = GInstrument->analysis;
  LightSourceState& l = Light();
  l.working = l.settings;
  const LedSettings& s = l.working.led;
  LedResult& r = l.led;
  r = {};
  const int trace = SearchTrace();
  WidthResult width;
  if (const int code = RunWidthPart(trace, s.parts[0], width)) return code;
  r.widthNm = width.widthNm;
  r.widthThz = width.widthThz;
  if (const int code = RunWidthPart(trace, s.parts[1], width)) return code;
  r.meanNm = width.centreNm;
  ComputeSearchRange(trace, kItemLed);
  if (const int code = PowerOnRange(trace, s.offset, false, r.powerMw)) return code;
  // PEAK WL and PEAK LEVEL: the PEAK SEARCH on the same range.
  const SearchResult peak = SingleSearchOn(Work(), a.range.start, a.range.end, true, a.turning);
  r.peakNm = IndexToWavelength(AxisOfTrace(trace), peak.index);
  r.peakLevel = peak.level;
  Shown(kResultLed, trace);
  return 0;
}

}  // namespace vq
