// WDM analysis: channel detection, channel wavelength and level, noise areas, the noise line or
// fit, the per-channel results, the output slope, the drift extremes and the OSNR of DFB-LD.
#include "analysis/wdm.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

#include "analysis/analysis_common.h"
#include "analysis/markers.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr double kMaxCentreDrop = 3.0;  // dB: the channel centre uses at most the -3 dB points
constexpr double kGhzToNm = 3.3356409519815204e-9;  // wl^2 * GHz * this = nm
constexpr double kFailedPower = -210.0;             // dBm of a failed integration
constexpr double kLorenzInfinity = 3.40282e+38;
constexpr double kGaussFloor = 100.0;  // dB below the channel that GAUSS still takes

// The resolutions the instrument offers and the default noise area of each (nm).
constexpr double kResolutions[] = {0.010, 0.015, 0.020, 0.050, 0.100, 0.200,
                                   0.500, 1.000, 2.000, 5.000, 10.00, 20.00};
constexpr double kDefaultAreas[] = {0.4, 0.4, 0.4, 0.4, 0.6, 0.8, 1.0, 1.5, 2.5, 2.5, 2.0, 5.0};
static_assert(std::size(kResolutions) == std::size(kDefaultAreas), "one area per resolution");

// What one run of the channel and noise algorithm needs.
struct WdmRun {
  int signal = 0, noise = 0;
  int item = kItemWdm;  // whose search range
  double thresh = 20.0, displayMask = -999.0;
  WdmNoiseSettings n;
  bool dual = false;
};

double Db(double mw) {
  return LinearToDbm(mw);
}

// A trace that holds a sweep of the same points as the signal trace and some light.
bool NoiseTraceUsable(int noise, int signal) {
  const TraceAxis a = AxisOfTrace(noise), b = AxisOfTrace(signal);
  if (a.points < 2 || a.points != b.points) return false;
  const auto& level = GInstrument->traces.traces[noise].level;
  return std::any_of(level.begin(), level.begin() + a.points, [](double v) { return v > 0; });
}

// The channel level (mW): the peak, or the power integrated over the INTEGRAL RANGE.
double ChannelPower(const WdmRun& run, const TraceAxis& axis, int32_t pk, double wl) {
  const AnalysisState& a = GInstrument->analysis;
  if (run.n.signalPower == 0) return a.work[pk];
  const double half = wl * wl * run.n.integralRange * kGhzToNm;
  const int32_t lo = std::max(a.range.start, WavelengthToIndex(axis, wl - half));
  const int32_t hi = std::min(a.range.end, WavelengthToIndex(axis, wl + half));
  double power = 0;
  if (IntegratePower(run.signal, lo, hi, 0.0, power) != 0) return DbmToLinear(kFailedPower);
  return power;
}

// Solves the n by n system m x = r by Gaussian elimination with row exchange; false when
// singular.
template <int N>
bool SolveLinear(std::array<std::array<double, N + 1>, N>& m, int n, std::array<double, 6>& x) {
  for (int c = 0; c < n; ++c) {
    int pivot = c;
    for (int r = c + 1; r < n; ++r) {
      if (std::abs(m[r][c]) > std::abs(m[pivot][c])) pivot = r;
    }
    if (m[pivot][c] == 0) return false;
    std::swap(m[c], m[pivot]);
    for (int r = c + 1; r < n; ++r) {
      const double f = m[r][c] / m[c][c];
      for (int k = c; k <= n; ++k) m[r][k] -= f * m[c][k];
    }
  }
  for (int c = n - 1; c >= 0; --c) {
    double v = m[c][n];
    for (int k = c + 1; k < n; ++k) v -= m[c][k] * x[k];
    x[c] = v / m[c][c];
  }
  return std::all_of(x.begin(), x.begin() + n, [](double v) { return std::isfinite(v); });
}

