// Peak search: conversions, the search range, the work buffer, turning points, the single search,
// MODE DIFF qualification, the next searches and the multi search.
#include "analysis/search.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numeric>
#include <vector>

#include "instrument.h"
#include "traces/meas_condition.h"
#include "traces/zoom.h"

namespace vq {

namespace {

constexpr int32_t kNoDataLastIndex = 1000;  // the range of a trace that holds no sweep
constexpr int kNoiseMaskOff = -101;
constexpr uint16_t kMaskHorizontal = 1;  // "HRZN": masked points take the mask level
constexpr double kDbmSafeLow = 1e-20;    // inside these LinearToDbm is a plain logarithm
constexpr double kDbmSafeHigh = 1e20;
constexpr double kDecisionMargin = 1e-9;  // relative: closer than this, decide in dB

bool IsQualified(uint8_t s) {
  return s == kQualifiedPeak || s == kQualifiedBottom || s == kSelectedPeak || s == kSelectedBottom;
}

// dB(a) <= dB(ref) - m, decided like the logarithms would but without one per comparison: the
// linear test is exact except near the boundary, where the logarithms decide.
bool DbAtMostBelow(double a, double ref, double m, double factor) {
  const double bound = ref * factor;
  if (a > kDbmSafeLow && ref > kDbmSafeLow && a < kDbmSafeHigh && ref < kDbmSafeHigh &&
      std::abs(a - bound) > kDecisionMargin * bound) {
    return a < bound;
  }
  return LinearToDbm(a) <= LinearToDbm(ref) - m + kDbTolerance;
}

// dB(a) >= dB(ref) + m.
bool DbAtLeastAbove(double a, double ref, double m, double factor) {
  const double bound = ref / factor;
  if (a > kDbmSafeLow && ref > kDbmSafeLow && a < kDbmSafeHigh && ref < kDbmSafeHigh &&
      std::abs(a - bound) > kDecisionMargin * bound) {
    return a > bound;
  }
  return LinearToDbm(a) >= LinearToDbm(ref) + m - kDbTolerance;
}

// One pass of the qualification from the highest peak P, rightwards (dir 1) or leftwards (-1).
void QualifyPass(std::span<const double> w, TurningPointList& list, double m, int dir) {
  const double factor = std::pow(10.0, -m / 10);
  auto level = [&](int32_t pos) { return w[list.entries[pos].index]; };
  auto inside = [&](int32_t pos) { return pos >= 0 && pos <= list.last; };
  int32_t pos = list.highestPos;
  int32_t pc = pos;  // peak candidate
  for (;;) {
    // Peak phase: the bottom next to the current peak decides whether pc stands out by m.
    if (!inside(pos + dir)) return;
    if (DbAtMostBelow(level(pos + dir), level(pc), m, factor)) {
      list.entries[pc].state = kQualifiedPeak;
      pos += dir;
      int32_t bc = pos;  // bottom candidate
      // Bottom phase: the peak next to the current bottom decides whether bc lies m below.
      for (;;) {
        if (!inside(pos + dir)) return;
        if (DbAtLeastAbove(level(pos + dir), level(bc), m, factor)) {
          list.entries[bc].state = kQualifiedBottom;
          pos += dir;
          pc = pos;
          break;
        }
        pos += 2 * dir;
        if (!inside(pos)) return;
        if (level(pos) < level(bc)) bc = pos;
      }
      continue;
    }
    pos += 2 * dir;
    if (!inside(pos)) return;
    if (level(pos) > level(pc)) pc = pos;
  }
}

double LevelAt(std::span<const double> w, int32_t index) {
  return index >= 0 && index < static_cast<int32_t>(w.size()) ? w[index] : 0.0;
}

}  // namespace

// ---- Conversions ----

TraceAxis AxisOfTrace(int trace) {
  assert(trace >= 0 && trace < kTraceCount && "trace out of range");
  const MeasCondition& c = GInstrument->traces.traces[trace].condition;
  return {c.start, c.span, std::clamp(c.samplingPoints, 0, kMaxPoints),
          static_cast<int16_t>(c.measurementWavelength)};
}

double IndexToWavelength(const TraceAxis& axis, double index) {
  const double step = axis.Step();
  if (step == 0) return axis.start;
  return std::floor((axis.start + step * index) * 10000.0 + 0.5) / 10000.0;
}

int32_t WavelengthToIndex(const TraceAxis& axis, double wl) {
  const double step = axis.Step();
  if (step == 0) return 0;
  const double x = std::trunc((wl - axis.start) / step + 0.5);
  return static_cast<int32_t>(std::clamp(x, 0.0, static_cast<double>(axis.points - 1)));
}

int32_t WavelengthToIndexInside(const TraceAxis& axis, double wl, bool first) {
  const double step = axis.Step();
  if (step == 0) return 0;
  const int32_t nearest = WavelengthToIndex(axis, wl);
  if (std::abs(IndexToWavelength(axis, nearest) - wl) <= 0.00005) return nearest;
  const double x = (wl - axis.start) / step;
  double i = std::trunc(x);
  if (first && x != i) i += 1;
  return static_cast<int32_t>(std::clamp(i, 0.0, static_cast<double>(axis.points - 1)));
}

double TraceFrequency(const TraceAxis& axis, double nm) {
  constexpr int16_t kVacuum = 2;
  return WavelengthToFrequency(nm, axis.measurementWavelength == kVacuum);
}

// ---- The algorithms on explicit data ----

bool BuildTurningPoints(std::span<const double> w, int32_t s, int32_t e, TurningPointList& list) {
  assert(s >= 0 && e < static_cast<int32_t>(w.size()) && s <= e && "range outside the data");
  int32_t n = 0;
  int slope = 0;  // -1 falling, 1 rising, 0 not yet known
  int32_t p = s;  // start of the current plateau
  double highest = -10000;
  int32_t highestPos = -1;
  TurningPoint* out = list.entries.data();
  for (int32_t i = s; i < e; ++i) {
    const double d = w[i + 1] - w[i];
    const int sign = (d > 0) - (d < 0);
    if (sign == 0) continue;  // the plateau goes on
    if (sign != slope) {      // a turn (or the first slope): its plateau's middle is listed
      const bool peak = sign < 0;
      out[n++] = {(i + p) / 2, peak ? kCandidatePeak : kCandidateBottom};
      if (peak && w[i] > highest) {
        highest = w[i];
        highestPos = n - 1;
      }
      slope = sign;
    }
    p = i + 1;
  }
  const int32_t final = (e + p) / 2;
  if (slope > 0) {
    out[n++] = {final, kCandidatePeak};
    if (w[final] > highest) {
      highest = w[final];
      highestPos = n - 1;
    }
  } else {
    out[n++] = {final, kCandidateBottom};
  }
  list.last = n - 1;
  list.qualifiedPeaks = list.qualifiedBottoms = 0;
  if (n == 1 || highestPos < 0) {  // flat; or no level above the floor of -10000
    list.highestPos = -1;
    return false;
  }
  list.highestPos = highestPos;
  list.highestIndex = list.entries[highestPos].index;
  list.highestLevel = w[list.highestIndex];
  return true;
}

SearchResult SingleSearchOn(std::span<const double> w, int32_t s, int32_t e, bool peak,
                            TurningPointList& list) {
  if (!BuildTurningPoints(w, s, e, list)) {
    const int32_t middle = (s + e) / 2;
    return {middle, w[middle]};
  }
  if (peak) return {list.highestIndex, list.highestLevel};
  int32_t best = -1;
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    const TurningPoint& t = list.entries[pos];
    if (t.state == kCandidateBottom && (best < 0 || w[t.index] < w[best])) best = t.index;
  }
  assert(best >= 0 && "a list of two or more entries holds a bottom");
  return {best, w[best]};
}

