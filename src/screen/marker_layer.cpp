// Markers on the graphs, the marker row and the condition and data area.
//
// Marker row (panel x 3, y 97, 646 by 24): two lines of the small font at x 6, y 100 and 110.
// Data area (panel x 3, y 20, 559 by 73): the width result in the normal font, a line every 16
// pixels from y 23; the marker list in the small font, a line every 10 pixels from y 23.
#include "screen/marker_layer.h"

#include <algorithm>
#include <array>

#include "analysis/result_view.h"
#include "analysis/wdm.h"
#include "draw/primitives.h"
#include "instrument.h"
#include "resources/colour_tables.h"
#include "resources/fonts.h"
#include "screen/analysis_window.h"
#include "screen/screen_areas.h"
#include "screen/waveform.h"
#include "traces/traces.h"
#include "traces/zoom.h"

namespace vq {

namespace {

constexpr int kMarkerRowX = 6, kMarkerRowY[2] = {100, 110};
constexpr int kDataX = 8, kDataY = 23, kResultPitch = 16, kListPitch = 10;
constexpr int kListRows = 6;  // marker list rows under its heading
constexpr int kLevelLineStyle = 2;

void TrimRight(std::string& s) {
  s.erase(s.find_last_not_of(' ') + 1);
}

// Glyph pixels inside a graph only: marks near an edge are cut, never drawn over the labels.
void ClippedGlyph(const uint8_t* rows, int height, int x, int y, int slot, const GraphRect& r) {
  for (int row = 0; row < height; ++row) {
    const int py = y + row;
    if (py < r.y || py >= r.y + r.height) continue;
    for (int b = 0; b < 8; ++b) {
      const int px = x + b;
      if ((rows[row] & (0x80u >> b)) && px >= r.x && px < r.x + r.width) Point(px, py, slot);
    }
  }
}

void ClippedSymbol(int index, int x, int y, int slot, const GraphRect& r) {
  ClippedGlyph(kFontSymbols.bits + index * kFontSymbols.height, kFontSymbols.height, x, y, slot, r);
}

void ClippedText(const std::string& text, int x, int y, int slot, const GraphRect& r) {
  for (size_t i = 0; i < text.size(); ++i) {
    ClippedGlyph(GlyphBits(kFontSmall, static_cast<unsigned char>(text[i])), kFontSmall.height,
                 x + 8 * static_cast<int>(i), y, slot, r);
  }
}

// A trace mapped onto its graph as the plot maps it; made once per trace and pass.
struct TracePlot {
  bool ready = false;
  bool shown = false;  // displayed, in a graph of this screen mode
  int map = -1;
  GraphRect rect{};
  PlotContext p;
};

class Plots {
 public:
  explicit Plots(const AxisRange& range) : range_(range) {}
  TracePlot& Of(int t) {
    TracePlot& plot = plots_[t];
    if (!plot.ready) {
      plot.ready = true;
      const Instrument& g = *GInstrument;
      const int graph = GraphOfTrace(t);
      plot.rect = GraphOf(g.screen.screenMode, graph);
      plot.map = MapTrace(t, graph, plot.rect, range_, plot.p);
      plot.shown = g.traces.state.display[t] == 0;
    }
    return plot;
  }
  const AxisRange& Range() const { return range_; }

