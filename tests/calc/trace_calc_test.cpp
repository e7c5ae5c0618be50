// The operation table, the elementary operations, sources on another window, the noise-mask
// floor, normalisation, recalculation and the CALCULATE keys.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "calc/calc_fixture.h"
#include "files/trace_files.h"
#include "resources/trace_attributes.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {
namespace {

TEST(CalcTable, EveryCalculationCodeHasItsRowAndName) {
  std::set<int> destinations;
  int rows = 0;
  for (int code = 0; code < kAttributeCount; ++code) {
    const CalcOperation* op = FindCalcOperation(code);
    ASSERT_EQ(op != nullptr, IsCalculation(code)) << code;
    if (op == nullptr) continue;
    ++rows;
    destinations.insert(op->destination);
    EXPECT_EQ(CalcCodeByName(AttributeCalcName(code)), code) << AttributeCalcName(code);
    // The name says the sources: "E-F(LOG)" takes E then F, "F-C(LIN)" F then C.
    const std::string name = AttributeCalcName(code);
    if (op->kind <= CalcKind::OneMinusK && name[0] != '1') {
      EXPECT_EQ(name[0], 'A' + op->first) << name;
      EXPECT_EQ(name[2], 'A' + op->second) << name;
    }
  }
  EXPECT_EQ(rows, 42);
  EXPECT_EQ(destinations, (std::set<int>{2, 5, 6}));
  EXPECT_EQ(FindCalcOperation(15)->first, 1);  // 1-K(B/A): x is B
  EXPECT_EQ(CalcCodeByName("A-B"), -1);
  EXPECT_EQ(CalcCodeByName("WRITE"), -1);
}

TEST(CalcOperations, RatioTakesItsCasesInOrder) {
  EXPECT_EQ(CalcRatio(0, 0), 1);
  EXPECT_EQ(CalcRatio(-2, -3), 1);          // both count as 0
  EXPECT_EQ(CalcRatio(kCalcMax, 5e38), 1);  // both at or above MAX
  EXPECT_EQ(CalcRatio(0, kCalcMax), 0);
  EXPECT_EQ(CalcRatio(0, 2), 0);
  EXPECT_EQ(CalcRatio(2, kCalcMax), 0);
  EXPECT_EQ(CalcRatio(kCalcMax, 2), kCalcMax);
  EXPECT_EQ(CalcRatio(2, 0), kCalcMax);
  EXPECT_EQ(CalcRatio(2, -1), kCalcMax);  // a negative y counts as 0
  EXPECT_DOUBLE_EQ(CalcRatio(1e-3, 1e-2), 0.1);
  EXPECT_EQ(CalcRatio(1e30, 1e-10), 1e21);  // clamped above
  EXPECT_EQ(CalcRatio(1e-30, 1.0), 1e-19);  // and below
  EXPECT_EQ(CalcRatio(std::nan(""), 1.0), 1e-19);
}

TEST(CalcOperations, ProductDifferenceSumAndOneMinusK) {
  EXPECT_DOUBLE_EQ(CalcProduct(1e-3, 1e-2), 1e-5);  // -30 dBm + -20 dBm = -50 dBm
  EXPECT_EQ(CalcProduct(-1, 5), 1e-19);
  EXPECT_EQ(CalcProduct(1e20, 1e20), 1e21);

  EXPECT_EQ(CalcDifference(5, 0), 5);    // y = 0: x unchanged, first of all
  EXPECT_EQ(CalcDifference(-2, 0), -2);  // even a negative x
  EXPECT_EQ(CalcDifference(0, 3), 0);
  EXPECT_EQ(CalcDifference(3, kCalcMax), 0);
  EXPECT_EQ(CalcDifference(kCalcMax, 3), kCalcMax);
  EXPECT_EQ(CalcDifference(1, 2), 1e-19);  // B above A: not negative
  EXPECT_DOUBLE_EQ(CalcDifference(3, 1), 2);

  EXPECT_EQ(CalcSum(kCalcMax, 1), kCalcMax);
  EXPECT_EQ(CalcSum(1, 4e38), kCalcMax);
  EXPECT_DOUBLE_EQ(CalcSum(1, 2), 3);
  EXPECT_EQ(CalcSum(8e20, 8e20), 1e21);
  EXPECT_EQ(CalcSum(0, 0), 1e-19);

  EXPECT_EQ(CalcOneMinusK(2, 2, 1), 1e-19);  // k = 1, A = B
  EXPECT_EQ(CalcOneMinusK(0, 0, 1), 1e-19);  // 0 / 0
  EXPECT_DOUBLE_EQ(CalcOneMinusK(1, 4, 0.5), 0.875);
  EXPECT_DOUBLE_EQ(CalcOneMinusK(-1, 4, 0.5), 1.0);  // a negative x counts as 0
  EXPECT_EQ(CalcOneMinusK(1, 0, 1), 1e-19);          // 1 - infinity
}

TEST_F(CalcTest, TwoSourceOperationsFollowTheTableWithTheNoiseMask) {
  const std::vector<double> a = {1e-3, 0, 0, 2e-3, 1e-9, 4e-3};
  const std::vector<double> b = {1e-2, 0, 5e-3, 0, 1e-3, 1e-3};
  SetMeasuredTrace(kA, 1550, 5, a);
  SetTrace(kB, 1550, 5, b);
  ASSERT_EQ(ApplyCalculation(5), 0);  // C = A-B(LOG)
  EXPECT_EQ(g().traces.state.attribute[kC], 5);
  EXPECT_EQ(T(kC).condition.traceAttribute, 5);
  const std::vector<double> ratio = {0.1, 1, 0, kCalcMax, 1e-6, 4};
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(T(kC).level[i], ratio[i]) << i;
  EXPECT_EQ(T(kC).level[6], 0);

  // A horizontal mask of -50 dBm lifts 1e-9 and the zeros to 1e-5 before the operation; a
  // vertical one makes them 0.
  g().conditions.setting.noiseMask = -50;
  g().conditions.setting.noiseMaskDirection = 1;
  ASSERT_EQ(ApplyCalculation(45), 0);  // C = A+B(LOG)
  EXPECT_DOUBLE_EQ(T(kC).level[1], 1e-10);
  EXPECT_DOUBLE_EQ(T(kC).level[4], 1e-5 * 1e-3);
  g().conditions.setting.noiseMaskDirection = 0;
  ASSERT_EQ(ApplyCalculation(45), 0);
  EXPECT_EQ(T(kC).level[1], 1e-19);
  EXPECT_EQ(T(kC).level[4], 1e-19);
  EXPECT_DOUBLE_EQ(T(kC).level[0], 1e-5);

  // F = E-D(LIN) from D and E, G = F-C(LOG) from the two results.
  g().conditions.setting.noiseMask = -101;
  SetTrace(kD, 1550, 5, b);
  SetTrace(kE, 1550, 5, a);
  ASSERT_EQ(ApplyCalculation(25), 0);
  EXPECT_DOUBLE_EQ(T(kF).level[5], 3e-3);
  EXPECT_EQ(T(kF).level[2], 0);      // E = 0
  EXPECT_EQ(T(kF).level[3], 2e-3);   // D = 0: E unchanged
  EXPECT_EQ(T(kF).level[0], 1e-19);  // D above E
  g().conditions.setting.calcConstantK = 1;
  ASSERT_EQ(ApplyCalculation(14), 0);  // C = 1-K(A/B) with k = 1
  ASSERT_EQ(ApplyCalculation(27), 0);  // G = F-C(LOG)
  EXPECT_DOUBLE_EQ(T(kG).level[5], 3e-3 / CalcOneMinusK(4e-3, 1e-3, 1));
  EXPECT_EQ(g().traces.state.calcCategory[kG], kCatLogMath);
  EXPECT_EQ(g().traces.state.calcOperation[kCatLogMath][kG], 27);
  EXPECT_EQ(g().traces.state.calcOperation[kCatLinMath][kF], 25);
}

TEST_F(CalcTest, SourcesOnAnotherWindowAreInterpolated) {
  // A: 11 points over 1500-1510 nm, a parabola in mW; B the same window, all 0. The measured
  // record: 41 points over 1495-1515 nm, so C = A-B(LIN) is A on that axis.
  auto f = [](double w) { return 1 + (w - 1500) * (w - 1500); };
  SetTrace(kA, 1500, 10, Sample(11, 1500, 10, f));
  SetTrace(kB, 1500, 10, std::vector<double>(11, 0.0));
  g().conditions.measured = T(kA).condition;
  g().conditions.measured.start = 1495;
  g().conditions.measured.span = 20;
  g().conditions.measured.stop = 1515;
  g().conditions.measured.samplingPoints = 41;
  ASSERT_EQ(ApplyCalculation(7), 0);
  EXPECT_EQ(T(kC).condition.samplingPoints, 41);
  for (int i = 0; i < 41; ++i) {
    const double w = 1495 + 0.5 * i;
    double expected = 0;  // outside the source's window
    if (w >= 1500 && w <= 1510) {
      // Between samples the straight line through the two neighbours.
      const double lo = std::floor(w), hi = std::ceil(w);
      expected = lo == hi ? f(w) : (f(lo) + f(hi)) / 2;
    }
    EXPECT_NEAR(T(kC).level[i], expected, 1e-9) << w;
  }
  // The same window in A and B but another point count than the record is interpolated too;
  // a source with the record's window is taken by index.
  EXPECT_FALSE(SourceByIndex(T(kA).condition, T(kB).condition, g().conditions.measured));
  EXPECT_TRUE(SourceByIndex(T(kA).condition, T(kB).condition, T(kA).condition));
}

TEST_F(CalcTest, NormalisationScalesToThePeakAndLeavesGOnAnEmptySource) {
  SetMeasuredTrace(kB, 1550, 4, {1e-3, 4e-3, 2e-3, 0, 1e-9});
  ASSERT_EQ(ApplyCalculation(37), 0);  // NORMB
  const std::vector<double> expected = {0.25, 1, 0.5, 0, 2.5e-7};
  for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(T(kG).level[i], expected[i]) << i;
  EXPECT_EQ(T(kG).source[1], 4e-3);  // the input is kept for the file
  // The floor applies to the level, not the peak: -50 dBm lifts the small points to 1e-5.
  g().conditions.setting.noiseMask = -50;
  g().conditions.setting.noiseMaskDirection = 1;
  ASSERT_EQ(ApplyCalculation(37), 0);
  EXPECT_DOUBLE_EQ(T(kG).level[3], 1e-5 / 4e-3);

  // An all-zero A stops the operation: G keeps what it had.
  SetTrace(kA, 1550, 4, std::vector<double>(5, 0.0));
  const auto before = T(kG).level;
  EXPECT_EQ(ApplyCalculation(36), -1);
  EXPECT_EQ(T(kG).level, before);
  EXPECT_EQ(g().traces.state.attribute[kG], 36);
}

TEST_F(CalcTest, CopyAndLoadRecomputeDependentTraces) {
  Start();
  ASSERT_TRUE(result.running);
  SetMeasuredTrace(kA, 1550, 2, {1e-3, 2e-3, 3e-3});
  SetTrace(kB, 1550, 2, {1e-3, 1e-3, 1e-3});
  SetTrace(kD, 1550, 2, {4e-3, 4e-3, 4e-3});
  ASSERT_EQ(ApplyCalculation(5), 0);   // C = A-B(LOG)
  ASSERT_EQ(ApplyCalculation(37), 0);  // G = NORMB: a flat B gives 1 everywhere
  EXPECT_DOUBLE_EQ(T(kC).level[2], 3);
  // Copying D into B recomputes C (A / D) and G; the copy itself is fixed.
  ASSERT_TRUE(TraceCopy(kD, kB));
  EXPECT_EQ(g().traces.state.attribute[kB], kAttrFix);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(T(kC).level[i], (i + 1) * 1e-3 / 4e-3) << i;
  EXPECT_DOUBLE_EQ(T(kG).level[0], 1.0);

  // A trace file loaded into A recomputes C as well.
  SetTrace(kE, 1550, 2, {8e-3, 8e-3, 8e-3});
  ASSERT_EQ(WriteTraceBinary(home.Path() + "e.wv8", kE), 0);
  ASSERT_EQ(LoadTraceFile(home.Path() + "e.wv8", kA), 0);
  EXPECT_NEAR(T(kC).level[1], 2, 1e-6);
}

TEST_F(CalcTest, CalculateKeysChooseAndShowTraceC) {
  Start();
  ASSERT_TRUE(result.running);
  SetMeasuredTrace(kA, 1550, 10, Sample(101, 1550, 10, [](double w) { return 1e-3 * (w - 1549); }));
  SetTrace(kB, 1550, 10, std::vector<double>(101, 1e-2));
  Press("Shift+F6", "F8", "F1");  // TRACE, CALCULATE, CALCULATE TRACE C
  const auto before = g().waveform.columns[kC];
  Press("F1");  // A-B(LOG)
  EXPECT_EQ(g().traces.state.attribute[kC], 5);
  // The graph plots the new trace C.
  const auto& after = g().waveform.columns[kC];
  EXPECT_NE(std::memcmp(before.data(), after.data(), sizeof before), 0);
  EXPECT_NEAR(T(kC).level[100], 1.1, 1e-12);
  EXPECT_TRUE(TraceOnSubScale(kC));
  // The chosen key shows "ON".
  EXPECT_EQ(std::string(g().menu.nodes[168].valueLine), "ON");
  EXPECT_EQ(std::string(g().menu.nodes[169].valueLine), "");
  // The trace list names it.
  EXPECT_NE(TraceListLine(kC).find("A-B"), std::string::npos) << TraceListLine(kC);
  // 1-K(A/B) opens the k entry: 2.5 typed recomputes C at once (1 - 2.5 * A / B).
  Press("F7");
  EXPECT_EQ(g().traces.state.attribute[kC], 14);
  Type("2.5");
  Press("Enter");
  EXPECT_DOUBLE_EQ(g().conditions.setting.calcConstantK, 2.5);
  EXPECT_NEAR(T(kC).level[0], 0.75, 1e-12);
  EXPECT_EQ(T(kC).level[100], 1e-19);
  EXPECT_EQ(std::string(g().menu.nodes[168].valueLine), "");
}

TEST_F(CalcTest, CurveFitKeysRecomputeGAtOnce) {
  Start();
  ASSERT_TRUE(result.running);
  // A dB parabola inside the line markers 1549.5 and 1550.5 nm, a flat -20 dBm outside.
  auto level = [](double w) {
    return w >= 1549.5 && w <= 1550.5 ? DbmToLinear(-10 - 30 * (w - 1550) * (w - 1550)) : 1e-2;
  };
  SetMeasuredTrace(kA, 1549, 2, Sample(201, 1549, 2, level));
  g().traces.state.curveFitThreshold = 30;
  g().analysis.lineMarkers[0] = {1, 1549.5};
  g().analysis.lineMarkers[1] = {1, 1550.5};
  Press("Shift+F6", "F8", "F3", "F4");  // TRACE, CALCULATE, TRACE G, CURVE FIT
  Press("F1");                          // CRV FIT A over the whole range
  EXPECT_EQ(g().traces.state.attribute[kG], 39);
  EXPECT_EQ(std::string(g().menu.nodes[850].valueLine), "ON");
  EXPECT_EQ(std::string(g().menu.nodes[1101].valueLine), "ALL");
  EXPECT_GT(std::abs(g().calc.coefficients[2] + 30), 1);
  Press("F7");  // OPERATION AREA: between the line markers, G follows at once
  EXPECT_EQ(g().conditions.setting.operationArea, 1);
  EXPECT_EQ(std::string(g().menu.nodes[1101].valueLine), "L1-L2");
  EXPECT_NEAR(g().calc.coefficients[2], -30, 1e-6);
  EXPECT_NEAR(LinearToDbm(T(kG).level[0]), -40, 1e-6);
  Press("F6");  // FITTING ALGO: LORENZ
  EXPECT_EQ(g().conditions.setting.fittingAlgorithm, 1);
  EXPECT_EQ(g().calc.fitAlgorithm, 1);
  EXPECT_EQ(std::string(g().menu.nodes[1100].valueLine), "LORENZ");
  // THRESH: 3 dB typed is stored and shown as the key writes it.
  Press("F5");
  Type("3");
  Press("Enter");
  EXPECT_EQ(g().traces.state.curveFitThreshold, 3);
  EXPECT_EQ(std::string(g().menu.nodes[609].valueLine), "   3dB");
}

}  // namespace
}  // namespace vq