bool ModeDiffQualification(std::span<const double> w, int32_t s, int32_t e, double modeDiff,
                           TurningPointList& list) {
  if (!BuildTurningPoints(w, s, e, list)) return false;
  QualifyBuiltList(w, modeDiff, list);
  return true;
}

void QualifyBuiltList(std::span<const double> w, double modeDiff, TurningPointList& list) {
  assert(list.highestPos >= 0 && list.highestPos <= list.last && "the list was not built");
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    uint8_t& state = list.entries[pos].state;
    state = IsPeakState(state) ? kCandidatePeak : kCandidateBottom;
  }
  TurningPoint& top = list.entries[list.highestPos];
  QualifyPass(w, list, modeDiff, 1);
  const bool right = top.state == kQualifiedPeak;
  top.state = kCandidatePeak;
  QualifyPass(w, list, modeDiff, -1);
  const bool left = top.state == kQualifiedPeak;
  top.state = kCandidatePeak;
  int32_t peaks = 0, bottoms = 0;
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    peaks += list.entries[pos].state == kQualifiedPeak;
    bottoms += list.entries[pos].state == kQualifiedBottom;
  }
  // A single peak that stands out on one side only is not a mode.
  if (peaks > 0 || (right && left)) {
    top.state = kQualifiedPeak;
    ++peaks;
  }
  list.qualifiedPeaks = peaks;
  list.qualifiedBottoms = bottoms;
}

