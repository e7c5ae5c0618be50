// Spectral width analysis: the five width algorithms, their common steps and the analysis markers.
#include "analysis/spectral_width.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <span>
#include <vector>

#include "analysis/light_source.h"
#include "analysis/search.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr std::array<const char*, kItemCount> kItemNames = {
    "THRESH",  "ENVELOPE",  "RMS",        "PEAK RMS",   "NOTCH",      "DFB-LD",
    "FP-LD",   "LED",       "SMSR",       "POWER",      "PMD",        "WDM",
    "EDFA-NF", "FILTER-PK", "FILTER-BTM", "WDM FIL-PK", "WDM FIL-BTM"};

constexpr int kFailed = -1;  // turned into the range's failure code by the caller

// "The peak level is 0" ends an analysis: no light. A negative level (no data) ends it too.

// What every algorithm works on: the work buffer over the search range of one trace.
struct WidthInput {
  std::span<const double> w;
  int32_t s, e;
  TraceAxis axis;
  TurningPointList& list;
};

// dB(x) <= limitDb without a logarithm per point: the linear test decides unless x lies at the
// limit, where the logarithm decides as the definition does.
bool DbAtMost(double x, double limitDb, double limitLin) {
  if (x > 1e-20 && x < 1e20 && std::abs(x - limitLin) > 1e-9 * limitLin) return x < limitLin;
  return LinearToDbm(x) <= limitDb;
}

// Centre, K-scaled edges, widths and centre wavelength from the edges l and r.
void CommonSteps(const WidthInput& in, double l, double r, double k, WidthResult& out) {
  const double m = (l + r) / 2;
  out.centre = m;
  out.left = m + (l - m) * k;
  out.right = m + (r - m) * k;
  out.widthNm = (out.right - out.left) * in.axis.Step();
  out.widthThz = std::abs(TraceFrequency(in.axis, IndexToWavelength(in.axis, out.left)) -
                          TraceFrequency(in.axis, IndexToWavelength(in.axis, out.right)));
  out.centreNm = IndexToWavelength(in.axis, m);
}

// The left crossing of a threshold from a peak: the first point at or below it walking down to S.
double LeftCrossing(const WidthInput& in, int32_t from, double ltDb, double ltLin) {
  for (int32_t i = from; i >= in.s; --i) {
    if (!DbAtMost(in.w[i], ltDb, ltLin)) continue;
    if (i + 1 > in.e || in.w[i + 1] == in.w[i]) return in.s;
    return i + (ltLin - in.w[i]) / (in.w[i + 1] - in.w[i]);
  }
  return in.s;
}

double RightCrossing(const WidthInput& in, int32_t from, double ltDb, double ltLin) {
  for (int32_t i = from; i <= in.e; ++i) {
    if (!DbAtMost(in.w[i], ltDb, ltLin)) continue;
    if (i - 1 < in.s || in.w[i - 1] == in.w[i]) return in.e;
    return (i - 1) + (ltLin - in.w[i - 1]) / (in.w[i] - in.w[i - 1]);
  }
  return in.e;
}

// The single PEAK SEARCH, then the qualification on the list it built: false when there are no
// turning points to qualify.
bool PeakAndQualify(const WidthInput& in, double modeDiff, SearchResult& peak) {
  peak = SingleSearchOn(in.w, in.s, in.e, true, in.list);
  if (in.list.highestPos < 0) return false;
  QualifyBuiltList(in.w, modeDiff, in.list);
  return true;
}

// Qualified peaks in list order.
template <typename F>
void ForQualifiedPeaks(const TurningPointList& list, F&& f) {
  for (int32_t pos = 0; pos <= list.last; ++pos) {
    if (list.entries[pos].state == kQualifiedPeak) f(pos, list.entries[pos].index);
  }
}

