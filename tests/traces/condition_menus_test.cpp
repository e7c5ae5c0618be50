// Tests of the CENTER, SPAN, LEVEL and SETUP keys, pressed through the window procedure.
#include <algorithm>
#include <cstring>
#include <string>

#include "frame/key_names.h"
#include "menu/menu_engine.h"
#include "menu/softkey_column.h"
#include "screen/renderer.h"
#include "screen/waveform.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

class ConditionMenuTest : public StartedInstrumentTest {
 protected:
  // Types the text and Enter; the loop draws (and clears the redraw flags) unless told not to.
  void Type(const std::string& text, bool draw = true) {
    for (char ch : text) WindowProc(WM_CHAR, static_cast<uintptr_t>(ch), 0);
    WindowProc(WM_COMMAND, static_cast<uintptr_t>(KeyNameCommand("Enter")), 0);
    if (draw) PumpUntilIdle(host);
  }
  // The value line of a key as the column last painted it.
  std::string ValueLine(int slot) {
    CaptureSoftKeyLabels();
    return g().menu.keySlots[slot].lines[2];
  }
  MeasCondition& setting() { return g().conditions.setting; }
  // The first row of the graph between y0 and y1 where column x shows the trace, -1 none.
  int TraceRow(int trace, int x, int y0, int y1) {
    for (int y = y0; y <= y1; ++y) {
      if (g().screen.backBuffer.At(x, y) == Slot(TraceSlot(trace))) return y;
    }
    return -1;
  }
};

TEST_F(ConditionMenuTest, CentreEntryCouplesTheWindow) {
  ASSERT_EQ(setting().centre, 1550);
  Press("Shift+F2");
  EXPECT_EQ(ValueLine(0), "1550.000nm");
  Press("F1");
  ASSERT_EQ(g().entry.parameter, 0);
  g().frame.redrawFlags = 0;
  Type("1550.5", false);
  EXPECT_EQ(g().frame.redrawFlags & 0x7F0016u, 0x7F0016u);
  PumpUntilIdle(host);
  EXPECT_EQ(setting().centre, 1550.5);
  EXPECT_EQ(setting().start, 1500.5);
  EXPECT_EQ(setting().stop, 1600.5);
  Press("Up");  // the fine step of CENTER WL
  EXPECT_NEAR(setting().centre, 1550.6, 1e-9);
  EXPECT_NEAR(setting().stop, 1600.6, 1e-9);
  EXPECT_EQ(ValueLine(0), "1550.600nm");
  // A value beyond the model's range is clamped, and letters are refused.
  Type("99999");
  EXPECT_EQ(setting().centre, 1700);
  const MeasCondition before = setting();
  Type("x");
  EXPECT_EQ(std::memcmp(&before, &setting(), sizeof before), 0);
  // Leaving the key closes the entry.
  Press("Shift+F3");
  EXPECT_EQ(g().entry.parameter, -1);
}

TEST_F(ConditionMenuTest, FrequencyAxisAndSpan) {
  Press("Shift+F2", "F7");  // HORZN SCALE
  EXPECT_EQ(setting().frequencyMode, 1);
  Press("F1");
  EXPECT_EQ(g().entry.parameter, 1);  // CENTER FREQ
  Type("193.4");
  EXPECT_NEAR(WavelengthToFrequency(setting().centre), 193.4, 1e-5);
  EXPECT_EQ(ValueLine(0), "193.4000THz");
  Press("F7", "Shift+F3", "F1");  // SPAN
  EXPECT_EQ(g().entry.parameter, 2);
  Type("20");
  EXPECT_EQ(setting().span, 20);
  EXPECT_NEAR(setting().start, setting().centre - 10, 1e-9);
  EXPECT_EQ(setting().samplingPoints, 1001);  // AUTO: 20 nm / 0.02 nm
  Press("F5");                                // FULL SPAN
  EXPECT_EQ(setting().start, 600);
  EXPECT_EQ(setting().stop, 1700);
}

TEST_F(ConditionMenuTest, LevelScales) {
  Press("Shift+F4", "F1");
  EXPECT_EQ(g().entry.parameter, 16);
  Type("-20");
  EXPECT_EQ(setting().refLevel, -20);
  Press("F3");  // LIN SCALE
  EXPECT_EQ(setting().logScale, -10);
  Press("F1");
  EXPECT_EQ(g().entry.parameter, 17);  // the linear reference level, in mW
  EXPECT_NEAR(g().entry.value, 0.01, 1e-15);
  Press("Shift+F4", "F2");  // LOG SCALE: back to a logarithmic scale
  EXPECT_EQ(g().entry.parameter, 18);
  EXPECT_EQ(g().entry.value, 10);
  Type("5");
  EXPECT_EQ(setting().logScale, 5);
  EXPECT_EQ(ValueLine(1), " 5.0dB/D");
  Press("F6");  // LEVEL UNIT switches and shows the word it chose
  EXPECT_EQ(setting().levelUnit, 1);
  EXPECT_EQ(ValueLine(5), "dBm dBm/nm");
  EXPECT_EQ(g().menu.keySlots[5].style, 1);
  EXPECT_EQ(g().menu.keySlots[5].index, 1);
}

