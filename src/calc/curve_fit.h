// Least-squares fits of a curve to (d, level) points: GAUSS (a parabola in dB), LORENZ (a
// parabola in 1 / level) and the polynomials of order 3 to 5 in linear level.
#pragma once

#include <array>
#include <span>

#include "state/calc_state.h"

namespace vq {

enum CurveAlgorithm : int {
  kCurveGauss,
  kCurveLorenz,
  kCurve3rdPoly,
  kCurve4thPoly,
  kCurve5thPoly
};
constexpr int kFitAlgorithmCount = 5;

// The "FITTING ALGO" names by algorithm.
const char* FitAlgorithmName(int algorithm);
// The points a fit needs: 3 for GAUSS and LORENZ, order + 1 for the polynomials.
int FitMinimumPoints(int algorithm);

struct FitCurve {
  int algorithm = kCurveGauss;
  int count = 0;                                // coefficients: 3, or order + 1
  std::array<double, kMaxFitCoefficients> c{};  // ascending powers of d
};

// Fits the points (d in nm from the reference, level in mW). False when there are too few
// points, the 3 by 3 determinant is zero or the polynomial system is singular.
bool FitPoints(int algorithm, std::span<const double> d, std::span<const double> mw, FitCurve& out);
// The fitted level (mW) at d: GAUSS limits its dB value to -200 to 200 first.
double EvaluateFit(const FitCurve& fit, double d);

// The solvers, on a system of the normal equations. Cramer's rule on a 3 by 3 system; Gaussian
// elimination with a row exchange on a zero pivot on n by n (n <= 6). False: no solution.
bool SolveCramer3(const std::array<std::array<double, 3>, 3>& m, const std::array<double, 3>& r,
                  std::array<double, 3>& x);
bool SolveGauss(int n, std::array<std::array<double, kMaxFitCoefficients>, kMaxFitCoefficients> m,
                std::array<double, kMaxFitCoefficients> r,
                std::array<double, kMaxFitCoefficients>& x);

}  // namespace vq
