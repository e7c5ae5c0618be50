// Helpers the analyses share.
#include "analysis/analysis_common.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

#include "analysis/search.h"
#include "instrument.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr double kGridAnchorThz = 193.1;
constexpr double kGridSpacingThz = 0.1;
constexpr uint16_t kUnitDensity = 1;  // the level unit "dBm/nm"

}  // namespace

double CentreIndexAtDrop(std::span<const double> w, int32_t peak, int32_t lo, int32_t hi,
                         double dropDb) {
  assert(lo <= peak && peak <= hi && hi < static_cast<int32_t>(w.size()) && "bounds around peak");
  const double limitDb = LinearToDbm(w[peak]) - dropDb;
  const double limit = DbmToLinear(limitDb);
  double left = lo, right = hi;
  for (int32_t i = peak - 1; i >= lo; --i) {
    if (LinearToDbm(w[i]) > limitDb + kDbTolerance) continue;
    left = w[i + 1] != w[i] ? i + (limit - w[i]) / (w[i + 1] - w[i]) : i;
    break;
  }
  for (int32_t i = peak + 1; i <= hi; ++i) {
    if (LinearToDbm(w[i]) > limitDb + kDbTolerance) continue;
    right = w[i - 1] != w[i] ? (i - 1) + (limit - w[i - 1]) / (w[i] - w[i - 1]) : i;
    break;
  }
  return (left + right) / 2;
}

namespace {

// Log calculations of traces (A-B, B-A, ...) and traces stored as densities hold levels per nm.
bool TraceLevelIsDensity(int trace) {
  const Instrument& g = *GInstrument;
  const int a = g.traces.state.attribute[trace];
  return (a >= 5 && a <= 6) || (a >= 16 && a <= 19) || (a >= 26 && a <= 29) ||
         g.traces.traces[trace].condition.levelUnit == kUnitDensity;
}

}  // namespace

int IntegratePower(int trace, int32_t s, int32_t e, double offsetDb, double& totalMw) {
  const Instrument& g = *GInstrument;
  const auto& w = g.analysis.work;
  totalMw = 0;
  if (s > e || s < 0 || e >= kMaxPoints) return SearchFailureCode();
  bool any = false;
  for (int32_t i = s; i <= e && !any; ++i) any = w[i] > 0;
  if (!any) return SearchFailureCode();
  const double f = DbmToLinear(offsetDb);
  const TraceAxis axis = AxisOfTrace(trace);
  const bool densityShown = g.conditions.setting.levelUnit == kUnitDensity;
  const bool density = TraceLevelIsDensity(trace);
  if (axis.span == 0) {  // a zero-span trace: the peak level
    TurningPointList& list = GInstrument->analysis.turning;
    double level = SingleSearchOn({w.data(), w.size()}, s, e, true, list).level;
    if (densityShown && !density) level *= ResolutionBandwidth(trace, axis.start);
    totalMw = level * f;
    return 0;
  }
  constexpr double kPerLightSpeed = 3.3356409519815205e-6;  // 1 / 299792.458
  const bool frequencyAxis = g.conditions.setting.frequencyMode == 1;
  const bool vacuum = axis.measurementWavelength == 2;
  const double step = axis.Step();
  double sum = 0;
  for (int32_t i = s; i <= e; ++i) {
    const double v = std::max(w[i], 0.0);  // a point without data adds nothing
    const double wl = axis.start + i * step;
    if (density || (densityShown && !frequencyAxis)) {
      sum += v;
    } else if (densityShown) {
      sum += v / (wl * wl * kPerLightSpeed);
    } else if (vacuum) {
      sum += v / (ResolutionBandwidth(trace, wl) * wl * wl * kPerLightSpeed);
    } else {
      sum += v / ResolutionBandwidth(trace, wl);
    }
  }
  totalMw = sum * step * f;
  return 0;
}

double ResolutionBandwidth(int trace, double nm) {
  assert(trace >= 0 && trace < kTraceCount && "trace out of range");
  if (nm >= 2020) return 1.0;
  const double r = GInstrument->traces.traces[trace].condition.resolution;
  return r > 0 ? r : 1.0;
}

bool SwitchLevelUnitToDbm() {
  Instrument& g = *GInstrument;
  if (g.conditions.setting.levelUnit != kUnitDensity) return false;
  g.conditions.setting.levelUnit = 0;
  for (MeasCondition& pane : g.conditions.panes) pane.levelUnit = 0;
  g.frame.redrawFlags |= kRedrawAll;
  return true;
}

void SwitchLevelUnitToDensity() {
  Instrument& g = *GInstrument;
  g.conditions.setting.levelUnit = kUnitDensity;
  for (MeasCondition& pane : g.conditions.panes) pane.levelUnit = kUnitDensity;
  g.frame.redrawFlags |= kRedrawAll;
}

double GridFrequency(int n) {
  return kGridAnchorThz + n * kGridSpacingThz;
}

double NearestGridWavelength(double nm) {
  const double f = WavelengthToFrequency(nm);
  const int n = static_cast<int>(std::lround((f - kGridAnchorThz) / kGridSpacingThz));
  return FrequencyToWavelength(GridFrequency(n));
}

std::string WavelengthCell(double nm, int width, bool thz) {
  assert((width == 9 || width == 10) && "cells are 9 or 10 characters wide");
  char text[64];
  if (thz) {
    std::snprintf(text, sizeof text, width == 9 ? "%9.5f" : "%10.5f", WavelengthToFrequency(nm));
  } else {
    std::snprintf(text, sizeof text, width == 9 ? "%9.4f" : "%10.4f", nm);
  }
  std::string cell = text;
  if (static_cast<int>(cell.size()) <= width) return cell;
  if (thz) return width == 9 ? "***.*****" : "****.*****";
  return width == 9 ? "****.****" : "*****.****";
}

}  // namespace vq
