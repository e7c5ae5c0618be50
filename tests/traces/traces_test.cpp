// Tests of the trace store operations: attributes, copy, clear, data, list lines and groups.
#include <algorithm>
#include <cstring>
#include <string>

#include "support/instrument_fixture.h"
#include "traces/traces.h"

namespace vq {
namespace {

class TraceTest : public InstrumentTest {
 protected:
  TraceStateBlock& state() { return g().traces.state; }
  Trace& trace(int t) { return g().traces.traces[t]; }
  void Fill(int t, int points, double level) {
    trace(t).condition.samplingPoints = points;
    std::fill_n(trace(t).level.begin(), points, level);
  }
};

TEST(TraceAttributes, GroupsAndUnknownCodes) {
  // Names are 16-byte fields, NUL padded; unknown codes have none.
  char expected[16] = "MAX HOLD ";
  EXPECT_EQ(std::memcmp(AttributeListName(2), expected, 16), 0);
  EXPECT_STREQ(AttributeCalcName(4), "");
  EXPECT_STREQ(AttributeListName(51), "");
  EXPECT_STREQ(AttributeFixedName(-1), "");

  const int subScale[] = {5, 6, 14, 15, 16, 17, 18, 19, 26, 27, 28, 29, 36, 37, 38};
  for (int code = -1; code <= kAttributeCount; ++code) {
    const bool unused = code >= 10 && code <= 13;
    EXPECT_EQ(IsCalculation(code), code >= 5 && code <= 50 && !unused) << code;
    EXPECT_EQ(AttributeHas(code, kAttrSubScale),
              std::count(std::begin(subScale), std::end(subScale), code) > 0)
        << code;
  }
}

TEST_F(TraceTest, FixKeepsWhatTheTraceWasFixedFrom) {
  ASSERT_TRUE(HoldTrace(0, kAttrMaxHold));
  EXPECT_EQ(state().holdSelection[0], kAttrMaxHold);
  ASSERT_TRUE(FixTrace(0));
  ASSERT_TRUE(FixTrace(0));  // FIX on FIX changes nothing
  EXPECT_EQ(state().attribute[0], kAttrFix);
  EXPECT_EQ(state().fixedFrom[0], kAttrMaxHold);
  EXPECT_EQ(TraceListLine(0), "A:FX MAX H /DSP");
  EXPECT_FALSE(TraceOnSubScale(0));

  ASSERT_TRUE(SetAttribute(2, 5));  // C = A-B(LOG)
  Fill(2, 11, 0.5);
  ASSERT_TRUE(FixTrace(2));
  EXPECT_TRUE(TraceOnSubScale(2));
  EXPECT_EQ(trace(2).source[10], 0.5);  // the calculated values became the source
  EXPECT_EQ(trace(2).condition.traceAttribute, 5);
  EXPECT_EQ(TraceListLine(2), "C:FX A-B   /DSP");
}

TEST_F(TraceTest, WriteOnACalculatedTraceKeepsItsValuesAndReleasesThePane) {
  ASSERT_TRUE(SetAttribute(2, 5));
  Fill(2, 1001, 2e-3);
  trace(2).level[1000] = 7e-3;
  ASSERT_TRUE(SetTracePane(2, 1));
  ASSERT_TRUE(SetPaneHold(1, true));
  ASSERT_TRUE(SetPaneHold(0, true));
  g().frame.redrawFlags = 0;
  ASSERT_TRUE(WriteTrace(2));
  EXPECT_EQ(state().attribute[2], kAttrWrite);
  EXPECT_EQ(trace(2).condition.traceAttribute, kAttrWrite);
  EXPECT_EQ(trace(2).source[0], 2e-3);
  EXPECT_EQ(trace(2).source[1000], 7e-3);
  EXPECT_EQ(state().paneHold[1], 0);
  EXPECT_EQ(state().paneHold[0], 1);  // the other pane keeps its hold
  EXPECT_EQ(g().frame.redrawFlags & 0x81146u, 0x81146u);

  // A measured attribute never touches the source array.
  trace(0).level[3] = 1.0;
  ASSERT_TRUE(HoldTrace(0, kAttrMinHold));
  ASSERT_TRUE(WriteTrace(0));
  EXPECT_EQ(trace(0).source[3], 0.0);
}

TEST_F(TraceTest, DataAndClear) {
  Fill(1, 1001, 0.0);
  EXPECT_FALSE(TraceHasData(1));  // all 0 mW: no data, whatever the points
  trace(1).level[1001] = 1e-3;    // beyond the sampling points
  EXPECT_FALSE(TraceHasData(1));
  trace(1).level[1000] = 1e-3;
  EXPECT_TRUE(TraceHasData(1));
  trace(1).condition.samplingPoints = 0;
  EXPECT_FALSE(TraceHasData(1));

  for (int t = 0; t < kTraceCount; ++t) Fill(t, 501, 1e-4 * (t + 1));
  ASSERT_TRUE(HoldTrace(3, kAttrMaxHold));
  ASSERT_TRUE(FixTrace(3));
  trace(3).source[50000] = 1.0;
  ClearAllTraces();
  for (int t = 0; t < kTraceCount; ++t) EXPECT_FALSE(TraceHasData(t)) << t;
  EXPECT_EQ(trace(3).source[50000], 0.0);
  EXPECT_EQ(state().attribute[3], kAttrFix);  // attributes stay; the origin is forgotten
  EXPECT_EQ(state().fixedFrom[3], kAttrFix);
  EXPECT_EQ(g().frame.redrawFlags, kRedrawAll);
}

TEST_F(TraceTest, CopyTakesEverythingAndFixesTheDestination) {
  trace(1).condition.samplingPoints = 2001;
  trace(1).condition.span = 12.5;
  trace(1).level[0] = 3e-3;
  trace(1).level[50000] = 4e-3;
  trace(1).source[50000] = 5e-3;
  ASSERT_TRUE(HoldTrace(1, kAttrMaxHold));
  ASSERT_TRUE(SetDisplayState(4, 1));
  ASSERT_TRUE(SetPaneHold(0, true));

  ASSERT_TRUE(TraceCopy(1, 4));
  EXPECT_EQ(std::memcmp(&trace(4).condition, &trace(1).condition, sizeof(MeasCondition)), 0);
  EXPECT_EQ(trace(4).level, trace(1).level);
  EXPECT_EQ(trace(4).source[50000], 5e-3);
  EXPECT_EQ(state().attribute[4], kAttrFix);
  EXPECT_EQ(state().fixedFrom[4], kAttrMaxHold);
  EXPECT_EQ(state().display[4], 0);
  EXPECT_EQ(state().paneHold[0], 0);
  EXPECT_EQ(state().attribute[1], kAttrMaxHold);  // the source is left alone

  // A copy of a FIX trace is fixed from the original's attribute.
  ASSERT_TRUE(TraceCopy(4, 6));
  EXPECT_EQ(state().fixedFrom[6], kAttrMaxHold);

  // Equal source and destination, or a trace out of range: nothing happens.
  trace(2).level[0] = 9.0;
  EXPECT_FALSE(TraceCopy(2, 2));
  EXPECT_FALSE(TraceCopy(2, 7));
  EXPECT_FALSE(TraceCopy(-1, 2));
  EXPECT_EQ(state().attribute[2], kAttrWrite);
  EXPECT_EQ(trace(2).level[0], 9.0);
}

TEST_F(TraceTest, ListLinesAndRefusedInput) {
  ASSERT_TRUE(RollAverageTrace(3, 10));
  g().traces.rollCounter[3] = 7;
  EXPECT_EQ(TraceListLine(3), "D:ROLL AVG /DSP");
  g().conditions.sweepState = 1;
  EXPECT_EQ(TraceListLine(3), "D:  7 ROLL AVG /DSP");
  ASSERT_TRUE(SetDisplayState(3, 1));
  EXPECT_EQ(TraceListLine(3), "D:  7 ROLL AVG /BLK");
  ASSERT_TRUE(WriteTrace(3));  // leaving ROLL AVG stops the count
  EXPECT_EQ(g().traces.rollCounter[3], 0);

  EXPECT_FALSE(SetAttribute(0, 11));
  EXPECT_FALSE(SetAttribute(0, kAttributeCount));
  EXPECT_FALSE(SetAttribute(kTraceCount, 0));
  EXPECT_FALSE(SetActiveTrace(-1));
  EXPECT_FALSE(SetDisplayState(0, 2));
  EXPECT_FALSE(SetTracePane(0, 2));
  EXPECT_FALSE(HoldTrace(0, kAttrFix));
  EXPECT_EQ(state().attribute[0], kAttrWrite);
  EXPECT_EQ(state().activeTrace, 0);
  EXPECT_EQ(TraceListLine(7), "");
}

}  // namespace
}  // namespace vq