// The 3 by 3 normal equations by Cramer's rule; false on a zero determinant.
bool SolveCramer(const double s[5], const double t[3], std::array<double, 6>& x) {
  auto det = [](double a, double b, double c, double d, double e, double f, double g, double h,
                double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
  };
  const double d = det(s[0], s[1], s[2], s[1], s[2], s[3], s[2], s[3], s[4]);
  if (d == 0) return false;
  x[0] = det(t[0], s[1], s[2], t[1], s[2], s[3], t[2], s[3], s[4]) / d;
  x[1] = det(s[0], t[0], s[2], s[1], t[1], s[3], s[2], t[2], s[4]) / d;
  x[2] = det(s[0], s[1], t[0], s[1], s[2], t[1], s[2], s[3], t[2]) / d;
  return true;
}

}  // namespace

double DefaultNoiseArea(double resolutionNm) {
  for (size_t i = 0; i + 1 < std::size(kResolutions); ++i) {
    if (kResolutions[i] >= resolutionNm - 0.0005) return kDefaultAreas[i];
  }
  return kDefaultAreas[std::size(kDefaultAreas) - 1];
}

int DetectChannels(std::span<const double> w, int32_t s, int32_t e, double threshDb,
                   double modeDiff, double displayMask, TurningPointList& list,
                   MultiSearchResult& table) {
  table.count = 0;
  const SearchResult single = SingleSearchOn(w, s, e, true, list);
  if (list.highestPos < 0) return single.level > 0 ? 0 : -1;
  QualifyBuiltList(w, modeDiff, list);
  double t = threshDb;
  const double top = Db(list.highestLevel);
  if (displayMask >= kDisplayMaskLowest && top - t < displayMask) t = top - displayMask;
  SelectMulti(w, list, true, t, 0, single, table);
  return 0;
}

std::vector<NoiseArea> NoiseAreas(int algo, double noiseArea, std::span<const double> centres,
                                  std::span<const int32_t> peaks, std::span<const double> noise,
                                  double step, double defaultArea) {
  const size_t n = centres.size();
  std::vector<NoiseArea> areas(n);
  if (algo == kManualFix) {
    std::fill(areas.begin(), areas.end(), NoiseArea{noiseArea, noiseArea});
    return areas;
  }
  if (n < 2) {
    std::fill(areas.begin(), areas.end(), NoiseArea{defaultArea, defaultArea});
    return areas;
  }
  if (algo == kAutoFix) {
    double smallest = (centres[1] - centres[0]) * step;
    for (size_t i = 2; i < n; ++i)
      smallest = std::min(smallest, (centres[i] - centres[i - 1]) * step);
    std::fill(areas.begin(), areas.end(), NoiseArea{smallest / 2, smallest / 2});
    return areas;
  }
  if (algo == kPit) {
    // The right area reaches the lowest noise point before the next channel, the left area the
    // previous channel's pit.
    std::vector<int32_t> pit(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) {
      int32_t low = peaks[i];
      for (int32_t j = peaks[i] + 1; j <= peaks[i + 1]; ++j) {
        if (noise[j] < noise[low]) low = j;
      }
      pit[i] = low;
    }
    for (size_t i = 0; i < n; ++i) {
      if (i + 1 < n) areas[i].right = (pit[i] - centres[i]) * step;
      if (i > 0) areas[i].left = (centres[i] - pit[i - 1]) * step;
    }
    areas[0].left = areas[0].right;
    areas[n - 1].right = areas[n - 1].left;
    return areas;
  }
  // AUTO-CTR, MANUAL-CTR: half the distance to each neighbour. MANUAL-CTR does not reach further
  // than NOISE AREA: the manual variant lets the user keep the areas off a wide neighbour gap.
  for (size_t i = 0; i < n; ++i) {
    if (i + 1 < n) areas[i].right = (centres[i + 1] - centres[i]) * step / 2;
    if (i > 0) areas[i].left = (centres[i] - centres[i - 1]) * step / 2;
  }
  areas[0].left = areas[0].right;
  areas[n - 1].right = areas[n - 1].left;
  if (algo == kManualCtr) {
    for (NoiseArea& a : areas) {
      a.left = std::min(a.left, noiseArea);
      a.right = std::min(a.right, noiseArea);
    }
  }
  return areas;
}

