// The PEAK SEARCH, MARKER and ANALYSIS keys driven as a user presses them, on a synthetic comb.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "files/trace_files.h"
#include "menu/menu_engine.h"
#include "menu/softkey_column.h"
#include "resources/colour_tables.h"
#include "support/instrument_fixture.h"
#include "traces/meas_condition.h"

namespace vq {
namespace {

// Five modes at indices 100 to 900 falling 0.3 dB a point, with a -80 dBm notch at 628, the
// bottom of the valley between the modes at 500 and 700. 1001 points over 1500 to 1600 nm, so
// index i lies at 1500 + 0.1 i nm.
constexpr int kPoints = 1001;
struct Mode {
  int index;
  double dbm;
};
constexpr Mode kModes[] = {{100, -20}, {300, -10}, {500, -15}, {700, -32}, {900, -12}};
constexpr int kNotch = 628;

class SearchKeysTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    ShowWindow1500To1600();
    Trace& t = g().traces.traces[0];
    MeasCondition& c = t.condition;
    c.start = 1500, c.stop = 1600, c.span = 100, c.centre = 1550;
    c.samplingPoints = c.storedPoints = kPoints;
    c.samplingInterval = 0.1;
    for (int i = 0; i < kPoints; ++i) {
      double dbm = -200;
      for (const Mode& m : kModes) dbm = std::max(dbm, m.dbm - 0.3 * std::abs(i - m.index));
      t.level[i] = DbmToLinear(dbm);
    }
    t.level[kNotch] = DbmToLinear(-80);
    g().traces.state.activeTrace = 0;
  }

  const MarkerSlot& marker(int n) { return g().analysis.markers[n]; }
  int Moving() { return marker(0).on ? marker(0).index : -1; }
  int Message() { return g().messages.currentMessage; }
  int16_t KeyState(int slot) { return g().menu.keySlots[slot].state; }
  // The fixed markers that are on, as data indices in number order.
  std::vector<int> Fixed() {
    std::vector<int> on;
    for (int n = 1; n <= kFixedMarkers && marker(n).on; ++n) on.push_back(marker(n).index);
    return on;
  }
};

TEST_F(SearchKeysTest, PeakBottomAndNextKeysWalkTheComb) {
  Press("Shift+F10", "F1");  // PEAK SEARCH
  ASSERT_EQ(Moving(), 300);
  EXPECT_DOUBLE_EQ(marker(0).wavelength, 1530.0);
  EXPECT_NEAR(LinearToDbm(marker(0).level), -10, 1e-9);
  Press("F3");  // NEXT LEVEL: the highest mode below -10 dBm, then below -12 dBm
  EXPECT_EQ(Moving(), 900);
  Press("F3");
  EXPECT_EQ(Moving(), 500);
  Press("F4");  // NEXT SEARCH RIGHT
  EXPECT_EQ(Moving(), 700);
  Press("F5", "F5", "F5");  // NEXT SEARCH LEFT three times
  EXPECT_EQ(Moving(), 100);
  EXPECT_EQ(Message(), 0);
  Press("F5");  // nothing further left: 103, and the marker stays
  EXPECT_EQ(Message(), 103);
  EXPECT_EQ(Moving(), 100);

  // After a bottom search the same keys look for bottoms.
  Press("F2");  // BOTTOM SEARCH
  EXPECT_EQ(Moving(), kNotch);
  EXPECT_EQ(g().analysis.search.lastKind, 0);
  Press("F5");  // the valley between 300 and 500
  EXPECT_EQ(Moving(), 408);
  Press("F4");
  EXPECT_EQ(Moving(), kNotch);
}

TEST_F(SearchKeysTest, FailedSearchKeepsTheMarkerAndHidesTheResult) {
  Press("Shift+F10", "F1");
  ASSERT_EQ(Moving(), 300);
  Press("Shift+F11", "F1", "F1");  // SPECTRAL WIDTH, THRESH: selected and run once
  ASSERT_EQ(g().analysis.resultKind, kResultSpectralWidth);
  EXPECT_EQ(g().analysis.item, kItemThresh);

  // A trace without light: PEAK SEARCH fails with 103 and leaves the marker where it was.
  std::fill_n(g().traces.traces[0].level.begin(), kPoints, 0.0);
  Press("Shift+F10", "F1");
  EXPECT_EQ(Message(), 103);
  EXPECT_EQ(Moving(), 300);
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
  // The MULTI mode fails the same way before touching the fixed markers.
  Press("Shift+F9", "F2", "Enter");  // SET MARKER 1
  ASSERT_EQ(Fixed(), std::vector<int>{300});
  Press("Shift+F10", "F8", "F1");
  EXPECT_EQ(Message(), 103);
  EXPECT_EQ(Fixed(), std::vector<int>{300});
}

