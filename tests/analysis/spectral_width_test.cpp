// Spectral widths on spectra with known answers.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/analysis_execute.h"
#include "analysis/search.h"
#include "analysis/spectral_width.h"
#include "analysis/spectrum_fixture.h"

namespace vq {
namespace {

class SpectralWidthTest : public SpectrumTest {
 protected:
  // Runs an item with its defaults changed by `adjust`.
  int Run(int item, void (*adjust)(WidthParameters&) = nullptr) {
    WidthParameters p = kWidthDefaults[item];
    if (adjust) adjust(p);
    return RunSpectralWidth(0, item, p, 3.0, r);
  }
  // A comb of one-sample modes (dBm at every 10th point from index 5) over a -50 dBm floor.
  std::vector<double> Comb(const std::vector<double>& modes) {
    std::vector<double> dbm(modes.size() * 10 + 1, -50.0);
    for (size_t k = 0; k < modes.size(); ++k) dbm[5 + 10 * k] = modes[k];
    SetTraceDbm(0, 1500, static_cast<double>(dbm.size() - 1) * 0.01, dbm);
    return dbm;
  }
  // Where the line between samples i and i + 1 (mW) reaches `dbm`.
  static double Crossing(const std::vector<double>& dbm, int i, double level) {
    const double a = DbmToLinear(dbm[i]), b = DbmToLinear(dbm[i + 1]);
    return i + (DbmToLinear(level) - a) / (b - a);
  }
  WidthResult r;
};

TEST_F(SpectralWidthTest, ThreshOnALorentzianIsItsWidthAtTheThreshold) {
  // HWHM 0.05 nm, centre on a sample, 0.001 nm steps.
  const double gamma = 0.05, x0 = 1550.0;
  SetTrace(0, 1549.0, 2.0, Sample(2001, 1549.0, 2.0, [&](double x) {
             const double u = (x - x0) / gamma;
             return 0.1 / (1 + u * u);
           }));
  ASSERT_EQ(Run(kItemThresh), 0);
  const double half = gamma * std::sqrt(1 / DbmToLinear(-3.0) - 1);  // 3.00 dB below the top
  EXPECT_NEAR(r.widthNm, 2 * half, 1e-5);
  EXPECT_NEAR(r.centreNm, x0, 1e-4);
  EXPECT_EQ(r.modeCount, 1);
  EXPECT_DOUBLE_EQ(r.refLevel, 0.1);
  EXPECT_NEAR(r.threshLevel, DbmToLinear(-13.0), 1e-15);
  const double c = 299792.458;
  EXPECT_NEAR(r.widthThz, c / (x0 - half) - c / (x0 + half), 1e-5);
  // K 2 doubles the width around the same centre.
  const WidthResult k1 = r;
  ASSERT_EQ(Run(kItemThresh, [](WidthParameters& p) { p.k = 2; }), 0);
  EXPECT_NEAR(r.widthNm, 2 * k1.widthNm, 1e-9);
  EXPECT_DOUBLE_EQ(r.centre, k1.centre);
  // MODE FIT on a single mode: width 0.
  ASSERT_EQ(Run(kItemThresh, [](WidthParameters& p) { p.modeFit = 1; }), 0);
  EXPECT_EQ(r.widthNm, 0.0);
}

TEST_F(SpectralWidthTest, ThreshCountsTheModesWithinTheThresholdOnAComb) {
  // The last mode but one lies 2.99 dB below the top, the last 3.01 dB: only the first counts.
  const auto dbm = Comb({-20, -10, -3.5, -1, 0, -2, -2.99, -3.01, -15});
  ASSERT_EQ(Run(kItemThresh, [](WidthParameters& p) { p.modeFit = 1; }), 0);
  EXPECT_EQ(r.modeCount, 4);  // -1, 0, -2, -2.99
  EXPECT_NEAR(r.widthNm, 30 * 0.01, 1e-12);
  ASSERT_EQ(Run(kItemThresh), 0);
  EXPECT_NEAR(r.left, Crossing(dbm, 34, -3.0), 1e-9);
  EXPECT_NEAR(r.right, Crossing(dbm, 65, -3.0), 1e-9);
  // Two qualified modes 5 dB apart: only the higher counts.
  Comb({-5, 0});
  ASSERT_EQ(Run(kItemThresh, [](WidthParameters& p) { p.modeFit = 1; }), 0);
  EXPECT_EQ(r.modeCount, 1);
  EXPECT_EQ(r.centre, 15);
}

TEST_F(SpectralWidthTest, EnvelopeEdgesLieOnTheLinesBetweenModes) {
  auto dbm = Comb({-20, -6, -2, 0, -1, -4, -20});
  ASSERT_EQ(Run(kItemEnvelope), 0);
  EXPECT_EQ(r.modeCount, 5);  // within 13 dB of the top
  auto on_line = [&](int q, int p) {
    const double wq = DbmToLinear(dbm[q]), wp = DbmToLinear(dbm[p]);
    return q + (DbmToLinear(-3.0) - wq) * (p - q) / (wp - wq);
  };
  EXPECT_NEAR(r.left, on_line(15, 25), 1e-9);
  EXPECT_NEAR(r.right, on_line(55, 45), 1e-9);
  // Two envelope modes more than 3 dB apart: the far edge lies on the line to the lower one.
  dbm = Comb({-50, -8, 0, -50});
  ASSERT_EQ(Run(kItemEnvelope), 0);
  EXPECT_EQ(r.modeCount, 2);
  EXPECT_NEAR(r.left, on_line(15, 25), 1e-9);
  EXPECT_NEAR(r.right, 25, 1e-12);
}

TEST_F(SpectralWidthTest, RmsOfAGaussianIsItsTruncatedDeviation) {
  const double sigma = 0.1, x0 = 1550.0;
  SetTrace(0, 1549.0, 2.0, Sample(20001, 1549.0, 2.0, [&](double x) {
             return std::exp(-0.5 * std::pow((x - x0) / sigma, 2));
           }));
  ASSERT_EQ(Run(kItemRms), 0);
  // Inside 20 dB below the top, a normal distribution cut at a = sqrt(2 ln 100) deviations.
  const double a = std::sqrt(2 * std::log(100.0));
  const double phi = std::exp(-a * a / 2) / std::sqrt(2 * M_PI);
  const double variance = 1 - 2 * a * phi / std::erf(a / std::sqrt(2.0));
  EXPECT_NEAR(r.widthNm, 2 * sigma * std::sqrt(variance), 2e-5);  // K 2
  EXPECT_NEAR(r.centreNm, x0, 1e-4);
  // Flat data inside the threshold: the centre is the middle of the range.
  SetTraceDbm(0, 1500, 10, std::vector<double>(11, -20.0));
  ASSERT_EQ(Run(kItemRms), 0);
  EXPECT_DOUBLE_EQ(r.centre, 5.0);
}

TEST_F(SpectralWidthTest, PeakRmsWeighsTheModesAndFallsBackToThePeak) {
  Comb({-50, 0, 0, -50});
  ASSERT_EQ(Run(kItemPeakRms), 0);
  EXPECT_EQ(r.modeCount, 2);
  EXPECT_DOUBLE_EQ(r.centre, 20.0);
  EXPECT_NEAR(r.widthNm, 2 * 5 * 0.01, 1e-12);  // K 2 x deviation 5 points
  // No mode stands out on both sides: the peak itself, width 0.
  SetTraceDbm(0, 1500, 6, {-1, -0.5, 0, -30, -31, -32, -33});
  ASSERT_EQ(Run(kItemPeakRms), 0);
  EXPECT_EQ(r.widthNm, 0.0);
  EXPECT_EQ(r.centre, 2.0);
}

TEST_F(SpectralWidthTest, NotchWidthIgnoresKWhichScalesTheMarkers) {
  // A V-shaped notch, linear in mW, 1 uW at its bottom (index 50), walls of 1 mW.
  std::vector<double> mw(101);
  for (int i = 0; i <= 100; ++i) mw[i] = std::min(1.0, 0.001 + 0.05 * std::abs(i - 50));
  SetTrace(0, 1500, 1.0, mw);
  const double half = (0.001 * DbmToLinear(3.0) - 0.001) / 0.05;  // 3 dB above the bottom
  ASSERT_EQ(Run(kItemNotch, [](WidthParameters& p) { p.k = 2; }), 0);
  EXPECT_NEAR(r.widthNm, 2 * half * 0.01, 1e-12);
  EXPECT_NEAR(r.left, 50 - 2 * half, 1e-9);
  EXPECT_NEAR(r.right, 50 + 2 * half, 1e-9);
  EXPECT_DOUBLE_EQ(r.refLevel, 0.001);
  // TYPE PEAK: 3 dB below the higher wall.
  ASSERT_EQ(Run(kItemNotch, [](WidthParameters& p) { p.type = 0; }), 0);
  const double drop = (DbmToLinear(-3.0) - 0.001) / 0.05;
  EXPECT_NEAR(r.widthNm, 2 * drop * 0.01, 1e-12);
  // The notch at the first point: the left side is empty and the left edge is S.
  for (int i = 0; i <= 100; ++i) mw[i] = std::min(1.0, 0.001 + 0.05 * i);
  SetTrace(0, 1500, 1.0, mw);
  ASSERT_EQ(Run(kItemNotch, [](WidthParameters& p) { p.type = 0; }), 0);
  EXPECT_EQ(r.left, 0.0);
}

TEST_F(SpectralWidthTest, NoDataFailsEveryItem) {
  SetTrace(0, 1500, 10, std::vector<double>(1001, 0.0));
  for (int item = kItemThresh; item <= kItemNotch; ++item) {
    EXPECT_EQ(Run(item), kNoDataInTrace) << AnalysisItemName(item);
  }
  // The executed analysis shows the message and no result.
  g().analysis.resultKind = kResultSpectralWidth;
  EXPECT_EQ(ExecuteAnalysis(kItemThresh), kNoDataInTrace);
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
}

}  // namespace
}  // namespace vq