 private:
  AxisRange range_;
  std::array<TracePlot, kTraceCount> plots_;
};

// Ink of the marks around the pointed pixel: the triangle's tip points at it from 3 rows above,
// the diamond is centred on it with 3 rows either side.
constexpr int kTriangleAbove = 3, kDiamondAbove = 3, kDiamondBelow = 3;

// The row a mark points at, held inside the graph with room for the mark's ink, so that a mark
// off the scale still shows whole at the edge.
int MarkRow(const PlotContext& p, double mw, int above, int below) {
  return std::clamp<int>(LevelToRow(p, ConvertLevel(p, mw)), p.top + above, p.bottom - 1 - below);
}

// A triangle with its tip on (x, y).
void Triangle(int x, int y, int slot, const GraphRect& r) {
  ClippedSymbol(kSymbolMarkerDown, x - 3, y - 7, slot, r);
}

// The row of a level line; -1 when it lies off the scale.
int LineRow(const PlotContext& p, double mw) {
  const int row = LevelToRow(p, ConvertLevel(p, mw));
  return row >= p.top && row < p.bottom ? row : -1;
}

void DrawLineMarkers(Plots& plots) {
  const Instrument& g = *GInstrument;
  const auto& l = g.analysis.lineMarkers;
  // Line markers belong to no trace: they are drawn on the active trace's graph, in its scale.
  const TracePlot& plot = plots.Of(g.traces.state.activeTrace % kTraceCount);
  const PlotContext& p = plot.p;
  const int right = p.left + p.columns - 1;
  for (int i = 0; i < 2; ++i) {
    if (l[i].on != 1) continue;
    const int x = WavelengthToScreenX(p, plots.Range(), l[i].value);
    if (x >= 0) Line(x, p.top, x, p.bottom - 1, kSlotLineMarker1 + i);
  }
  for (int i = 2; i < 4; ++i) {
    if (l[i].on != 1) continue;
    const int y = LineRow(p, l[i].value);
    if (y >= 0) Line(p.left, y, right, y, kSlotLineMarker1 + i);
  }
}

void DrawWidthResult(Plots& plots) {
  const AnalysisState& a = GInstrument->analysis;
  if (a.resultKind != kResultSpectralWidth || a.resultTrace >= kTraceCount) return;
  const TracePlot& plot = plots.Of(a.resultTrace);
  if (!plot.shown) return;
  const PlotContext& p = plot.p;
  for (double level : {a.width.refLevel, a.width.threshLevel}) {
    const int y = LineRow(p, level);
    if (y >= 0)
      StyledLine(p.left, y, p.left + p.columns - 1, y, kSlotAnalysisWave, kLevelLineStyle);
  }
  for (const AnalysisMarker& m : a.analysisMarkers) {
    const int x = WavelengthToScreenX(p, plots.Range(), m.positionNm);
    if (x < 0) continue;
    Triangle(x, MarkRow(p, m.level, kTriangleAbove, 0), kSlotSpecialMarker, plot.rect);
  }
}

// Places a marker on its trace: the x of its point and the row its mark points at, or false
// when it is not shown.
bool Place(Plots& plots, const MarkerSlot& m, bool moving, int& x, int& y) {
  if (m.trace >= kTraceCount) return false;
  const TracePlot& plot = plots.Of(m.trace);
  if (!plot.shown) return false;
  x = IndexToScreenX(plot.p, plot.map, m.index);
  if (x < 0) return false;
  y = moving ? MarkRow(plot.p, m.level, kTriangleAbove, 0)
             : MarkRow(plot.p, m.level, kDiamondAbove, kDiamondBelow);
  return true;
}

void DrawMarkers(Plots& plots) {
  auto& markers = GInstrument->analysis.markers;
  for (int n = kFixedMarkers; n >= 0; --n) {  // the moving marker last, over the others
    MarkerSlot& m = markers[n];
    int x = 0, y = 0;
    if (m.on != 1 || !Place(plots, m, n == kMovingMarker, x, y)) {
      m.x = m.y = 0;
      continue;
    }
    m.x = static_cast<uint16_t>(x);
    m.y = static_cast<uint16_t>(y);
    const GraphRect& r = plots.Of(m.trace).rect;
    if (n == kMovingMarker) {
      Triangle(x, y, kSlotMarker, r);
      continue;
    }
    ClippedSymbol(kSymbolDiamond, x - 3, y - 3, kSlotMarker, r);
    // The number above the diamond, or below it where the graph's top leaves no room.
    const std::string number = std::to_string(n);
    const int numberY = y - 13 >= r.y ? y - 13 : y + 5;
    ClippedText(number, x - 4 * static_cast<int>(number.size()), numberY, kSlotMarker, r);
  }
}

}  // namespace

TraceLevelFormats DisplayedLevelFormats() {
  TraceLevelFormats formats{};
  for (int t = 0; t < kTraceCount; ++t) {
    const bool sub = TraceOnSubScale(t);
    const MeasCondition& record = GraphRecord(GraphOfTrace(t));
    LevelFormat& f = formats[t];
    f.perNm = !sub && record.levelUnit == 1;
    switch (GraphLevelScale(record, sub).kind) {
      case ScaleKind::Log:
        f.style = sub ? LevelStyle::Db : LevelStyle::Dbm;
        break;
      case ScaleKind::Percent:
        f.style = LevelStyle::Percent;
        break;
      case ScaleKind::LinearSub:
        f.style = LevelStyle::Ratio;
        break;
      case ScaleKind::Linear:
      case ScaleKind::LinearUnit:
      case ScaleKind::LinearAuto:
        f.style = LevelStyle::Linear;
        break;
    }
  }
  return formats;
}

void DrawMarkerRow() {
  FillRect(3, 97, 646, 24, kSlotMeasBack);
  const std::array<std::string, 2> lines = MarkerRowLines(DisplayedLevelFormats());
  for (int i = 0; i < 2; ++i) {
    TextSmall(kSlotMeasChar, kSlotMeasBack, kMarkerRowX, kMarkerRowY[i], lines[i]);
  }
  // The WDM output slope, at the right end of the row.
  const std::string slope = WdmSlopeText();
  if (!slope.empty()) {
    const int x = 3 + 646 - 4 - static_cast<int>(slope.size()) * 8;
    TextSmall(kSlotMeasChar, kSlotMeasBack, x, kMarkerRowY[0], slope);
  }
}

DataAreaContent DataAreaShows() {
  if (ResultBlockFitsDataArea()) return DataAreaContent::ResultBlock;
  if (FixedMarkersOn() > 0) return DataAreaContent::MarkerList;
  return DataAreaContent::Conditions;
}

std::vector<std::string> DataAreaLines() {
  switch (DataAreaShows()) {
    case DataAreaContent::ResultBlock:
      return ResultBlockLines();
    case DataAreaContent::MarkerList:
      return MarkerListLines(DisplayedLevelFormats(), kListRows);
    case DataAreaContent::Conditions:
      break;
  }
  return ConditionAreaLines();
}

void DrawDataArea() {
  const DataAreaContent content = DataAreaShows();
  if (content == DataAreaContent::Conditions) {
    DrawConditionArea();
    return;
  }
  FillRect(3, 20, 559, 73, kSlotCalBack);
  const bool list = content == DataAreaContent::MarkerList;
  std::vector<std::string> lines = DataAreaLines();
  for (size_t i = 0; i < lines.size(); ++i) {
    TrimRight(lines[i]);  // the result rows are 70 characters; the area holds 69
    const int y = kDataY + static_cast<int>(i) * (list ? kListPitch : kResultPitch);
    if (list) {
      TextSmall(kSlotCalChar, kSlotCalBack, kDataX, y, lines[i]);
    } else {
      TextNormal(kSlotCalChar, kSlotCalBack, kDataX, y, lines[i]);
    }
  }
}

void DrawMarkerLayer() {
  if (GraphCount(GInstrument->screen.screenMode) == 0) return;
  Plots plots(DisplayedRange());
  DrawLineMarkers(plots);
  DrawWidthResult(plots);
  DrawMarkers(plots);
}

}  // namespace vq
