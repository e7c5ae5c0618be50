// Light-source analyses on spectra with known answers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/analysis_execute.h"
#include "analysis/light_source.h"
#include "analysis/result_view.h"
#include "analysis/spectrum_fixture.h"
#include "resources/colour_matching.h"

namespace vq {
namespace {

constexpr double kC = 299792.458;

class LightSourceTest : public SpectrumTest {
 protected:
  LightSourceState& L() { return g().analysis.light; }
  // One-sample modes (index, dBm) on a floor over 1549 to 1551 nm, 1001 points (0.002 nm).
  void Modes(std::initializer_list<std::pair<int, double>> modes, double floor = -70.0,
             int points = 1001) {
    std::vector<double> dbm(points, floor);
    for (const auto& [i, level] : modes) dbm[i] = level;
    SetTraceDbm(0, 1549.0, 0.002 * (points - 1), dbm);
  }
  bool Smsr(uint16_t mode, double mask, SmsrResult& r) {
    const auto& w = g().analysis.work;
    FillWorkBuffer(0);
    const TraceAxis axis = AxisOfTrace(0);
    return SmsrOn({w.data(), w.size()}, 0, axis.points - 1, axis, mode, mask, 3.0,
                  g().analysis.turning, r);
  }
  // The single-result field of that name in the shown result.
  double Field(const std::string& name) {
    for (const ResultField& f : CurrentResultRecord().fields) {
      if (f.name == name) return f.value;
    }
    ADD_FAILURE() << "no field " << name;
    return NAN;
  }
  void Set(int item, const std::string& label, const std::string& value) {
    std::string error;
    ASSERT_TRUE(SetSettingByLabel(item, label, value, error)) << error;
  }
};

TEST_F(LightSourceTest, SmsrOfADfbLaserWithASideMode40DbDown) {
  // Main mode 1550.000 nm at -10 dBm; side modes at +0.8 nm (-50 dBm) and -0.8 nm (-55 dBm).
  Modes({{100, -55.0}, {500, -10.0}, {900, -50.0}});
  ASSERT_EQ(ExecuteAnalysis(kItemSmsr), 0);
  EXPECT_EQ(g().analysis.resultKind, kResultSmsr);
  EXPECT_NEAR(Field("main_nm"), 1550.0, 1e-9);
  EXPECT_NEAR(Field("main_dbm"), -10.0, 1e-9);
  EXPECT_NEAR(Field("side_nm"), 1550.8, 1e-9);
  EXPECT_NEAR(Field("smsr_db"), 40.0, 1e-9);
  EXPECT_NEAR(L().smsr.offsetNm[0], 0.8, 1e-12);
  EXPECT_NEAR(L().smsr.offsetThz[0], kC / 1550.8 - kC / 1550.0, 1e-9);
  // The moving marker on the main mode, fixed markers 1 and 2 on main and side, no third.
  const auto& m = g().analysis.markers;
  EXPECT_EQ(m[kMovingMarker].index, 500);
  EXPECT_EQ(m[1].index, 500);
  EXPECT_EQ(m[2].index, 900);
  EXPECT_EQ(m[3].on, 0);
  const std::vector<std::string> block = ResultBlockLines();
  ASSERT_EQ(block.size(), 5u);
  EXPECT_EQ(block[0], "<SMSR ANALYSIS>");
  EXPECT_EQ(block[1], "     SMSR MODE: MODE 1       SMSR MASK:  0.00nm");
  EXPECT_EQ(block[2], "       PEAK WL: 1550.0000nm   PK LEVEL:   -10.00dBm");
  EXPECT_EQ(block[4], "          SMSR:    40.00dB");

  // SMSR2 takes the higher neighbour; SMSR3 and SMSR4 give both sides with their markers.
  Set(kItemSmsr, "SMSR MODE", "SMSR2");
  ASSERT_EQ(ExecuteAnalysis(kItemSmsr), 0);
  EXPECT_NEAR(Field("smsr_db"), 40.0, 1e-9);
  for (const char* mode : {"SMSR3", "SMSR4"}) {
    Set(kItemSmsr, "SMSR MODE", mode);
    ASSERT_EQ(ExecuteAnalysis(kItemSmsr), 0) << mode;
    EXPECT_NEAR(Field("smsr_left_db"), 45.0, 1e-9) << mode;
    EXPECT_NEAR(Field("smsr_right_db"), 40.0, 1e-9) << mode;
    EXPECT_NEAR(Field("side_left_nm"), 1549.2, 1e-9) << mode;
    EXPECT_EQ(m[3].index, 900) << mode;
    EXPECT_EQ(ResultBlockLines()[4], "          SMSR: (L)    45.00dB (R)    40.00dB") << mode;
  }
}

TEST_F(LightSourceTest, SmsrEdgeCases) {
  SmsrResult r;
  // A single clean line with MASK 0: the side mode is the line itself, 0 dB.
  Modes({{500, -10.0}});
  ASSERT_TRUE(Smsr(kSmsr1, 0.0, r));
  EXPECT_EQ(r.sideIndex[0], 500);
  EXPECT_DOUBLE_EQ(r.ratio[0], 1.0);

  // A mask wider than the trace: the side mode is the last point E.
  Modes({{100, -55.0}, {500, -10.0}, {900, -50.0}});
  ASSERT_TRUE(Smsr(kSmsr1, 1.0, r));
  EXPECT_EQ(r.sideIndex[0], 1000);
  EXPECT_NEAR(LinearToDbm(r.ratio[0]), 60.0, 1e-9);
  // A mask over both side modes: the highest point outside it, at the middle of its plateau
  // (0 .. 49 left of the mask 50 .. 950).
  ASSERT_TRUE(Smsr(kSmsr1, 0.9, r));
  EXPECT_EQ(r.sideIndex[0], 24);
  // A mask over the higher side mode only: the lower one is the highest mode outside it.
  Modes({{100, -55.0}, {500, -10.0}, {700, -50.0}});
  ASSERT_TRUE(Smsr(kSmsr1, 0.5, r));
  EXPECT_EQ(r.sideIndex[0], 100);

  // SMSR2 with equal neighbours takes the left one.
  Modes({{300, -30.0}, {500, -10.0}, {700, -30.0}});
  ASSERT_TRUE(Smsr(kSmsr2, 0.0, r));
  EXPECT_EQ(r.sideIndex[0], 300);

  // SMSR4 with the main mode first: the left SMSR is 0 dB; the right one the neighbour.
  Modes({{200, -10.0}, {500, -30.0}, {800, -20.0}});
  ASSERT_TRUE(Smsr(kSmsr4, 0.0, r));
  EXPECT_EQ(r.sideIndex[0], 200);
  EXPECT_DOUBLE_EQ(r.ratio[0], 1.0);
  EXPECT_EQ(r.sideIndex[1], 500);
  EXPECT_NEAR(LinearToDbm(r.ratio[1]), 20.0, 1e-9);

  // Flat light: no modes, the peak itself at 0 dB; no light at all fails with 103.
  Modes({}, -40.0);
  ASSERT_TRUE(Smsr(kSmsr3, 0.0, r));
  EXPECT_DOUBLE_EQ(r.ratio[0], 1.0);
  EXPECT_DOUBLE_EQ(r.ratio[1], 1.0);
  SetTrace(0, 1549.0, 2.0, std::vector<double>(1001, 0.0));
  EXPECT_FALSE(Smsr(kSmsr1, 0.0, r));
  EXPECT_EQ(ExecuteAnalysis(kItemSmsr), 103);
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
}

TEST_F(LightSourceTest, PowerIntegratesAndItsOffsetScales) {
  // 101 points of 1 uW each over 2 nm, resolution 0.1 nm, in air: 101 x 1e-3 / 0.1 x 0.02 mW.
  SetTrace(0, 1549.0, 2.0, std::vector<double>(101, 1e-3));
  g().traces.traces[0].condition.resolution = 0.1;
  g().traces.traces[0].condition.measurementWavelength = 1;
  ASSERT_EQ(ExecuteAnalysis(kItemPower), 0);
  EXPECT_EQ(g().analysis.resultKind, kResultPower);
  EXPECT_NEAR(Field("power_mw"), 0.0202, 1e-15);
  EXPECT_NEAR(Field("power_dbm"), 10 * std::log10(0.0202), 1e-12);
  // OFFSET 3 dB: twice (10^0.3) the power.
  Set(kItemPower, "POWER OFFSET", "3");
  ASSERT_EQ(ExecuteAnalysis(kItemPower), 0);
  EXPECT_NEAR(Field("power_mw"), 0.0202 * std::pow(10, 0.3), 1e-15);
  EXPECT_EQ(ResultBlockLines()[1], "         POWER:  -13.95dBm (40.30uW)");
  // A range of zeros fails with 103 and shows nothing.
  SetTrace(0, 1549.0, 2.0, std::vector<double>(101, 0.0));
  EXPECT_EQ(ExecuteAnalysis(kItemPower), 103);
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
}

TEST_F(LightSourceTest, PmdCountsModesOverTheirFrequencySpan) {
  // Eleven modes every 0.1 nm; the outer two lie more than 10 dB below the top.
  std::vector<std::pair<int, double>> modes;
  for (int k = 0; k < 11; ++k) modes.push_back({250 + 50 * k, k == 0 || k == 10 ? -25.0 : -10.0});
  std::vector<double> dbm(1001, -70.0);
  for (const auto& [i, level] : modes) dbm[i] = level;
  SetTraceDbm(0, 1549.0, 2.0, dbm);
  ASSERT_EQ(ExecuteAnalysis(kItemPmd), 0);
  EXPECT_EQ(Field("peak_count"), 9);
  const double f1 = kC / (1549.0 + 300 * 0.002), f2 = kC / (1549.0 + 700 * 0.002);
  EXPECT_NEAR(Field("pmd_ps"), 8 / (f1 - f2), 1e-9);
  const auto& m = g().analysis.markers;
  EXPECT_EQ(m[1].index, 300);
  EXPECT_EQ(m[9].index, 700);
  EXPECT_EQ(m[10].on, 0);
  // THRESH LEVEL 20 dB takes the outer two as well.
  Set(kItemPmd, "THRESH LEVEL", "20");
  ASSERT_EQ(ExecuteAnalysis(kItemPmd), 0);
  EXPECT_EQ(Field("peak_count"), 11);

  // 120 modes with the highest at mode 60: twenty dropped alternately from each end, the right
  // one first on equal distances; 10 .. 109 remain.
  std::vector<double> comb(1211, -70.0);
  for (int k = 0; k < 120; ++k) comb[5 + 10 * k] = k == 60 ? -9.0 : -10.0;
  SetTraceDbm(0, 1500.0, 12.1, comb);
  ASSERT_EQ(ExecuteAnalysis(kItemPmd), 0);
  EXPECT_EQ(Field("peak_count"), 100);
  EXPECT_EQ(m[1].index, 105);
  EXPECT_EQ(m[100].index, 1095);

  // A single line has no mode spacing: 103.
  Modes({{500, -10.0}});
  EXPECT_EQ(ExecuteAnalysis(kItemPmd), 103);
}

TEST_F(LightSourceTest, ColorOfSpectralLinesAndWhite) {
  // The matching functions at a table wavelength are the table's; between them the 4-point
  // interpolation lands near the published 1 nm values (502 nm: 0.002945, 0.354686, 0.246484).
  EXPECT_DOUBLE_EQ(ColourMatchingAt(555).y, 1.0);
  const Tristimulus t = ColourMatchingAt(502);
  EXPECT_NEAR(t.x, 0.002945, 2e-4);
  EXPECT_NEAR(t.y, 0.354686, 1e-3);
  EXPECT_NEAR(t.z, 0.246484, 1e-3);

  // A single line is its own dominant wavelength, with the locus chromaticity, on both branches.
  for (int nm : {450, 520, 600, 502}) {
    std::vector<double> mw(401, 0.0);
    mw[nm - 380] = 1.0;
    SetTrace(0, 380.0, 400.0, mw);
    ASSERT_EQ(ExecuteAnalysis(kItemColor), 0) << nm;
    EXPECT_EQ(g().analysis.resultKind, kResultColor);
    const int k = nm - kLocusFirstNm;
    const double tolerance = nm == 502 ? 1e-3 : 2e-6;  // 502 nm lies between table rows
    EXPECT_NEAR(Field("x"), kLocusX[k], tolerance) << nm;
    EXPECT_NEAR(Field("y"), kLocusY[k], tolerance) << nm;
    EXPECT_NEAR(Field("x") + Field("y") + Field("z"), 1.0, 1e-12) << nm;
    EXPECT_NEAR(Field("dominant_nm"), nm, nm == 502 ? 0.1 : 2e-3) << nm;
  }
  // The equal-energy spectrum sits on the white point.
  SetTrace(0, 380.0, 400.0, std::vector<double>(401, 1.0));
  ASSERT_EQ(ExecuteAnalysis(kItemColor), 0);
  EXPECT_NEAR(Field("x"), 1.0 / 3, 1e-3);
  EXPECT_NEAR(Field("y"), 1.0 / 3, 1e-3);
  EXPECT_EQ(ResultBlockLines()[0], "<COLOR ANALYSIS>");
  // Light outside 380 .. 780 nm has no colour: zeros and no dominant wavelength.
  Modes({{500, -10.0}});
  ASSERT_EQ(ExecuteAnalysis(kItemColor), 0);
  EXPECT_EQ(Field("x"), 0.0);
  EXPECT_EQ(Field("dominant_nm"), 0.0);
  const std::vector<std::string> block = ResultBlockLines();
  ASSERT_EQ(block.size(), 5u);
  EXPECT_EQ(block[1], " DOMINANT WL: ****.****nm");
  EXPECT_EQ(block[2], " x :          0.000E+00");
}

TEST_F(LightSourceTest, DominantWavelengthAlongTheLocus) {
  // Halfway between white and the locus point of 480 nm: still 480 nm.
  const double w = 0.33333298563957214;
  const int k = 480 - kLocusFirstNm;
  EXPECT_NEAR(DominantWavelength((w + kLocusX[k]) / 2, (w + kLocusY[k]) / 2), 480.0, 1e-9);
  // Halfway along the locus segment 579 .. 580 nm.
  const int a = 579 - kLocusFirstNm;
  EXPECT_NEAR(
      DominantWavelength((kLocusX[a] + kLocusX[a + 1]) / 2, (kLocusY[a] + kLocusY[a + 1]) / 2),
      579.5, 1e-6);
  EXPECT_DOUBLE_EQ(DominantWavelength(w, 0.5), 554.4368286132812);
  EXPECT_EQ(DominantWavelength(0, 0), 0.0);
}

TEST_F(LightSourceTest, FpLdAndLedOnTheirSpectra) {
  // FP-LD: modes every 0.2 nm around 1550 nm, each 0.5 k^2 dB below the centre mode; PEAK RMS
  // (20 dB, K 2) takes |k| <= 6.
  std::vector<double> fp(1701, -80.0);
  double s0 = 0, s2 = 0, total = 0;
  for (int k = -8; k <= 8; ++k) {
    const double level = -10.0 - 0.5 * k * k;
    fp[850 + 100 * k] = level;  // 0.2 nm = 100 points
    const double mw = DbmToLinear(level);
    total += mw;
    if (std::abs(k) <= 6) {
      s0 += mw;
      s2 += mw * (100.0 * k) * (100.0 * k);
    }
  }
  SetTraceDbm(0, 1548.3, 3.4, fp);
  g().traces.traces[0].condition.resolution = 0.02;
  g().traces.traces[0].condition.measurementWavelength = 1;
  ASSERT_EQ(ExecuteAnalysis(kItemFpLd), 0);
  EXPECT_EQ(g().analysis.resultKind, kResultFpLd);
  EXPECT_NEAR(Field("mean_nm"), 1550.0, 1e-9);
  EXPECT_NEAR(Field("width_nm"), 2 * std::sqrt(s2 / s0) * 0.002, 1e-9);
  EXPECT_EQ(Field("mode_count"), 13);
  const double floorMw = DbmToLinear(-80.0) * (1701 - 17);
  EXPECT_NEAR(Field("power_dbm"), LinearToDbm((total + floorMw) / 0.02 * 0.002), 1e-9);
  EXPECT_EQ(ResultBlockLines()[2], "       MODE NO: 13");

  // LED: a Gaussian of sigma 10 nm around 850 nm: THRESH 3 dB gives its full width at half
  // maximum, RMS its centre, PEAK SEARCH its top.
  const double sigma = 10.0;
  SetTrace(0, 800.0, 100.0, Sample(10001, 800.0, 100.0, [&](double x) {
             return 0.01 * std::exp(-(x - 850) * (x - 850) / (2 * sigma * sigma));
           }));
  g().traces.traces[0].condition.resolution = 1.0;
  g().traces.traces[0].condition.measurementWavelength = 1;
  ASSERT_EQ(ExecuteAnalysis(kItemLed), 0);
  const double half = sigma * std::sqrt(2 * std::log(1 / DbmToLinear(-3.0)));
  EXPECT_NEAR(Field("width_nm"), 2 * half, 1e-4);
  EXPECT_NEAR(Field("mean_nm"), 850.0, 1e-4);
  EXPECT_NEAR(Field("peak_nm"), 850.0, 1e-9);
  EXPECT_NEAR(Field("peak_dbm"), -20.0, 1e-9);
  // The integral of the Gaussian: 0.01 mW/nm x sigma sqrt(2 pi).
  EXPECT_NEAR(Field("power_dbm"), LinearToDbm(0.01 * sigma * std::sqrt(2 * M_PI)), 1e-5);
  EXPECT_EQ(ResultBlockLines()[0], "<LED ANALYSIS>");
}

TEST_F(LightSourceTest, DfbLdOnALaserWithASideMode40DbDown) {
  // A Gaussian line (sigma 0.01 nm, 0.1 mW) at 1550 nm over a -60 dBm floor, a side mode of
  // -50 dBm 0.8 nm to its right; resolution 0.02 nm, in air.
  const double s = 0.01;
  std::vector<double> mw = Sample(1001, 1549.0, 2.0, [&](double x) {
    return 0.1 * std::exp(-(x - 1550) * (x - 1550) / (2 * s * s)) + 1e-6;
  });
  mw[900] = 1e-5;
  SetTrace(0, 1549.0, 2.0, mw);
  g().traces.traces[0].condition.resolution = 0.02;
  g().traces.traces[0].condition.measurementWavelength = 1;
  g().conditions.setting.levelUnit = 1;  // dBm/nm: DFB-LD switches it to dBm
  ASSERT_EQ(ExecuteAnalysis(kItemDfbLd), 0);
  EXPECT_EQ(g().conditions.setting.levelUnit, 0);
  EXPECT_EQ(g().analysis.resultKind, kResultDfbLd);
  EXPECT_NEAR(Field("peak_nm"), 1550.0, 1e-9);
  EXPECT_NEAR(Field("peak_dbm"), LinearToDbm(mw[500]), 1e-9);
  EXPECT_NEAR(Field("smsr_db"), LinearToDbm(mw[500] / 1e-5), 1e-9);
  EXPECT_NEAR(Field("mode_offset_nm"), 0.8, 1e-12);
  // THRESH 20 dB: the Gaussian's full width 20 dB down; RMS (20 dB, K 2): about 2 sigma.
  EXPECT_NEAR(Field("width_nm"), 2 * s * std::sqrt(2 * std::log(100.0)), 2e-4);
  EXPECT_NEAR(Field("center_nm"), 1550.0, 1e-9);
  EXPECT_NEAR(Field("sigma_nm"), s, 2e-4);
  EXPECT_NEAR(Field("rms_width_nm"), 2 * Field("sigma_nm"), 1e-12);
  // Band power over 1549.8 .. 1550.2 nm (201 points): the line and its share of the floor.
  const double band = (0.1 * s * std::sqrt(2 * M_PI) + 201 * 1e-6 * 0.002) / 0.02;
  EXPECT_NEAR(Field("power_dbm"), LinearToDbm(band), 1e-6);
  // OSNR over the -60 dBm floor in 0.1 nm (5 resolution widths).
  EXPECT_NEAR(Field("osnr_db"), LinearToDbm(0.1 / (1e-6 * 0.1 / 0.02)), 0.1);
  const auto& m = g().analysis.markers;
  EXPECT_EQ(m[kMovingMarker].index, 500);
  EXPECT_EQ(m[2].index, 900);
  const std::vector<std::string> block = ResultBlockLines();
  ASSERT_EQ(block.size(), 5u);
  EXPECT_EQ(block[0], "<DFB-LD ANALYSIS>");
  EXPECT_EQ(block[1].substr(0, 26), "          SMSR:    40.00dB");
  EXPECT_EQ(block[3].substr(0, 15), " 20.00dB WIDTH:");

  // A multimode laser whose modes stand less than the OSNR part's MODE DIFF (40 dB) above the
  // floor: no WDM channel at the main mode, 103, and the level unit goes back to dBm/nm.
  Modes({{300, -50.0}, {500, -30.0}, {700, -50.0}}, -60.0);
  L().settings.dfb.osnr.modeDiff = 40;
  g().conditions.setting.levelUnit = 1;
  EXPECT_EQ(ExecuteAnalysis(kItemDfbLd), 103);
  EXPECT_EQ(g().conditions.setting.levelUnit, 1);
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
}

}  // namespace
}  // namespace vq