int Thresh(const WidthInput& in, const WidthParameters& p, double modeDiff, WidthResult& out) {
  SearchResult peak;
  const bool ok = PeakAndQualify(in, modeDiff, peak);
  if (!ok && peak.level <= 0) return kFailed;
  const double lpk = LinearToDbm(peak.level), lt = lpk - p.threshLevel;
  const double ltLin = DbmToLinear(lt);
  int32_t left = peak.index, right = peak.index, count = 0;
  const TurningPointList& list = in.list;
  if (ok && list.qualifiedPeaks > 0) {
    auto within = [&](int32_t index) {
      return lpk - LinearToDbm(in.w[index]) <= p.threshLevel + kDbTolerance;
    };
    if (list.qualifiedPeaks == 1) {
      left = right = list.highestIndex;
      count = 1;
    } else if (list.qualifiedPeaks == 2) {
      int32_t a = -1, b = -1;
      ForQualifiedPeaks(list, [&](int32_t, int32_t index) {
        if (a < 0) a = index;
        b = index;
      });
      if (std::abs(LinearToDbm(in.w[a]) - LinearToDbm(in.w[b])) <= p.threshLevel + kDbTolerance) {
        left = a;
        right = b;
        count = 2;
      } else {
        left = right = in.w[b] > in.w[a] ? b : a;
        count = 1;
      }
    } else {
      const int32_t top = list.highestPos;
      int32_t leftPos = top, rightPos = top;
      for (int32_t pos = 0; pos < top; ++pos) {
        const TurningPoint& t = list.entries[pos];
        if (t.state == kQualifiedPeak && within(t.index)) {
          leftPos = pos;
          break;
        }
      }
      for (int32_t pos = list.last; pos > top; --pos) {
        const TurningPoint& t = list.entries[pos];
        if (t.state == kQualifiedPeak && within(t.index)) {
          rightPos = pos;
          break;
        }
      }
      left = list.entries[leftPos].index;
      right = list.entries[rightPos].index;
      for (int32_t pos = leftPos; pos <= rightPos; ++pos) {
        count += list.entries[pos].state == kQualifiedPeak;
      }
    }
  }
  double l = left, r = right;
  if (p.modeFit == 0) {
    l = LeftCrossing(in, left, lt, ltLin);
    r = RightCrossing(in, right, lt, ltLin);
  }
  CommonSteps(in, l, r, p.k, out);
  out.modeCount = count;
  out.refLevel = peak.level;
  out.threshLevel = ltLin;
  return 0;
}

// Where the straight line (linear power over the index) from q to p reaches `level`.
bool LineCrossing(const WidthInput& in, int32_t q, int32_t p, double level, double& x) {
  if (in.w[p] == in.w[q]) return false;
  x = q + (level - in.w[q]) * (p - q) / (in.w[p] - in.w[q]);
  return true;
}

int Envelope(const WidthInput& in, const WidthParameters& p, double modeDiff, WidthResult& out) {
  SearchResult peak;
  const bool ok = PeakAndQualify(in, modeDiff, peak);
  if (!ok && peak.level <= 0) return kFailed;
  const TurningPointList& list = in.list;
  const double lpk = LinearToDbm(ok ? list.highestLevel : peak.level);
  const double lt = lpk - p.threshLevel, ltLin = DbmToLinear(lt);
  double l = in.s, r = in.e;
  int32_t n = 0;
  if (ok) {
    std::vector<int32_t> env;  // list positions of the envelope peaks
    ForQualifiedPeaks(list, [&](int32_t pos, int32_t index) {
      if (LinearToDbm(in.w[index]) >= lpk - p.threshLevel2 - kDbTolerance) env.push_back(pos);
    });
    n = static_cast<int32_t>(env.size());
    auto idx = [&](int32_t k) { return list.entries[env[k]].index; };
    if (n >= 3) {
      // Walk towards the highest peak from each end; the edge lies on the line that joins the
      // highest envelope peak below the threshold to the first one above it.
      auto edge = [&](int32_t first, int32_t step, double& x) {
        int32_t q = idx(first);
        if (in.w[q] > ltLin) {
          x = q;
          return true;
        }
        for (int32_t k = first + step; k >= 0 && k < n; k += step) {
          const int32_t pk = idx(k);
          if (in.w[pk] > ltLin) return LineCrossing(in, q, pk, ltLin, x);
          if (in.w[pk] > in.w[q]) q = pk;
          if (env[k] == list.highestPos) break;
        }
        x = q;
        return true;
      };
      if (!edge(0, 1, l) || !edge(n - 1, -1, r)) return kFailed;
    } else if (n == 2) {
      const int32_t a = idx(0), b = idx(1);
      const double la = LinearToDbm(in.w[a]), lb = LinearToDbm(in.w[b]);
      l = a;
      r = b;
      if (std::abs(la - lb) > p.threshLevel + kDbTolerance) {
        if (in.w[a] == in.w[b]) return kFailed;
        const double level = DbmToLinear((la < lb ? lb : la) - p.threshLevel);
        const double x = a + (b - a) * (level - in.w[a]) / (in.w[b] - in.w[a]);
        (la < lb ? l : r) = x;
      }
    }
  }
  if (ok && n <= 1) {
    // The threshold method around the peak.
    l = in.s;
    r = in.e;
    for (int32_t i = peak.index - 1; i >= in.s; --i) {
      if (in.w[i] > ltLin) continue;
      if (in.w[i + 1] == in.w[i]) return kFailed;
      l = i + (ltLin - in.w[i]) / (in.w[i + 1] - in.w[i]);
      break;
    }
    for (int32_t i = peak.index + 1; i <= in.e; ++i) {
      if (in.w[i] > ltLin) continue;
      if (in.w[i - 1] == in.w[i]) return kFailed;
      r = (i - 1) + (ltLin - in.w[i - 1]) / (in.w[i] - in.w[i - 1]);
      break;
    }
  }
  CommonSteps(in, l, r, p.k, out);
  out.modeCount = n;
  out.refLevel = peak.level;
  out.threshLevel = ltLin;
  return 0;
}

