// Tests of the marker texts: wavelength and level cells, the marker row, the marker list and the
// spectral width result block.
#include "analysis/marker_texts.h"

#include "instrument.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

class MarkerTextTest : public InstrumentTest {
 protected:
  void SetUp() override {
    InstrumentTest::SetUp();
    g().traces.state.measWavelengthChoice = 1;  // vacuum: f = c / wl exactly
  }
  AnalysisState& a() { return g().analysis; }
  static TraceLevelFormats All(LevelStyle style) {
    TraceLevelFormats f{};
    for (LevelFormat& one : f) one.style = style;
    return f;
  }
  const LevelFormat kDbm{};
  const LevelFormat kLinear{LevelStyle::Linear};
};

TEST_F(MarkerTextTest, WavelengthAndLevelCellsOverflowToAsterisks) {
  EXPECT_EQ(WavelengthText(1550.0, kUnitNm), "1550.0000nm");
  EXPECT_EQ(WavelengthText(1550.00005, kUnitNm), "1550.0001nm");  // half up on the grid
  EXPECT_EQ(WavelengthText(10000.0, kUnitNm), "****.****nm");
  EXPECT_EQ(WavelengthText(10000.0, kUnitNm, 10), "10000.0000nm");
  EXPECT_EQ(WavelengthText(1550.0, kUnitThz), "193.41449THz");
  EXPECT_EQ(WavelengthText(250.0, kUnitThz), "1199.1698THz");  // four decimals from 1000 THz
  EXPECT_EQ(WavelengthText(29.99, kUnitThz), "***.*****THz");
  EXPECT_EQ(WavelengthText(29.99, kUnitThz, 10), "****.*****THz");
  EXPECT_EQ(WavelengthDifferenceText(1550.0, 1551.0, kUnitThz), " -0.12470THz");
  EXPECT_EQ(WavelengthDifferenceText(1551.0, 1549.4, kUnitNm), "  -1.6000nm");
  EXPECT_EQ(WavelengthDifferenceText(1500.0, 20.0, kUnitThz), "***.*****THz");

  EXPECT_EQ(LevelText(0.1, kDbm), " -10.000dBm");
  EXPECT_EQ(LevelText(0.0, kDbm), "-210.000dBm");
  EXPECT_EQ(LevelText(0.1, {LevelStyle::Dbm, true}), " -10.000dBm/nm");
  EXPECT_EQ(LevelText(0.1, {LevelStyle::Dbm, false, 1}), "   -10.0dBm");
  EXPECT_EQ(LevelText(0.0025, kLinear), "   2.500uW");
  EXPECT_EQ(LevelText(0.0, kLinear), "   0.000pW");
  EXPECT_EQ(LevelText(5e5, kLinear), "****.***mW");
  EXPECT_EQ(LevelText(0.5, {LevelStyle::Percent}), "  50.000%");

  EXPECT_EQ(RatioText(0.2, 0.1, kDbm), "   3.010dB");
  EXPECT_EQ(RatioText(0.2, 0.1, kLinear), "   2.000");
  EXPECT_EQ(RatioText(0.2, 0.0, kDbm), "   ?????");
  EXPECT_EQ(RatioText(0.2, 0.0, kLinear), "   ?????");
}

TEST_F(MarkerTextTest, MarkerRowShowsTheMovingMarkerAndTheLineMarkerBlock) {
  auto& l = a().lineMarkers;
  EXPECT_EQ(MarkerRowLines(All(LevelStyle::Dbm)), (std::array<std::string, 2>{"", ""}));

  a().markers[0] = {.on = 1, .trace = 0, .index = 500, .wavelength = 1550.0, .level = 0.1};
  l[0] = {1, 1549.5};
  l[1] = {1, 1550.25};
  l[2] = {1, 0.0};
  l[3] = {1, 0.5};
  auto lines = MarkerRowLines(All(LevelStyle::Dbm));
  EXPECT_EQ(lines[0],
            "  MKR:1550.0000nm       L1:1549.5000nm     L3:-210.000dBm    L2-L1:   0.7500nm");
  EXPECT_EQ(lines[1],
            "  LVL: -10.000dBm       L2:1550.2500nm     L4:  -3.010dBm    L4/L3:   ?????");

  // A linear scale labels the level ratio "L4-L3:"; only pairs that are both on are compared.
  l[2].value = 0.25;
  l[0].on = 0;
  lines = MarkerRowLines(All(LevelStyle::Linear));
  EXPECT_EQ(lines[0], "  MKR:1550.0000nm                          L3: 250.000uW");
  EXPECT_EQ(lines[1],
            "  LVL: 100.000uW        L2:1550.2500nm     L4: 500.000uW     L4-L3:   2.000");
  EXPECT_EQ(MarkerRowLines(All(LevelStyle::Dbm))[1].substr(61), "L4/L3:   3.010dB");
}

