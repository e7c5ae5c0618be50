// Tests of the labels around the graphs: axis and level labels, condition area, trace boxes.
#include <cstring>
#include <string>
#include <vector>

#include "resources/colour_tables.h"
#include "screen/waveform.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

class GraphLabelTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    DistinctSlotColours();
    MeasCondition& c = ShowWindow1500To1600();
    g().traces.state.measWavelengthChoice = 1;  // vacuum: no air correction
    c.samplingPoints = 1001, c.sensitivity = 3, c.chopMode = 1, c.averageTimes = 4;
    std::memcpy(c.label, "FIBRE 7", 8);
    for (int t = 0; t < kTraceCount; ++t) g().traces.state.display[t] = t < 2 ? 0 : 1;
    g().traces.state.activeTrace = 0;
    Redraw();
  }
  void Redraw() {
    g().frame.redrawFlags = kRedrawAll;
    RedrawScreen(true, false);
  }
  std::string Text(const BitmapFont& font, int x, int y, std::string_view text, int fg, int bg) {
    return TextMismatch(g().screen.backBuffer, font, x, y, text, Slot(fg), bg < 0 ? 0 : Slot(bg));
  }
};

TEST_F(GraphLabelTest, AxisAndLevelLabelsFollowTheWindowAndScale) {
  EXPECT_EQ(Text(kFontSmall, 47, 553, "START:1500.000nm", 29, 28), "");
  EXPECT_EQ(Text(kFontSmall, 648 - 15 * 8, 553, "STOP:1600.000nm", 29, 28), "");
  EXPECT_EQ(Text(kFontSmall, 300, 553, "CENTER:1550.000nm", 29, 28), "");
  EXPECT_EQ(Text(kFontSmall, 300, 573, "SPAN:100.00nm", 29, 28), "");
  EXPECT_EQ(Text(kFontNumeric, 44 - 5 * 6, 150 - 6, "-10.0", 29, 28), "");   // top row
  EXPECT_EQ(Text(kFontNumeric, 44 - 6 * 6, 550 - 6, "-110.0", 29, 28), "");  // bottom row
  EXPECT_EQ(Text(kFontSmall, 651, 160, "dB/D", 29, 28), "");

  // Frequency mode: the start is the low frequency, the long-wavelength end.
  g().conditions.setting.frequencyMode = 1;
  Redraw();
  EXPECT_EQ(Text(kFontSmall, 47, 553, "START:187.370THz", 29, 28), "");
  EXPECT_EQ(Text(kFontSmall, 648 - 15 * 8, 553, "STOP:199.862THz", 29, 28), "");
}

// The THz axis converts as the graph's record was measured: a record taken in vacuum ignores
// the air choice; one in air or not saying follows it.
TEST_F(GraphLabelTest, FrequencyAxisFollowsTheRecordsMeasurementWavelength) {
  MeasCondition& c = g().conditions.setting;
  c.frequencyMode = 1;
  g().traces.state.measWavelengthChoice = 0;  // air
  for (uint16_t measured : {0, 1}) {
    c.measurementWavelength = measured;
    Redraw();
    EXPECT_EQ(Text(kFontSmall, 47, 553, "START:187.319THz", 29, 28), "") << measured;
    EXPECT_EQ(Text(kFontSmall, 648 - 15 * 8, 553, "STOP:199.807THz", 29, 28), "") << measured;
  }
  c.measurementWavelength = 2;
  Redraw();
  EXPECT_EQ(Text(kFontSmall, 47, 553, "START:187.370THz", 29, 28), "");
  EXPECT_EQ(Text(kFontSmall, 648 - 15 * 8, 553, "STOP:199.862THz", 29, 28), "");

  // Split display: each graph by the record of its own pane.
  g().screen.screenMode = 1;
  g().conditions.panes[0] = c;
  g().conditions.panes[0].measurementWavelength = 1;
  g().conditions.panes[1] = c;
  Redraw();
  EXPECT_EQ(Text(kFontSmall, 47, 323, "START:187.319THz", 29, 28), "");
  EXPECT_EQ(Text(kFontSmall, 47, 553, "START:187.370THz", 29, 28), "");
}

