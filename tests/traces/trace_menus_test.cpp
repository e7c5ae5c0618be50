// Tests of the TRACE and DISPLAY menus through the keys.
#include <string>

#include "frame/key_names.h"
#include "menu/menu_engine.h"
#include "support/instrument_fixture.h"
#include "traces/traces.h"

namespace vq {
namespace {

class TraceMenuTest : public StartedInstrumentTest {
 protected:
  void Type(const std::string& text) {
    for (char c : text) {
      WindowProc(WM_CHAR, static_cast<uintptr_t>(c), 0);
      PumpUntilIdle(host);
    }
  }
  TraceStateBlock& state() { return g().traces.state; }
  const SoftKeySlot& key(int slot) { return g().menu.keySlots[slot]; }
  std::string Value(int slot) { return key(slot).lines[2]; }
  // The highlighted word of a key's value line, or -1 when none is.
  int Marked(int slot) { return (key(slot).style & 3) == 1 ? key(slot).index : -1; }
};

TEST_F(TraceMenuTest, ActiveTraceAndAttributes) {
  Press("Shift+F6");
  ASSERT_EQ(g().menu.page, 21);
  EXPECT_EQ(Value(0), "A");
  Press("F1");
  ASSERT_EQ(g().menu.page, 23);
  EXPECT_EQ(Marked(0), 0);  // trace A is the active one
  EXPECT_EQ(Marked(2), -1);
  Press("F3");
  EXPECT_EQ(state().activeTrace, 2);
  ASSERT_EQ(g().menu.page, 21);  // back to TRACE, ready to act on C
  EXPECT_EQ(Value(0), "C");
  EXPECT_EQ(Marked(2), 0);  // WRITE is set

  Press("F4");  // FIX
  EXPECT_EQ(state().attribute[2], kAttrFix);
  EXPECT_EQ(state().fixedFrom[2], kAttrWrite);
  EXPECT_EQ(Marked(3), 0);
  EXPECT_EQ(Marked(2), -1);
  Press("F3");  // WRITE
  EXPECT_EQ(state().attribute[2], kAttrWrite);
  Press("F5");  // MAX HOLD
  EXPECT_EQ(state().attribute[2], kAttrMaxHold);
  EXPECT_EQ(state().attribute[0], kAttrWrite);  // the other traces are untouched

  Press("F2");  // VIEW: blank, then displayed again
  EXPECT_EQ(state().display[2], 1);
  EXPECT_EQ(Value(1), "DISP BLANK");
  EXPECT_EQ(Marked(1), 1);
  Press("F2");
  EXPECT_EQ(state().display[2], 0);
  EXPECT_EQ(Marked(1), 0);

  // CALCULATE opens the page of each calculated trace, whose functions are live.
  Press("F8");
  ASSERT_EQ(g().menu.page, 24);
  Press("F1");
  ASSERT_EQ(g().menu.page, 25);
  EXPECT_NE(key(0).state, kKeyDisabled);
}

TEST_F(TraceMenuTest, RollAverageEntry) {
  Press("Shift+F6", "F7");
  EXPECT_EQ(g().entry.parameter, 66);
  EXPECT_EQ(state().attribute[0], kAttrRollAvg);
  EXPECT_EQ(g().traces.traces[0].condition.rollAverageTimes, 2);  // the smallest allowed
  Type("15");
  Press("Enter");
  EXPECT_EQ(g().traces.traces[0].condition.rollAverageTimes, 15);
  EXPECT_EQ(Value(6), "  15");
  EXPECT_EQ(Marked(6), 0);
  Press("Up");
  EXPECT_EQ(g().traces.traces[0].condition.rollAverageTimes, 16);
  Type("500");
  Press("Enter");
  EXPECT_EQ(g().traces.traces[0].condition.rollAverageTimes, 100);
  Press("F3");  // WRITE ends the entry
  EXPECT_EQ(g().entry.parameter, -1);
  EXPECT_EQ(state().attribute[0], kAttrWrite);
  EXPECT_EQ(Value(6), " 100");
}

TEST_F(TraceMenuTest, CopyAndClear) {
  g().traces.traces[1].condition.samplingPoints = 101;
  g().traces.traces[1].level[100] = 2e-3;
  Press("Shift+F6", "F9", "F1");  // MORE 1/2; TRACE COPY
  ASSERT_EQ(g().menu.page, 35);
  Press("F1");  // SOURCE: A -> B
  EXPECT_EQ(Value(0), "B");
  Press("F2");  // DESTINATION: A -> B, then E typed
  Type("e");
  EXPECT_EQ(state().copyDestination, 4);
  EXPECT_EQ(Value(1), "E");
  Press("Down");
  EXPECT_EQ(state().copyDestination, 3);
  Press("F3");  // EXECUTE
  EXPECT_EQ(g().traces.traces[3].level[100], 2e-3);
  EXPECT_EQ(state().attribute[3], kAttrFix);
  EXPECT_TRUE(TraceHasData(3));

  Press("F9", "F2");  // back to TRACE; TRACE CLEAR
  ASSERT_EQ(g().menu.page, 36);
  Press("F4");  // CLEAR TRACE D
  EXPECT_FALSE(TraceHasData(3));
  EXPECT_TRUE(TraceHasData(1));
  Press("F8");  // ALL TRACE CLEAR
  EXPECT_FALSE(TraceHasData(1));
}

TEST_F(TraceMenuTest, SplitDisplayAndPanes) {
  Press("Shift+F8");
  ASSERT_EQ(g().menu.page, 41);
  EXPECT_EQ(key(3).state, kKeyDisabled);  // UPPER HOLD needs the split display
  EXPECT_EQ(key(5).state, kKeyDisabled);  // LABEL is not here yet
  EXPECT_EQ(Marked(0), 0);
  Press("F2");  // SPLIT
  EXPECT_EQ(g().screen.screenMode, 1);
  EXPECT_EQ(state().splitMode, 1);
  EXPECT_EQ(Marked(1), 0);
  EXPECT_EQ(Marked(0), -1);

  Press("F4");  // UPPER HOLD
  EXPECT_EQ(state().paneHold[0], 1);
  EXPECT_EQ(Value(3), "OFF ON");
  EXPECT_EQ(Marked(3), 1);
  Press("F3");  // TRACE UP/LOW
  ASSERT_EQ(g().menu.page, 42);
  Press("F2");  // trace B to the lower pane
  EXPECT_EQ(state().pane[1], 1);
  EXPECT_EQ(Marked(1), 1);
  EXPECT_EQ(state().pane[0], 0);

  Press("Shift+F8", "F1");  // NORMAL
  EXPECT_EQ(g().screen.screenMode, 0);
}

}  // namespace
}  // namespace vq