// The spread of a weighted set of indices: centre and K-scaled half widths.
void SpreadResult(const WidthInput& in, double m, double variance, double k, WidthResult& out) {
  const double h = std::sqrt(std::max(variance, 0.0)) * k * 0.5;
  out.centre = m;
  out.left = m - h;
  out.right = m + h;
  out.widthNm = (out.right - out.left) * in.axis.Step();
  out.widthThz = std::abs(TraceFrequency(in.axis, IndexToWavelength(in.axis, out.left)) -
                          TraceFrequency(in.axis, IndexToWavelength(in.axis, out.right)));
  out.centreNm = IndexToWavelength(in.axis, m);
}

int Rms(const WidthInput& in, const WidthParameters& p, WidthResult& out) {
  const SearchResult peak = SingleSearchOn(in.w, in.s, in.e, true, in.list);
  if (peak.level <= 0) return kFailed;
  const double ltLin = DbmToLinear(LinearToDbm(peak.level) - p.threshLevel);
  double s0 = 0, s1 = 0, s2 = 0;
  for (int32_t i = in.s; i <= in.e; ++i) {
    const double v = in.w[i];
    if (v < ltLin) continue;
    s0 += v;
    s1 += i * v;
    s2 += static_cast<double>(i) * i * v;
  }
  if (s0 == 0) return kFailed;
  const double m = s1 / s0;
  SpreadResult(in, m, s2 / s0 - m * m, p.k, out);
  out.modeCount = 0;
  out.refLevel = peak.level;
  out.threshLevel = ltLin;
  return 0;
}

int PeakRms(const WidthInput& in, const WidthParameters& p, double modeDiff, WidthResult& out) {
  SearchResult peak;
  const bool ok = PeakAndQualify(in, modeDiff, peak);
  if (!ok && peak.level <= 0) return kFailed;
  out.refLevel = peak.level;
  out.modeCount = 0;
  double s0 = 0, s1 = 0, s2 = 0;
  int32_t n = 0;
  if (ok) {
    const double ltLin = DbmToLinear(LinearToDbm(in.list.highestLevel) - p.threshLevel);
    out.threshLevel = ltLin;
    ForQualifiedPeaks(in.list, [&](int32_t, int32_t i) {
      const double v = in.w[i];
      if (v < ltLin) return;
      s0 += v;
      s1 += i * v;
      s2 += static_cast<double>(i) * i * v;
      ++n;
    });
  } else {
    out.threshLevel = DbmToLinear(LinearToDbm(peak.level) - p.threshLevel);
  }
  if (s0 == 0) {  // no mode: the peak itself, width 0
    SpreadResult(in, peak.index, 0, p.k, out);
    return 0;
  }
  const double m = s1 / s0, v = s2 / s0 - m * m;
  if (v <= static_cast<double>(-0.1f)) return kFailed;
  SpreadResult(in, m, v, p.k, out);
  out.modeCount = n;
  return 0;
}

