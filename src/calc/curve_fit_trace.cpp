// The fits into trace G: CRV FIT through the points of a source, PKCVFIT through its qualified
// peaks, and MKR FIT through the fixed markers.
#include <algorithm>
#include <span>

#include "analysis/search.h"
#include "calc/calc_internal.h"
#include "instrument.h"
#include "menu/messages.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr int kG = 6;

// The fit windows of the operation area, as inclusive index pairs (a second window only for the
// two flanks).
struct Windows {
  int32_t lo[2] = {0, 0}, hi[2] = {-1, -1};
  bool Inside(int32_t i) const { return (i >= lo[0] && i <= hi[0]) || (i >= lo[1] && i <= hi[1]); }
};

// The line markers L1 and L2 as a pair of values on the axis; off stands for start or stop.
template <typename Convert>
void LineMarkerPair(double start, double stop, Convert convert, double& low, double& high) {
  const auto& lm = GInstrument->analysis.lineMarkers;
  low = lm[0].on == 1 ? convert(lm[0].value) : start;
  high = lm[1].on == 1 ? convert(lm[1].value) : stop;
  if (low > high) std::swap(low, high);
}

Windows FitWindows(int area, const TraceRange& r, const TraceAxis& axis) {
  Windows w;
  if (area == 0) {
    w.lo[0] = r.first;
    w.hi[0] = r.last;
    return w;
  }
  double low = 0, high = 0;
  LineMarkerPair(
      0, axis.points - 1, [&](double nm) { return WavelengthToIndex(axis, nm); }, low, high);
  const auto l1 = static_cast<int32_t>(low), l2 = static_cast<int32_t>(high);
  if (area == 1) {
    w.lo[0] = std::max(l1, r.first);
    w.hi[0] = std::min(l2, r.last);
  } else {
    w.lo[0] = r.first;
    w.hi[0] = std::min(l1, r.last);
    w.lo[1] = std::max(l2, r.first);
    w.hi[1] = r.last;
  }
  return w;
}

double PointWavelength(const TraceAxis& axis, int32_t i) {
  return axis.points > 1 ? axis.start + axis.span * i / (axis.points - 1) : axis.start;
}

// Remembers the last fit for the tools.
void KeepFit(const FitCurve& fit, double x0, bool fitted) {
  CalcState& s = GInstrument->calc;
  s.fitAlgorithm = static_cast<int16_t>(fit.algorithm);
  s.coefficientCount = static_cast<int16_t>(fitted ? fit.count : 0);
  s.coefficients = fit.c;
  s.referenceWavelength = x0;
  s.fitted = fitted;
}

int FittingAlgorithm() {
  return std::min<int>(GInstrument->conditions.setting.fittingAlgorithm, kFitAlgorithmCount - 1);
}

}  // namespace