TEST_F(ConditionMenuTest, LevelKeysRescaleThePaneOfTheActiveTraceInSplitDisplay) {
  DistinctSlotColours();
  // A (active, upper pane) and C (lower pane) flat at -60 dBm over the whole window.
  for (int t : {0, 2}) {
    Trace& trace = g().traces.traces[t];
    trace.condition = setting();
    trace.condition.storedPoints = trace.condition.samplingPoints;
    std::fill_n(trace.level.begin(), trace.condition.samplingPoints, 1e-6);
    g().traces.state.display[t] = 0;
  }
  g().traces.state.pane[2] = 1;
  const MeasCondition lower = g().conditions.panes[1];
  Press("Shift+F8", "F2");  // SPLIT
  const int upperRow = TraceRow(0, 300, 150, 320), lowerRow = TraceRow(2, 300, 380, 550);
  ASSERT_GT(upperRow, 150);
  ASSERT_GT(lowerRow, 380);

  const double upperRef = g().conditions.panes[0].refLevel;
  Press("Shift+F4", "F1");  // REF LEVEL
  Type("-20");
  EXPECT_EQ(g().conditions.panes[0].refLevel, -20);
  EXPECT_NEAR(TraceRow(0, 300, 150, 320), upperRow - 17, 1);  // one division of 171 rows up
  EXPECT_EQ(TraceRow(2, 300, 380, 550), lowerRow);
  Press("Alt+F9");  // UNDO/LOCAL takes the pane back with the setting
  EXPECT_EQ(g().conditions.panes[0].refLevel, upperRef);
  EXPECT_EQ(TraceRow(0, 300, 150, 320), upperRow);
  Press("Shift+F4", "F1");
  Type("-20");
  Press("F2");  // LOG SCALE
  Type("5");
  EXPECT_EQ(g().conditions.panes[0].logScale, 5);
  Press("F3");  // LIN SCALE
  EXPECT_EQ(g().conditions.panes[0].logScale, -5);
  EXPECT_EQ(std::memcmp(&lower, &g().conditions.panes[1], sizeof lower), 0);

  // A held pane keeps its scale; with A in the lower pane the lower one follows.
  Press("Shift+F8", "F4");  // UPPER HOLD
  Press("Shift+F4", "F2");
  Type("2");
  EXPECT_EQ(setting().logScale, 2);
  EXPECT_EQ(g().conditions.panes[0].logScale, -5);
  Press("Shift+F8", "F3", "F1");  // TRACE UP/LOW: A to the lower pane
  ASSERT_EQ(g().traces.state.pane[0], 1);
  Press("Shift+F4", "F1");
  Type("-30");
  EXPECT_EQ(g().conditions.panes[1].refLevel, -30);
  EXPECT_EQ(g().conditions.panes[1].logScale, 2);
  EXPECT_EQ(g().conditions.panes[0].refLevel, -20);
}

TEST_F(ConditionMenuTest, SetupResolutionAndSampling) {
  Press("Shift+F5");
  EXPECT_EQ(ValueLine(1), "NORM/AUTO");
  Press("F1", "F1");  // RESOLUTION page; 0.02nm
  EXPECT_EQ(setting().resolution, 0.02);
  EXPECT_EQ(setting().samplingPoints, 25001);
  Press("F9");
  EXPECT_EQ(ValueLine(0), " 0.020nm");
  Press("F4");  // SAMPLING POINT
  Type("2001");
  EXPECT_EQ(setting().samplingAuto, 0);
  EXPECT_EQ(setting().samplingPoints, 2001);
  EXPECT_NEAR(setting().samplingInterval, 0.05, 1e-12);
  Press("F5");  // SAMPLING POINT AUTO
  EXPECT_EQ(setting().samplingAuto, 1);
  EXPECT_EQ(setting().samplingPoints, 25001);
  Press("F3");  // AVERAGE TIMES
  Type("2000");
  EXPECT_EQ(setting().averageTimes, 999);
}

TEST_F(ConditionMenuTest, GreyedKeysChangeNothing) {
  Press("Shift+F2");
  const MeasCondition before = setting();
  const MenuId current = g().menu.currentMenu;
  for (const char* key : {"F4", "F5", "F6"}) {  // PEAK->CENTER, MEAN WL->CENTER, AUTO CENTER
    Press(key);
    EXPECT_EQ(g().menu.currentMenu, current) << key;
  }
  EXPECT_EQ(std::memcmp(&before, &setting(), sizeof before), 0);
  EXPECT_EQ(g().entry.parameter, -1);
}

TEST_F(ConditionMenuTest, UndoLocalTakesBackChangesMadeInTheCurrentMenu) {
  DistinctSlotColours();
  EXPECT_EQ(NodeState(kNodeUndoLocal), kKeyDisabled);  // nothing to take back yet
  Press("Shift+F2", "F1");
  Type("1560");
  Type("1570");
  ASSERT_EQ(setting().centre, 1570);
  for (char ch : {'1', '2'}) WindowProc(WM_CHAR, static_cast<uintptr_t>(ch), 0);
  Press("Alt+F9");
  EXPECT_EQ(setting().centre, 1550);  // back to the value when the menu was entered
  EXPECT_EQ(setting().start, 1500);
  EXPECT_EQ(NodeState(kNodeUndoLocal), kKeyDisabled);
  // The open entry shows the restored value, its typed digits dropped, and steps from it.
  ASSERT_EQ(g().entry.parameter, 0);
  EXPECT_EQ(ValueLine(0), "1550.000nm");
  EXPECT_EQ(
      TextMismatch(g().screen.backBuffer, kFontNormal, 512, 196, "1550.000nm", Slot(42), Slot(48)),
      "");
  Press("Up");
  EXPECT_NEAR(setting().centre, 1550.1, 1e-9);

  // A change is no longer taken back once another menu was entered.
  Press("F1");
  Type("1555");
  Press("Shift+F3", "Alt+F9");
  EXPECT_EQ(setting().centre, 1555);
}

}  // namespace
}  // namespace vq
