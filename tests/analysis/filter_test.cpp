// Filter analyses on filter shapes with known answers: a flat-top band-pass with ripple, a notch,
// an 8-channel filter comb on the 100 GHz grid and a comb of notches.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "analysis/analysis_execute.h"
#include "analysis/filter.h"
#include "analysis/result_view.h"
#include "analysis/search.h"
#include "analysis/spectrum_fixture.h"

namespace vq {
namespace {

constexpr double kC = 299792.458;  // nm THz

class FilterTest : public SpectrumTest {
 protected:
  FilterState& F() { return g().analysis.filter; }
  const FilterResult& R() { return F().result; }

  // A flat-top band-pass over 1545 to 1556 nm in 0.01 nm steps: 0 dBm from 1549.6 to 1550.4 nm
  // with a cosine ripple of 1.0 dB peak to valley (period 0.2 nm, tops at both ends and at
  // 1550 nm), ramps linear in mW over 0.2 nm down to floors of -40 dBm (left) and -35 dBm (right).
  void FlatTop() {
    const double left = DbmToLinear(-40), right = DbmToLinear(-35);
    std::vector<double> mw(1101);
    for (int i = 0; i < 1101; ++i) {
      if (i < 440) {
        mw[i] = left;
      } else if (i < 460) {
        mw[i] = left + (1 - left) * (i - 440) / 20.0;
      } else if (i <= 540) {
        mw[i] = DbmToLinear(-0.5 + 0.5 * std::cos(2 * std::numbers::pi * (i - 460) / 20.0));
      } else if (i <= 560) {
        mw[i] = right + (1 - right) * (560 - i) / 20.0;
      } else {
        mw[i] = right;
      }
    }
    SetTrace(0, 1545.0, 11.0, mw);
  }
  // Whether a result row keeps every character of its label line.
  static bool LabelsKept(const std::string& row, const std::string& labels) {
    if (row.size() < labels.size()) return false;
    for (size_t i = 0; i < labels.size(); ++i) {
      if (labels[i] != ' ' && row[i] != labels[i]) return false;
    }
    return true;
  }
  // Where the ramp from `floor` (at index a) to 1 mW (at index a + 20 * dir) reaches `level`.
  static double RampIndex(double floorDbm, int a, int dir, double levelDbm) {
    const double f = DbmToLinear(floorDbm);
    return a + dir * 20.0 * (DbmToLinear(levelDbm) - f) / (1 - f);
  }
};

TEST_F(FilterTest, FlatTopBandPassGivesItsWidthCentreRippleAndCrossTalk) {
  FlatTop();
  F().pk.crossTalk.chSpace = 1.0;
  ASSERT_EQ(ExecuteAnalysis(kItemFilterPk), 0);
  EXPECT_EQ(g().analysis.resultKind, kResultFilterPk);
  EXPECT_NEAR(R().extremeDbm, 0.0, 1e-9);
  const double l = RampIndex(-40, 440, 1, -3), r = RampIndex(-35, 560, -1, -3);
  EXPECT_NEAR(R().widthNm, (r - l) * 0.01, 1e-9);
  EXPECT_NEAR(R().centreNm, 1545 + (l + r) / 2 * 0.01, 1e-4);
  // Ripple: the modes span the whole top; peak to valley 1.0 dB.
  EXPECT_NEAR(R().rippleDb, 1.0, 1e-9);
  // Cross talk 1.0 nm either side of the centre, against the top at the centre (a ripple top).
  EXPECT_NEAR(R().crossLeftDb, -40.0, 1e-6);
  EXPECT_NEAR(R().crossRightDb, -35.0, 1e-6);
  // The moving marker stands on the peak.
  EXPECT_EQ(g().analysis.markers[kMovingMarker].index, static_cast<int32_t>(R().extremeIndex));

  // A neighbour beyond S is not measured: -210.0; the one on the right still is.
  F().pk.crossTalk.chSpace = 5.5;
  ASSERT_EQ(ExecuteAnalysis(kItemFilterPk), 0);
  EXPECT_EQ(R().crossLeftDb, -210.0);
  EXPECT_NEAR(R().crossRightDb, -35.0, 1e-6);
  // ALGO PEAK: the reference is the peak itself, a top of the ripple.
  F().pk.crossTalk.width.algo = kFilterAlgoExtreme;
  ASSERT_EQ(ExecuteAnalysis(kItemFilterPk), 0);
  EXPECT_NEAR(R().referenceNm, R().extremeNm, 1e-12);
  EXPECT_NEAR(R().crossRightDb, -35.0, 1e-6);
}

TEST_F(FilterTest, OnlyPeakLevelAndWavelengthRunNoWidthAlgorithm) {
  FlatTop();
  FilterPkSettings& s = F().pk;
  s.centre.sw = s.width.sw = s.swRipple = s.crossTalk.width.sw = 0;
  ASSERT_EQ(ExecuteAnalysis(kItemFilterPk), 0);
  // Every width run qualifies modes; the peak search alone leaves the list unqualified.
  EXPECT_EQ(g().analysis.turning.qualifiedPeaks, 0);
  const ResultRecord record = CurrentResultRecord();
  ASSERT_EQ(record.fields.size(), 2u);
  EXPECT_EQ(record.fields[0].name, "peak_nm");
  EXPECT_EQ(record.fields[1].name, "peak_dbm");
  // The block shows the peak row filled and the others blank.
  const auto lines = ResultBlockLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "<FILTER-PEAK ANALYSIS>");
  EXPECT_TRUE(LabelsKept(lines[1], "       PEAK WL:                     PEAK LEVEL:")) << lines[1];
  EXPECT_NE(lines[1].find("dBm"), std::string::npos);
  EXPECT_EQ(lines[3].find_first_not_of(' ', 15), std::string::npos);
  // A trace without light fails with 103 and hides the result.
  SetTrace(0, 1545.0, 11.0, std::vector<double>(1101, 0.0));
  EXPECT_EQ(ExecuteAnalysis(kItemFilterPk), kNoDataInTrace);
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
}

TEST_F(FilterTest, NotchGivesItsBottomWidthCentreAndCrossTalk) {
  // 0 dBm with a V notch linear in mW down to -30 dBm at 1550 nm, 0.5 nm each side.
  const double bottom = DbmToLinear(-30);
  std::vector<double> mw(1001);
  for (int i = 0; i < 1001; ++i) {
    const int d = std::abs(i - 500);
    mw[i] = d < 50 ? bottom + (1 - bottom) * d / 50.0 : 1.0;
  }
  SetTrace(0, 1545.0, 10.0, mw);
  auto offset = [&](double levelDbm) {  // points from the bottom to a level on the V
    return 50 * (DbmToLinear(levelDbm) - bottom) / (1 - bottom);
  };
  ASSERT_EQ(ExecuteAnalysis(kItemFilterBtm), 0);
  EXPECT_EQ(g().analysis.resultKind, kResultFilterBtm);
  EXPECT_NEAR(R().extremeNm, 1550.0, 1e-9);
  EXPECT_NEAR(R().extremeDbm, -30.0, 1e-9);
  EXPECT_NEAR(R().widthNm, 2 * offset(-27) * 0.01, 1e-9);  // NOTCH(B): 3 dB above the bottom
  EXPECT_NEAR(R().centreNm, 1550.0, 1e-4);
  // Cross talk 0.4 nm from the centre, against the bottom.
  const double side = LinearToDbm(bottom + (1 - bottom) * 40 / 50.0);
  EXPECT_NEAR(R().crossLeftDb, side + 30, 1e-9);
  EXPECT_NEAR(R().crossRightDb, side + 30, 1e-9);
  // NOTCH(P): 3 dB below the walls.
  F().btm.width.algo = kFilterAlgoNotchPeak;
  ASSERT_EQ(ExecuteAnalysis(kItemFilterBtm), 0);
  EXPECT_NEAR(R().widthNm, 2 * offset(-3) * 0.01, 1e-9);
  const auto lines = ResultBlockLines();
  ASSERT_EQ(lines.size(), 4u);  // no ripple row
  EXPECT_EQ(lines[0], "<FILTER-BOTTOM ANALYSIS>");
  EXPECT_TRUE(LabelsKept(lines[1], "     BOTTOM WL:                   BOTTOM LEVEL:")) << lines[1];
  EXPECT_NE(lines[1].find(" 1550.0000nm"), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find("  -30.00dBm"), std::string::npos) << lines[1];
}

TEST_F(FilterTest, LevelCrossingsFromAPointBelowTheLevelFirstPassAboveIt) {
  // p sits in a dip below the level: each walk must climb over the level before it counts.
  const std::vector<double> w = {0.1, 0.1, 1.0, 0.2, 1.0, 0.1, 0.1};
  const double level = LinearToDbm(0.55);
  Crossings c = LevelCrossings(w, 3, 0, 6, level, false);
  ASSERT_TRUE(c.found);
  EXPECT_NEAR(c.left, 1 + 0.45 / 0.9, 1e-12);
  EXPECT_NEAR(c.right, 4 + 0.45 / 0.9, 1e-12);
  // No crossing on the right within the bounds: both crossings are p.
  c = LevelCrossings(w, 4, 2, 4, level, false);
  EXPECT_FALSE(c.found);
  EXPECT_EQ(c.left, 4);
  EXPECT_EQ(c.right, 4);
  // ...unless the bound stands in for the missing side.
  c = LevelCrossings(w, 4, 2, 4, level, false, true);
  EXPECT_NEAR(c.left, 3 + 0.35 / 0.8, 1e-12);
  EXPECT_EQ(c.right, 4);
  // A bottom walks up to the level.
  c = LevelCrossings(w, 5, 4, 6, LinearToDbm(0.55), true);
  EXPECT_FALSE(c.found);  // nothing rises on the right
  c = LevelCrossings(w, 3, 2, 4, LinearToDbm(0.6), true);
  ASSERT_TRUE(c.found);
  EXPECT_NEAR(c.left, 2.5, 1e-12);
  EXPECT_NEAR(c.right, 3.5, 1e-12);
}

// Eight triangular channels (linear in mW, 0.3 nm half base) on the 100 GHz grid at 193.1 to
// 193.8 THz, peaks -10, -10.5, ... dBm over a -50 dBm floor; 1540 to 1560 nm in 0.01 nm steps.
class WdmFilterTest : public FilterTest {
 protected:
  void SetUp() override {
    FilterTest::SetUp();
    g().traces.state.measWavelengthChoice = 1;  // vacuum: the grid is c / f
    std::vector<double> mw(2001, DbmToLinear(-50));
    for (int k = 0; k < 8; ++k) {
      apex[k] = static_cast<int>(std::lround((kC / (193.8 - 0.1 * k) - 1540) / 0.01));
      peak[k] = -10 - 0.5 * k;
      for (int d = -30; d <= 30; ++d) mw[apex[k] + d] = Triangle(k, d);
    }
    SetTrace(0, 1540.0, 20.0, mw);
  }
  double Triangle(int k, int d) const {
    const double f = DbmToLinear(-50), p = DbmToLinear(peak[k]);
    return f + (p - f) * (1 - std::abs(d) / 30.0);
  }
  // Points from the apex to where channel k falls to `drop` dB below its peak.
  double Half(int k, double drop) const {
    const double f = DbmToLinear(-50), p = DbmToLinear(peak[k]);
    return 30 * (1 - (DbmToLinear(peak[k] - drop) - f) / (p - f));
  }
  int apex[8];
  double peak[8];
};

TEST_F(WdmFilterTest, CombChannelsGiveWidthsBandsRippleAndCrossTalk) {
  ASSERT_EQ(ExecuteAnalysis(kItemWdmFilPk), 0);
  ASSERT_EQ(F().channelCount, 8);
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE(k);
    const WdmFilterChannel& c = F().channels[k];
    const double apexNm = 1540 + apex[k] * 0.01;
    EXPECT_EQ(c.peakIndex, apex[k]);
    EXPECT_NEAR(c.nominalNm, apexNm, 1e-4);  // MEAN: symmetric channels centre on the apex
    EXPECT_NEAR(c.peakDbm, peak[k], 1e-9);
    EXPECT_NEAR(c.widthNm, 2 * Half(k, 3) * 0.01, 1e-9);
    EXPECT_NEAR(c.centreNm, apexNm, 1e-4);
    EXPECT_NEAR(c.stopNm, 2 * Half(k, 10) * 0.01, 1e-9);
    // The 3 dB points lie outside the 0.2 nm test band: the pass band is the whole test band.
    EXPECT_NEAR(c.passNm, 0.2, 1e-9);
    EXPECT_NEAR(c.rippleDb, peak[k] - LinearToDbm(Triangle(k, 10)), 1e-9);
    // Neighbours at 0.8 nm: their peaks lie inside the 0.2 nm test band; the outermost sides see
    // the floor.
    EXPECT_NEAR(c.crossLeftDb, (k > 0 ? peak[k - 1] : -50) - peak[k], 1e-9);
    EXPECT_NEAR(c.crossRightDb, (k < 7 ? peak[k + 1] : -50) - peak[k], 1e-9);
    // Fixed markers on the channel peaks.
    EXPECT_EQ(g().analysis.markers[k + 1].on, 1);
    EXPECT_EQ(g().analysis.markers[k + 1].index, apex[k]);
  }
  EXPECT_EQ(g().analysis.markers[9].on, 0);