// Division rows are rounded to pixels; the labels must not be read back from them.
TEST_F(GraphLabelTest, LevelLabelsAreTheExactDivisionValues) {
  g().conditions.yDivisions = 12;
  Redraw();
  std::vector<std::string> expected;
  for (int j = 0; j <= 12; ++j) expected.push_back(std::to_string(-10 - 10 * j) + ".0");
  EXPECT_EQ(LevelLabelTexts(0), expected);
  EXPECT_EQ(Text(kFontNumeric, 44 - 5 * 6, 150 + 33 - 6, "-20.0", 29, 28), "");   // row 33.3
  EXPECT_EQ(Text(kFontNumeric, 44 - 5 * 6, 150 + 167 - 6, "-60.0", 29, 28), "");  // row 166.7

  // Split display, 8 divisions on 171 rows; a linear scale in nW in the lower pane.
  g().screen.screenMode = 1;
  g().conditions.yDivisions = 8;
  g().conditions.panes[0] = g().conditions.setting;
  g().conditions.panes[1] = g().conditions.setting;
  g().conditions.panes[1].refLevel = -30;  // 1000 nW
  g().conditions.panes[1].logScale = -10;
  g().conditions.panes[1].baseLevel = 0;
  g().entry.levelUnitExponent = 1;
  Redraw();
  EXPECT_EQ(LevelLabelTexts(0),
            (std::vector<std::string>{"-10.0", "-20.0", "-30.0", "-40.0", "-50.0", "-60.0", "-70.0",
                                      "-80.0", "-90.0"}));
  EXPECT_EQ(LevelLabelTexts(1)[1], "875.00");
  EXPECT_EQ(LevelLabelTexts(1)[3], "625.00");
  EXPECT_EQ(LevelLabelTexts(1)[8], "0.00");
  EXPECT_EQ(Text(kFontNumeric, 44 - 6 * 6, 380 + 21 - 6, "875.00", 29, 28), "");  // row 21.25

  // Percent and sub scales: the exact values too, and no "-0.0" at a zero that sums a hair low.
  const LevelScale percent = {.kind = ScaleKind::Percent, .divisions = 12, .perDivision = 2.5};
  EXPECT_EQ(LevelLabelText(percent, 1), "27.5");
  EXPECT_EQ(LevelLabelText(percent, 12), "0.0");
  const LevelScale sub = {
      .kind = ScaleKind::LinearSub, .divisions = 12, .perDivision = 0.25, .base = -1};
  EXPECT_EQ(LevelLabelText(sub, 0), "2.00");
  EXPECT_EQ(LevelLabelText(sub, 5), "0.75");
  EXPECT_EQ(LevelLabelText(sub, 8), "0.00");
  const LevelScale log = {.kind = ScaleKind::Log, .divisions = 12, .perDivision = 0.1, .top = 0.3};
  EXPECT_EQ(LevelLabelText(log, 3), "0.0");
}

TEST_F(GraphLabelTest, ConditionAreaTraceBoxesAndStatusColumn) {
  EXPECT_EQ(Text(kFontNormal, 8, 23, "<MEAS CONDITION>", 46, 45), "");
  EXPECT_EQ(Text(kFontNormal, 136, 39, "SENS:HIGH1/CHOP", 46, 45), "");
  EXPECT_EQ(Text(kFontNormal, 320, 39, "AVG:4", 46, 45), "");
  EXPECT_EQ(Text(kFontNormal, 416, 39, "SMPL:1001", 46, 45), "");
  EXPECT_EQ(Text(kFontNormal, 8, 55, "FIBRE 7", 46, 45), "");

  // A is active (framed, bright), B shown dim, C blank in grey.
  EXPECT_EQ(g().screen.backBuffer.At(136, 126), Slot(5));
  EXPECT_EQ(Text(kFontNormal, 136 + 11, 131, "A", 5, -1), "");
  EXPECT_EQ(Text(kFontNormal, 136 + 31 + 11, 131, "B", 13, -1), "");
  EXPECT_NE(g().screen.backBuffer.At(136 + 31, 126), Slot(13));  // no frame round B
  EXPECT_EQ(Text(kFontNormal, 136 + 62 + 11, 131, "C", 50, -1), "");

  EXPECT_EQ(Text(kFontSmall, 571, 23, "A:WRITE    /DSP", 5, 47), "");
  EXPECT_EQ(Text(kFontSmall, 571, 43, "C:WRITE    /BLK", 14, 47), "");

  // Split mode: B in the lower pane moves to the lower row of boxes.
  g().screen.screenMode = 1;
  g().traces.state.pane[1] = 1;
  Redraw();
  EXPECT_EQ(Text(kFontNormal, 136 + 31 + 11, 361, "B", 13, -1), "");
  EXPECT_EQ(Text(kFontNormal, 136 + 31 + 11, 131, "B", 50, -1), "");
  EXPECT_EQ(Text(kFontSmall, 47, 323, "START:1500.000nm", 29, 28), "");
}

}  // namespace
}  // namespace vq