int Notch(const WidthInput& in, const WidthParameters& p, double modeDiff, WidthResult& out) {
  const int32_t nb = SingleSearchOn(in.w, in.s, in.e, false, in.list).index;
  SearchResult peak;
  if (!PeakAndQualify(in, modeDiff, peak) && peak.level <= 0) {
    return kFailed;
  }
  const auto& w = in.w;
  double l = in.s, r = in.e;
  if (p.type == 0) {  // PEAK: the walls on both sides of the notch set the reference
    int32_t a = -1, b = -1;
    for (int32_t i = in.s; i < nb; ++i) {
      if (a < 0 || w[i] > w[a]) a = i;
    }
    for (int32_t i = in.e; i > nb; --i) {
      if (b < 0 || w[i] > w[b]) b = i;
    }
    double lr = -210;
    if (a >= 0) lr = LinearToDbm(w[a]);
    if (b >= 0) lr = std::max(lr, LinearToDbm(w[b]));
    const double lt = lr - p.threshLevel, ltLin = DbmToLinear(lt);
    const int32_t lo = a >= 0 ? a : in.s, hi = b >= 0 ? b : in.e;
    if (a >= 0) {
      for (int32_t i = a; i <= hi; ++i) {
        if (!DbAtMost(w[i], lt, ltLin)) continue;
        if (i != a && w[i - 1] != w[i]) l = i - (ltLin - w[i]) / (w[i - 1] - w[i]);
        break;
      }
    }
    if (b >= 0) {
      for (int32_t i = b; i >= lo; --i) {
        if (!DbAtMost(w[i], lt, ltLin)) continue;
        if (i != b && w[i + 1] != w[i]) r = i + (ltLin - w[i]) / (w[i + 1] - w[i]);
        break;
      }
    }
    out.refLevel = DbmToLinear(lr);
    out.threshLevel = ltLin;
  } else {  // BOTTOM: the threshold lies T above the bottom of the notch
    const double ltLin = DbmToLinear(LinearToDbm(w[nb]) + p.threshLevel);
    for (int32_t i = nb; i >= in.s; --i) {
      if (w[i] <= ltLin) continue;
      if (i + 1 <= in.e && w[i + 1] != w[i]) l = i + (ltLin - w[i]) / (w[i + 1] - w[i]);
      break;
    }
    for (int32_t i = nb; i <= in.e; ++i) {
      if (w[i] <= ltLin) continue;
      if (i - 1 >= in.s && w[i - 1] != w[i]) r = (i - 1) + (ltLin - w[i - 1]) / (w[i] - w[i - 1]);
      break;
    }
    out.refLevel = w[nb];
    out.threshLevel = ltLin;
  }
  CommonSteps(in, l, r, p.k, out);
  out.widthNm = (r - l) * in.axis.Step();  // K scales the markers and the THz width only
  out.modeCount = 0;
  return 0;
}

// The three markers of a width result: centre, left edge, right edge.
void PlaceAnalysisMarkers(int trace) {
  AnalysisState& a = GInstrument->analysis;
  const TraceAxis axis = AxisOfTrace(trace);
  const auto& level = GInstrument->traces.traces[trace].level;
  const double x[3] = {a.width.centre, a.width.left, a.width.right};
  for (int k = 0; k < 3; ++k) {
    const int32_t last = std::max(axis.points - 1, 0);
    const int32_t i = std::clamp(static_cast<int32_t>(std::trunc(x[k] + 0.5)), 0, last);
    a.analysisMarkers[k] = {i, std::max(level[i], 0.0), IndexToWavelength(axis, i),
                            IndexToWavelength(axis, x[k])};
  }
}

}  // namespace

const char* AnalysisItemName(int item) {
  if (item == kItemColor) return "COLOR";
  return item >= 0 && item < kItemCount ? kItemNames[item] : "";
}

int RunSpectralWidth(int trace, int item, const WidthParameters& p, double modeDiff,
                     WidthResult& out) {
  AnalysisState& a = GInstrument->analysis;
  ComputeSearchRange(trace, item);
  if (a.range.start > a.range.end) return SearchFailureCode();
  FillWorkBuffer(trace);
  return SpectralWidthOn({a.work.data(), a.work.size()}, a.range.start, a.range.end,
                         AxisOfTrace(trace), item, p, modeDiff, out);
}

int SpectralWidthOn(std::span<const double> w, int32_t s, int32_t e, const TraceAxis& axis,
                    int item, const WidthParameters& p, double modeDiff, WidthResult& out) {
  const WidthInput in{w, s, e, axis, GInstrument->analysis.turning};
  out = {};
  int code = kFailed;
  switch (item) {
    case kItemThresh:
      code = Thresh(in, p, modeDiff, out);
      break;
    case kItemEnvelope:
      code = Envelope(in, p, modeDiff, out);
      break;
    case kItemRms:
      code = Rms(in, p, out);
      break;
    case kItemPeakRms:
      code = PeakRms(in, p, modeDiff, out);
      break;
    case kItemNotch:
      code = Notch(in, p, modeDiff, out);
      break;
    default:
      break;
  }
  return code == 0 ? 0 : SearchFailureCode();
}

int RunWidthAnalysis(int item) {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  assert(item >= 0 && item < kWidthItems && "a spectral width item");
  a.working = a.widthParams[item];
  const int trace = g.traces.state.activeTrace;
  if (const int code = RunSpectralWidth(trace, item, a.working, a.search.modeDiff, a.width)) {
    return code;
  }
  a.resultKind = kResultSpectralWidth;
  a.resultTrace = static_cast<uint16_t>(trace);
  PlaceAnalysisMarkers(trace);
  return 0;
}

}  // namespace vq