  // THRESH 3 dB keeps only the channels within 3 dB of the highest: -10 to -13 dBm.
  F().wdmPk.thresh = 3.0;
  ASSERT_EQ(ExecuteAnalysis(kItemWdmFilPk), 0);
  EXPECT_EQ(F().channelCount, 7);
  // GRID FIT: each channel takes its grid wavelength; GRID: one channel per grid wavelength of
  // the range (192.2 to 194.6 THz), its peak searched within the test band.
  F().wdmPk.thresh = 20.0;
  F().wdmPk.algo = 2;
  ASSERT_EQ(ExecuteAnalysis(kItemWdmFilPk), 0);
  ASSERT_EQ(F().channelCount, 8);
  for (int k = 0; k < 8; ++k) EXPECT_NEAR(F().channels[k].nominalNm, kC / (193.8 - 0.1 * k), 1e-9);
  F().wdmPk.algo = 3;
  ASSERT_EQ(ExecuteAnalysis(kItemWdmFilPk), 0);
  ASSERT_EQ(F().channelCount, 25);
  EXPECT_NEAR(F().channels[0].nominalNm, kC / 194.6, 1e-9);
  EXPECT_NEAR(F().channels[24].nominalNm, kC / 192.2, 1e-9);
  EXPECT_EQ(F().channels[8].peakIndex, apex[0]);  // 193.8 THz
  EXPECT_NEAR(F().channels[8].peakDbm, -10, 1e-9);
}

