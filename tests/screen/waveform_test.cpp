// Tests of the waveform display: level scales, column mapping and filling, plotted pixels, zoom.
#include "screen/waveform.h"

#include <cmath>

#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"
#include "resources/colour_tables.h"
#include "screen/screen_areas.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

double Mw(double dbm) {
  return std::pow(10.0, dbm / 10);
}

// A started instrument showing 1500 to 1600 nm, -10 dBm at the top, 10 dB/D, every trace blank.
class WaveformTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    DistinctSlotColours();
    MeasCondition& c = ShowWindow1500To1600();
    g().conditions.panes[0] = g().conditions.panes[1] = c;
    for (int t = 0; t < kTraceCount; ++t) g().traces.state.display[t] = 1;
    g().traces.state.activeTrace = 0;
  }
  // A displayed trace over the graph's window with every level at `dbm`.
  Trace& Fill(int t, int points, double dbm) {
    Trace& trace = g().traces.traces[t];
    trace.condition.start = 1500, trace.condition.stop = 1600, trace.condition.span = 100;
    trace.condition.samplingPoints = trace.condition.storedPoints = points;
    std::fill(trace.level.begin(), trace.level.begin() + points, Mw(dbm));
    g().traces.state.display[t] = 0;
    return trace;
  }
  void Redraw() {
    g().frame.redrawFlags = kRedrawAll;
    RedrawScreen(true, false);
  }
  uint32_t At(int x, int y) { return g().screen.backBuffer.At(x, y); }
  int CountInColumn(int x, int y0, int y1, int slot) {
    int n = 0;
    for (int y = y0; y <= y1; ++y) n += At(x, y) == Slot(slot);
    return n;
  }
};

TEST_F(WaveformTest, LevelScalesMapToRowsAndClampFarLevels) {
  PlotContext p;
  SetupPlot({.kind = ScaleKind::Log, .perDivision = 10.0, .top = -10.0}, kGraphSingle, 5, p);
  EXPECT_EQ(LevelToRow(p, -10), 150);
  EXPECT_EQ(LevelToRow(p, -60), 350);
  EXPECT_EQ(LevelToRow(p, -110), 550);
  EXPECT_EQ(LevelToRow(p, -10.0 - 0.125), 151);  // half a row rounds away from zero
  // Far out levels clip at the 16-bit limits instead of wrapping round.
  EXPECT_EQ(LevelToRow(p, 1e300), -32768 + 150);
  EXPECT_EQ(LevelToRow(p, -1e300), 32767);
  EXPECT_EQ(LevelToRow(p, std::nan("")), 32767);
  EXPECT_EQ(LevelToRow(p, ConvertLevel(p, 0.0)), 950);  // no light: -210 dBm

  // Every linear kind puts half the top power on the middle row.
  const LevelScale kinds[] = {
      {.kind = ScaleKind::Linear, .perDivision = 0.1},                           // 0 .. 1 mW
      {.kind = ScaleKind::LinearUnit, .perDivision = 100, .unitDivisor = 1e-3},  // 0 .. 1000 uW
      {.kind = ScaleKind::LinearAuto, .perDivision = 0.1, .top = 1.0},           // top 1 mW
      {.kind = ScaleKind::LinearSub, .perDivision = 0.1},                        // 0 .. 1
      {.kind = ScaleKind::Percent, .perDivision = 10.0},                         // 0 .. 100 %
  };
  for (const LevelScale& s : kinds) {
    SetupPlot(s, kGraphSingle, 5, p);
    EXPECT_EQ(LevelToRow(p, ConvertLevel(p, 0.5)), 350) << "kind " << static_cast<int>(s.kind);
    EXPECT_EQ(LevelToRow(p, ConvertLevel(p, 1.0)), 150) << "kind " << static_cast<int>(s.kind);
  }
  // The record chooses: a negative log scale is linear from the base level to the reference.
  MeasCondition c{};
  c.refLevel = 0, c.logScale = -1, c.baseLevel = 0;
  SetupPlot(GraphLevelScale(c, false), kGraphUpper, 5, p);
  EXPECT_EQ(LevelToRow(p, ConvertLevel(p, 0.5)), 235);
}

