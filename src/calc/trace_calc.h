// Trace calculation: the operation table, the elementary operations, the source levels on the
// destination's axis, the noise-mask floor, normalisation, the curve fits and the marker fit,
// and the recalculation of calculated traces.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "calc/curve_fit.h"
#include "state/condition_state.h"

namespace vq {

constexpr double kCalcMax = 3.40282e38;  // the overflow value of the level arrays
constexpr double kCalcMin = 1e-19;
constexpr double kCalcCeiling = 1e21;
constexpr int kMsgMarkerFitFailed = 111;  // "<G = MKR FIT> failed"

enum class CalcKind : uint8_t {
  Ratio,       // a log difference
  Difference,  // a linear difference
  Sum,         // a linear sum
  Product,     // a log sum
  OneMinusK,
  Normalise,
  CurveFit,
  PeakCurveFit,
  MarkerFit,
};

// The CALCULATE categories, in the order of the trace state's calculation category.
enum CalcCategory : uint8_t { kCatLogMath, kCatLinMath, kCatNormalize, kCatCurveFit, kCatPeakFit };

struct CalcOperation {
  int16_t code;        // the attribute code
  int8_t destination;  // trace C, F or G
  int8_t first;        // x: the first source (-1 none)
  int8_t second;       // y: the second source of the two-source kinds (-1 none)
  CalcKind kind;
  CalcCategory category;
};

// The row of an attribute code; nullptr for a code that is no calculation.
const CalcOperation* FindCalcOperation(int code);
// The code of a calculation name ("A-B(LOG)", "1-K(A/B)", "NORMA", "CVFTA", "MKRFT", ...);
// -1 when unknown.
int CalcCodeByName(std::string_view name);

// The elementary operations on linear levels (mW), with their order of cases and clamps.
double CalcRatio(double x, double y);
double CalcProduct(double x, double y);
double CalcDifference(double x, double y);
double CalcSum(double x, double y);
double CalcOneMinusK(double x, double y, double k);

// The noise-mask floor of a record: a value below the mask takes the mask level (horizontal) or
// 0 (vertical); a mask of -101 (OFF) leaves the value.
struct NoiseFloor {
  bool on = false;
  double mask = 0.0;  // mW
  double fill = 0.0;
  double operator()(double v) const { return on && v < mask ? fill : v; }
};
NoiseFloor NoiseFloorOf(const MeasCondition& c);

// The level of a source record's values at each point of the destination record: by index when
// `byIndex`, else interpolated, 0 outside the source window. Writes dest.samplingPoints values.
void SourceOnAxis(const MeasCondition& source, std::span<const double> levels,
                  const MeasCondition& dest, bool byIndex, std::span<double> out);
// Whether a source is taken by index: the same number of points as the destination, and the
// two sources share their window (wavelengths * 1000, truncated) or this one has the
// destination's window.
bool SourceByIndex(const MeasCondition& source, const MeasCondition& other,
                   const MeasCondition& dest);

// Computes a trace with its attribute's calculation: 0 done, -1 when the operation stopped
// (nothing to normalise or fit, G left as it was), 111 when a marker fit failed; the trace is
// left unchanged when its attribute is no calculation (-1).
int CalculateTrace(int trace);
// Chooses a calculation: stores the category and operation for its destination, makes it the
// destination's attribute and computes it at once. The result of CalculateTrace, or -1 for an
// unknown code.
int ApplyCalculation(int code);
// Recomputes every calculated trace (C, F, then G) with its stored operation; the marker fit,
// whose inputs are the markers, is left as it is.
void RecalculateTraces();
// After a change of the operation area: a fitted G is recomputed at once.
void RecalculateFits();

}  // namespace vq