TEST_F(WdmFilterTest, TableAndCsvFollowTheSwitchesAndTheUnit) {
  ASSERT_EQ(ExecuteAnalysis(kItemWdmFilPk), 0);
  ResultTable t = ResultTableLines();
  ASSERT_EQ(t.header.size(), 5u);
  EXPECT_EQ(t.header[0], "<WDM FILTER(PEAK) ANALYSIS>");
  EXPECT_EQ(t.header[1],
            " [CH DETECTION] ALGO:MEAN      TH:20.00dB MODE DIFF:3.00dB   TEST BAND:0.100nm");
  ASSERT_EQ(t.rows.size(), 8u);
  for (const auto* part : {&t.header, &t.columns, &t.rows}) {
    for (const std::string& line : *part) EXPECT_LE(line.size(), 86u) << line;
  }
  EXPECT_EQ(t.columns[0].size(), t.rows[0].size());
  EXPECT_EQ(t.rows[0].substr(0, 3), "  1");
  const std::vector<std::string> csv = ResultCsvLines();
  ASSERT_EQ(csv.size(), 13u + 8u);
  EXPECT_EQ(csv[12],
            "NO.,NOMINAL WL[nm],PK WL[nm],PK LVL[dBm],3.0dB WD[nm],CTR WL[nm],-10.0dB SB[nm],"
            "3.0dB PB[nm],RIPPLE[dB],CROSS TK(L)[dB],CROSS TK(R)[dB]");
  // Row 2: every value of the channel, in the header's order.
  std::stringstream row(csv[14]);
  std::vector<double> v;
  for (std::string cell; std::getline(row, cell, ',');) v.push_back(std::stod(cell));
  ASSERT_EQ(v.size(), 11u);
  const WdmFilterChannel& c = F().channels[1];
  const double expected[] = {2,          c.nominalNm,   c.peakNm,      c.peakDbm,
                             c.widthNm,  c.centreNm,    c.stopNm,      c.passNm,
                             c.rippleDb, c.crossLeftDb, c.crossRightDb};
  for (size_t i = 0; i < v.size(); ++i) EXPECT_NEAR(v[i], expected[i], 0.0005) << i;

  // Items off drop their columns and fields; THz shows frequencies.
  F().wdmPk.swStop = F().wdmPk.swPass = F().wdmPk.swRipple = F().wdmPk.swCross = 0;
  g().analysis.search.markerUnit = 1;
  ASSERT_EQ(ExecuteAnalysis(kItemWdmFilPk), 0);
  EXPECT_EQ(ResultCsvLines()[12],
            "NO.,NOMINAL FREQ[THz],PK FREQ[THz],PK LVL[dBm],3.0dB WD[THz],CTR FREQ[THz]");
  t = ResultTableLines();
  EXPECT_EQ(t.header.size(), 2u);
  EXPECT_NE(t.rows[0].find("193.800"), std::string::npos) << t.rows[0];
  const ResultRecord record = CurrentResultRecord();
  ASSERT_TRUE(record.multichannel);
  ASSERT_EQ(record.channels.size(), 8u);
  EXPECT_EQ(record.channels[0].size(), 5u);  // nominal, peak wl and level, width, centre
}

