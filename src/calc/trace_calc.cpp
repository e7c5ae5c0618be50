// Trace calculation: the operation table, the elementary operations, the sources on the
// destination's axis, the two-source operations, normalisation and the recalculation.
#include "calc/trace_calc.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "analysis/search.h"
#include "calc/calc_internal.h"
#include "instrument.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

constexpr int8_t kA = 0, kB = 1, kC = 2, kD = 3, kE = 4, kF = 5, kG = 6;

constexpr CalcOperation Op(int code, int8_t dest, int8_t x, int8_t y, CalcKind kind,
                           CalcCategory category) {
  return {static_cast<int16_t>(code), dest, x, y, kind, category};
}
constexpr CalcOperation Log(int code, int8_t dest, int8_t x, int8_t y, CalcKind kind) {
  return Op(code, dest, x, y, kind, kCatLogMath);
}
constexpr CalcOperation Lin(int code, int8_t dest, int8_t x, int8_t y, CalcKind kind) {
  return Op(code, dest, x, y, kind, kCatLinMath);
}
constexpr CalcOperation OnG(int code, int8_t source, CalcKind kind, CalcCategory category) {
  return Op(code, kG, source, -1, kind, category);
}

using K = CalcKind;
// Every calculation code: destination, sources in the order (x, y) the kind takes them.
constexpr CalcOperation kOperations[] = {
    // C from A and B.
    Log(5, kC, kA, kB, K::Ratio),
    Log(6, kC, kB, kA, K::Ratio),
    Lin(7, kC, kA, kB, K::Difference),
    Lin(8, kC, kB, kA, K::Difference),
    Lin(9, kC, kA, kB, K::Sum),
    Lin(14, kC, kA, kB, K::OneMinusK),
    Lin(15, kC, kB, kA, K::OneMinusK),
    Log(45, kC, kA, kB, K::Product),
    // F from C and D.
    Log(16, kF, kC, kD, K::Ratio),
    Log(17, kF, kD, kC, K::Ratio),
    Lin(20, kF, kC, kD, K::Sum),
    Lin(21, kF, kC, kD, K::Difference),
    Lin(22, kF, kD, kC, K::Difference),
    Log(46, kF, kC, kD, K::Product),
    // F from D and E.
    Log(18, kF, kD, kE, K::Ratio),
    Log(19, kF, kE, kD, K::Ratio),
    Lin(23, kF, kD, kE, K::Sum),
    Lin(24, kF, kD, kE, K::Difference),
    Lin(25, kF, kE, kD, K::Difference),
    Log(47, kF, kD, kE, K::Product),
    // G from C and F.
    Log(26, kG, kC, kF, K::Ratio),
    Log(27, kG, kF, kC, K::Ratio),
    Lin(30, kG, kC, kF, K::Sum),
    Lin(31, kG, kC, kF, K::Difference),
    Lin(32, kG, kF, kC, K::Difference),
    Log(48, kG, kC, kF, K::Product),
    // G from E and F.
    Log(28, kG, kE, kF, K::Ratio),
    Log(29, kG, kF, kE, K::Ratio),
    Lin(33, kG, kE, kF, K::Sum),
    Lin(34, kG, kE, kF, K::Difference),
    Lin(35, kG, kF, kE, K::Difference),
    Log(49, kG, kE, kF, K::Product),
    // G from one trace, or from the markers.
    OnG(36, kA, K::Normalise, kCatNormalize),
    OnG(37, kB, K::Normalise, kCatNormalize),
    OnG(38, kC, K::Normalise, kCatNormalize),
    OnG(39, kA, K::CurveFit, kCatCurveFit),
    OnG(40, kB, K::CurveFit, kCatCurveFit),
    OnG(41, kC, K::CurveFit, kCatCurveFit),
    OnG(42, kA, K::PeakCurveFit, kCatPeakFit),
    OnG(43, kB, K::PeakCurveFit, kCatPeakFit),
    OnG(44, kC, K::PeakCurveFit, kCatPeakFit),
    OnG(50, -1, K::MarkerFit, kCatCurveFit),
};

constexpr bool TableIsComplete() {
  // Codes 5 to 50 without the unused 10 to 13, each once; a source is never the destination, and
  // exactly the two-source kinds have a second source.
  bool seen[kAttributeCount] = {};
  for (const CalcOperation& op : kOperations) {
    if (op.code < kAttrFirstCalculation || op.code >= kAttributeCount) return false;
    if (op.code >= 10 && op.code <= 13) return false;
    if (seen[op.code]) return false;
    seen[op.code] = true;
    if (op.first == op.destination || op.second == op.destination) return false;
    const bool twoSources = op.kind <= CalcKind::OneMinusK;
    if (twoSources != (op.second >= 0)) return false;
    if (twoSources && op.first == op.second) return false;
  }
  return std::size(kOperations) == kAttributeCount - kAttrFirstCalculation - 4;
}
static_assert(TableIsComplete(), "every calculation code once, with consistent sources");