bool NoiseFit(std::span<const double> samples, int32_t lo, int32_t maskLo, int32_t maskHi,
              int32_t hi, const TraceAxis& axis, double centreNm, double channelDb, int algo,
              NoiseCurve& curve) {
  assert(algo >= kFitGauss && algo <= kFit5th && "a fitting algorithm other than LINEAR");
  const int terms = algo <= kFitLorenz ? 3 : algo - kFit3rd + 4;
  const double step = axis.Step();
  const double scale = std::max({std::abs(axis.start + lo * step - centreNm),
                                 std::abs(axis.start + hi * step - centreNm), 1e-12});
  double sx[11] = {}, sy[6] = {};
  int count = 0;
  for (int32_t i = lo; i <= hi; ++i) {
    if (i > maskLo && i < maskHi) continue;  // the mask is left out
    const double v = samples[i];
    double y;
    if (algo == kFitGauss) {
      y = Db(v);
      if (y < channelDb - kGaussFloor) continue;
    } else {
      if (v == 0) continue;
      y = algo == kFitLorenz ? 1 / v : v;
    }
    const double u = (axis.start + i * step - centreNm) / scale;
    double p = 1;
    for (int k = 0; k <= 2 * (terms - 1); ++k) {
      sx[k] += p;
      if (k < terms) sy[k] += y * p;
      p *= u;
    }
    ++count;
  }
  if (count < terms) return false;
  curve = {algo, terms, {}, scale};
  if (terms == 3) return SolveCramer(sx, sy, curve.coef);
  std::array<std::array<double, 7>, 6> m{};
  for (int r = 0; r < terms; ++r) {
    for (int c = 0; c < terms; ++c) m[r][c] = sx[r + c];
    m[r][terms] = sy[r];
  }
  return SolveLinear<6>(m, terms, curve.coef);
}

double NoiseCurveAt(const NoiseCurve& curve, double d) {
  const double u = d / curve.scale;
  double p = 0;
  for (int k = curve.terms - 1; k >= 0; --k) p = p * u + curve.coef[k];
  if (curve.algo == kFitGauss) return DbmToLinear(std::clamp(p, -200.0, 200.0));
  if (curve.algo == kFitLorenz) return p > 0 ? 1 / p : kLorenzInfinity;
  return p;
}

double LinearNoiseAt(std::span<const double> samples, int32_t s, int32_t e, double xl, double xr,
                     double x) {
  xl = std::clamp(xl, double(s), double(e));
  xr = std::clamp(xr, double(s), double(e));
  auto at = [&](double q) {
    if (s == e) return samples[s];
    const int32_t i = std::clamp(static_cast<int32_t>(std::floor(q)), s, e - 1);
    return samples[i] + (q - i) * (samples[i + 1] - samples[i]);
  };
  const double vl = at(xl), vr = at(xr);
  if (xr == xl) return vl;
  return vl + (vr - vl) * (x - xl) / (xr - xl);
}

double LevelSlopePerPoint(std::span<const WdmChannel> channels) {
  const double n = static_cast<double>(channels.size());
  if (channels.size() < 2) return 0;
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (const WdmChannel& c : channels) {
    sx += c.peak;
    sy += c.level;
    sxx += static_cast<double>(c.peak) * c.peak;
    sxy += c.peak * c.level;
  }
  const double d = n * sxx - sx * sx;
  return d == 0 ? 0 : (n * sxy - sx * sy) / d;
}