int FitTrace(const CalcOperation& op) {
  Instrument& g = *GInstrument;
  CalcState& s = g.calc;
  const Trace& source = g.traces.traces[op.first];
  const TraceAxis axis = AxisOfTrace(op.first);
  const TraceRange r = AnalysisRangeOf(op.first);
  if (r.first > r.last) return -1;
  const NoiseFloor fl = NoiseFloorOf(g.conditions.setting);
  for (int32_t i = 0; i < r.points; ++i) s.first[i] = fl(source.level[i]);
  const std::span<const double> work(s.first.data(), s.first.size());
  const bool peaks = op.kind == CalcKind::PeakCurveFit;
  if (peaks) {
    if (!ModeDiffQualification(work, r.first, r.last, g.analysis.search.modeDiff, s.turning) ||
        s.turning.qualifiedPeaks == 0) {
      return -1;
    }
  } else if (!BuildTurningPoints(work, r.first, r.last, s.turning)) {
    return -1;
  }

  const Windows w = FitWindows(g.conditions.setting.operationArea, r, axis);
  int32_t p = -1;
  for (int32_t i = r.first; i <= r.last; ++i) {
    if (w.Inside(i) && (p < 0 || work[i] > work[p])) p = i;
  }
  const double threshold =
      peaks ? g.traces.state.peakCurveFitThreshold : g.traces.state.curveFitThreshold;
  const double x0 = p >= 0 ? PointWavelength(axis, p) : axis.start;
  // The threshold compared in mW: no logarithm per point.
  const double lowest = p >= 0 ? DbmToLinear(LinearToDbm(work[p]) - threshold - kDbTolerance) : 0.0;
  int count = 0;
  auto consider = [&](int32_t i) {
    if (!w.Inside(i) || work[i] <= 0.0 || work[i] < lowest) return;
    s.fitD[count] = PointWavelength(axis, i) - x0;
    s.fitLevel[count++] = work[i];
  };
  if (p >= 0 && peaks) {
    for (int32_t pos = 0; pos <= s.turning.last; ++pos) {
      const TurningPoint& tp = s.turning.entries[pos];
      if (tp.state == kQualifiedPeak) consider(tp.index);
    }
  } else if (p >= 0) {
    for (int32_t i = r.first; i <= r.last; ++i) consider(i);
  }
  FitCurve fit;
  const bool fitted = FitPoints(FittingAlgorithm(), {s.fitD.data(), size_t(count)},
                                {s.fitLevel.data(), size_t(count)}, fit);
  KeepFit(fit, x0, fitted);

  Trace& dest = PrepareDestination(kG, op.code);
  const int n = std::clamp(dest.condition.samplingPoints, 0, kMaxPoints);
  for (int32_t i = 0; i < n; ++i) {
    const bool inRange = i >= r.first && i <= r.last;
    dest.level[i] = !inRange ? 0.0
                    : fitted ? EvaluateFit(fit, PointWavelength(axis, i) - x0)
                             : work[i];
  }
  std::fill(dest.level.begin() + n, dest.level.end(), 0.0);
  KeepSource(dest, source, r.points);
  return 0;
}

int MarkerFit() {
  Instrument& g = *GInstrument;
  CalcState& s = g.calc;
  if (g.messages.currentMessage == kMsgMarkerFitFailed) ShowMessage(0);
  const MeasCondition& measured = g.conditions.measured;
  const auto& markers = g.analysis.markers;
  int top = -1;
  for (int m = 1; m <= kFixedMarkers; ++m) {
    if (markers[m].on && (top < 0 || markers[m].level > markers[top].level)) top = m;
  }
  const double start = measured.start, stop = measured.start + measured.span;
  double l1 = start, l2 = stop;
  LineMarkerPair(
      start, stop, [](double nm) { return nm; }, l1, l2);
  const int area = g.conditions.setting.operationArea;
  auto inside = [&](double wl) {
    if (area == 1) return wl >= l1 && wl <= l2;
    if (area == 2) return (wl >= start && wl <= l1) || (wl >= l2 && wl <= stop);
    return wl >= start && wl <= stop;
  };
  const double x0 = top > 0 ? markers[top].wavelength : 0.0;
  const double lowest =
      top > 0 ? LinearToDbm(markers[top].level) - g.traces.state.curveFitThreshold - kDbTolerance
              : 0.0;
  int count = 0;
  for (int m = 1; top > 0 && m <= kFixedMarkers; ++m) {
    const MarkerSlot& k = markers[m];
    if (!k.on || k.level <= 0.0 || LinearToDbm(k.level) < lowest || !inside(k.wavelength)) continue;
    s.fitD[count] = k.wavelength - x0;
    s.fitLevel[count++] = k.level;
  }
  FitCurve fit;
  const bool fitted = FitPoints(FittingAlgorithm(), {s.fitD.data(), size_t(count)},
                                {s.fitLevel.data(), size_t(count)}, fit);
  KeepFit(fit, x0, fitted);
  if (!fitted) {
    ShowMessage(kMsgMarkerFitFailed);
    return kMsgMarkerFitFailed;
  }
  Trace& dest = PrepareDestination(kG, kAttrMarkerFit);
  const int n = std::clamp(dest.condition.samplingPoints, 0, kMaxPoints);
  for (int i = 0; i < n; ++i) {
    const double wl = n > 1 ? start + measured.span * i / (n - 1) : start;
    dest.level[i] = EvaluateFit(fit, wl - x0);
  }
  std::fill(dest.level.begin() + n, dest.level.end(), 0.0);
  return 0;
}

}  // namespace vq