// Limits a result that reaches the final step.
double Clamped(double v) {
  if (std::isnan(v)) return kCalcMin;
  return std::clamp(v, kCalcMin, kCalcCeiling);
}

int64_t Milli(double nm) {
  return static_cast<int64_t>(nm * 1000.0);
}

int PointsOf(const MeasCondition& c) {
  return std::clamp(c.samplingPoints, 0, kMaxPoints);
}

template <typename Operation>
void Combine(std::span<double> out, const double* x, const double* y, int n, const NoiseFloor& fl,
             Operation op) {
  for (int i = 0; i < n; ++i) out[i] = op(fl(x[i]), fl(y[i]));
}

void TwoSources(const CalcOperation& op) {
  Instrument& g = *GInstrument;
  CalcState& s = g.calc;
  const Trace& tx = g.traces.traces[op.first];
  const Trace& ty = g.traces.traces[op.second];
  Trace& dest = PrepareDestination(op.destination, op.code);
  const int n = PointsOf(dest.condition);
  // A source taken by index is read in place; another is brought onto the destination's axis.
  auto onAxis = [&](const Trace& t, const Trace& other, std::array<double, kMaxPoints>& buffer) {
    if (SourceByIndex(t.condition, other.condition, dest.condition)) return t.level.data();
    SourceOnAxis(t.condition, t.level, dest.condition, false, buffer);
    return static_cast<const double*>(buffer.data());
  };
  const double* x = onAxis(tx, ty, s.first);
  const double* y = onAxis(ty, tx, s.second);
  const NoiseFloor fl = NoiseFloorOf(g.conditions.setting);
  const double k = g.conditions.setting.calcConstantK;
  const std::span<double> out(dest.level.data(), dest.level.size());
  // Lambdas rather than function pointers, so that the loops inline the operation.
  switch (op.kind) {
    case CalcKind::Ratio:
      Combine(out, x, y, n, fl, [](double a, double b) { return CalcRatio(a, b); });
      break;
    case CalcKind::Difference:
      Combine(out, x, y, n, fl, [](double a, double b) { return CalcDifference(a, b); });
      break;
    case CalcKind::Sum:
      Combine(out, x, y, n, fl, [](double a, double b) { return CalcSum(a, b); });
      break;
    case CalcKind::Product:
      Combine(out, x, y, n, fl, [](double a, double b) { return CalcProduct(a, b); });
      break;
    case CalcKind::OneMinusK:
      Combine(out, x, y, n, fl, [k](double a, double b) { return CalcOneMinusK(a, b, k); });
      break;
    default:
      break;
  }
  std::fill(dest.level.begin() + n, dest.level.end(), 0.0);
}

int Normalise(const CalcOperation& op) {
  Instrument& g = *GInstrument;
  const Trace& source = g.traces.traces[op.first];
  const TraceRange r = AnalysisRangeOf(op.first);
  if (r.first > r.last) return -1;
  double largest = 0.0;
  for (int32_t i = r.first; i <= r.last; ++i) largest = std::max(largest, source.level[i]);
  if (largest <= 0.0) return -1;
  Trace& dest = PrepareDestination(kG, op.code);
  const NoiseFloor fl = NoiseFloorOf(g.conditions.setting);
  const int n = PointsOf(dest.condition);
  for (int i = 0; i < n; ++i) {
    dest.level[i] = i >= r.first && i <= r.last ? fl(source.level[i]) / largest : 0.0;
  }
  std::fill(dest.level.begin() + n, dest.level.end(), 0.0);
  KeepSource(dest, source, r.points);
  return 0;
}

}  // namespace

const CalcOperation* FindCalcOperation(int code) {
  for (const CalcOperation& op : kOperations) {
    if (op.code == code) return &op;
  }
  return nullptr;
}

int CalcCodeByName(std::string_view name) {
  for (const CalcOperation& op : kOperations) {
    if (name == AttributeCalcName(op.code)) return op.code;
  }
  return -1;
}

double CalcRatio(double x, double y) {
  x = std::max(x, 0.0);
  y = y > 0.0 ? y : 0.0;
  if (x == 0.0 && y == 0.0) return 1.0;
  if (x >= kCalcMax && y >= kCalcMax) return 1.0;
  if (x == 0.0) return 0.0;
  if (y >= kCalcMax) return 0.0;
  if (x >= kCalcMax) return kCalcMax;
  if (y == 0.0) return kCalcMax;
  return Clamped(x / y);
}

double CalcProduct(double x, double y) {
  return Clamped(std::max(x, 0.0) * std::max(y, 0.0));
}

double CalcDifference(double x, double y) {
  if (y == 0.0) return x;
  if (x == 0.0) return 0.0;
  if (y >= kCalcMax) return 0.0;
  if (x >= kCalcMax) return kCalcMax;
  return Clamped(x - y);
}

double CalcSum(double x, double y) {
  if (x >= kCalcMax || y >= kCalcMax) return kCalcMax;
  return Clamped(x + y);
}

double CalcOneMinusK(double x, double y, double k) {
  return Clamped(1.0 - k * std::max(x, 0.0) / std::max(y, 0.0));
}

