// EDFA-NF analysis: channels on the input trace A, the output level and the ASE under each channel
// on the output trace B, the resolution bandwidth, gain and noise figure.
#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/analysis_common.h"
#include "analysis/markers.h"
#include "analysis/spectral_width.h"
#include "analysis/wdm.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

// 1 / (h c^2) in mW, nm and s, with h = 6.6260755e-34 J s; the vacuum value as the instrument
// rounds it.
constexpr double kAir = 1.6791991819708643e-05;
constexpr double kVacuum = 1.679199182e-05;
constexpr double kMaxCentreDrop = 3.0;
constexpr int kTraceA = 0, kTraceB = 1;
constexpr int16_t kVacuumChoice = 1, kVacuumFlag = 2;
// The width run that measures the resolution on the output trace.
constexpr WidthParameters kResolutionWidth = {3.0, 0.0, 1.0, 0, 0};

bool HasLight(int trace) {
  const TraceAxis axis = AxisOfTrace(trace);
  const auto& level = GInstrument->traces.traces[trace].level;
  return axis.points >= 2 &&
         std::any_of(level.begin(), level.begin() + axis.points, [](double v) { return v > 0; });
}

// The algorithm on traces A and B: the channel table. 0, or -1 when A holds no peak or B no data.
// `markerIndex` is the highest ASE sample of the last channel's fit region on B.
int EdfaAlgorithm(int32_t& markerIndex) {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  WdmState& st = a.wdm;
  const EdfaSettings& set = st.edfaWorking;
  for (int i = 0; i < std::min(st.count + 1, kMaxChannels); ++i) st.channels[i] = {};
  st.count = 0;
  markerIndex = -1;
  ComputeSearchRange(kTraceB, kItemEdfaNf);
  const SearchRange rb = a.range;
  ComputeSearchRange(kTraceA, kItemEdfaNf);
  const SearchRange ra = a.range;
  if (ra.start > ra.end || rb.start > rb.end || !HasLight(kTraceB)) return -1;
  FillWorkBuffer(kTraceB);
  st.second.assign(a.work.begin(), a.work.end());
  FillWorkBuffer(kTraceA);
  std::span<const double> in{a.work.data(), a.work.size()};
  std::span<const double> out{st.second.data(), st.second.size()};
  if (DetectChannels(in, ra.start, ra.end, set.thresh, set.modeDiff, -999.0, a.turning, a.multi)) {
    return -1;
  }
  const int n = a.multi.count;
  if (n == 0) return 0;
  const TraceAxis axA = AxisOfTrace(kTraceA), axB = AxisOfTrace(kTraceB);
  const double stepA = axA.Step(), stepB = axB.Step();
  const bool sameAxis = axA.start == axB.start && axA.points == axB.points && stepA == stepB;
  // The input level at a point of the output trace.
  auto inputAt = [&](int32_t i) {
    return sameAxis ? in[i] : in[WavelengthToIndex(axA, axB.start + i * stepB)];
  };
  auto indexB = [&](double x) {
    return std::clamp(static_cast<int32_t>(std::lround(x)), rb.start, rb.end);
  };
  std::vector<int32_t> peaks(a.multi.index.begin(), a.multi.index.begin() + n);
  std::vector<double> centres(n);
  const double drop = std::min(set.modeDiff, kMaxCentreDrop);
  for (int k = 0; k < n; ++k) {
    const int32_t lo = k > 0 ? peaks[k - 1] : ra.start, hi = k + 1 < n ? peaks[k + 1] : ra.end;
    centres[k] = CentreIndexAtDrop(in, peaks[k], lo, hi, drop);
  }
  const double resolutionB = g.traces.traces[kTraceB].condition.resolution;
  const std::vector<NoiseArea> areas = NoiseAreas(set.aseAlgo, set.fitArea, centres, peaks, out,
                                                  stepA, DefaultNoiseArea(resolutionB));
  const double fIn = DbmToLinear(set.offsetIn), fOut = DbmToLinear(set.offsetOut);
  // The instrument's AIR / VACUUM choice, unless trace B's record says it was taken in vacuum.
  const bool air = g.traces.state.measWavelengthChoice != kVacuumChoice &&
                   g.traces.traces[kTraceB].condition.measurementWavelength != kVacuumFlag;
  std::vector<double> ase(out.size(), 0.0);
  for (int k = 0; k < n; ++k) {
    WdmChannel& c = st.channels[k];
    const int32_t pk = peaks[k];
    c.peak = pk;
    c.centreIndex = centres[k];
    const double wl = axA.start + stepA * centres[k];
    c.wavelength = wl;
    const double pIn = in[pk];
    // The output level: the highest point of B within half its resolution of the channel.
    const double half = (resolutionB > 0 ? resolutionB : ResolutionBandwidth(kTraceB, wl)) / 2;
    const int32_t o0 = indexB((wl - half - axB.start) / stepB);
    const int32_t o1 = indexB((wl + half - axB.start) / stepB);
    double pOut = out[o0];
    for (int32_t i = o0 + 1; i <= o1; ++i) pOut = std::max(pOut, out[i]);
    // The fit region and the mask on B.
    const double x = (wl - axB.start) / stepB;
    const NoiseArea area = areas[k];
    const double xl = x - area.left / stepB, xr = x + area.right / stepB;
    c.noiseLeft = indexB(xl);
    c.noiseRight = indexB(xr);
    c.maskLeft = indexB(x - std::min(set.maskArea, area.left) / stepB);
    c.maskRight = indexB(x + std::min(set.maskArea, area.right) / stepB);
    const int32_t pkB = indexB((axA.start + pk * stepA - axB.start) / stepB);
    // Resolution bandwidth: the -3 dB width of the channel on B, or the trace's resolution.
    double dl = ResolutionBandwidth(kTraceB, wl);
    WidthResult width;
    if (set.resBw == 0 &&
        SpectralWidthOn(out, c.noiseLeft, c.noiseRight, axB, kItemThresh, kResolutionWidth, 3.0,
                        width) == 0 &&
        width.widthNm > 0) {
      dl = width.widthNm;
    }
    // Source-emission removal: the input spectrum times the estimated gain leaves the ASE.
    const double gEst = (pOut - (out[c.noiseLeft] + out[c.noiseRight]) * 0.5) / pIn;
    for (int32_t i = c.noiseLeft; i <= c.noiseRight; ++i) {
      const bool outside = i <= c.maskLeft || i >= c.maskRight;
      ase[i] =
          set.fitAlgo == kFitLinear || outside ? std::max(out[i] - inputAt(i) * gEst, 0.0) : 0.0;
    }
    double pAse = LinearNoiseAt(ase, c.noiseLeft, c.noiseRight, xl, xr, pkB);
    if (set.fitAlgo != kFitLinear) {
      // A fit that fails (too few points, a singular system) leaves the LINEAR line.
      NoiseCurve curve;
      if (NoiseFit(ase, c.noiseLeft, c.maskLeft, c.maskRight, c.noiseRight, axB, wl,
                   LinearToDbm(pOut), set.fitAlgo, curve)) {
        pAse = NoiseCurveAt(curve, axB.start + pkB * stepB - wl);
      }
    }
    pAse *= fOut;
    const double gain = (pOut * fOut - pAse) / (pIn * fIn);
    const double shot = set.shotNoise ? 1 / gain : 0.0;
    const double wl3 = wl * wl * wl;
    double f;
    if (air) {
      const double nAir = AirRefractiveIndex(wl);
      f = pAse * wl3 * nAir * nAir * kAir / (dl * gain) + shot;
    } else {
      f = pAse * wl3 * kVacuum / (dl * gain) + shot;
    }
    c.inputDbm = LinearToDbm(pIn) + set.offsetIn;
    c.outputDbm = LinearToDbm(pOut) + set.offsetOut;
    c.aseDbm = LinearToDbm(pAse);
    c.resolutionNm = dl;
    c.gainDb = LinearToDbm(gain);
    c.nfDb = LinearToDbm(f);
    if (k == n - 1) {
      markerIndex = c.noiseLeft;
      for (int32_t i = c.noiseLeft; i <= c.noiseRight; ++i) {
        if (ase[i] > ase[markerIndex]) markerIndex = i;
      }
    }
  }
  st.count = n;
  return 0;
}

}  // namespace

int RunEdfaNfAnalysis() {
  AnalysisState& a = GInstrument->analysis;
  const bool switched = SwitchLevelUnitToDbm();
  a.wdm.edfaWorking = a.wdm.edfa;
  int32_t markerIndex = -1;
  if (EdfaAlgorithm(markerIndex) != 0) {
    if (switched) SwitchLevelUnitToDensity();
    return kNoDataInTrace;
  }
  PlaceMultiMarkers(kTraceA);
  if (markerIndex >= 0) MoveMarker(kTraceB, markerIndex);
  a.resultKind = kResultEdfaNf;
  a.resultTrace = kTraceA;
  a.resultPage = 0;
  return 0;
}

}  // namespace vq