namespace {

// The channel and noise algorithm: the channel table of the analysis state. 0, or -1 when the
// signal has no peak at all or the noise trace cannot be used. `markerIndex` is the highest
// noise sample of the last channel's noise area (-1 with no channel).
int WdmAlgorithm(const WdmRun& run, int32_t& markerIndex) {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  WdmState& st = a.wdm;
  for (int i = 0; i < std::min(st.count + 1, kMaxChannels); ++i) st.channels[i] = {};
  st.count = 0;
  markerIndex = -1;
  ComputeSearchRange(run.signal, run.item);
  const int32_t s = a.range.start, e = a.range.end;
  if (s > e) return -1;
  if (run.dual && !NoiseTraceUsable(run.noise, run.signal)) return -1;
  const TraceAxis axis = AxisOfTrace(run.signal);
  std::span<const double> w{a.work.data(), a.work.size()};
  std::span<const double> noise = w;
  if (run.dual) {
    FillWorkBuffer(run.noise);
    st.second.assign(a.work.begin(), a.work.end());
    noise = {st.second.data(), st.second.size()};
  }
  FillWorkBuffer(run.signal);
  if (DetectChannels(w, s, e, run.thresh, run.n.modeDiff, run.displayMask, a.turning, a.multi)) {
    return -1;
  }
  const int n = a.multi.count;
  if (n == 0) return 0;
  const double step = axis.Step();
  const double drop = std::min(run.n.modeDiff, kMaxCentreDrop);
  std::vector<double> centres(n);
  std::vector<int32_t> peaks(a.multi.index.begin(), a.multi.index.begin() + n);
  for (int k = 0; k < n; ++k) {
    const int32_t lo = k > 0 ? peaks[k - 1] : s, hi = k + 1 < n ? peaks[k + 1] : e;
    centres[k] = CentreIndexAtDrop(w, peaks[k], lo, hi, drop);
  }
  const double resolution = g.traces.traces[run.signal].condition.resolution;
  const std::vector<NoiseArea> areas = NoiseAreas(run.n.noiseAlgo, run.n.noiseArea, centres, peaks,
                                                  noise, step, DefaultNoiseArea(resolution));
  auto index = [&](double x) { return std::clamp(static_cast<int32_t>(std::lround(x)), s, e); };
  for (int k = 0; k < n; ++k) {
    WdmChannel& c = st.channels[k];
    const int32_t pk = peaks[k];
    const double x = centres[k];
    c.peak = pk;
    c.centreIndex = x;
    c.wavelength = axis.start + step * x;
    const double power = ChannelPower(run, axis, pk, c.wavelength);
    const NoiseArea area = areas[k];
    const double maskL = std::min(run.n.maskArea, area.left);
    const double maskR = std::min(run.n.maskArea, area.right);
    const double xl = x - area.left / step, xr = x + area.right / step;
    c.noiseLeft = index(xl);
    c.noiseRight = index(xr);
    c.maskLeft = index(x - maskL / step);
    c.maskRight = index(x + maskR / step);
    double noiseMw = LinearNoiseAt(noise, s, e, xl, xr, pk);
    if (run.n.fittingAlgo != kFitLinear) {
      // A fit that fails (too few points, a singular system) leaves the LINEAR line.
      NoiseCurve curve;
      if (NoiseFit(noise, c.noiseLeft, c.maskLeft, c.maskRight, c.noiseRight, axis, c.wavelength,
                   Db(w[pk]), run.n.fittingAlgo, curve)) {
        noiseMw = NoiseCurveAt(curve, axis.start + step * pk - c.wavelength);
      }
    }
    const double rs = ResolutionBandwidth(run.signal, c.wavelength);
    const double nDb = Db(noiseMw);
    double nCorrected = nDb;
    if (run.dual) {
      nCorrected +=
          10 * std::log10(ResolutionBandwidth(run.noise, c.wavelength)) - 10 * std::log10(rs);
    }
    c.level = Db(power - DbmToLinear(nCorrected));
    c.noise = nDb - 10 * std::log10(rs) + 10 * std::log10(run.n.noiseBw);
    c.snr = c.level - c.noise;
    if (k == n - 1) {
      markerIndex = c.noiseLeft;
      for (int32_t i = c.noiseLeft; i <= c.noiseRight; ++i) {
        if (noise[i] > noise[markerIndex]) markerIndex = i;
      }
    }
  }
  st.count = n;
  return 0;
}

// The drift extremes of the channel table against the stored references; new references when
// there are none or the channel count changed.
void UpdateDrift() {
  WdmState& st = GInstrument->analysis.wdm;
  if (st.driftCount != st.count) {
    ResetWdmDrift();
    return;
  }
  for (int k = 0; k < st.count; ++k) {
    const WdmChannel& c = st.channels[k];
    WdmDrift& d = st.drift[k];
    const double grid = c.wavelength - NearestGridWavelength(c.wavelength);
    const double meas = c.wavelength - d.refWavelength;
    const double level = c.level - d.refLevel;
    d.gridDiffMax = std::max(d.gridDiffMax, grid);
    d.gridDiffMin = std::min(d.gridDiffMin, grid);
    d.measDiffMax = std::max(d.measDiffMax, meas);
    d.measDiffMin = std::min(d.measDiffMin, meas);
    d.levelDiffMax = std::max(d.levelDiffMax, level);
    d.levelDiffMin = std::min(d.levelDiffMin, level);
  }
}

}  // namespace

