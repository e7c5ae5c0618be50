// Least-squares curve fits through the normal equations.
#include "calc/curve_fit.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

#include "traces/meas_condition.h"

namespace vq {

namespace {

constexpr const char* kAlgorithmNames[kFitAlgorithmCount] = {"GAUSS", "LORENZ", "3RD POLY",
                                                             "4TH POLY", "5TH POLY"};

int PolynomialOrder(int algorithm) {
  return algorithm >= kCurve3rdPoly ? algorithm - kCurve3rdPoly + 3 : 2;
}

double Determinant3(const std::array<std::array<double, 3>, 3>& m) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The value fitted by the algorithm: dB for GAUSS, 1 / level for LORENZ, the level otherwise.
double FittedQuantity(int algorithm, double mw) {
  if (algorithm == kCurveGauss) return LinearToDbm(mw);
  if (algorithm == kCurveLorenz) return 1.0 / mw;
  return mw;
}

}  // namespace

const char* FitAlgorithmName(int algorithm) {
  return algorithm >= 0 && algorithm < kFitAlgorithmCount ? kAlgorithmNames[algorithm] : "";
}

int FitMinimumPoints(int algorithm) {
  return PolynomialOrder(algorithm) + 1;
}

bool SolveCramer3(const std::array<std::array<double, 3>, 3>& m, const std::array<double, 3>& r,
                  std::array<double, 3>& x) {
  const double det = Determinant3(m);
  if (det == 0.0 || !std::isfinite(det)) return false;
  for (int col = 0; col < 3; ++col) {
    auto mc = m;
    for (int row = 0; row < 3; ++row) mc[row][col] = r[row];
    x[col] = Determinant3(mc) / det;
  }
  return true;
}

bool SolveGauss(int n, std::array<std::array<double, kMaxFitCoefficients>, kMaxFitCoefficients> m,
                std::array<double, kMaxFitCoefficients> r,
                std::array<double, kMaxFitCoefficients>& x) {
  assert(n >= 1 && n <= kMaxFitCoefficients && "system size out of range");
  for (int k = 0; k < n; ++k) {
    if (m[k][k] == 0.0) {
      int swap = k + 1;
      while (swap < n && m[swap][k] == 0.0) ++swap;
      if (swap == n) return false;
      std::swap(m[k], m[swap]);
      std::swap(r[k], r[swap]);
    }
    for (int row = k + 1; row < n; ++row) {
      const double f = m[row][k] / m[k][k];
      for (int col = k; col < n; ++col) m[row][col] -= f * m[k][col];
      r[row] -= f * r[k];
    }
  }
  for (int k = n - 1; k >= 0; --k) {
    double s = r[k];
    for (int col = k + 1; col < n; ++col) s -= m[k][col] * x[col];
    x[k] = s / m[k][k];
    if (!std::isfinite(x[k])) return false;
  }
  return true;
}

bool FitPoints(int algorithm, std::span<const double> d, std::span<const double> mw,
               FitCurve& out) {
  assert(d.size() == mw.size() && "one level per point");
  if (algorithm < 0 || algorithm >= kFitAlgorithmCount) return false;
  if (static_cast<int>(d.size()) < FitMinimumPoints(algorithm)) return false;
  const int n = PolynomialOrder(algorithm) + 1;
  // Sums of d^0 .. d^(2n-2) and of y * d^0 .. d^(n-1).
  std::array<double, 2 * kMaxFitCoefficients> s{};
  std::array<double, kMaxFitCoefficients> t{};
  for (size_t i = 0; i < d.size(); ++i) {
    const double y = FittedQuantity(algorithm, mw[i]);
    double p = 1.0;
    for (int k = 0; k < 2 * n - 1; ++k) {
      s[k] += p;
      if (k < n) t[k] += y * p;
      p *= d[i];
    }
  }
  out = FitCurve{};
  out.algorithm = algorithm;
  out.count = n;
  if (n == 3) {
    std::array<std::array<double, 3>, 3> m{};
    std::array<double, 3> r{}, x{};
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col) m[row][col] = s[row + col];
      r[row] = t[row];
    }
    if (!SolveCramer3(m, r, x)) return false;
    std::copy(x.begin(), x.end(), out.c.begin());
    return true;
  }
  std::array<std::array<double, kMaxFitCoefficients>, kMaxFitCoefficients> m{};
  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) m[row][col] = s[row + col];
  }
  return SolveGauss(n, m, t, out.c);
}

double EvaluateFit(const FitCurve& fit, double d) {
  double v = 0.0;
  for (int k = fit.count - 1; k >= 0; --k) v = v * d + fit.c[k];
  // 10^(dB / 10) through exp, which is much faster than pow on a 50001-point trace.
  constexpr double kLn10By10 = 0.23025850929940458;
  if (fit.algorithm == kCurveGauss) return std::exp(std::clamp(v, -200.0, 200.0) * kLn10By10);
  // A parabola through zero would give an infinite level: the overflow value stands for it.
  if (fit.algorithm == kCurveLorenz) return v == 0.0 ? 3.40282e38 : 1.0 / v;
  return v;
}

}  // namespace vq
