// Tests of the markers on the graph, the marker row and the data area.
#include "screen/marker_layer.h"

#include <cmath>

#include "resources/colour_tables.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

double Mw(double dbm) {
  return std::pow(10.0, dbm / 10);
}

// 1500 to 1600 nm, -10 dBm at the top, 10 dB/D: a row is 0.25 dB, a column 1/6 nm. Trace A has
// 1001 points at -60 dBm (row 350) with a peak of -20 dBm (row 190) at index 200 (1520 nm).
class MarkerLayerTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    DistinctSlotColours();
    MeasCondition& c = ShowWindow1500To1600();
    g().conditions.panes[0] = g().conditions.panes[1] = c;
    for (int t = 1; t < kTraceCount; ++t) g().traces.state.display[t] = 1;
    Trace& a = g().traces.traces[0];
    a.condition.start = 1500, a.condition.stop = 1600, a.condition.span = 100;
    a.condition.samplingPoints = a.condition.storedPoints = 1001;
    std::fill(a.level.begin(), a.level.begin() + 1001, Mw(-60));
    a.level[200] = Mw(-20);
  }
  void Redraw() {
    g().frame.redrawFlags = kRedrawAll;
    RedrawScreen(true, false);
  }
  uint32_t At(int x, int y) { return g().screen.backBuffer.At(x, y); }
  int CountInGraph(int slot) {
    int n = 0;
    for (int y = 150; y < 551; ++y) {
      for (int x = 47; x < 648; ++x) n += At(x, y) == Slot(slot);
    }
    return n;
  }
  AnalysisState& a() { return g().analysis; }
};

TEST_F(MarkerLayerTest, MarkersAndLinesLandOnTheirRowsAndColumns) {
  a().markers[0] = {.on = 1, .trace = 0, .index = 200, .wavelength = 1520, .level = Mw(-20)};
  a().markers[1] = {.on = 1, .trace = 0, .index = 250, .wavelength = 1525, .level = Mw(-60)};
  a().lineMarkers = {{{1, 1575.0}, {0, 0.0}, {1, Mw(-30)}, {1, Mw(-120)}}};
  Redraw();

  // The moving marker's tip on the peak, its triangle above; the column is the plotted one.
  EXPECT_EQ(At(167, 190), Slot(kSlotMarker));
  EXPECT_EQ(At(164, 187), Slot(kSlotMarker));
  EXPECT_NE(At(167, 186), Slot(kSlotMarker));
  EXPECT_EQ(At(167, 191), Slot(kSlotTraceA));
  EXPECT_EQ(a().markers[0].x, 167);
  EXPECT_EQ(a().markers[0].y, 190);
  // Fixed marker 1: a diamond centred on its point and its number above.
  EXPECT_EQ(At(197, 350), Slot(kSlotMarker));
  EXPECT_EQ(At(194, 350), Slot(kSlotMarker));
  EXPECT_EQ(At(197, 347), Slot(kSlotMarker));
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 193, 337, "1", Slot(kSlotMarker), 0),
            "");
  EXPECT_EQ(a().markers[1].x, 197);
  // L1 from the top row to the bottom row; L3 across; L4 is below the scale and not drawn.
  EXPECT_EQ(At(497, 150), Slot(kSlotLineMarker1));
  EXPECT_EQ(At(497, 550), Slot(kSlotLineMarker1));
  EXPECT_NE(At(497, 551), Slot(kSlotLineMarker1));
  EXPECT_EQ(At(47, 230), Slot(kSlotLineMarker1 + 2));
  EXPECT_EQ(At(647, 230), Slot(kSlotLineMarker1 + 2));
  EXPECT_EQ(CountInGraph(kSlotLineMarker1 + 3), 0);
  // The marker row shows the moving marker and the line markers.
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 6, 100, "  MKR:1520.0000nm",
                         Slot(kSlotMeasChar), Slot(kSlotMeasBack)),
            "");
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 6 + 8 * 40, 100, "   L3: -30.000dBm",
                         Slot(kSlotMeasChar), Slot(kSlotMeasBack)),
            "");

  // On a frequency axis the columns run the other way.
  g().conditions.setting.frequencyMode = 1;
  Redraw();
  EXPECT_EQ(a().markers[0].x, 47 + 600 - 120);
  EXPECT_EQ(At(47 + 600 - 120, 190), Slot(kSlotMarker));
  EXPECT_EQ(At(47 + 600 - 450, 300), Slot(kSlotLineMarker1));
  g().conditions.setting.frequencyMode = 0;

  // A level above the scale keeps the whole mark inside the graph, at its top edge.
  a().markers[0].level = Mw(10);
  Redraw();
  EXPECT_EQ(At(167, 153), Slot(kSlotMarker));
  EXPECT_EQ(At(164, 150), Slot(kSlotMarker));
  EXPECT_EQ(At(167, 149), Slot(kSlotWaveFrame1));

  // A blanked trace takes its markers off the graph.
  g().traces.state.display[0] = 1;
  Redraw();
  EXPECT_EQ(CountInGraph(kSlotMarker), 0);
  EXPECT_EQ(a().markers[0].x, 0);
  EXPECT_EQ(a().markers[1].y, 0);
}

