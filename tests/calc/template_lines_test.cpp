// Tests of the template lines: rendering on the measured axis (extrapolation, relative placement
// on the main and sub scales, shifts) and the go/no-go judgement over its range.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/markers.h"
#include "calc/template_lines.h"
#include "instrument.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {
namespace {

class TemplateLinesTest : public InstrumentTest {
 protected:
  // Trace A and the measured record on 1500 to 1600 nm in 101 points (1 nm a point), all at
  // `dbm`; the displayed window the same with -10 dBm at the top.
  void Axis(double dbm) {
    MeasCondition& s = ShowWindow1500To1600();
    s.samplingPoints = s.storedPoints = 101;
    s.noiseMask = -101;
    Trace& t = g().traces.traces[0];
    t.condition = s;
    t.condition.measurementWavelength = 2;
    g().conditions.measured = s;
    g().conditions.panes[0] = g().conditions.panes[1] = s;
    std::fill(t.level.begin(), t.level.end(), 0.0);
    for (int i = 0; i < 101; ++i) t.level[i] = DbmToLinear(dbm);
    g().traces.state.activeTrace = 0;
  }
  void Line(int k, std::vector<TemplatePoint> points, int mode, int extrapolation) {
    SetTemplateLine(k, std::move(points), mode, extrapolation);
  }
  double Db(int k, int i) { return LinearToDbm(g().templates.lines[k].rendered[i]); }
  double& Level(int i) { return g().traces.traces[0].level[i]; }
};

TEST_F(TemplateLinesTest, ExtrapolationTypes) {
  Axis(-50);
  // -10 dB at 1520 nm falling to -20 dB at 1540 nm: -0.5 dB a point between them.
  Line(kLineUpper, {{1520, -10}, {1540, -20}}, kTemplateAbsolute, kExtrapolTypeA);
  const TemplateLine& upper = g().templates.lines[kLineUpper];
  EXPECT_EQ(upper.first, 0);
  EXPECT_EQ(upper.last, 100);
  EXPECT_NEAR(Db(0, 0), -10, 1e-9);
  EXPECT_NEAR(Db(0, 30), -15, 1e-9);
  EXPECT_NEAR(Db(0, 33), -16.5, 1e-9);
  EXPECT_NEAR(Db(0, 100), -20, 1e-9);
  // TYPE B continues the end segments' straight lines: 0 dB at point 0, -30 dB at point 60.
  Line(kLineUpper, {{1520, -10}, {1540, -20}}, kTemplateAbsolute, kExtrapolTypeB);
  EXPECT_NEAR(Db(0, 0), 0, 1e-9);
  EXPECT_NEAR(Db(0, 10), -5, 1e-9);
  EXPECT_NEAR(Db(0, 60), -30, 1e-9);
  EXPECT_NEAR(Db(0, 100), -50, 1e-9);
  // NONE: the line exists from point 20 to point 40 only, 0 mW elsewhere.
  Line(kLineUpper, {{1520, -10}, {1540, -20}}, kTemplateAbsolute, kExtrapolNone);
  EXPECT_EQ(upper.first, 20);
  EXPECT_EQ(upper.last, 40);
  EXPECT_EQ(upper.rendered[19], 0.0);
  EXPECT_EQ(upper.rendered[41], 0.0);
  // Points between axis points: interpolated in the fractional index.
  Line(kLineLower, {{1520.5, -10}, {1522.5, -12}, {1530, -12}}, kTemplateAbsolute, kExtrapolNone);
  const TemplateLine& lower = g().templates.lines[kLineLower];
  EXPECT_EQ(lower.first, 21);
  EXPECT_EQ(lower.last, 30);
  EXPECT_NEAR(Db(1, 21), -10.5, 1e-9);
  EXPECT_NEAR(Db(1, 22), -11.5, 1e-9);
  EXPECT_NEAR(Db(1, 25), -12, 1e-9);
}

TEST_F(TemplateLinesTest, ZeroSpanSweepTakesTheLineAtItsWavelength) {
  Axis(-50);
  MeasCondition& m = g().conditions.measured;
  m.start = m.centre = m.stop = 1550, m.span = 0;
  // Every point lies at 1550 nm: a quarter of the way from -10 dB at 1540 to -30 dB at 1580.
  Line(kLineUpper, {{1540, -10}, {1580, -30}}, kTemplateAbsolute, kExtrapolNone);
  const TemplateLine& upper = g().templates.lines[kLineUpper];
  EXPECT_EQ(upper.first, 0);
  EXPECT_EQ(upper.last, 100);
  EXPECT_NEAR(Db(0, 0), -15, 1e-9);
  EXPECT_NEAR(Db(0, 100), -15, 1e-9);
  // A line that ends below 1550 nm exists there only when extrapolated.
  Line(kLineUpper, {{1500, -10}, {1540, -30}}, kTemplateAbsolute, kExtrapolNone);
  EXPECT_EQ(upper.first, -1);
  Line(kLineUpper, {{1500, -10}, {1540, -30}}, kTemplateAbsolute, kExtrapolTypeB);
  EXPECT_NEAR(Db(0, 50), -35, 1e-9);
}

TEST_F(TemplateLinesTest, RelativePlacementAndShifts) {
  Axis(-50);
  // On the main scale: centre 1550 nm of the window, the reference level -10 dBm.
  Line(kLineTarget, {{-10, -5}, {10, -5}}, kTemplateRelative, kExtrapolNone);
  const TemplateLine& target = g().templates.lines[kLineTarget];
  EXPECT_EQ(target.first, 40);
  EXPECT_EQ(target.last, 60);
  EXPECT_NEAR(Db(2, 50), -15, 1e-9);
  // The shifts move every line; the change is seen at the next rendering.
  g().templates.wlShift = 2;
  g().templates.levelShift = -1;
  RenderTemplateLines();
  EXPECT_EQ(target.first, 42);
  EXPECT_EQ(target.last, 62);
  EXPECT_NEAR(Db(2, 50), -16, 1e-9);
  g().templates.wlShift = g().templates.levelShift = 0;
  // A zoomed window moves the centre: 1520 to 1560 has 1540 in the middle.
  g().waveform.zoomed = true;
  g().waveform.zoomStart = 1520, g().waveform.zoomStop = 1560;
  RenderTemplateLines();
  EXPECT_EQ(target.first, 30);
  EXPECT_EQ(target.last, 50);
  g().waveform.zoomed = false;

  // The active trace on the sub scale of the lower pane of a split display.
  SetSplitDisplay(true);
  g().traces.state.pane[0] = 1;
  g().traces.state.attribute[0] = 5;  // A-B(LOG): a sub-scale trace
  ASSERT_TRUE(TraceOnSubScale(0));
  MeasCondition& pane = g().conditions.panes[1];
  pane.subScaleMode = 1;  // log: the offset level
  pane.offsetLevel = 3;
  g().conditions.panes[0].refLevel = -40;  // the other pane's scale plays no part
  RenderTemplateLines();
  EXPECT_NEAR(Db(2, 50), -2, 1e-9);
  pane.subScaleMode = 2;  // dB/km: the offset level per km
  pane.offsetLevelPerKm = -4;
  RenderTemplateLines();
  EXPECT_NEAR(Db(2, 50), -9, 1e-9);
  // Linear: the scale minimum adds to the linear value (-5 dB is 0.316 mW, plus 0.5 mW).
  pane.subScaleMode = 0;
  pane.subScaleMin = 0.5;
  RenderTemplateLines();
  EXPECT_NEAR(g().templates.lines[2].rendered[50], DbmToLinear(-5) + 0.5, 1e-12);
  // Percent: the percent minimum divided by 100, added the same way.
  pane.subScaleMode = 3;
  pane.subScaleMinPercent = 20;
  RenderTemplateLines();
  EXPECT_NEAR(g().templates.lines[2].rendered[50], DbmToLinear(-5) + 0.2, 1e-12);
}

TEST_F(TemplateLinesTest, JudgementOverItsRange) {
  Axis(-20);
  Line(kLineUpper, {{1500, -20}, {1600, -20}}, kTemplateAbsolute, kExtrapolTypeA);
  Line(kLineLower, {{1500, -40}, {1600, -40}}, kTemplateAbsolute, kExtrapolTypeA);
  // Touching the upper line exactly passes.
  SetGoNoGo(true);
  EXPECT_EQ(g().templates.result, 1);
  // Above it at the last point of the range fails there.
  Level(100) = DbmToLinear(-19.99);
  EXPECT_EQ(JudgeTemplate(), 0);
  EXPECT_EQ(g().templates.firstFailIndex, 100);
  // L1-L2 narrows the range to 1510..1590 nm: point 100 is outside, point 90 is its last.
  g().analysis.search.rangeLineMarkers = 1;
  SetLineMarker(kLineL1, 1590);  // reversed markers are exchanged
  SetLineMarker(kLineL2, 1510);
  EXPECT_EQ(JudgeTemplate(), 1);
  Level(90) = DbmToLinear(-19.99);
  EXPECT_EQ(JudgeTemplate(), 0);
  EXPECT_EQ(g().templates.firstFailIndex, 90);
  Level(9) = DbmToLinear(-60);  // below the lower line but outside the range
  EXPECT_EQ(JudgeTemplate(), 0);
  EXPECT_EQ(g().templates.firstFailIndex, 90);
  Level(10) = DbmToLinear(-60);
  EXPECT_EQ(JudgeTemplate(), 0);
  EXPECT_EQ(g().templates.firstFailIndex, 10);
  g().analysis.search.rangeLineMarkers = 0;

  // A trace far below the lower line: TYPE UPPER passes, LOWER and UPPER&LOWER fail at 0.
  Axis(-80);
  g().templates.type = kJudgeUpper;
  EXPECT_EQ(JudgeTemplate(), 1);
  g().templates.type = kJudgeLower;
  EXPECT_EQ(JudgeTemplate(), 0);
  g().templates.type = kJudgeUpperLower;
  EXPECT_EQ(JudgeTemplate(), 0);
  EXPECT_EQ(g().templates.firstFailIndex, 0);
  // With NONE the lower line judges only where it has points: 1520 to 1540 nm.
  g().templates.lines[kLineLower].points = {{1520, -40}, {1540, -40}};
  g().templates.lines[kLineLower].extrapolation = kExtrapolNone;
  TemplateEdited();
  for (int i = 20; i <= 40; ++i) Level(i) = DbmToLinear(-30);
  EXPECT_EQ(JudgeTemplate(), 1);
  Level(40) = DbmToLinear(-41);
  EXPECT_EQ(JudgeTemplate(), 0);
  EXPECT_EQ(g().templates.firstFailIndex, 40);

  // No data in the active trace: no judgement and message 131.
  std::fill(g().traces.traces[0].level.begin(), g().traces.traces[0].level.end(), 0.0);
  EXPECT_EQ(JudgeTemplate(), -1);
  EXPECT_EQ(g().messages.currentMessage, 131);
}

}  // namespace
}  // namespace vq
