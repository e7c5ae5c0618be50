// Level and wavelength conversions, normalisation and window coupling of condition records.
#include "traces/meas_condition.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "instrument.h"
#include "menu/param_entry.h"

namespace vq {

namespace {

constexpr double kLightSpeed = 299792.458;  // nm x THz
constexpr double kDbmFloor = -210;
constexpr double kDbmCeiling = 210;
constexpr double kLinearCeiling = 3.40282e38;

constexpr int kMinPoints = 11;  // what a record without sampling points gets
constexpr int kMaxSamplingPoints = 50001;
constexpr int kZeroSpanPoints = 1001;
constexpr double kFreqSpanZero = 0.0095;  // THz: a narrower frequency span is a 0 nm sweep

// Resolutions the sampling knows, with the automatic step without and with correction.
constexpr double kResolutions[] = {0.010, 0.015, 0.020, 0.050, 0.100, 0.200, 0.500, 1.000, 2.000};
constexpr double kAutoStep[][2] = {{0.002, 0.002}, {0.002, 0.002}, {0.004, 0.002},
                                   {0.010, 0.005}, {0.020, 0.010}, {0.040, 0.020},
                                   {0.100, 0.050}, {0.200, 0.100}, {0.400, 0.200}};
static_assert(std::size(kResolutions) == std::size(kAutoStep), "one step pair per resolution");

constexpr const char* kSensitivityNames[7][3] = {
    {"NORM/HOLD", "NORM/HOLD", "NORM/HOLD"},
    {"NORM/AUTO", "NORM/AUTO", "NORM/AUTO"},
    {"MID", "MID", "MID/SW"},
    {"HIGH1", "HIGH1/CHOP", "HIGH1/SW"},
    {"HIGH2", "HIGH2/CHOP", "HIGH2/SW"},
    {"HIGH3", "HIGH3/CHOP", "HIGH3/SW"},
    {"NORMAL", "NORMAL", "NORMAL"},
};

// The parameter table of the context with the model's window limits in place.
const ParamRecord& Param(int id) {
  return GInstrument->entry.params[id];
}
void PrepareLimits() {
  PrepareModelLimits(GInstrument->entry.modelVariant);
}

// The parameter clamp: true when the value had to be moved.
bool Clamped(double& value, int parameter) {
  return Clamp(value, parameter) == 0;
}
template <typename Int>
void ClampField(Int& field, int parameter) {
  double v = field;
  Clamp(v, parameter);
  field = static_cast<Int>(v);
}

// Centre w with the half width `half` in wavelength; edges that leave their ranges are pulled in
// on the 0.1 nm grid of w and the span is rounded down to 0.01 nm.
void ApplyWlWindow(MeasCondition& c, double w, double span) {
  Clamp(w, kParCentreWl);
  double start = w - span / 2, stop = w + span / 2;
  const double r = w - std::trunc(10 * w) * 0.1;
  const bool startMoved = Clamped(start, kParStartWl);
  if (startMoved) {
    start += r;
    stop = 2 * w - start;
  }
  const bool stopMoved = Clamped(stop, kParStopWl);
  if (stopMoved) {
    stop -= r;
    start = 2 * w - stop;
  }
  if (startMoved || stopMoved) span = std::floor(100 * (stop - start)) / 100;
  c.centre = w;
  c.start = start;
  c.stop = stop;
  c.span = span;
}

// Centre frequency f with half the frequency span; the edges stay inside their ranges.
void ApplyFreqWindow(MeasCondition& c, double f, double half) {
  Clamp(f, kParCentreFreq);
  double high = f + half, low = f - half;
  if (Clamped(high, kParStopFreq)) half = std::trunc(100 * (high - f)) * 0.01;
  if (Clamped(low, kParStartFreq)) half = std::trunc(100 * (f - low)) * 0.01;
  c.stop = RecordWavelength(c, f - half);
  c.start = RecordWavelength(c, f + half);
  c.centre = RecordWavelength(c, f);
  c.span = c.stop - c.start;
}

// One edge s entered in wavelength; dir +1 for the start (the other edge lies above), -1 for the
// stop. The other edge keeps its 0.1 nm grid shifted by the fraction of s.
void SetEdgeWl(MeasCondition& c, double s, int dir) {
  const bool isStart = dir > 0;
  Clamp(s, isStart ? kParStartWl : kParStopWl);
  const double oldOther = isStart ? c.stop : c.start;
  const double r = 10 * s - std::trunc(10 * s + 0.005);
  double other = std::trunc(10 * oldOther + 0.005) * 0.1 + r * 0.1;
  Clamp(other, isStart ? kParStopWl : kParStartWl);
  double span = 0;
  if (dir * (other - s) >= 0 && std::fabs(oldOther - s) + 0.001 >= 0.05) {
    span = dir * (other - s);
    Clamp(span, kParSpanWl);
    double centre = s + dir * span / 2;
    if (Clamped(centre, kParCentreWl)) {
      span = RoundTo(2 * dir * (centre - s), 10);
      centre = s + dir * span / 2;
      if (centre < Param(kParCentreWl).minimum) span += dir * 0.1;
      if (centre > Param(kParCentreWl).maximum) span -= dir * 0.1;
    }
  }
  c.centre = s + dir * span / 2;
  c.start = isStart ? s : s - span;
  c.stop = isStart ? s + span : s;
  c.span = span;
}

// One edge F entered in frequency; dir +1 for the start frequency (the low edge, the stop
// wavelength), -1 for the stop frequency.
void SetEdgeFreq(MeasCondition& c, double f, int dir) {
  const bool isStart = dir > 0;
  Clamp(f, isStart ? kParStartFreq : kParStopFreq);
  double other = RecordFrequency(c, isStart ? c.start : c.stop);
  if (dir * (other - f) < 0) {
    other = f;
    Clamp(other, isStart ? kParStopFreq : kParStartFreq);
  }
  double span = dir * (other - f);
  Clamp(span, kParSpanFreq);
  if (span < kFreqSpanZero) span = 0;
  double centre = f + dir * span / 2;
  if (Clamped(centre, kParCentreFreq)) span = 2 * dir * (centre - f);
  c.centre = RecordWavelength(c, centre);
  c.start = RecordWavelength(c, isStart ? f + span : f);
  c.stop = RecordWavelength(c, isStart ? f : f - span);
  c.span = c.stop - c.start;
}

// The nearest resolution the instrument offers.
double PermittedResolution(double res) {
  res = RoundTo(res, Param(kParResolution).resolution);
  Clamp(res, kParResolution);
  double best = kResolutions[0];
  for (double r : kResolutions) {
    if (std::fabs(r - res) < std::fabs(best - res)) best = r;
  }
  return best;
}

// Index of the resolution in the sampling table; values below 0.009 nm count as 2 nm.
int ResolutionIndex(double res) {
  const int last = static_cast<int>(std::size(kResolutions)) - 1;
  if (res < 0.009) return last;
  for (int i = 0; i < last; ++i) {
    if (kResolutions[i] >= res - 0.0005) return i;
  }
  return last;
}

// 10^(k/10000) as a power of ten times the fraction of a decade: two table entries, each the
// correctly rounded value, so the product is within about one unit in the last place.
constexpr int kMilliPerDecade = 10000;  // thousandths of a dB in 10 dB
constexpr int kMilliLimit = 210000;     // the floor and ceiling in thousandths
constexpr int kDecades = kMilliLimit / kMilliPerDecade;
struct DecadeTables {
  std::array<double, 2 * kDecades + 1> decade{};
  std::array<double, kMilliPerDecade> fraction{};
};
const DecadeTables& Decades() {
  static const DecadeTables tables = [] {
    DecadeTables t;
    for (int q = -kDecades; q <= kDecades; ++q) {
      t.decade[q + kDecades] = static_cast<double>(std::pow(10.0L, static_cast<long double>(q)));
    }
    for (int r = 0; r < kMilliPerDecade; ++r) {
      t.fraction[r] =
          static_cast<double>(std::pow(10.0L, r / static_cast<long double>(kMilliPerDecade)));
    }
    return t;
  }();
  return tables;
}

}  // namespace

double MilliDbToLinear(int32_t k) {
  if (k <= -kMilliLimit) return 0;
  if (k >= kMilliLimit) return kLinearCeiling;
  const int q = (k >= 0 ? k : k - (kMilliPerDecade - 1)) / kMilliPerDecade;  // rounded down
  const DecadeTables& t = Decades();
  return t.decade[q + kDecades] * t.fraction[k - q * kMilliPerDecade];
}

double DbmToLinear(double dbm) {
  if (std::isnan(dbm) || dbm <= kDbmFloor) return 0;
  if (dbm >= kDbmCeiling) return kLinearCeiling;
  // Levels of files and entries have at most three decimals: those come from the tables (the
  // text reader takes the same path without the double); any other value through exp.
  const double k = std::nearbyint(dbm * 1000);
  if (k / 1000 == dbm) return MilliDbToLinear(static_cast<int32_t>(k));
  return std::exp(dbm * (std::numbers::ln10 / 10));
}

double LinearToDbm(double mw) {
  if (std::isnan(mw) || mw <= 1e-21) return kDbmFloor;
  if (mw >= 1e21) return kDbmCeiling;
  return 10 * std::log10(mw);
}

double AirRefractiveIndex(double nm) {
  const double um = 0.001 * nm;
  const double s = 1 / (um * um);
  return 1 + 1e-8 * (6432.8 + 2949810 / (146 - s) + 25540 / (41 - s));
}

// The measurement wavelength setting of the trace state decides whether wavelengths are in air.
static bool MeasuredInAir() {
  return GInstrument == nullptr || GInstrument->traces.state.measWavelengthChoice != 1;
}

double WavelengthToFrequency(double nm, bool noAirCorrection) {
  if (nm < 1) return kLightSpeed;
  if (MeasuredInAir() && !noAirCorrection) return kLightSpeed / (AirRefractiveIndex(nm) * nm);
  return kLightSpeed / nm;
}

double FrequencyToWavelength(double thz, bool noAirCorrection) {
  if (thz <= 0) return 0;  // no wavelength belongs to it; never a division by zero
  if (MeasuredInAir() && !noAirCorrection) {
    return kLightSpeed / (AirRefractiveIndex(kLightSpeed / thz) * thz);
  }
  return kLightSpeed / thz;
}

constexpr uint16_t kMeasuredInVacuum = 2;

double RecordFrequency(const MeasCondition& record, double nm) {
  return WavelengthToFrequency(nm, record.measurementWavelength == kMeasuredInVacuum);
}

double RecordWavelength(const MeasCondition& record, double thz) {
  return FrequencyToWavelength(thz, record.measurementWavelength == kMeasuredInVacuum);
}

void NormaliseCondition(MeasCondition& c, std::span<double> levels) {
  Instrument& g = *GInstrument;
  PrepareLimits();
  if (c.frequencyMode != 1) c.frequencyMode = 0;
  // 1. The window.
  if (c.frequencyMode == 1) {
    const double fStart = RecordFrequency(c, c.start), fStop = RecordFrequency(c, c.stop);
    double centre = (fStart + fStop) / 2, span = fStart - fStop;
    const bool centreMoved = Clamped(centre, kParCentreFreq);
    if (Clamped(span, kParSpanFreq) || centreMoved) {
      c.centre = RecordWavelength(c, centre);
      c.stop = RecordWavelength(c, centre - span / 2);
      c.start = RecordWavelength(c, centre + span / 2);
      c.span = c.stop - c.start;
    }
  } else if (const bool centreMoved = Clamped(c.centre, kParCentreWl);
             Clamped(c.span, kParSpanWl) || centreMoved) {
    c.start = c.centre - c.span / 2;
    c.stop = c.centre + c.span / 2;
  }
  // 2 and 3. Resolution and the level scales.
  c.resolution = PermittedResolution(c.resolution);
  ClampField(c.averageTimes, kParAverage);
  Clamp(c.refLevel, kParRefLevel);
  double scale = std::fabs(c.logScale);
  Clamp(scale, kParLogScale);
  c.logScale = c.logScale < 0 ? -scale : scale;
  c.baseLevel = std::clamp(c.baseLevel, 0.0, DbmToLinear(c.refLevel));
  const std::pair<double MeasCondition::*, int> scaleFields[] = {
      {&MeasCondition::subScaleLinear, kParSubLin},
      {&MeasCondition::subScaleLog, kParSubLog},
      {&MeasCondition::subScaleDbKm, kParSubDbKm},
      {&MeasCondition::subScalePercent, kParSubPct},
      {&MeasCondition::subScaleMin, kParScaleMin},
      {&MeasCondition::subScaleMinPercent, kParScaleMinPct},
      {&MeasCondition::offsetLevel, kParOffset},
      {&MeasCondition::offsetLevelPerKm, kParOffsetKm},
      {&MeasCondition::fibreLength, kParLength},
  };
  for (const auto& [field, parameter] : scaleFields) Clamp(c.*field, parameter);
  // 4. Sampling.
  if (c.samplingPoints < 1) c.samplingPoints = kMinPoints;
  c.samplingPoints = std::min(c.samplingPoints, kMaxSamplingPoints);
  if (c.samplingPoints > 1) c.samplingInterval = c.span / (c.samplingPoints - 1);
  // 5. No light outside the instrument's wavelength range.
  const size_t count = std::min(levels.size(), static_cast<size_t>(c.samplingPoints));
  for (size_t i = 0; i < count; ++i) {
    const double step = c.samplingPoints > 1 ? c.span / (c.samplingPoints - 1) : 0;
    const double wl = c.start + step * static_cast<double>(i);
    if (wl < Param(kParCentreWl).minimum || wl > Param(kParCentreWl).maximum) levels[i] = 0;
  }
  // 6 and 7. Averaging, fit thresholds and the flags this instrument may not have.
  ClampField(c.rollAverageTimes, kParRollAverage);
  ClampField(c.curveFitThreshold, kParThresh);
  ClampField(c.peakCurveFitThreshold, kParThresh);
  c.reserved4 = 0;
  if (c.chopMode != 0) c.chopMode = 2;
  if (!g.conditions.smoothingAvailable) c.smoothing = 0;
  if (!g.conditions.correctionTableAvailable) c.resolutionCorrection = 0;
}

void SetCentre(MeasCondition& c, double value) {
  PrepareLimits();
  if (c.frequencyMode == 1) {
    ApplyFreqWindow(c, value, (RecordFrequency(c, c.start) - RecordFrequency(c, c.stop)) / 2);
  } else {
    ApplyWlWindow(c, value, c.span);
  }
  UpdateSampling(c);
}

void SetSpan(MeasCondition& c, double value) {
  PrepareLimits();
  if (c.frequencyMode == 1) {
    Clamp(value, kParSpanFreq);
    if (value < kFreqSpanZero) value = 0;
    ApplyFreqWindow(c, (RecordFrequency(c, c.start) + RecordFrequency(c, c.stop)) / 2, value / 2);
  } else {
    Clamp(value, kParSpanWl);
    ApplyWlWindow(c, c.centre, value);
  }
  UpdateSampling(c);
}

void SetStart(MeasCondition& c, double value) {
  PrepareLimits();
  c.frequencyMode == 1 ? SetEdgeFreq(c, value, 1) : SetEdgeWl(c, value, 1);
  UpdateSampling(c);
}

void SetStop(MeasCondition& c, double value) {
  PrepareLimits();
  c.frequencyMode == 1 ? SetEdgeFreq(c, value, -1) : SetEdgeWl(c, value, -1);
  UpdateSampling(c);
}

int32_t SamplingPoints(const MeasCondition& c) {
  const double w = std::trunc(c.span * 1e5 + 1e-6) / 1e5;
  if (w <= 0) return kZeroSpanPoints;
  const double minStep = c.start < 1300 ? 0.002 : 0.001;
  double points = c.samplingPoints;
  if (c.samplingAuto == 1) {
    const double q = w / kAutoStep[ResolutionIndex(c.resolution)][c.resolutionCorrection ? 1 : 0];
    points = std::trunc(q) + (q - std::trunc(q) >= 0.00001 ? 1 : 0) + 1;
    if (points < 501) points = w / 500 >= minStep ? 501 : std::trunc(w / minStep + 0.5) + 1;
    return static_cast<int32_t>(std::min<double>(points, kMaxSamplingPoints));
  }
  if (c.samplingAuto == 2 && c.samplingInterval > 0) {
    const double q = w / c.samplingInterval;
    points = q < 101 ? 101 : std::min<double>(std::trunc(q + 0.9) + 1, kMaxSamplingPoints);
  }
  if (points > 1 && w / (points - 1) < minStep) points = std::trunc(w / minStep + 1.0);
  return static_cast<int32_t>(points);
}

void UpdateSampling(MeasCondition& c) {
  c.samplingPoints = SamplingPoints(c);
  if (c.samplingAuto != 2 && c.samplingPoints > 1) {
    c.samplingInterval = c.span / (c.samplingPoints - 1);
  }
}

const char* SensitivityName(int sensitivity, int chopMode) {
  if (sensitivity < 0 || sensitivity >= 7 || chopMode < 0 || chopMode >= 3) return "";
  return kSensitivityNames[sensitivity][chopMode];
}

MeasCondition DefaultSettingRecord() {
  MeasCondition c{};
  std::memset(c.label, ' ', sizeof c.label - 1);
  c.centre = 1550;
  c.span = 100;
  c.start = 1500;
  c.stop = 1600;
  c.refLevel = -10;
  c.logScale = 10;
  c.resolution = 0.1;
  c.subScaleLinear = 0.1;
  c.subScaleLog = 1;
  c.subScaleDbKm = 1;
  c.subScalePercent = 10;
  c.fibreLength = 1;
  c.calcConstantK = 1;
  c.sensitivity = 1;  // NORM/AUTO
  c.averageTimes = 1;
  c.rollAverageTimes = 2;
  c.subScaleMode = 1;
  c.samplingAuto = 1;
  c.noiseMask = -101;
  c.curveFitThreshold = 3;
  c.peakCurveFitThreshold = 3;
  c.measurementWavelength = 1;  // air
  std::snprintf(c.firmwareVersion, sizeof c.firmwareVersion, "01.00.00");
  UpdateSampling(c);
  return c;
}

void InitConditions() {
  ConditionState& s = GInstrument->conditions;
  s.setting = s.measured = s.panes[0] = s.panes[1] = DefaultSettingRecord();
  s.yDivisions = 10;
  // Empty traces carry the same conditions, so that what is saved from them reads back.
  for (Trace& t : GInstrument->traces.traces) t.condition = s.setting;
  // The trace state's fit thresholds are the ones files and settings carry: they start equal.
  GInstrument->traces.state.curveFitThreshold = s.setting.curveFitThreshold;
  GInstrument->traces.state.peakCurveFitThreshold = s.setting.peakCurveFitThreshold;
}

}  // namespace vq