TEST_F(WaveformTest, MapColumnsCoversEveryCase) {
  constexpr int kAny = -99;
  const AxisRange graph{1500, 100};
  struct Case {
    AxisRange graph, trace;
    int points, result;
    int expect[5];  // first and last column, first and end index, points plotted
  };
  const Case cases[] = {
      {graph, {1500, 100}, 1001, 0, {0, 600, 0, 1001, kAny}},
      {graph, {1550, 80}, 801, 0, {300, 600, 0, 501, kAny}},     // starts mid-graph, runs on
      {{1549, 2}, {1500, 100}, 3, 0, {kAny, kAny, 1, 3, kAny}},  // both ends on one point: widened
      {graph, {1525, 0}, 11, 1, {150, 150, kAny, kAny, 11}},     // zero trace span: one column
      {{1525, 0}, {1525, 0}, 11, 1, {kAny, 600, kAny, kAny, kAny}},  // both zero: whole width
      {{1525, 0}, {1500, 100}, 1001, 2, {0, 600, 250, kAny, 1}},     // zero graph span
      {graph, {1510, 10}, 1, 3, {60, kAny, kAny, kAny, kAny}},       // a single point in range
      {graph, {1700, 10}, 11, -1, {-1, kAny, kAny, kAny, kAny}},     // nothing visible
      {graph, {1700, 0}, 11, -1, {kAny, kAny, kAny, kAny, kAny}},
      {{1525, 0}, {1526, 0}, 11, -1, {kAny, kAny, kAny, kAny, kAny}},
      {graph, {1500, 100}, 0, -1, {kAny, kAny, kAny, kAny, kAny}},
      {{1500, -5}, {1500, 100}, 11, -1, {kAny, kAny, kAny, kAny, kAny}},  // a reversed window
  };
  PlotContext p;  // shared, so that a case that maps nothing must reset what the last one left
  for (const Case& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    EXPECT_EQ(MapColumns(c.graph, c.trace, c.points, p), c.result);
    const int got[] = {p.firstColumn, p.lastColumn, p.firstIndex, p.endIndex, p.points};
    for (int i = 0; i < 5; ++i) {
      if (c.expect[i] != kAny) {
        EXPECT_EQ(got[i], c.expect[i]) << "field " << i;
      }
    }
  }
}

TEST_F(WaveformTest, FillColumnsKeepsSpikesAndInterpolatesSparseTraces) {
  PlotContext p;
  std::array<ColumnRows, kGraphColumns> rows;
  SetupPlot(GraphLevelScale(g().conditions.setting, false), kGraphSingle, 5, p);
  p.rows = rows.data();
  std::vector<double> levels(kMaxPoints, Mw(-60));
  levels[12345] = Mw(-20);
  FillColumns(p, levels.data(), kMaxPoints, MapColumns({1500, 100}, {1500, 100}, kMaxPoints, p));
  int spikes = 0;
  for (int k = 0; k < kGraphColumns; ++k) {
    if (rows[k].top == 190) {
      ++spikes;
      EXPECT_NEAR(k, 12345 * 600.0 / 50000, 1.0);
      EXPECT_EQ(rows[k].first, 350);
      EXPECT_EQ(rows[k].last, 350);
      EXPECT_EQ(rows[k].bottom, 350);
    } else {
      EXPECT_EQ(rows[k].top, 350) << "column " << k;
    }
  }
  EXPECT_EQ(spikes, 1);

  const double three[] = {Mw(-60), Mw(-20), Mw(-60)};
  FillColumns(p, three, 3, MapColumns({1500, 100}, {1500, 100}, 3, p));
  for (int k = 0; k <= 600; ++k) {
    const int row = 350 - static_cast<int>(std::lround(160.0 * (k <= 300 ? k : 600 - k) / 300));
    ASSERT_EQ(rows[k].top, row) << "column " << k;
    ASSERT_EQ(rows[k].bottom, row) << "column " << k;
  }

  // Zoomed in on the middle point: the line still reaches both edges of the graph.
  FillColumns(p, three, 3, MapColumns({1540, 20}, {1500, 100}, 3, p));
  EXPECT_EQ(rows[300].top, 190);
  EXPECT_EQ(rows[0].top, 190 + 32);
  EXPECT_EQ(rows[600].top, 190 + 32);
}