TEST_F(WdmFilterTest, NotchCombChannelsAreTheNotches) {
  // The comb turned upside down: notches from a 0 dBm top, three of them.
  std::vector<double> mw(2001, 1.0);
  for (int k = 0; k < 3; ++k) {
    for (int d = -30; d <= 30; ++d)
      mw[apex[k] + d] = DbmToLinear(-30) + (1 - DbmToLinear(-30)) * std::abs(d) / 30.0;
  }
  SetTrace(0, 1540.0, 20.0, mw);
  ASSERT_EQ(ExecuteAnalysis(kItemWdmFilBtm), 0);
  ASSERT_EQ(F().channelCount, 3);
  const double b = DbmToLinear(-30);
  const double up3 = 30 * (DbmToLinear(-27) - b) / (1 - b);
  for (int k = 0; k < 3; ++k) {
    const WdmFilterChannel& c = F().channels[k];
    EXPECT_EQ(c.peakIndex, apex[k]);
    EXPECT_NEAR(c.peakDbm, -30, 1e-9);
    EXPECT_NEAR(c.nominalNm, 1540 + apex[k] * 0.01, 1e-4);  // NOTCH(B) centre
    EXPECT_NEAR(c.widthNm, 2 * up3 * 0.01, 1e-9);           // 3 dB above the bottom
    // The stop band: 10 dB under the 0 dBm top.
    EXPECT_NEAR(c.stopNm, 2 * 30 * (0.1 - b) / (1 - b) * 0.01, 1e-9);
  }
  EXPECT_EQ(ResultTableLines().header[0], "<WDM FILTER(BOTTOM) ANALYSIS>");
  // A trace without light: 103.
  SetTrace(0, 1540.0, 20.0, std::vector<double>(2001, 0.0));
  EXPECT_EQ(ExecuteAnalysis(kItemWdmFilBtm), kNoDataInTrace);
}

