// The curve fits: each algorithm gives back the curve it models, the thresholds and operation
// areas choose the points, a failed fit leaves the masked source, and the marker fit's message.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/calc_fixture.h"
#include "calc/calc_menus.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

constexpr int kCvftA = 39, kPkcvftA = 42, kMkrFit = 50;

class CurveFitTest : public CalcTest {
 protected:
  void Algorithm(int a) { g().conditions.setting.fittingAlgorithm = static_cast<uint16_t>(a); }
  void Threshold(int db) { g().traces.state.curveFitThreshold = static_cast<int16_t>(db); }
  // The fitted G against the model at every point.
  template <typename Model>
  void ExpectGFollows(int n, double start, double span, Model model, double relative) {
    for (int i = 0; i < n; ++i) {
      const double w = start + span * i / (n - 1);
      ASSERT_NEAR(T(kG).level[i] / model(w), 1, relative) << "at " << w;
    }
  }
};

TEST(CurveFitSolvers, CramerAndEliminationSolveAndRefuseSingularSystems) {
  std::array<double, 3> x{};
  EXPECT_TRUE(SolveCramer3({{{2, 1, 0}, {1, 3, 1}, {0, 1, 4}}}, {3, 7, 13}, x));
  EXPECT_NEAR(x[0], 1, 1e-12);  // 2 + 1 = 3, 1 + 3 + 3 = 7, 1 + 12 = 13
  EXPECT_NEAR(x[1], 1, 1e-12);
  EXPECT_NEAR(x[2], 3, 1e-12);
  EXPECT_FALSE(SolveCramer3({{{1, 2, 3}, {2, 4, 6}, {0, 1, 1}}}, {1, 2, 3}, x));

  // A zero first pivot needs the row exchange.
  std::array<std::array<double, kMaxFitCoefficients>, kMaxFitCoefficients> m{};
  m[0] = {0, 1, 0, 0, 0, 0};
  m[1] = {1, 0, 0, 0, 0, 0};
  m[2] = {0, 0, 2, 0, 0, 0};
  m[3] = {0, 0, 0, 1, 1, 0};
  std::array<double, kMaxFitCoefficients> r = {5, 7, 8, 3}, y{};
  ASSERT_TRUE(SolveGauss(4, m, r, y));
  EXPECT_EQ(y[0], 7);
  EXPECT_EQ(y[1], 5);
  EXPECT_EQ(y[2], 4);
  EXPECT_EQ(y[3], 3);
  m[3] = {0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(SolveGauss(4, m, r, y));
  // Fewer points than the fit needs fail; equal d values make the system singular.
  FitCurve fit;
  const std::array<double, 5> d = {-1, 0, 1, 2, 3}, mw = {1, 2, 3, 4, 5};
  EXPECT_FALSE(FitPoints(kCurve5thPoly, d, mw, fit));
  EXPECT_TRUE(FitPoints(kCurve4thPoly, d, mw, fit));
  const std::array<double, 4> same = {1, 1, 1, 1}, four = {1, 2, 3, 4};
  EXPECT_FALSE(FitPoints(kCurve3rdPoly, same, four, fit));
}

TEST_F(CurveFitTest, GaussAndLorenzGiveBackTheirCurves) {
  // -10 dBm at 1550.3 nm falling 2 dB per nm squared, 301 points over 1549 to 1552 nm.
  auto gauss = [](double w) { return DbmToLinear(-10 - 2 * (w - 1550.3) * (w - 1550.3)); };
  SetMeasuredTrace(kA, 1549, 3, Sample(301, 1549, 3, gauss));
  Algorithm(kCurveGauss);
  Threshold(99);
  ASSERT_EQ(ApplyCalculation(kCvftA), 0);
  for (int i = 0; i < 301; ++i) {
    const double w = 1549 + 3.0 * i / 300;
    ASSERT_NEAR(LinearToDbm(T(kG).level[i]), LinearToDbm(gauss(w)), 1e-9) << w;
  }
  // The coefficients are in powers of d from the highest point, 1550.30 nm.
  const CalcState& s = g().calc;
  ASSERT_TRUE(s.fitted);
  ASSERT_EQ(s.coefficientCount, 3);
  EXPECT_NEAR(s.referenceWavelength, 1550.3, 1e-9);
  EXPECT_NEAR(s.coefficients[0], -10, 1e-9);
  EXPECT_NEAR(s.coefficients[1], 0, 1e-8);
  EXPECT_NEAR(s.coefficients[2], -2, 1e-9);
  EXPECT_EQ(T(kG).source[150], T(kA).level[150]);

  // 1 / level a parabola: the LORENZ fit.
  auto lorenz = [](double w) { return 1 / (50 + 40 * (w - 1550.1) * (w - 1550.1)); };
  SetMeasuredTrace(kA, 1549, 3, Sample(301, 1549, 3, lorenz));
  Algorithm(kCurveLorenz);
  ASSERT_EQ(ApplyCalculation(kCvftA), 0);
  ExpectGFollows(301, 1549, 3, lorenz, 1e-9);
  EXPECT_NEAR(s.coefficients[2], 40, 1e-6);
}

TEST_F(CurveFitTest, PolynomialsGiveBackTheirCurves) {
  // Positive polynomials in mW of order 3, 4 and 5 around 1550 nm.
  auto poly = [](int order) {
    return [order](double w) {
      const double d = w - 1550;
      const double c[] = {3, 0.4, -0.3, 0.05, 0.02, -0.004};
      double v = 0, p = 1;
      for (int k = 0; k <= order; ++k, p *= d) v += c[k] * p;
      return v;
    };
  };
  Threshold(99);
  for (int order = 3; order <= 5; ++order) {
    SetMeasuredTrace(kA, 1548, 4, Sample(401, 1548, 4, poly(order)));
    Algorithm(kCurve3rdPoly + order - 3);
    ASSERT_EQ(ApplyCalculation(kCvftA), 0) << order;
    ASSERT_TRUE(g().calc.fitted) << order;
    EXPECT_EQ(g().calc.coefficientCount, order + 1);
    ExpectGFollows(401, 1548, 4, poly(order), 1e-9);
  }
}

TEST_F(CurveFitTest, ThresholdAndOperationAreaChooseThePoints) {
  // A dB parabola between the line markers 1549.5 and 1550.5 nm, flat -20 dBm outside them
  // (which the whole-range fit takes in).
  auto inner = [](double w) { return DbmToLinear(-10 - 30 * (w - 1550) * (w - 1550)); };
  auto level = [&](double w) { return w >= 1549.5 && w <= 1550.5 ? inner(w) : 1e-2; };
  SetMeasuredTrace(kA, 1549, 2, Sample(201, 1549, 2, level));
  Algorithm(kCurveGauss);
  Threshold(30);
  auto& lm = g().analysis.lineMarkers;
  lm[0] = {1, 1550.5};  // L1 above L2: exchanged
  lm[1] = {1, 1549.5};
  g().conditions.setting.operationArea = 1;
  ASSERT_EQ(ApplyCalculation(kCvftA), 0);
  EXPECT_NEAR(g().calc.coefficients[2], -30, 1e-6);
  EXPECT_NEAR(LinearToDbm(T(kG).level[0]), -10 - 30.0, 1e-6);  // the parabola at 1549 nm
  // The whole range takes the flat flanks in: another curve. Changing the area by its key
  // value recomputes G.
  std::string error;
  ASSERT_TRUE(SetCalcSettingByLabel("OPERATION AREA", "ALL", kCvftA, error)) << error;
  RecalculateFits();
  EXPECT_GT(std::abs(g().calc.coefficients[2] + 30), 1);
  EXPECT_FALSE(SetCalcSettingByLabel("OPERATION AREA", "3", kCvftA, error));
  EXPECT_FALSE(SetCalcSettingByLabel("THRESH", "100", kCvftA, error));
  EXPECT_FALSE(SetCalcSettingByLabel("THRESH", "3", 5, error));  // not a fit
}

TEST_F(CurveFitTest, GaussWithTwoPointsAboveTheThresholdLeavesTheMaskedSource) {
  std::vector<double> dbm(101, -60.0);
  dbm[50] = -10;
  dbm[51] = -11;
  SetTraceDbm(kA, 1550, 1, dbm);
  g().conditions.measured = T(kA).condition;
  g().conditions.setting.noiseMask = -50;
  g().conditions.setting.noiseMaskDirection = 1;
  Algorithm(kCurveGauss);
  Threshold(3);
  ASSERT_EQ(ApplyCalculation(kCvftA), 0);
  EXPECT_FALSE(g().calc.fitted);
  for (int i = 0; i < 101; ++i) {
    const double masked = i == 50 ? 0.1 : i == 51 ? DbmToLinear(-11) : 1e-5;
    ASSERT_DOUBLE_EQ(T(kG).level[i], masked) << i;
  }
}

TEST_F(CurveFitTest, PeakCurveFitFollowsTheQualifiedPeaks) {
  // Single-point peaks every 20 points on a -70 dBm floor whose heights lie on a dB parabola.
  auto envelope = [](double w) { return -5 - 4 * (w - 1550.3) * (w - 1550.3); };
  std::vector<double> dbm(401, -70.0);
  for (int i = 10; i < 401; i += 20) dbm[i] = envelope(1548 + 4.0 * i / 400);
  SetTraceDbm(kA, 1548, 4, dbm);
  g().conditions.measured = T(kA).condition;
  Algorithm(kCurveGauss);
  g().traces.state.peakCurveFitThreshold = 40;
  ASSERT_EQ(ApplyCalculation(kPkcvftA), 0);
  ASSERT_TRUE(g().calc.fitted);
  // The reference point is the highest peak, 1550.3 nm; the envelope comes back everywhere.
  EXPECT_NEAR(g().calc.referenceWavelength, 1550.3, 1e-9);
  for (int i = 0; i < 401; ++i) {
    ASSERT_NEAR(LinearToDbm(T(kG).level[i]), envelope(1548 + 4.0 * i / 400), 1e-9) << i;
  }
  // A flat trace has no peak: the operation stops and G stays.
  SetTraceDbm(kA, 1548, 4, std::vector<double>(401, -30.0));
  const auto before = T(kG).level;
  EXPECT_EQ(ApplyCalculation(kPkcvftA), -1);
  EXPECT_EQ(T(kG).level, before);
}

TEST_F(CurveFitTest, MarkerFitShowsItsMessageAndClearsIt) {
  SetMeasuredTrace(kA, 1549, 2, std::vector<double>(201, 1e-3));
  Algorithm(kCurveGauss);
  Threshold(20);
  EXPECT_EQ(ApplyCalculation(kMkrFit), kMsgMarkerFitFailed);  // no marker on
  EXPECT_EQ(g().messages.currentMessage, kMsgMarkerFitFailed);
  auto envelope = [](double w) { return -3 - 5 * (w - 1550) * (w - 1550); };
  auto& m = g().analysis.markers;
  const double at[] = {1549.5, 1550.0, 1550.4, 1549.2};  // the last is 3.2 dB down: in
  for (int k = 0; k < 4; ++k) {
    m[k + 1].on = 1;
    m[k + 1].wavelength = at[k];
    m[k + 1].level = DbmToLinear(envelope(at[k]));
  }
  ASSERT_EQ(ApplyCalculation(kMkrFit), 0);
  EXPECT_EQ(g().messages.currentMessage, 0);
  for (int i = 0; i < 201; ++i) {
    ASSERT_NEAR(LinearToDbm(T(kG).level[i]), envelope(1549 + 0.01 * i), 1e-9) << i;
  }
  // With a 3 dB threshold only two markers are left: the fit fails again.
  Threshold(3);
  m[1].on = 0;
  EXPECT_EQ(ApplyCalculation(kMkrFit), kMsgMarkerFitFailed);
  EXPECT_EQ(g().messages.currentMessage, kMsgMarkerFitFailed);
}

}  // namespace
}  // namespace vq
