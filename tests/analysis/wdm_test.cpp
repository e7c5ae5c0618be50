// WDM and EDFA-NF on spectra with known channels, noise floors, gains and noise figures.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "analysis/analysis_execute.h"
#include "analysis/result_view.h"
#include "analysis/spectrum_fixture.h"
#include "analysis/wdm.h"

namespace vq {
namespace {

constexpr double kStart = 1546.0, kSpan = 10.0;
constexpr int kPoints = 10001;  // 0.001 nm steps
constexpr double kLineFwhm = 0.04;

// A Gaussian line of `fwhm` nm and peak `mw` at `centre`.
double Line(double x, double centre, double mw, double fwhm = kLineFwhm) {
  const double u = (x - centre) / fwhm;
  return mw * std::exp(-4 * std::log(2.0) * u * u);
}

class WdmTest : public SpectrumTest {
 protected:
  void SetUp() override {
    SpectrumTest::SetUp();
    g().traces.state.activeTrace = 0;
  }
  // Eight channels 0.8 nm apart from 1548 nm, -10 dBm falling 0.5 dB per channel, over `floor`.
  void EightChannels(const std::function<double(double)>& floor, int trace = 0,
                     double resolution = 0.1) {
    SetTrace(trace, kStart, kSpan, Sample(kPoints, kStart, kSpan, [&](double x) {
               double v = floor(x);
               for (int k = 0; k < 8; ++k) v += Line(x, ChannelNm(k), DbmToLinear(ChannelDbm(k)));
               return v;
             }));
    g().traces.traces[trace].condition.resolution = resolution;
  }
  static double ChannelNm(int k) { return 1548.0 + 0.8 * k; }
  static double ChannelDbm(int k) { return -10.0 - 0.5 * k; }
  WdmSettings& S() { return g().analysis.wdm.wdm; }
  const WdmChannel& Ch(int k) { return g().analysis.wdm.channels[k]; }
  int Count() { return g().analysis.wdm.count; }
};

TEST_F(WdmTest, EightChannelsOverASlopedFloorGiveTheirLevelNoiseAndSnr) {
  // The floor rises linearly in mW: -45 dBm at 1548 nm, twice that at 1554 nm; LINEAR finds it.
  auto floor = [](double x) { return DbmToLinear(-45) * (1 + (x - 1548.0) / 6); };
  EightChannels(floor);
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(g().analysis.resultKind, kResultWdm);
  ASSERT_EQ(Count(), 8);
  for (int k = 0; k < 8; ++k) {
    const double noise = LinearToDbm(floor(ChannelNm(k)));  // per 0.1 nm, NOISE BW 0.1 nm
    EXPECT_NEAR(Ch(k).wavelength, ChannelNm(k), 1e-4) << k;
    EXPECT_EQ(Ch(k).peak, 2000 + 800 * k);
    EXPECT_NEAR(Ch(k).level, ChannelDbm(k), 1e-6) << k;  // the noise under the peak removed
    EXPECT_NEAR(Ch(k).noise, noise, 1e-6) << k;
    EXPECT_NEAR(Ch(k).snr, ChannelDbm(k) - noise, 1e-6) << k;
    // AUTO-FIX: half the smallest spacing, 0.4 nm, on both sides; the mask 0.2 nm.
    EXPECT_EQ(Ch(k).noiseLeft, Ch(k).peak - 400);
    EXPECT_EQ(Ch(k).noiseRight, Ch(k).peak + 400);
    EXPECT_EQ(Ch(k).maskRight, Ch(k).peak + 200);
    // Fixed markers stand on the channel peaks.
    EXPECT_EQ(g().analysis.markers[k + 1].index, Ch(k).peak);
  }
  EXPECT_EQ(g().analysis.markers[9].on, 0);
  // NOISE BW 1 nm: ten times the noise, 10 dB less SNR.
  S().noise.noiseBw = 1.0;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_NEAR(Ch(3).snr, ChannelDbm(3) - LinearToDbm(floor(ChannelNm(3))) - 10, 1e-6);
  // OUTPUT SLOPE: -0.5 dB per 0.8 nm.
  EXPECT_NEAR(g().analysis.wdm.slopeDbPerNm, -0.625, 1e-6);
  EXPECT_EQ(WdmSlopeText(), "");
  S().outputSlope = 1;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(WdmSlopeText(), "DELTA=  -0.625dB/nm");
  // THRESH 2 dB keeps the channels within 2 dB of the highest: the first five.
  S().thresh = 2.0;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(Count(), 5);
}

TEST_F(WdmTest, EachFitFindsTheFloorItCanDescribe) {
  struct Case {
    int algo;
    std::function<double(double)> floor;  // mW over nm
  };
  const double f0 = DbmToLinear(-40);
  const std::vector<Case> cases = {
      // A parabola in dB.
      {kFitGauss, [=](double x) { return DbmToLinear(-40 - 1.5 * (x - 1550.8) * (x - 1550.8)); }},
      // The reciprocal of a parabola.
      {kFitLorenz, [=](double x) { return f0 / (1 + 0.4 * (x - 1550.3) * (x - 1550.3)); }},
      // Polynomials in mW.
      {kFit3rd,
       [=](double x) { return f0 * (2 + 0.1 * (x - 1550) - 0.05 * std::pow(x - 1551, 3)); }},
      {kFit4th, [=](double x) { return f0 * (2 + 0.02 * std::pow(x - 1550.5, 4)); }},
      {kFit5th, [=](double x) { return f0 * (3 + 0.004 * std::pow(x - 1550.5, 5)); }},
  };
  for (const Case& c : cases) {
    EightChannels(c.floor);
    S().noise.fittingAlgo = kFitLinear;
    ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
    double linearError = 0;
    for (int k = 0; k < 8; ++k) {
      linearError =
          std::max(linearError, std::abs(Ch(k).noise - LinearToDbm(c.floor(ChannelNm(k)))));
    }
    EXPECT_GT(linearError, 1e-3) << c.algo;  // a curved floor: the straight line misses it
    S().noise.fittingAlgo = static_cast<uint16_t>(c.algo);
    ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
    ASSERT_EQ(Count(), 8);
    for (int k = 0; k < 8; ++k) {
      EXPECT_NEAR(Ch(k).noise, LinearToDbm(c.floor(ChannelNm(k))), 1e-6) << c.algo << " " << k;
    }
  }
}

TEST_F(WdmTest, NoiseAreasByAlgorithm) {
  EightChannels([](double) { return DbmToLinear(-45); });
  // A lone channel with AUTO-FIX takes the default area of the resolution: 0.6 nm at 0.1 nm.
  S().thresh = 0.1;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(Ch(0).noiseLeft, Ch(0).peak - 600);
  EXPECT_EQ(Ch(0).noiseRight, Ch(0).peak + 600);
  g().traces.traces[0].condition.resolution = 1.0;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(Ch(0).noiseRight, Ch(0).peak + 1500);
  // MANUAL-FIX takes NOISE AREA; a MASK AREA wider than it is clipped to it.
  S().thresh = 20;
  S().noise.noiseAlgo = kManualFix;
  S().noise.noiseArea = 0.25;
  S().noise.maskArea = 0.3;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(Ch(4).noiseLeft, Ch(4).peak - 250);
  EXPECT_EQ(Ch(4).maskLeft, Ch(4).noiseLeft);
  EXPECT_EQ(Ch(4).maskRight, Ch(4).noiseRight);
  // The CTR and PIT areas on uneven spacings, checked on the rule itself: channels at 10, 30, 70.
  const double centres[] = {10, 30, 70};
  const int32_t peaks[] = {10, 30, 70};
  std::vector<double> noise(100, 1.0);
  noise[25] = 0.5;  // the pit between the first two
  noise[40] = 0.2;  // and between the last two
  noise[60] = 0.2;  // an equal one further on: the first counts
  const auto ctr = NoiseAreas(kAutoCtr, 0, centres, peaks, noise, 0.01, 0.6);
  EXPECT_NEAR(ctr[0].left, 0.1, 1e-12);
  EXPECT_NEAR(ctr[1].left, 0.1, 1e-12);
  EXPECT_NEAR(ctr[1].right, 0.2, 1e-12);
  EXPECT_NEAR(ctr[2].right, 0.2, 1e-12);
  const auto manual = NoiseAreas(kManualCtr, 0.15, centres, peaks, noise, 0.01, 0.6);
  EXPECT_NEAR(manual[1].right, 0.15, 1e-12);
  const auto pit = NoiseAreas(kPit, 0, centres, peaks, noise, 0.01, 0.6);
  EXPECT_NEAR(pit[0].right, 0.15, 1e-12);
  EXPECT_NEAR(pit[0].left, 0.15, 1e-12);
  EXPECT_NEAR(pit[1].left, 0.05, 1e-12);
  EXPECT_NEAR(pit[1].right, 0.10, 1e-12);
  EXPECT_NEAR(pit[2].left, 0.30, 1e-12);
  EXPECT_NEAR(pit[2].right, 0.30, 1e-12);
}

TEST_F(WdmTest, DetectionLimits) {
  // DISPLAY MASK -60 dBm hides channels at -65 dBm; THRESH alone keeps them.
  SetTrace(0, kStart, kSpan, Sample(kPoints, kStart, kSpan, [](double x) {
             return DbmToLinear(-90) + Line(x, 1548, DbmToLinear(-50)) +
                    Line(x, 1549, DbmToLinear(-65)) + Line(x, 1550, DbmToLinear(-65));
           }));
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(Count(), 3);
  S().displayMask = -60;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(Count(), 1);
  // A mask above every channel: no channel and no error.
  S().displayMask = -40;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(Count(), 0);
  // MODE DIFF 10 dB: the wavelength still comes from the -3 dB points of a lopsided line.
  SetTrace(0, kStart, kSpan, Sample(kPoints, kStart, kSpan, [](double x) {
             return DbmToLinear(-90) + Line(x, 1550, 1.0, x < 1550 ? 0.04 : 0.08);
           }));
  S() = WdmSettings();
  S().noise.modeDiff = 10;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  ASSERT_EQ(Count(), 1);
  EXPECT_NEAR(Ch(0).wavelength, 1550 + (0.08 - 0.04) / 4, 2e-4);
  // A flat trace has no peak at all: 103.
  SetTrace(0, kStart, kSpan, std::vector<double>(kPoints, 0.0));
  EXPECT_EQ(ExecuteAnalysis(kItemWdm), 103);
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
}

TEST_F(WdmTest, MoreThan1024ChannelsKeepThe1024Highest) {
  // 1100 one-point channels 5 points apart, the 76 lowest at -30 dBm, the others -20 dBm.
  std::vector<double> dbm(1100 * 5 + 10, -60.0);
  for (int k = 0; k < 1100; ++k) dbm[5 + 5 * k] = k % 14 == 0 && k / 14 < 76 ? -30 : -20;
  SetTraceDbm(0, 1500, 0.001 * (dbm.size() - 1), dbm);
  S().thresh = 40;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  ASSERT_EQ(Count(), 1024);
  for (int k = 0; k < Count(); ++k) EXPECT_NEAR(Ch(k).level, -20, 1e-3) << k;
  for (int k = 1; k < Count(); ++k) EXPECT_GT(Ch(k).peak, Ch(k - 1).peak);
}

TEST_F(WdmTest, DfbLdOsnrIsTheSnrOfTheMainMode) {
  // A DFB line at 1550 nm, -5 dBm, a side mode 40 dB down 0.5 nm away, over -50 dBm.
  SetTrace(0, kStart, kSpan, Sample(kPoints, kStart, kSpan, [](double x) {
             return DbmToLinear(-50) + Line(x, 1550, DbmToLinear(-5)) +
                    Line(x, 1550.5, DbmToLinear(-45));
           }));
  g().traces.traces[0].condition.resolution = 0.1;
  WdmNoiseSettings n;  // PIT, 0.4 nm, LINEAR, NOISE BW 0.1 nm as DFB-LD's defaults
  n.noiseAlgo = kPit;
  double osnr = 0;
  ASSERT_EQ(DfbLdOsnr(0, 4000, n, osnr), 0);
  // The pit between the two modes lies on the flat floor: the noise is the floor.
  EXPECT_NEAR(osnr, -5 - (-50), 1e-3);
  EXPECT_EQ(g().analysis.wdm.count, 1);
  EXPECT_EQ(g().analysis.wdm.channels[0].peak, 4000);
  // An index that is no channel peak fails with an empty table.
  EXPECT_EQ(DfbLdOsnr(0, 4001, n, osnr), 103);
  EXPECT_EQ(osnr, 0.0);
  EXPECT_EQ(g().analysis.wdm.count, 0);
}

// An amplifier of 20 dB gain and 5 dB noise figure: four -20 dBm channels in, each out with the
// ASE that noise figure gives in 0.1 nm (vacuum wavelengths).
class EdfaTest : public WdmTest {
 protected:
  static constexpr double kGain = 100, kNf = 3.1622776601683795, kRes = 0.1, kVac = 1.679199182e-05;
  static double AseMw(double x) { return (kNf - 1 / kGain) * kRes * kGain / (x * x * x * kVac); }
  void SetUp() override {
    WdmTest::SetUp();
    auto input = [](double x) {
      double v = DbmToLinear(-80);
      for (int k = 0; k < 4; ++k) v += Line(x, ChannelNm(k), DbmToLinear(-20));
      return v;
    };
    SetTrace(0, kStart, kSpan, Sample(kPoints, kStart, kSpan, input));
    SetTrace(1, kStart, kSpan,
             Sample(kPoints, kStart, kSpan, [&](double x) { return kGain * input(x) + AseMw(x); }));
    for (int t : {0, 1}) g().traces.traces[t].condition.resolution = kRes;
    g().traces.state.measWavelengthChoice = 1;
    E().resBw = 1;  // CAL DATA: the trace's resolution
  }
  EdfaSettings& E() { return g().analysis.wdm.edfa; }
};

TEST_F(EdfaTest, GainAndNoiseFigureOfAKnownAmplifier) {
  ASSERT_EQ(ExecuteAnalysis(kItemEdfaNf), 0);
  EXPECT_EQ(g().analysis.resultKind, kResultEdfaNf);
  ASSERT_EQ(Count(), 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(Ch(k).wavelength, ChannelNm(k), 1e-4);
    EXPECT_NEAR(Ch(k).inputDbm, LinearToDbm(DbmToLinear(-20) + DbmToLinear(-80)), 1e-9);
    EXPECT_NEAR(Ch(k).aseDbm, LinearToDbm(AseMw(ChannelNm(k))), 1e-4) << k;
    EXPECT_NEAR(Ch(k).gainDb, 20, 1e-4) << k;
    EXPECT_NEAR(Ch(k).nfDb, 5, 1e-4) << k;
    EXPECT_EQ(Ch(k).resolutionNm, kRes);
  }
  // SHOT NOISE OFF takes 1 / G off the linear noise figure.
  E().shotNoise = 0;
  ASSERT_EQ(ExecuteAnalysis(kItemEdfaNf), 0);
  EXPECT_NEAR(Ch(2).nfDb, 10 * std::log10(kNf - 1 / kGain), 1e-4);
  // AIR: the ASE part grows by n^2 of the channel wavelength.
  E().shotNoise = 1;
  g().traces.state.measWavelengthChoice = 0;
  g().traces.traces[1].condition.measurementWavelength = 1;
  ASSERT_EQ(ExecuteAnalysis(kItemEdfaNf), 0);
  const double n = AirRefractiveIndex(Ch(2).wavelength);
  EXPECT_NEAR(n * n, 1.000547, 2e-5);
  EXPECT_NEAR(Ch(2).nfDb, 10 * std::log10((kNf - 1 / kGain) * n * n + 1 / kGain), 1e-4);
  // OFFSET(IN) 1 dB: the input level 1 dB up, the gain 1 dB down.
  g().traces.state.measWavelengthChoice = 1;
  const WdmChannel before = Ch(1);
  E().offsetIn = 1.0;
  ASSERT_EQ(ExecuteAnalysis(kItemEdfaNf), 0);
  EXPECT_NEAR(Ch(1).inputDbm, before.inputDbm + 1, 1e-9);
  EXPECT_NEAR(Ch(1).gainDb, before.gainDb - 1, 1e-9);
  EXPECT_NEAR(Ch(1).outputDbm, before.outputDbm, 1e-9);
  // A flat ASE is a parabola in dB too: GAUSS agrees.
  E().offsetIn = 0;
  E().fitAlgo = kFitGauss;
  ASSERT_EQ(ExecuteAnalysis(kItemEdfaNf), 0);
  EXPECT_NEAR(Ch(3).nfDb, 5, 1e-4);
}

TEST_F(EdfaTest, MeasuredResolutionIsTheOutputLineWidth) {
  E().resBw = 0;
  ASSERT_EQ(ExecuteAnalysis(kItemEdfaNf), 0);
  ASSERT_EQ(Count(), 4);
  // Where G Pin e(x) + ASE falls 3.00 dB below its peak.
  const double peak = kGain * DbmToLinear(-20), ase = AseMw(ChannelNm(0));
  const double e = ((peak + ase) * DbmToLinear(-3.0) - ase) / peak;
  const double u = std::sqrt(-std::log(e) / (4 * std::log(2.0)));
  const double dl = 2 * u * kLineFwhm;
  EXPECT_NEAR(Ch(0).resolutionNm, dl, 2e-5);
  EXPECT_NEAR(Ch(0).nfDb,
              10 * std::log10((kNf - 1 / kGain) * kRes / Ch(0).resolutionNm + 1 / kGain), 1e-4);
  // A lone channel takes the default fitting area of trace B's resolution: 0.6 nm at 0.1 nm.
  E().thresh = 0.001;
  g().traces.traces[0].level[4400] *= 2;  // the second channel is now the highest
  ASSERT_EQ(ExecuteAnalysis(kItemEdfaNf), 0);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(Ch(0).noiseRight - Ch(0).peak, 600);
  // No output trace: 103.
  SetTrace(1, kStart, kSpan, std::vector<double>(kPoints, 0.0));
  EXPECT_EQ(ExecuteAnalysis(kItemEdfaNf), 103);
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
}

}  // namespace
}  // namespace vq

