// The TEMPLATE and TEMPLATE EDIT keys driven as a user presses them, and what the screen shows:
// the lines, "PASS"/"FAIL", the edit table.
#include <gtest/gtest.h>

#include <string>

#include "analysis/markers.h"
#include "calc/template_lines.h"
#include "resources/colour_tables.h"
#include "resources/fonts.h"
#include "screen/renderer.h"
#include "screen/template_view.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

// 1500 to 1600 nm, -10 dBm at the top, 10 dB/D over 401 rows (40 rows a division); trace A at
// -20 dBm in 101 points; the upper line at -15 dBm (row 170), the lower at -30 dBm.
class TemplateScreenTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    DistinctSlotColours();
    MeasCondition& c = ShowWindow1500To1600();
    c.samplingPoints = c.storedPoints = 101;
    g().conditions.measured = g().conditions.panes[0] = g().conditions.panes[1] = c;
    for (int t = 1; t < kTraceCount; ++t) g().traces.state.display[t] = 1;
    Trace& a = g().traces.traces[0];
    a.condition = c;
    std::fill(a.level.begin(), a.level.begin() + 101, DbmToLinear(-20));
    g().traces.state.activeTrace = 0;
    SetTemplateLine(kLineUpper, {{1500, -15}, {1600, -15}}, kTemplateAbsolute, kExtrapolTypeA);
    SetTemplateLine(kLineLower, {{1500, -30}, {1600, -30}}, kTemplateAbsolute, kExtrapolTypeA);
  }
  void Redraw() {
    g().frame.redrawFlags = kRedrawAll;
    RedrawScreen(true, false);
  }
  uint32_t At(int x, int y) { return g().screen.backBuffer.At(x, y); }
  bool InColumn(int x, int from, int to, int slot) {
    for (int y = from; y <= to; ++y) {
      if (At(x, y) == Slot(slot)) return true;
    }
    return false;
  }
};

TEST_F(TemplateScreenTest, GoNoGoShowsPassThenFail) {
  Press("Alt+F5", "F1", "F1");  // ADVANCE, TEMPLATE, GO/NO GO
  ASSERT_EQ(g().templates.goNoGo, 1);
  EXPECT_EQ(g().templates.result, 1);
  Redraw();
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 602, 158, "PASS", Slot(78), 0), "");
  // The upper line in the template colour near row 170, labelled "U" at its right end.
  EXPECT_TRUE(InColumn(300, 168, 172, 26));
  EXPECT_FALSE(InColumn(300, 151, 160, 26));
  EXPECT_TRUE(InColumn(300, 228, 232, 26));  // the lower line, -30 dBm
  // New data above the upper line are judged at once.
  g().traces.traces[0].level[50] = DbmToLinear(-12);
  NewTraceData(0);
  EXPECT_EQ(g().templates.result, 0);
  EXPECT_EQ(g().templates.firstFailIndex, 50);
  Redraw();
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 602, 158, "FAIL", Slot(78), 0), "");
  // Judged again before drawing when the window changes: zoomed to 1500..1540 nm, point 50
  // (1550 nm) is outside the judged range.
  g().waveform.zoomed = true;
  g().waveform.zoomStart = 1500, g().waveform.zoomStop = 1540;
  Redraw();
  EXPECT_EQ(g().templates.result, 1);
  g().waveform.zoomed = false;
  Redraw();
  EXPECT_EQ(g().templates.result, 0);
  // ... and when the active trace changes: trace B holds no data.
  g().traces.state.activeTrace = 1;
  Redraw();
  EXPECT_EQ(g().templates.result, -1);
  EXPECT_EQ(g().messages.currentMessage, 131);
  g().traces.state.activeTrace = 0;
  Redraw();
  EXPECT_EQ(g().templates.result, 0);
  // TYPE LOWER: the upper line is not judged.
  Press("F2", "F2");  // TYPE: UPPER, then LOWER
  EXPECT_EQ(g().templates.type, kJudgeLower);
  EXPECT_EQ(g().templates.result, 1);
  // Off: nothing shown.
  Press("F1");
  EXPECT_EQ(JudgementText(), "");
}

TEST_F(TemplateScreenTest, EditTableAndValueEdit) {
  Press("Alt+F5", "F1", "F3");  // ADVANCE, TEMPLATE, TEMPLATE EDIT
  const std::vector<std::string> lines = TemplateEditLines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "TEMPLATE EDIT (UPPER)");
  EXPECT_EQ(lines[1], "        MODE: ABSOLUTE     EXTRAPOL:TYPE A");
  EXPECT_EQ(lines[2], " POINT NO.   ABSOLUTE WL[nm]    ABSOLUTE LEVEL[dB]");
  EXPECT_EQ(lines[3], "        1       1500.000            -15.00");
  Redraw();
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 55, 158, "TEMPLATE EDIT (UPPER)",
                         Slot(kSlotMainChar), 0),
            "");
  // VALUE EDIT: point 3 (one past the last) at 1550 nm, -5 dB goes between the two.
  Press("F2");
  Type("3");
  Press("Enter");
  Type("1550");
  Press("Enter");
  Type("-5");
  Press("Enter");
  const TemplateLine& upper = g().templates.lines[kLineUpper];
  ASSERT_EQ(upper.points.size(), 3u);
  EXPECT_EQ(upper.points[1].wl, 1550);
  EXPECT_EQ(upper.points[1].level, -5);
  EXPECT_NEAR(LinearToDbm(upper.rendered[50]), -5, 1e-9);
  // LINE SELECT, MODE REL, EXTRAPOL: the table follows the chosen line.
  Press("F1", "F4", "F5", "F5");
  EXPECT_EQ(g().templates.lines[kLineLower].mode, kTemplateRelative);
  EXPECT_EQ(g().templates.lines[kLineLower].extrapolation, kExtrapolNone);
  EXPECT_EQ(TemplateEditLines()[0], "TEMPLATE EDIT (LOWER)");
  EXPECT_EQ(TemplateEditLines()[2], " POINT NO.   RELATIVE WL[nm]    RELATIVE LEVEL[dB]");
  // ALL DELETE empties the line, which then has nothing to draw.
  Press("F3");
  EXPECT_TRUE(g().templates.lines[kLineLower].points.empty());
  EXPECT_EQ(g().templates.lines[kLineLower].first, -1);
}

}  // namespace
}  // namespace vq
