// COLOR: tristimulus values of the spectrum on the search range, chromaticity and the dominant
// wavelength against the spectral locus.
#include <algorithm>
#include <cmath>

#include "analysis/analysis_common.h"
#include "analysis/light_source.h"
#include "analysis/markers.h"
#include "instrument.h"
#include "resources/colour_matching.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr double kWhite = 0.33333298563957214;             // equal-energy white, x = y
constexpr double kVerticalDominantNm = 554.4368286132812;  // where x = white meets the locus
constexpr double kPerLightSpeed = 3.3356409519815205e-6;   // 1 / 299792.458
constexpr int kLocusSplitNm = 554;  // the last locus wavelength left of the white point
constexpr int kLocusLastNm = kLocusFirstNm + kLocusCount - 1;
constexpr double kCmfLastNm = kCmfFirstNm + (kCmfCount - 1) * kCmfStepNm;

// 4-point Lagrange on grid nodes j-1 .. j+2 at fractional position u from node j; linear between
// j and j+1 where the table has no node on one side.
double Interpolate(const std::array<double, kCmfCount>& f, int j, double u) {
  if (j < 1 || j + 2 >= kCmfCount) {
    const int k = std::min(j + 1, kCmfCount - 1);
    return f[j] + (f[k] - f[j]) * u;
  }
  const double a = -u * (u - 1) * (u - 2) / 6, b = (u + 1) * (u - 1) * (u - 2) / 2;
  const double c = -(u + 1) * u * (u - 2) / 2, d = (u + 1) * u * (u - 1) / 6;
  return a * f[j - 1] + b * f[j] + c * f[j + 1] + d * f[j + 2];
}

double LocusSlope(int nm) {
  const int k = nm - kLocusFirstNm;
  return (kLocusY[k] - kWhite) / (kLocusX[k] - kWhite);
}

double Distance(double ax, double ay, double bx, double by) {
  return std::hypot(ax - bx, ay - by);
}

}  // namespace

Tristimulus ColourMatchingAt(double nm) {
  const double pos = (nm - kCmfFirstNm) / kCmfStepNm;
  const int j = std::clamp(static_cast<int>(std::floor(pos)), 0, kCmfCount - 2);
  const double u = pos - j;
  return {Interpolate(kCieXBar, j, u), Interpolate(kCieYBar, j, u), Interpolate(kCieZBar, j, u)};
}

double DominantWavelength(double x, double y) {
  if (x == 0 && y == 0) return 0;
  if (x == kWhite) return kVerticalDominantNm;
  const double m = (y - kWhite) / (x - kWhite);
  // Left of the white point the locus runs 380 .. 554 nm, right of it 555 .. 700 nm; along
  // either branch the slope from the white point falls steadily.
  const int first = x < kWhite ? kLocusFirstNm : kLocusSplitNm + 1;
  const int last = x < kWhite ? kLocusSplitNm : kLocusLastNm;
  int found = last;  // a line that meets the purple boundary ends at the branch's end
  for (int nm = first; nm <= last; ++nm) {
    if (!(m < LocusSlope(nm))) {
      found = nm;
      break;
    }
  }
  if (found == kLocusFirstNm || (found == last && m < LocusSlope(last))) return found;
  // The crossing of the line through the white point with the locus segment found-1 .. found.
  const int k = found - kLocusFirstNm;
  const double ax = kLocusX[k - 1], ay = kLocusY[k - 1], bx = kLocusX[k], by = kLocusY[k];
  const double dx = bx - ax, dy = by - ay;
  const double t = (m * (ax - kWhite) - (ay - kWhite)) / (dy - m * dx);
  const double cx = ax + t * dx, cy = ay + t * dy;
  return found - Distance(cx, cy, bx, by) / Distance(ax, ay, bx, by);
}

int RunColor() {
  Instrument& g = *GInstrument;
  AnalysisState& a = g.analysis;
  LightSourceState& l = a.light;
  l.working = l.settings;
  const int trace = SearchTrace();
  ComputeSearchRange(trace, kItemColor);
  if (a.range.start > a.range.end) return SearchFailureCode();
  FillWorkBuffer(trace);
  const TraceAxis axis = AxisOfTrace(trace);
  const bool vacuum = g.traces.state.measWavelengthChoice == 1;
  const int attribute = g.traces.state.attribute[trace];
  const bool density = attribute == 5 || attribute == 6 || g.conditions.setting.levelUnit == 1;
  const bool frequencyAxis = g.conditions.setting.frequencyMode == 1;
  double sx = 0, sy = 0, sz = 0;
  for (int32_t i = a.range.start; i <= a.range.end; ++i) {
    const double measured = axis.start + i * axis.Step();
    const double wl = vacuum ? measured / AirRefractiveIndex(measured) : measured;
    if (wl < kCmfFirstNm || wl > kCmfLastNm) continue;
    double v = a.work[i];
    if (!density) {
      v /= ResolutionBandwidth(trace, measured);
    } else if (frequencyAxis) {
      v /= wl * wl * kPerLightSpeed;
    }
    const Tristimulus t = ColourMatchingAt(wl);
    sx += v * t.x;
    sy += v * t.y;
    sz += v * t.z;
  }
  sx = std::max(sx, 0.0);
  sy = std::max(sy, 0.0);
  sz = std::max(sz, 0.0);
  ColorResult& r = l.color;
  r = {};
  const double sum = sx + sy + sz;
  if (sum > 0) {
    r.x = sx / sum;
    r.y = sy / sum;
    r.z = sz / sum;
    r.dominantNm = DominantWavelength(r.x, r.y);
    if (vacuum && r.dominantNm > 0) r.dominantNm *= AirRefractiveIndex(r.dominantNm);
  }
  a.resultKind = kResultColor;
  a.resultTrace = static_cast<uint16_t>(trace);
  return 0;
}

}  // namespace vq