bool NextSearchOn(std::span<const double> w, const TurningPointList& list, int kind, int32_t m,
                  SearchResult& result) {
  if (kind < 1 || kind > 6) return false;
  const bool peaks = kind <= 3;
  const double lm = LevelAt(w, m);
  int32_t found = -1;
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    const TurningPoint& t = list.entries[pos];
    if (!IsQualified(t.state) || IsPeakState(t.state) != peaks) continue;
    const double level = w[t.index];
    switch (kind) {
      case 1:  // the highest peak strictly below the marker
        if (level < lm && (found < 0 || level > w[found])) found = t.index;
        break;
      case 4:  // the lowest bottom strictly above the marker
        if (level > lm && (found < 0 || level < w[found])) found = t.index;
        break;
      case 2:
      case 5:  // the nearest to the left
        if (t.index < m) found = t.index;
        break;
      default:  // 3, 6: the nearest to the right
        if (t.index > m && found < 0) found = t.index;
        break;
    }
  }
  if (found < 0) return false;
  result = {found, w[found]};
  return true;
}

void SelectMulti(std::span<const double> w, TurningPointList& list, bool peak, double threshDb,
                 int sortBy, const SearchResult& single, MultiSearchResult& table) {
  table.count = 0;
  const double limit =
      peak ? LinearToDbm(list.highestLevel) - threshDb : LinearToDbm(single.level) + threshDb;
  const uint8_t qualified = peak ? kQualifiedPeak : kQualifiedBottom;
  const uint8_t selected = peak ? kSelectedPeak : kSelectedBottom;
  std::vector<int32_t> chosen;  // list positions, in list order
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    TurningPoint& t = list.entries[pos];
    if (t.state != qualified) continue;
    const double db = LinearToDbm(w[t.index]);
    if (peak ? db >= limit - kDbTolerance : db <= limit + kDbTolerance) {
      t.state = selected;
      chosen.push_back(pos);
    }
  }
  // Rank: the entries strictly more extreme, plus the equal ones further right. Ordering by level
  // and then by list position from the right gives every entry its rank as its place.
  auto more_extreme = [&](int32_t a, int32_t b) {
    const double la = w[list.entries[a].index], lb = w[list.entries[b].index];
    if (la != lb) return peak ? la > lb : la < lb;
    return a > b;
  };
  if (chosen.size() > kMultiResults) {
    std::vector<int32_t> ranked = chosen;
    std::nth_element(ranked.begin(), ranked.begin() + kMultiResults, ranked.end(), more_extreme);
    for (auto it = ranked.begin() + kMultiResults; it != ranked.end(); ++it) {
      list.entries[*it].state = qualified;
    }
    std::erase_if(chosen, [&](int32_t pos) { return list.entries[pos].state != selected; });
  }
  for (int32_t pos : chosen) table.index[table.count++] = list.entries[pos].index;
  if (sortBy == 1) {
    std::stable_sort(table.index.begin(), table.index.begin() + table.count,
                     [&](int32_t a, int32_t b) { return peak ? w[a] > w[b] : w[a] < w[b]; });
  }
}

// ---- On the context ----

int SearchFailureCode() {
  const AnalysisState& a = GInstrument->analysis;
  const bool markers = a.lineMarkers[0].on == 1 || a.lineMarkers[1].on == 1;
  return a.search.rangeLineMarkers && markers ? kNoDataBetweenMarkers : kNoDataInTrace;
}