namespace vq {
namespace {

// The CSV row of channel k (from 0).
std::string CsvRow(int k) {
  const std::vector<std::string> lines = ResultCsvLines();
  return lines[lines.size() - 8 + k];
}

TEST_F(WdmTest, TablesAndCsvByDisplayType) {
  EightChannels([](double) { return DbmToLinear(-45); });
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  ResultTable t = ResultTableLines();
  ASSERT_EQ(t.columns.size(), 2u);
  EXPECT_EQ(t.columns[0],
            " NO.  WAVELENGTH       LEVEL      OFFSET WL   OFFSET LEVEL     NOISE        SNR");
  EXPECT_EQ(t.columns[1],
            "         [nm]          [dBm]         [nm]         [dB]       [dBm/NBW]      [dB]");
  ASSERT_EQ(t.rows.size(), 8u);
  EXPECT_EQ(t.rows[1].substr(0, 16), "   2   1548.8000");
  std::vector<std::string> csv = ResultCsvLines();
  // No SLOPE line with OUTPUT SLOPE off, no INTEGRAL RANGE line with SIGNAL POWER PEAK.
  EXPECT_EQ(csv[3], "N_ALG,AUTO-FIX");
  EXPECT_EQ(csv[8],
            "NO.,WAVELENGTH[nm],LEVEL[dBm],OFFSET WL[nm],OFFSET LEVEL[dB],NOISE[dBm/NBW],SNR[dB]");
  EXPECT_EQ(CsvRow(0), "1,1548.0000,-10.000,(REF),(REF),-45.000,35.000");
  EXPECT_EQ(CsvRow(1), "2,1548.8000,-10.500,0.8000,-0.500,-45.000,34.500");
  // REF CH 3; then SPACING to the previous channel.
  S().refCh = 3;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(CsvRow(0), "1,1548.0000,-10.000,-1.6000,1.000,-45.000,35.000");
  EXPECT_EQ(CsvRow(2), "3,1549.6000,-11.000,(REF),(REF),-45.000,34.000");
  S().chRelation = 1;
  S().outputSlope = 1;
  S().noise.signalPower = 1;
  S().noise.noiseAlgo = kManualFix;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  csv = ResultCsvLines();
  EXPECT_EQ(csv[3].substr(0, 12), "SLOPE[dB/nm]");
  EXPECT_EQ(csv[4], "INTEGRAL RANGE[GHz],10");
  EXPECT_EQ(csv[6], "N_AREA,0.40");
  // INTEGRAL: the line's power in its resolution, plus the floor over the 2 x 0.0799 nm of a
  // 10 GHz range, less the noise under the peak.
  g().traces.traces[0].condition.measurementWavelength = 1;  // levels per resolution, not per THz
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  const double line = 0.1 * kLineFwhm * std::sqrt(M_PI / (4 * std::log(2.0))) / 0.1;
  const double floor = DbmToLinear(-45);
  double level = 0;
  ASSERT_EQ(std::sscanf(CsvRow(0).c_str(), "1,1548.0000,%lf,-,-,", &level), 1) << CsvRow(0);
  EXPECT_NEAR(level, LinearToDbm(line + floor / 0.1 * 0.16 - floor), 0.002);
  t = ResultTableLines();
  EXPECT_EQ(t.header[1].substr(0, 26), "N_ALG: MANUAL-FIX N_AREA: ");
  EXPECT_NE(t.header[0].find("SLOPE:"), std::string::npos);
  // RELATIVE in THz: the nominal grid, the measured frequency and their difference.
  S() = WdmSettings();
  S().displayType = kRelative;
  g().analysis.search.markerUnit = 1;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  t = ResultTableLines();
  EXPECT_EQ(t.columns[0],
            " NO.   GRID FREQ     MEAS FREQ     REL FREQ    MEAS LEVEL      NOISE        SNR");
  double grid = 0, meas = 0, rel = 0;
  ASSERT_EQ(std::sscanf(CsvRow(4).c_str(), "5,%lf,%lf,%lf", &grid, &meas, &rel), 3);
  EXPECT_NEAR(std::remainder(grid - 193.1, 0.1), 0, 1e-9);
  EXPECT_NEAR(rel, meas - grid, 1e-5);
  EXPECT_LT(std::abs(rel), 0.05);
}

TEST_F(WdmTest, DriftExtremesAccumulateUntilReset) {
  EightChannels([](double) { return DbmToLinear(-45); });
  S().displayType = kDriftMeas;
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  // Channel 2 one dB up, then one dB down from where it began.
  auto& level = g().traces.traces[0].level;
  for (int i = 2400; i < 3200; ++i) level[i] *= DbmToLinear(1);
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  for (int i = 2400; i < 3200; ++i) level[i] *= DbmToLinear(-2);
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(CsvRow(1), "2,1548.8000,1548.8000,0.0000,0.0000,-10.500,-11.500,1.000,-1.000");
  const ResultTable t = ResultTableLines();
  EXPECT_EQ(t.columns[0],
            " NO.   REF WL    MEAS WL   DIFF MAX   DIFF MIN   REF LVL MEAS LVL DIFF MAX  DIFF MIN");
  // MAX/MIN RESET: the present values become the references.
  for (const SettingRow& row : SettingRowsOf(kItemWdm)) {
    if (row.kind == SettingKind::Action) row.set(0);
  }
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  EXPECT_EQ(CsvRow(1), "2,1548.8000,1548.8000,0.0000,0.0000,-11.500,-11.500,0.000,0.000");
}

TEST_F(WdmTest, DualTraceTakesTheNoiseFromTraceB) {
  // Trace A: channels over a -60 dBm floor at 0.1 nm; trace B: the floor alone at -40 dBm, taken
  // at 1 nm resolution: 10 dB of it is the wider resolution.
  EightChannels([](double) { return DbmToLinear(-60); });
  SetTrace(1, kStart, kSpan, std::vector<double>(kPoints, DbmToLinear(-40)));
  g().traces.traces[1].condition.resolution = 1.0;
  S().dualTrace = 1;
  g().traces.state.activeTrace = 1;  // the channels come from A whichever trace is active
  ASSERT_EQ(ExecuteAnalysis(kItemWdm), 0);
  ASSERT_EQ(Count(), 8);
  // N' = -40 + 10 log 1 - 10 log 0.1 = -30 dBm comes off the channel; the noise is N per 0.1 nm.
  EXPECT_NEAR(Ch(0).level, LinearToDbm(DbmToLinear(-10) + DbmToLinear(-60) - DbmToLinear(-30)),
              1e-9);
  EXPECT_NEAR(Ch(0).noise, -40, 1e-9);
  // A trace B without data cannot serve.
  SetTrace(1, kStart, kSpan, std::vector<double>(kPoints, 0.0));
  EXPECT_EQ(ExecuteAnalysis(kItemWdm), 103);
}

TEST_F(WdmTest, EdfaTableAndCsv) {
  EightChannels([](double) { return DbmToLinear(-60); });
  SetTrace(1, kStart, kSpan, Sample(kPoints, kStart, kSpan, [](double x) {
             double v = DbmToLinear(-30);
             for (int k = 0; k < 8; ++k)
               v += Line(x, ChannelNm(k), DbmToLinear(ChannelDbm(k) + 20));
             return v;
           }));
  ASSERT_EQ(ExecuteAnalysis(kItemEdfaNf), 0);
  const ResultTable t = ResultTableLines();
  EXPECT_EQ(t.header[0],
            "<NF ANALYSIS>  TH: 20.00dB MODE DIFF: 3.00dB OFST(IN): 0.00dB  OFST(OUT): 0.00dB");
  EXPECT_EQ(t.columns[0],
            " NO. WAVELENGTH  INPUT LVL  OUTPUT LVL   ASE LVL     RESOLN      GAIN         NF");
  ASSERT_EQ(t.rows.size(), 8u);
  EXPECT_EQ(t.rows[0].substr(0, 15), "   1  1548.0000");
  const std::vector<std::string> csv = ResultCsvLines();
  EXPECT_EQ(csv[5], "ASE ALGO,AUTO-FIX");
  EXPECT_EQ(
      csv[9],
      "NO.,WAVELENGTH[nm],INPUT LVL[dBm],OUTPUT LVL[dBm],ASE LVL[dBm],RESOLN[nm],GAIN[dB],NF[dB]");
  EXPECT_EQ(CsvRow(0).substr(0, 20), "1,1548.0000,-10.000,");
  const ResultRecord r = CurrentResultRecord();
  ASSERT_TRUE(r.multichannel);
  ASSERT_EQ(r.channels.size(), 8u);
  EXPECT_EQ(r.channels[0][5].name, "gain_db");
  EXPECT_NEAR(r.channels[0][5].value, 20, 1e-3);
}

}  // namespace
}  // namespace vq