TEST_F(WaveformTest, TracesAreDrawnInTheirColoursAndClippedToTheGraph) {
  Trace& a = Fill(0, kMaxPoints, -60);
  a.level[25000] = Mw(-20);
  Trace& b = Fill(1, 1001, -60);
  b.level[250] = 1e300;  // far above the top row
  b.level[750] = 0;      // no light: far below the bottom
  Redraw();
  EXPECT_EQ(At(47 + 100, 350), Slot(5));  // the active trace, drawn over B
  EXPECT_EQ(At(47 + 300, 190), Slot(5));  // its one-point spike survives
  EXPECT_EQ(CountInColumn(47 + 300, 150, 550, 5), 161);
  // B is inactive; its far levels are cut at the graph's edges, never wrapped round.
  // The spikes are single points: the joins of the columns beside them carry the line.
  for (int x = 47 + 149; x <= 47 + 151; ++x) {
    EXPECT_EQ(CountInColumn(x, 0, 149, 13), 0);
    EXPECT_EQ(CountInColumn(x + 300, 551, 599, 13), 0);
  }
  for (int y = 150; y < 550; ++y) {
    const int x = y < 350 ? 47 + 149 : 47 + 449;
    EXPECT_TRUE(At(x, y) == Slot(13) || At(x + 1, y) == Slot(13) || At(x + 2, y) == Slot(13) ||
                At(x + 1, y) == Slot(5))
        << "row " << y;
  }
  EXPECT_EQ(g().waveform.columns[0][300].top, 190);  // plotted rows kept for the trace

  // Grid: vertical dotted lines from the graph top, horizontal ones at the level divisions.
  EXPECT_EQ(At(107, 153), Slot(kSlotGrid));
  EXPECT_EQ(At(107, 154), Slot(kSlotWaveBack));
  EXPECT_EQ(At(587, 156), Slot(kSlotGrid));
  EXPECT_EQ(At(49, 190), Slot(kSlotGrid));
  EXPECT_EQ(At(50, 190), Slot(kSlotWaveBack));
  EXPECT_EQ(At(52, 510), Slot(kSlotGrid));

  g().traces.state.activeTrace = 1;  // the colours swap on the next graph redraw
  Redraw();
  EXPECT_EQ(At(47 + 100, 350), Slot(6));
  EXPECT_EQ(At(47 + 300, 190), Slot(12));
  EXPECT_EQ(At(47 + 150, 150), Slot(6));
}

TEST_F(WaveformTest, SplitDisplayPutsEachTraceInItsPane) {
  g().screen.screenMode = 1;
  Fill(0, 1001, -60);
  Fill(2, 1001, -60);
  g().traces.state.pane[2] = 1;
  Redraw();
  EXPECT_EQ(At(200, 150 + 85), Slot(5));
  EXPECT_EQ(At(200, 380 + 85), Slot(14));
  EXPECT_EQ(CountInColumn(200, 150, 320, 14), 0);
  EXPECT_EQ(CountInColumn(200, 380, 550, 5), 0);
}

TEST_F(WaveformTest, ZoomMenuNarrowsTheGraphAndShowsTheOverview) {
  Fill(0, 1001, -60);
  GoToMenu(1121, 0, 0);  // ZOOM SPAN
  ASSERT_EQ(g().entry.parameter, 10);
  for (int16_t key : {int16_t{'1'}, int16_t{'0'}, static_cast<int16_t>(kCmdEnter)}) {
    g().menu.nodes[1121].handler(kModeKey, &key);
  }
  EXPECT_TRUE(Zoomed());
  EXPECT_DOUBLE_EQ(DisplayedRange().start, 1545);
  EXPECT_DOUBLE_EQ(DisplayedRange().span, 10);
  GoToMenu(1122, 0, 0);  // ZOOM START beyond the measured window is held at its edge
  for (int16_t key :
       {int16_t{'1'}, int16_t{'4'}, int16_t{'0'}, int16_t{'0'}, static_cast<int16_t>(kCmdEnter)}) {
    g().menu.nodes[1122].handler(kModeKey, &key);
  }
  EXPECT_DOUBLE_EQ(DisplayedRange().start, 1500);
  EXPECT_DOUBLE_EQ(DisplayedRange().Stop(), 1555);

  ExecuteMenu(1127);  // overview on the left
  Redraw();
  EXPECT_EQ(TextMismatch(g().screen.backBuffer, kFontSmall, 236, 563, "ZOOMING", Slot(65), 0), "");
  EXPECT_EQ(At(49, 551 - 96), Slot(kSlotWaveFrame2));  // overview frame
  EXPECT_EQ(At(49 + 67, 551 - 48), Slot(5));           // the whole trace in it

  ExecuteMenu(1125);  // INITIALIZE
  EXPECT_FALSE(Zoomed());
  Redraw();
  EXPECT_NE(At(49, 551 - 96), Slot(kSlotWaveFrame2));

  // In THz, a record taken in vacuum converts without the air correction whatever the choice.
  g().conditions.setting.frequencyMode = 1;
  g().conditions.setting.measurementWavelength = 2;
  g().traces.state.measWavelengthChoice = 0;
  GoToMenu(1122, 0, 0);  // ZOOM START: the low frequency, at 1600 nm
  EXPECT_NEAR(g().entry.value, 187.370286, 1e-6);
  for (int16_t key : {int16_t{'1'}, int16_t{'9'}, int16_t{'2'}, static_cast<int16_t>(kCmdEnter)}) {
    g().menu.nodes[1122].handler(kModeKey, &key);
  }
  EXPECT_NEAR(DisplayedRange().Stop(), 299792.458 / 192, 1e-9);
}

}  // namespace
}  // namespace vq