void ComputeSearchRange(int trace, int item) {
  AnalysisState& a = GInstrument->analysis;
  const TraceAxis axis = AxisOfTrace(trace);
  const double w0 = axis.start, w1 = axis.start + axis.span;
  int32_t s = 0, e = kNoDataLastIndex;
  if (axis.Step() != 0) {
    s = WavelengthToIndex(axis, w0);
    e = WavelengthToIndex(axis, w1);
  }
  if (a.search.rangeLineMarkers) {
    double low = a.lineMarkers[0].on == 1 ? a.lineMarkers[0].value : w0;
    double high = a.lineMarkers[1].on == 1 ? a.lineMarkers[1].value : w1;
    if (low > high) std::swap(low, high);
    s = WavelengthToIndexInside(axis, low, true);
    e = WavelengthToIndexInside(axis, high, false);
  }
  const bool multichannel =
      item == kItemWdm || item == kItemEdfaNf || item == kItemWdmFilPk || item == kItemWdmFilBtm;
  if (a.search.rangeZoom && !multichannel) {
    const AxisRange zoom = DisplayedRange();
    double low = zoom.start, high = zoom.Stop();
    if (low > high) std::swap(low, high);
    s = std::max(s, WavelengthToIndex(axis, low));
    e = std::min(e, WavelengthToIndex(axis, high));
  }
  a.range = {s, e, kRangeMarkers};
}

void FillWorkBuffer(int trace) {
  Instrument& g = *GInstrument;
  const TraceAxis axis = AxisOfTrace(trace);
  const int32_t n = std::max(axis.points, kNoDataLastIndex + 1);
  const auto& level = g.traces.traces[trace].level;
  std::copy_n(level.begin(), n, g.analysis.work.begin());
  const MeasCondition& display = g.conditions.setting;
  if (display.noiseMask == kNoiseMaskOff) return;
  const double mask = DbmToLinear(display.noiseMask);
  const double fill = display.noiseMaskDirection == kMaskHorizontal ? mask : 0.0;
  for (int32_t i = 0; i < n; ++i) {
    if (g.analysis.work[i] < mask) g.analysis.work[i] = fill;
  }
}

namespace {

std::span<const double> Work() {
  return {GInstrument->analysis.work.data(), GInstrument->analysis.work.size()};
}

bool RangeHoldsPoints() {
  const SearchRange& r = GInstrument->analysis.range;
  return r.start <= r.end;
}

}  // namespace

int SingleSearch(int trace, bool peak) {
  AnalysisState& a = GInstrument->analysis;
  ComputeSearchRange(trace);
  if (!RangeHoldsPoints()) return SearchFailureCode();
  FillWorkBuffer(trace);
  a.result = SingleSearchOn(Work(), a.range.start, a.range.end, peak, a.turning);
  return 0;
}

int NextSearch(int trace, int kind, int32_t m, double modeDiff) {
  AnalysisState& a = GInstrument->analysis;
  if (a.range.mode == kRangeWhole) ComputeSearchRange(trace);
  if (!RangeHoldsPoints() || m < 0 || m >= kMaxPoints) return SearchFailureCode();
  FillWorkBuffer(trace);
  if (!ModeDiffQualification(Work(), a.range.start, a.range.end, modeDiff, a.turning)) {
    return SearchFailureCode();
  }
  SearchResult found;
  if (!NextSearchOn(Work(), a.turning, kind, m, found)) return SearchFailureCode();
  a.result = found;
  return 0;
}

int MultiSearch(int trace, bool peak, double threshDb, double modeDiff, int sortBy) {
  AnalysisState& a = GInstrument->analysis;
  if (int code = SingleSearch(trace, peak); code != 0) return code;
  const SearchResult single = a.result;
  if (!ModeDiffQualification(Work(), a.range.start, a.range.end, modeDiff, a.turning)) {
    if (single.level != 0) a.multi.count = 0;
    return SearchFailureCode();
  }
  SelectMulti(Work(), a.turning, peak, threshDb, sortBy, single, a.multi);
  a.result = single;
  if (a.multi.count > 0) a.result = {a.multi.index[0], a.work[a.multi.index[0]]};
  return 0;
}

}  // namespace vq
