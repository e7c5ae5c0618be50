// FILTER-PK and FILTER-BTM: peak (bottom), centre, width, ripple and cross talk of one filter; and
// the level crossings that the WDM filters share.
#include <algorithm>
#include <cmath>

#include "analysis/analysis_common.h"
#include "analysis/filter.h"
#include "analysis/markers.h"
#include "analysis/search.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

Crossings LevelCrossings(std::span<const double> w, int32_t p, int32_t lo, int32_t hi,
                         double levelDbm, bool bottom, bool edgeIfMissing) {
  const double lin = DbmToLinear(levelDbm);
  // "Beyond" the level: at or below it for a peak, at or above it for a bottom.
  auto beyond = [&](double v) {
    const double db = LinearToDbm(v);
    return bottom ? db >= levelDbm - kDbTolerance : db <= levelDbm + kDbTolerance;
  };
  const bool startBeyond = beyond(w[p]);
  auto interpolate = [&](int32_t a, int32_t b) {  // the crossing between neighbours a < b
    return w[b] != w[a] ? a + (lin - w[a]) / (w[b] - w[a]) : (beyond(w[a]) ? a : b);
  };
  Crossings c{static_cast<double>(p), static_cast<double>(p), false};
  bool haveLeft = false, haveRight = false;
  double left = lo, right = hi;
  bool passed = !startBeyond;
  for (int32_t i = p - 1; i >= lo; --i) {
    if (!beyond(w[i])) {
      passed = true;
    } else if (passed) {
      left = interpolate(i, i + 1);
      haveLeft = true;
      break;
    }
  }
  passed = !startBeyond;
  for (int32_t j = p + 1; j <= hi; ++j) {
    if (!beyond(w[j])) {
      passed = true;
    } else if (passed) {
      right = interpolate(j - 1, j);
      haveRight = true;
      break;
    }
  }
  if ((haveLeft && haveRight) || edgeIfMissing) {
    c.left = left;
    c.right = right;
  }
  c.found = haveLeft && haveRight && left != right;
  if (!c.found && !edgeIfMissing) c.left = c.right = p;
  return c;
}

namespace {

// A width run of a filter item: THRESH or RMS for a peak, NOTCH (TYPE by ALGO) for a bottom.
int RunItemWidth(int trace, const FilterWidthItem& item, bool bottom, WidthResult& out) {
  WidthParameters p;
  p.threshLevel = item.thresh;
  if (bottom) {
    p.k = 1.0;
    p.type = item.algo == kFilterAlgoNotchPeak ? 0 : 1;
    return RunSpectralWidth(trace, kItemNotch, p, item.modeDiff, out);
  }
  p.k = item.k;
  p.modeFit = item.modeFit;
  return RunSpectralWidth(trace, item.algo == kFilterAlgoRms ? kItemRms : kItemThresh, p,
                          item.modeDiff, out);
}

// The level (mW) that a cross talk reads at a wavelength: the point nearest to it, or with ALGO 12
// the highest (lowest, for a bottom) point within plus and minus the search area, clipped to S..E.
double CrossTalkLevel(const TraceAxis& axis, double nm, const FilterCrossTalkItem& item,
                      bool bottom) {
  const AnalysisState& a = GInstrument->analysis;
  const auto& w = a.work;
  if (item.width.algo != kFilterAlgoGrid) {
    return w[std::clamp(WavelengthToIndex(axis, nm), a.range.start, a.range.end)];
  }
  const int32_t lo = std::max(WavelengthToIndex(axis, nm - item.searchArea), a.range.start);
  const int32_t hi = std::min(WavelengthToIndex(axis, nm + item.searchArea), a.range.end);
  double v = w[std::clamp(lo, a.range.start, a.range.end)];
  for (int32_t i = lo; i <= hi; ++i) v = bottom ? std::min(v, w[i]) : std::max(v, w[i]);
  return v;
}

// F. CROSS TALK (E of FILTER-BTM): the levels at the reference and CH SPACE either side of it, in
// dB against the reference; a side beyond S or E keeps -210.0.
int CrossTalk(int trace, const FilterCrossTalkItem& item, bool bottom, FilterResult& r) {
  const TraceAxis axis = AxisOfTrace(trace);
  double reference = r.extremeNm;
  if (item.width.algo == kFilterAlgoGrid) {
    reference = NearestGridWavelength(r.extremeNm);
  } else if (item.width.algo != kFilterAlgoExtreme) {
    WidthResult w;
    if (const int code = RunItemWidth(trace, item.width, bottom, w)) return code;
    reference = w.centreNm;
  }
  const AnalysisState& a = GInstrument->analysis;
  const double first = IndexToWavelength(axis, a.range.start);
  const double last = IndexToWavelength(axis, a.range.end);
  const double refDb = LinearToDbm(CrossTalkLevel(axis, reference, item, bottom));
  r.referenceNm = reference;
  r.chSpace = item.chSpace;
  r.searchArea = item.searchArea;
  r.crossLeftDb = r.crossRightDb = -210.0;
  constexpr double kNmTolerance = 1e-9;  // a neighbour exactly on S or E is inside
  if (reference - item.chSpace >= first - kNmTolerance) {
    r.crossLeftDb =
        LinearToDbm(CrossTalkLevel(axis, reference - item.chSpace, item, bottom)) - refDb;
  }
  if (reference + item.chSpace <= last + kNmTolerance) {
    r.crossRightDb =
        LinearToDbm(CrossTalkLevel(axis, reference + item.chSpace, item, bottom)) - refDb;
  }
  r.valid[kFilterCrossTalk] = 1;
  return 0;
}

// E. RIPPLE WIDTH: THRESH with MODE FIT ON and K 1 spans the modes within the threshold; the
// ripple is the level spread over them, -210.0 without a mode.
int Ripple(int trace, double thresh, double modeDiff, FilterResult& r) {
  WidthParameters p;
  p.threshLevel = thresh;
  p.k = 1.0;
  p.modeFit = 1;
  WidthResult w;
  if (const int code = RunSpectralWidth(trace, kItemThresh, p, modeDiff, w)) return code;
  r.rippleDb = -210.0;
  if (w.modeCount >= 1) {
    const auto& v = GInstrument->analysis.work;
    const auto lo = static_cast<int32_t>(std::lround(w.left));
    const auto hi = static_cast<int32_t>(std::lround(w.right));
    const auto [mn, mx] = std::minmax_element(v.begin() + lo, v.begin() + hi + 1);
    r.rippleDb = LinearToDbm(*mx) - LinearToDbm(*mn);
  }
  r.valid[kFilterRipple] = 1;
  return 0;
}

// Items A and B: the extreme of the range. A range without light fails.
int FindExtreme(int trace, int item, bool bottom, FilterResult& r) {
  AnalysisState& a = GInstrument->analysis;
  ComputeSearchRange(trace, item);
  if (a.range.start > a.range.end) return SearchFailureCode();
  FillWorkBuffer(trace);
  const std::span<const double> w{a.work.data(), a.work.size()};
  const SearchResult peak = SingleSearchOn(w, a.range.start, a.range.end, true, a.turning);
  if (peak.level <= 0) return SearchFailureCode();
  const SearchResult found =
      bottom ? SingleSearchOn(w, a.range.start, a.range.end, false, a.turning) : peak;
  const TraceAxis axis = AxisOfTrace(trace);
  r.extremeIndex = found.index;
  r.extremeNm = IndexToWavelength(axis, found.index);
  r.extremeDbm = LinearToDbm(found.level);
  return 0;
}

void Finish(int trace, int kind, const FilterResult& r) {
  AnalysisState& a = GInstrument->analysis;
  a.filter.result = r;
  a.resultKind = static_cast<uint16_t>(kind);
  a.resultTrace = static_cast<uint16_t>(trace);
  MoveMarker(trace, static_cast<int32_t>(r.extremeIndex));
}

}  // namespace