void ResetWdmDrift() {
  WdmState& st = GInstrument->analysis.wdm;
  st.driftCount = st.count;
  for (int k = 0; k < st.count; ++k) {
    const WdmChannel& c = st.channels[k];
    const double grid = c.wavelength - NearestGridWavelength(c.wavelength);
    st.drift[k] = {c.wavelength, c.level, grid, grid, 0, 0, 0, 0};
  }
}

int RunWdmAnalysis() {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  WdmState& st = a.wdm;
  const bool switched = SwitchLevelUnitToDbm();
  st.wdmWorking = st.wdm;
  const WdmSettings& set = st.wdmWorking;
  WdmRun run;
  run.dual = set.dualTrace == 1;
  run.signal = run.dual ? 0 : g.traces.state.activeTrace;
  run.noise = run.dual ? 1 : run.signal;
  run.thresh = set.thresh;
  run.displayMask = set.displayMask;
  run.n = set.noise;
  int32_t markerIndex = -1;
  if (WdmAlgorithm(run, markerIndex) != 0) {
    if (switched) SwitchLevelUnitToDensity();
    return kNoDataInTrace;
  }
  st.signalTrace = run.signal;
  st.noiseTrace = run.noise;
  const TraceAxis axis = AxisOfTrace(run.signal);
  const double b = LevelSlopePerPoint({st.channels.data(), static_cast<size_t>(st.count)});
  st.slopeDbPerNm = axis.Step() > 0 ? b / axis.Step() : 0;
  const double df = TraceFrequency(axis, axis.start) - TraceFrequency(axis, axis.start + axis.span);
  st.slopeDbPerThz = df != 0 ? -b * (axis.points - 1) / df : 0;
  UpdateDrift();
  PlaceMultiMarkers(run.signal);
  if (markerIndex >= 0) MoveMarker(run.noise, markerIndex);
  a.resultKind = kResultWdm;
  a.resultTrace = static_cast<uint16_t>(run.signal);
  a.resultPage = 0;
  return 0;
}

int DfbLdOsnr(int trace, int32_t mainIndex, const WdmNoiseSettings& settings, double& osnrDb) {
  Instrument& g = *GInstrument;
  WdmState& st = g.analysis.wdm;
  osnrDb = 0;
  WdmRun run;
  run.signal = run.noise = trace;
  run.item = kItemDfbLd;  // the range DFB-LD found its main mode in
  run.n = settings;
  run.displayMask = kDisplayMaskLowest;  // -100 dBm: every qualified mode above it is a channel
  const bool inside = mainIndex >= 0 && mainIndex < kMaxPoints;
  run.thresh = (inside ? Db(g.traces.traces[trace].level[mainIndex]) : 0.0) + 100.0;
  int32_t markerIndex = -1;
  if (inside && WdmAlgorithm(run, markerIndex) == 0) {
    for (int k = 0; k < st.count; ++k) {
      if (st.channels[k].peak != mainIndex) continue;
      st.channels[0] = st.channels[k];
      st.count = 1;
      osnrDb = st.channels[0].snr;
      return 0;
    }
  }
  st.count = 0;
  return kNoDataInTrace;
}

std::string WdmSlopeText() {
  const Instrument& g = *GInstrument;
  const AnalysisState& a = g.analysis;
  if (a.resultKind != kResultWdm || a.wdm.wdmWorking.outputSlope == 0) return "";
  char text[48];
  if (g.conditions.setting.frequencyMode == 1) {
    std::snprintf(text, sizeof text, "DELTA=%8.4fdB/THz", a.wdm.slopeDbPerThz);
  } else {
    std::snprintf(text, sizeof text, "DELTA=%8.3fdB/nm", a.wdm.slopeDbPerNm);
  }
  return text;
}

}  // namespace vq