TEST_F(MarkerTextTest, MarkerListDifferencesFollowTheDisplayAndTheScale) {
  a().markers[0] = {.on = 1, .wavelength = 1550.0, .level = 0.1};
  a().markers[1] = {.on = 1, .trace = 0, .wavelength = 1549.0, .level = 0.1};
  a().markers[2] = {.on = 0, .trace = 0, .wavelength = 1500.0, .level = 1.0};
  a().markers[3] = {.on = 1, .trace = 1, .wavelength = 1551.0, .level = 0.05};
  EXPECT_EQ(FixedMarkersOn(), 2);

  // OFFSET: each marker against the moving marker.
  EXPECT_EQ(MarkerListLines(All(LevelStyle::Dbm), 6),
            (std::vector<std::string>{
                "           WAVELENGTH   LEVEL          MKR-MKRn:",
                "MKR0001: A 1549.0000nm   -10.000dBm       -1.0000nm     0.000dB",
                "MKR0003: B 1551.0000nm   -13.010dBm        1.0000nm    -3.010dB",
            }));
  EXPECT_EQ(MarkerListLines(All(LevelStyle::Linear), 6)[0].substr(39), "MKR/MKRn:");
  EXPECT_EQ(MarkerListLines(All(LevelStyle::Linear), 6)[2].substr(39), "    1.0000nm     0.500");
  EXPECT_EQ(MarkerListLines(All(LevelStyle::Dbm), 1).size(), 2u);  // the rows that fit

  // Without the moving marker the OFFSET column stays empty.
  a().markers[0].on = 0;
  EXPECT_EQ(MarkerListLines(All(LevelStyle::Dbm), 6)[1], "MKR0001: A 1549.0000nm   -10.000dBm");

  // SPACING: each marker against the next lower-numbered one that is on (3 against 1).
  a().search.markerDisplay = 1;
  const auto spacing = MarkerListLines(All(LevelStyle::Dbm), 6);
  EXPECT_EQ(spacing[0].substr(39), "SPACING:");
  EXPECT_EQ(spacing[1], "MKR0001: A 1549.0000nm   -10.000dBm");
  EXPECT_EQ(spacing[2], "MKR0003: B 1551.0000nm   -13.010dBm        2.0000nm    -3.010dB");
}

TEST_F(MarkerTextTest, ThreshResultBlockByteForByte) {
  a().item = kItemThresh;
  a().working = kWidthDefaults[kItemThresh];
  a().width = {.widthNm = 0.0512, .widthThz = 0.00639, .centreNm = 1550.1234, .modeCount = 1};
  const std::string pad70 = std::string(70, ' ');
  auto row = [&](std::string text) { return text + pad70.substr(text.size()); };
  EXPECT_EQ(WidthResultLines(), (std::vector<std::string>{
                                    "<SPECTRAL WIDTH ANALYSIS: THRESHOLD>",
                                    row("  THRESH LEVEL:  3.00dB          \x8D\x8B:    0.0512nm"),
                                    row("             K:  1.00            \x8B\x43: 1550.1234nm"),
                                    row("      MODE FIT: OFF            MODE: 1"),
                                }));

  a().search.markerUnit = kUnitThz;
  a().working.modeFit = 1;
  const auto thz = WidthResultLines();
  EXPECT_EQ(thz[1].substr(33, 16), "\x8D\x8B:   0.00639THz");
  EXPECT_EQ(thz[2].substr(33, 16), "\x8B\x43: 193.39909THz");
  EXPECT_EQ(thz[3].substr(16, 3), "ON ");

  // The other items keep their own rows.
  a().item = kItemEnvelope;
  EXPECT_EQ(WidthResultLines()[0], "<SPECTRAL WIDTH ANALYSIS: ENVELOPE>");
  EXPECT_EQ(WidthResultLines()[3].substr(0, 38), "             K:  1.00      MODE NUM: 1");
  a().item = kItemRms;
  EXPECT_EQ(WidthResultLines().size(), 3u);
  a().item = kItemNotch;
  a().working.type = 1;
  EXPECT_EQ(WidthResultLines()[3].substr(0, 22), "          TYPE: BOTTOM");
}

}  // namespace
}  // namespace vq