int RunFilterPk() {
  Instrument& g = *GInstrument;
  FilterState& f = g.analysis.filter;
  f.pkWorking = f.pk;
  const FilterPkSettings& s = f.pkWorking;
  const int trace = g.traces.state.activeTrace;
  FilterResult r;
  if (const int code = FindExtreme(trace, kItemFilterPk, false, r)) return code;
  r.valid[kFilterLevel] = s.swPeakLevel != 0;
  r.valid[kFilterWavelength] = s.swPeakWavelength != 0;
  WidthResult w;
  if (s.centre.sw != 0) {
    if (const int code = RunItemWidth(trace, s.centre, false, w)) return code;
    r.centreNm = w.centreNm;
    r.valid[kFilterCentre] = 1;
  }
  if (s.width.sw != 0) {
    if (const int code = RunItemWidth(trace, s.width, false, w)) return code;
    r.widthNm = w.widthNm;
    r.widthThz = w.widthThz;
    r.valid[kFilterWidth] = 1;
  }
  if (s.crossTalk.width.sw != 0) {
    if (const int code = CrossTalk(trace, s.crossTalk, false, r)) return code;
  }
  if (s.swRipple != 0) {
    if (const int code = Ripple(trace, s.rippleThresh, s.rippleModeDiff, r)) return code;
  }
  Finish(trace, kResultFilterPk, r);
  return 0;
}

int RunFilterBtm() {
  Instrument& g = *GInstrument;
  FilterState& f = g.analysis.filter;
  f.btmWorking = f.btm;
  const FilterBtmSettings& s = f.btmWorking;
  const int trace = g.traces.state.activeTrace;
  FilterResult r;
  if (const int code = FindExtreme(trace, kItemFilterBtm, true, r)) return code;
  r.valid[kFilterLevel] = s.swBottomLevel != 0;
  r.valid[kFilterWavelength] = s.swBottomWavelength != 0;
  WidthResult w;
  if (s.centre.sw != 0) {
    if (const int code = RunItemWidth(trace, s.centre, true, w)) return code;
    r.centreNm = w.centreNm;
    r.valid[kFilterCentre] = 1;
  }
  if (s.width.sw != 0) {
    if (const int code = RunItemWidth(trace, s.width, true, w)) return code;
    r.widthNm = w.widthNm;
    r.widthThz = w.widthThz;
    r.valid[kFilterWidth] = 1;
  }
  if (s.crossTalk.width.sw != 0) {
    if (const int code = CrossTalk(trace, s.crossTalk, true, r)) return code;
  }
  Finish(trace, kResultFilterBtm, r);
  return 0;
}

}  // namespace vq