TEST_F(MarkerLayerTest, AMarkerChangeRedrawsTheMarkerRowAndKeepsTheGraph) {
  Redraw();
  const uint32_t graph = At(100, 300), softKeys = At(750, 300);
  a().markers[0] = {.on = 1, .trace = 0, .index = 200, .wavelength = 1520, .level = Mw(-20)};
  for (uint32_t flags : {kRedrawConditions | kRedrawDynamicOnly, kRedrawBackground}) {
    g().frame.redrawFlags = flags;
    RedrawScreen(true, false);
    EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 6, 100, "  MKR:1520.0000nm",
                           Slot(kSlotMeasChar), Slot(kSlotMeasBack)),
              "")
        << flags;
    EXPECT_EQ(At(167, 190), Slot(kSlotMarker)) << flags;
    EXPECT_EQ(At(100, 300), graph) << flags;
    EXPECT_EQ(At(750, 300), softKeys) << flags;
  }
}

TEST_F(MarkerLayerTest, WidthResultDrawsLevelLinesMarksAndItsBlock) {
  a().markers[1] = {.on = 1, .trace = 0, .index = 250, .wavelength = 1525, .level = Mw(-60)};
  Redraw();
  EXPECT_EQ(DataAreaShows(), DataAreaContent::MarkerList);
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 8, 33, "MKR0001: A 1525.0000nm",
                         Slot(kSlotCalChar), Slot(kSlotCalBack)),
            "");
  EXPECT_EQ(CountInGraph(kSlotAnalysisWave), 0);

  a().resultKind = kResultSpectralWidth;
  a().resultTrace = 0;
  a().item = kItemThresh;
  a().working = kWidthDefaults[kItemThresh];
  a().width = {.widthNm = 2.0, .centreNm = 1550, .modeCount = 1};
  a().width.refLevel = Mw(-20);
  a().width.threshLevel = Mw(-23);
  a().analysisMarkers = {
      {{500, Mw(-20), 1550, 1550}, {494, Mw(-23), 1549.4, 1549.0}, {506, Mw(-23), 1550.6, 1551.0}}};
  Redraw();
  // Dashed level lines at the reference (row 190) and the threshold (row 202).
  EXPECT_EQ(At(47, 190), Slot(kSlotAnalysisWave));
  EXPECT_EQ(At(47, 202), Slot(kSlotAnalysisWave));
  EXPECT_EQ(At(51, 202), Slot(kSlotWaveBack));
  // The three marks: the edges where the fractional positions lie, not at their data points.
  EXPECT_EQ(At(347, 190), Slot(kSlotSpecialMarker));
  EXPECT_EQ(At(341, 202), Slot(kSlotSpecialMarker));
  EXPECT_EQ(At(353, 202), Slot(kSlotSpecialMarker));
  // The result block replaces the marker list, its labels in the instrument's glyphs.
  EXPECT_EQ(DataAreaShows(), DataAreaContent::ResultBlock);
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontNormal, 8, 39,
                         "  THRESH LEVEL:  3.00dB          \x8D\x8B:    2.0000nm",
                         Slot(kSlotCalChar), Slot(kSlotCalBack)),
            "");

  a().resultKind = kResultNone;
  Redraw();
  EXPECT_EQ(CountInGraph(kSlotAnalysisWave), 0);
  EXPECT_EQ(CountInGraph(kSlotSpecialMarker), 0);
}

}  // namespace
}  // namespace vq