TEST_F(SearchKeysTest, MultiSearchPlacesFixedMarkers) {
  Press("Shift+F9", "F2", "Enter");  // SET MARKER without a moving marker
  EXPECT_EQ(Message(), 108);
  EXPECT_TRUE(Fixed().empty());

  Press("Shift+F10", "F8");  // SEARCH MODE MULTI
  ASSERT_EQ(g().analysis.search.searchMode, 1);
  Press("F1");  // THRESH 20 dB: the modes down to -30 dBm, in wavelength order
  EXPECT_EQ(Fixed(), (std::vector<int>{100, 300, 500, 900}));
  EXPECT_EQ(Moving(), 300);

  Press("F9", "F1", "F1");  // MORE, MULTI SRCH SETTING, THRESH 6 dB
  Type("6");
  Press("Enter", "F2");  // SORT BY LVL
  EXPECT_DOUBLE_EQ(g().analysis.search.multiThresh, 6.0);
  EXPECT_EQ(g().analysis.search.sortBy, 1);
  Press("Shift+F10", "F1");  // the modes within 6 dB, highest first; marker 4 is gone
  EXPECT_EQ(Fixed(), (std::vector<int>{300, 900, 500}));
  EXPECT_DOUBLE_EQ(marker(2).wavelength, 1590.0);
}

TEST_F(SearchKeysTest, SetAndClearMarkerKeepTheNumberingWithoutGaps) {
  Press("Shift+F10", "F1");
  Press("Shift+F11", "F1", "F1");
  ASSERT_EQ(g().analysis.resultKind, kResultSpectralWidth);
  Press("Shift+F9", "F2");  // SET MARKER opens on the next free number
  EXPECT_EQ(g().entry.parameter, 38);
  EXPECT_EQ(g().entry.value, 1);
  Press("Enter");
  EXPECT_EQ(g().analysis.resultKind, kResultNone);
  EXPECT_EQ(g().entry.value, 2);
  Press("Shift+F10", "F3", "Shift+F9", "F2", "Enter");  // marker 2 on the next mode
  EXPECT_EQ(Fixed(), (std::vector<int>{300, 900}));
  Type("4");
  Press("Enter");  // 4 would leave 3 empty
  EXPECT_EQ(Message(), 108);
  EXPECT_FALSE(marker(4).on);
  Type("1");
  Press("Enter");  // an existing number takes the new place
  EXPECT_EQ(Fixed(), (std::vector<int>{900, 900}));

  Press("F3");  // CLEAR MARKER opens on the last number
  EXPECT_EQ(g().entry.value, 2);
  Press("Enter");
  EXPECT_EQ(Fixed(), std::vector<int>{900});
  Press("F2", "Enter", "F4");  // ALL MARKER CLEAR
  EXPECT_TRUE(Fixed().empty());
  EXPECT_TRUE(marker(0).on);  // the moving marker stays
}

TEST_F(SearchKeysTest, MovingMarkerEntryAndMarkerToConditions) {
  Press("Shift+F9");
  EXPECT_EQ(KeyState(4), kKeyDisabled);  // MARKER->CENTER needs a moving marker
  Press("F1");                           // MOVING MARKER: on at the centre point
  EXPECT_EQ(Moving(), 500);
  EXPECT_EQ(KeyState(4), kKeyEnabled);
  Press("Up", "Up", "Down");
  EXPECT_EQ(Moving(), 501);
  EXPECT_NEAR(g().entry.value, 1550.1, 1e-9);
  Type("1530.04");
  Press("Enter");  // the nearest data point
  EXPECT_EQ(Moving(), 300);
  EXPECT_DOUBLE_EQ(g().entry.value, 1530.0);

  Press("F5");  // MARKER->CENTER
  EXPECT_DOUBLE_EQ(g().conditions.setting.centre, 1530.0);
  Press("F6");  // MARKER->REF LEVEL
  EXPECT_DOUBLE_EQ(g().conditions.setting.refLevel, -10.0);

  // In THz the entry and the arrows follow the frequency axis: up is the shorter wavelength.
  Press("F9", "F9", "F1");  // MARKER UNIT THz
  ASSERT_EQ(g().analysis.search.markerUnit, 1);
  Press("F9", "F1", "Up");
  EXPECT_EQ(Moving(), 299);
  EXPECT_NEAR(g().entry.value, 299792.458 / 1529.9, 0.1);
}