TEST_F(FilterTest, SettingRowsReadTheStateDefaults) {
  // Every row's default is the state's own default, so DEFAULTS restores what a fresh start has.
  for (int item : {kItemFilterPk, kItemFilterBtm, kItemWdmFilPk, kItemWdmFilBtm}) {
    const auto rows = SettingRowsOf(item);
    ASSERT_FALSE(rows.empty()) << item;
    for (const SettingRow& row : rows) {
      if (row.kind == SettingKind::Heading) continue;
      EXPECT_EQ(row.get(), row.defaultValue) << item << " " << row.label;
    }
  }
  // The ALGO choice stands for the algorithm code.
  std::string error;
  ASSERT_TRUE(SetSettingByLabel(kItemFilterBtm, "ALGO", "NOTCH(P)", error)) << error;
  EXPECT_EQ(F().btm.centre.algo, kFilterAlgoNotchPeak);
  ASSERT_TRUE(SetSettingByLabel(kItemWdmFilPk, "ALGO", "GRID FIT", error)) << error;
  EXPECT_EQ(F().wdmPk.algo, 2);
  EXPECT_FALSE(SetSettingByLabel(kItemWdmFilPk, "TEST BAND", "20", error));
  // A group letter picks one of the labels that several groups share.
  ASSERT_TRUE(SetSettingByLabel(kItemFilterPk, "F.SW", "OFF", error)) << error;
  ASSERT_TRUE(SetSettingByLabel(kItemFilterPk, "D. THRESH LEVEL", "6", error)) << error;
  EXPECT_EQ(F().pk.crossTalk.width.sw, 0.0);
  EXPECT_EQ(F().pk.centre.sw, 1.0);
  EXPECT_EQ(F().pk.width.thresh, 6.0);
  EXPECT_EQ(F().pk.centre.thresh, 3.0);
}

}  // namespace
}  // namespace vq