NoiseFloor NoiseFloorOf(const MeasCondition& c) {
  constexpr int kMaskOff = -101;
  constexpr uint16_t kMaskHorizontal = 1;
  if (c.noiseMask == kMaskOff) return {};
  const double mask = DbmToLinear(c.noiseMask);
  return {true, mask, c.noiseMaskDirection == kMaskHorizontal ? mask : 0.0};
}

bool SourceByIndex(const MeasCondition& source, const MeasCondition& other,
                   const MeasCondition& dest) {
  if (source.samplingPoints != dest.samplingPoints) return false;
  const bool sameSources =
      Milli(source.start) == Milli(other.start) && Milli(source.stop) == Milli(other.stop);
  const bool destWindow =
      Milli(source.start) == Milli(dest.start) && Milli(source.stop) == Milli(dest.stop);
  return sameSources || destWindow;
}

void SourceOnAxis(const MeasCondition& source, std::span<const double> levels,
                  const MeasCondition& dest, bool byIndex, std::span<double> out) {
  const int n = PointsOf(dest);
  if (byIndex) {
    std::copy_n(levels.begin(), n, out.begin());
    return;
  }
  const int ns = PointsOf(source);
  const double s0 = source.start, s1 = source.start + source.span;
  const double h = ns > 1 ? source.span / (ns - 1) : 0.0;
  for (int i = 0; i < n; ++i) {
    const double w = dest.start + dest.span * i / (n > 1 ? n - 1 : 1);
    if (ns == 0 || w < s0 || w > s1) {
      out[i] = 0.0;
      continue;
    }
    if (h == 0.0) {
      out[i] = levels[0];
      continue;
    }
    const int k = std::min(static_cast<int>((w - s0) / h), ns - 1);
    const double r = w - (k * h + s0);
    const int k2 = k == ns - 1 ? k : k + 1;
    out[i] = levels[k] + r * (levels[k2] - levels[k]) / h;
  }
}

Trace& PrepareDestination(int trace, int code) {
  Instrument& g = *GInstrument;
  const MeasCondition& s = g.conditions.setting;
  Trace& t = g.traces.traces[trace];
  t.condition = g.conditions.measured;
  t.condition.traceAttribute = static_cast<int16_t>(code);
  // The calculation's own settings travel with the result.
  t.condition.calcConstantK = s.calcConstantK;
  t.condition.curveFitThreshold = g.traces.state.curveFitThreshold;
  t.condition.peakCurveFitThreshold = g.traces.state.peakCurveFitThreshold;
  t.condition.operationArea = s.operationArea;
  t.condition.fittingAlgorithm = s.fittingAlgorithm;
  return t;
}

TraceRange AnalysisRangeOf(int trace) {
  SearchRange& stored = GInstrument->analysis.range;
  const SearchRange kept = stored;  // the current analysis keeps its own range
  ComputeSearchRange(trace);
  TraceRange r{stored.start, stored.end, AxisOfTrace(trace).points};
  stored = kept;
  r.last = std::min(r.last, r.points - 1);
  r.first = std::max(r.first, 0);
  return r;
}

void KeepSource(Trace& dest, const Trace& source, int points) {
  std::copy_n(source.level.begin(), points, dest.source.begin());
  std::fill(dest.source.begin() + points, dest.source.end(), 0.0);
}

int CalculateTrace(int trace) {
  Instrument& g = *GInstrument;
  const CalcOperation* op = FindCalcOperation(g.traces.state.attribute[trace]);
  if (op == nullptr || op->destination != trace) return -1;
  int code = -1;
  switch (op->kind) {
    case CalcKind::Normalise:
      code = Normalise(*op);
      break;
    case CalcKind::CurveFit:
    case CalcKind::PeakCurveFit:
      code = FitTrace(*op);
      break;
    case CalcKind::MarkerFit:
      code = MarkerFit();
      break;
    default:
      TwoSources(*op);
      code = 0;
      break;
  }
  g.frame.redrawFlags |= kRedrawAll;
  return code;
}

int ApplyCalculation(int code) {
  Instrument& g = *GInstrument;
  const CalcOperation* op = FindCalcOperation(code);
  if (op == nullptr) return -1;
  TraceStateBlock& s = g.traces.state;
  s.calcCategory[op->destination] = op->category;
  s.calcOperation[op->category][op->destination] = static_cast<uint16_t>(code);
  SetAttribute(op->destination, code);
  return CalculateTrace(op->destination);
}

void RecalculateTraces() {
  const TraceStateBlock& s = GInstrument->traces.state;
  for (int trace : {kC, kF, kG}) {
    const int a = s.attribute[trace];
    if (IsCalculation(a) && a != kAttrMarkerFit) CalculateTrace(trace);
  }
}

void RecalculateFits() {
  const int a = GInstrument->traces.state.attribute[kG];
  if (AttributeHas(a, kAttrLineMarkerFit) || a == kAttrMarkerFit) CalculateTrace(kG);
}

}  // namespace vq