TEST_F(SearchKeysTest, LineMarkersLimitTheSearch) {
  Press("Shift+F9", "F9", "F1");
  Type("1560");
  Press("Enter", "F2");
  Type("1540");
  Press("Enter", "F3");
  Type("-20");
  Press("Enter");
  const auto& lines = g().analysis.lineMarkers;
  ASSERT_TRUE(lines[0].on && lines[1].on && lines[2].on);
  EXPECT_DOUBLE_EQ(lines[0].value, 1560.0);
  EXPECT_NEAR(LinearToDbm(lines[2].value), -20, 1e-9);

  // L1 above L2: the limits are exchanged, and the search finds the mode between them.
  Press("Shift+F10", "F9", "F2", "F9", "F1");
  EXPECT_EQ(g().analysis.search.rangeLineMarkers, 1);
  EXPECT_EQ(Moving(), 500);
  Press("Shift+F9", "F7");  // MARKER->SPAN: |L2 - L1|
  EXPECT_NEAR(g().conditions.setting.span, 20, 1e-9);

  // A range between two data points holds none: 110.
  Press("F9", "F1");
  Type("1550.03");
  Press("Enter", "F2");
  Type("1550.07");
  Press("Enter", "Shift+F10", "F1");
  EXPECT_EQ(Message(), 110);
  EXPECT_EQ(Moving(), 500);

  Press("Shift+F9", "F9", "F5");  // LINE MARKER ALL OFF greys MARKER->SPAN
  EXPECT_FALSE(lines[0].on || lines[1].on || lines[2].on);
  Press("F9", "F9");
  EXPECT_EQ(KeyState(6), kKeyDisabled);
}

TEST_F(SearchKeysTest, AutoSearchAndAutoAnalysisExcludeEachOther) {
  Press("Shift+F11", "F5");  // AUTO ANALYSIS on runs THRESH once
  EXPECT_EQ(g().analysis.autoAnalysis, 1);
  EXPECT_EQ(g().analysis.resultKind, kResultSpectralWidth);
  Press("Shift+F10", "F7");  // AUTO SEARCH on: AUTO ANALYSIS goes off
  EXPECT_EQ(g().analysis.search.autoSearch, 1);
  EXPECT_EQ(g().analysis.autoAnalysis, 0);
  EXPECT_EQ(Message(), 5);
  EXPECT_EQ(Moving(), 300);
  Press("Shift+F11", "F5");
  EXPECT_EQ(g().analysis.search.autoSearch, 0);
  EXPECT_EQ(Message(), 6);

  // A dropped file: AUTO UPDATE refreshes the fixed marker's level, AUTO SEARCH moves the marker.
  Press("Shift+F11", "F5", "Shift+F10", "F7");
  Press("Shift+F9", "F2", "Enter", "F9", "F9", "F3");
  ASSERT_EQ(g().analysis.search.markerAutoUpdate, 1);
  g().traces.traces[0].level[300] = DbmToLinear(-40);
  g().traces.traces[0].level[800] = DbmToLinear(0);
  ASSERT_EQ(WriteTraceBinary(home.Path() + "new.wdt", 0), 0);
  SetDroppedFiles({home.Path() + "new.wdt"});
  WindowProc(WM_DROPFILES, 0, 0);
  ASSERT_TRUE(PumpUntilIdle(host));
  EXPECT_NEAR(LinearToDbm(marker(1).level), -40, 1e-5);
  EXPECT_EQ(marker(1).index, 300);
  EXPECT_EQ(Moving(), 800);
}

TEST_F(SearchKeysTest, ItemKeysAndGreyedAnalysisKeys) {
  DistinctSlotColours();
  Press("Shift+F11");
  EXPECT_EQ(KeyState(3), kKeyEnabled);   // ANALYSIS EXECUTE
  EXPECT_EQ(KeyState(5), kKeyEnabled);   // PARAMETER SETTING of the selected item
  EXPECT_EQ(KeyState(6), kKeyDisabled);  // SWITCH DISPLAY: no channel table
  EXPECT_EQ(KeyState(7), kKeyDisabled);  // RESULT: no result yet
  Press("F2");                           // ANALYSIS 1 opens: DFB-LD .. PMD are live
  EXPECT_EQ(KeyState(0), kKeyEnabled);
  Press("F9", "F1", "F3");  // RMS chosen: painted held, the others not
  EXPECT_EQ(g().analysis.item, kItemRms);
  const auto fill = [&](int slot) {
    return g().screen.backBuffer.At(kSoftKeyBoxX + 40, SoftKeyBoxY(slot) + 3);
  };
  EXPECT_EQ(fill(2), Slot(kSlotFuncPush));
  EXPECT_EQ(fill(0), Slot(kSlotFunction));
  g().analysis.resultKind = kResultNone;
  Press("F9", "F4");  // EXECUTE runs the selected item
  EXPECT_EQ(g().analysis.resultKind, kResultSpectralWidth);
  EXPECT_EQ(KeyState(7), kKeyEnabled);
}

}  // namespace
}  // namespace vq
