// Plotting of the traces on the graphs: level scales, column mapping, grid, zoom and overview.
#include "screen/waveform.h"

#include <algorithm>
#include <cmath>

#include "draw/primitives.h"
#include "instrument.h"
#include "menu/menu_engine.h"
#include "menu/softkey_column.h"
#include "resources/colour_tables.h"
#include "screen/renderer.h"
#include "screen/screen_areas.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

constexpr int kGridStyle = 3;
constexpr ColumnRows kEmptyColumn = {kNoDataRow, kNoDataRow, kNoDataRow, kNoDataRow};

// Rounds half away from zero, as the row interpolation does.
int RoundAway(double v) {
  return static_cast<int>(v >= 0 ? v + 0.5 : v - 0.5);
}

int Divisions() {
  const int n = GInstrument->conditions.yDivisions;
  return n >= 2 && n <= 16 ? n : kLevelDivisions;
}

bool FrequencyAxis() {
  return GInstrument->conditions.setting.frequencyMode == 1;
}

// The fractional column of a wavelength: spans can be anything a file holds, so the value is
// kept well inside the int range before rounding.
long ColumnOf(double x) {
  return std::lround(std::clamp(x, -1e6, 1e6) + 0.05);
}

void DrawGrid(const GraphRect& r) {
  const int bottom = r.y + r.height - 1;
  for (int k = 0; k <= 8; ++k) {
    StyledLine(107 + 60 * k, r.y, 107 + 60 * k, bottom, kSlotGrid, kGridStyle);
  }
  const int n = Divisions();
  for (int j = 1; j < n; ++j) {
    const int y = r.y + RoundAway(static_cast<double>(r.height - 1) * j / n);
    StyledLine(49, y, 648, y, kSlotGrid, kGridStyle);
  }
}

// Sets up, maps, fills and draws one trace into the given rectangle over the given range.
void PlotTrace(int t, int graph, const GraphRect& rect, const AxisRange& range, ColumnRows* rows,
               PlotContext& p) {
  const int result = MapTrace(t, graph, rect, range, p);
  p.rows = rows;
  FillColumns(p, GInstrument->traces.traces[t].level.data(), TracePoints(t), result);
  DrawColumns(p);
}

// The end (exclusive) of the points of column k when the points outnumber the columns.
int DenseColumnEnd(const PlotContext& p, double perColumn, int k) {
  if (k >= p.columnsUsed - 1) return p.endIndex;
  return std::min(p.endIndex, p.firstIndex + static_cast<int>((k + 1) * perColumn + 0.5));
}

int ScreenX(const PlotContext& p, long k) {
  return static_cast<int>(p.mirrored ? p.left + p.columns - 1 - k : p.left + k);
}

// The overview window of a graph: x, y, width, height.
GraphRect OverviewRect(int graph) {
  const WaveformState& w = GInstrument->waveform;
  const GraphRect r = GraphOf(GInstrument->screen.screenMode, graph);
  const int width = w.overviewSmall ? 90 : 135, height = w.overviewSmall ? 64 : 96;
  const int x = w.overview == 1 ? 49 : 648 - width;
  return {x, r.y + r.height - height, width, height};
}

}  // namespace

//-------------------------------------------------------------------------------------------------
// Level scales
//-------------------------------------------------------------------------------------------------

LevelScale GraphLevelScale(const MeasCondition& c, bool subScale) {
  const EntryState& e = GInstrument->entry;
  const int n = Divisions();
  const double half = n / 2.0;
  if (subScale) {
    switch (c.subScaleMode) {
      case 0:
        return {.kind = ScaleKind::LinearSub,
                .divisions = n,
                .perDivision = c.subScaleLinear,
                .base = c.subScaleMin};
      case 2:  // dB/km: the offset sits on the middle division, levels are divided by the length
        return {.kind = ScaleKind::Log,
                .divisions = n,
                .perDivision = c.subScaleDbKm,
                .top = c.offsetLevelPerKm + half * c.subScaleDbKm,
                .unitDivisor = c.fibreLength > 0 ? c.fibreLength : 1.0};
      case 3:
        return {.kind = ScaleKind::Percent,
                .divisions = n,
                .perDivision = c.subScalePercent,
                .base = c.subScaleMinPercent};
      default:  // log: the offset level sits on the middle division
        return {.kind = ScaleKind::Log,
                .divisions = n,
                .perDivision = c.subScaleLog,
                .top = c.offsetLevel + half * c.subScaleLog};
    }
  }
  if (c.logScale >= 0) {
    return {.kind = ScaleKind::Log, .divisions = n, .perDivision = c.logScale, .top = c.refLevel};
  }
  // Linear main scale from the base level up to the reference level's power.
  const double top = DbmToLinear(c.refLevel);
  const double perDivision = (top - c.baseLevel) / n;
  if (e.autoUnitScale) {
    return {.kind = ScaleKind::LinearAuto,
            .divisions = n,
            .perDivision = perDivision,
            .top = top,
            .base = c.baseLevel};
  }
  if (e.levelUnitExponent >= 0 && e.levelUnitExponent < 3) {
    const double unit = std::pow(1000.0, e.levelUnitExponent - 3);  // mW per pW, nW or uW
    return {.kind = ScaleKind::LinearUnit,
            .divisions = n,
            .perDivision = perDivision / unit,
            .top = top / unit,
            .base = c.baseLevel / unit,
            .unitDivisor = unit};
  }
  return {.kind = ScaleKind::Linear,
          .divisions = n,
          .perDivision = perDivision,
          .top = top,
          .base = c.baseLevel};
}

void SetupPlot(const LevelScale& s, const GraphRect& r, int slot, PlotContext& p) {
  p.top = static_cast<int16_t>(r.y);
  p.height = static_cast<int16_t>(r.height);
  p.bottom = static_cast<int16_t>(r.y + r.height);
  p.columns = static_cast<int16_t>(r.width);
  p.left = r.x;
  p.scaleKind = s.kind;
  p.slot = slot;
  p.unitDivisor = s.unitDivisor > 0 ? s.unitDivisor : 1.0;
  const double n = s.divisions, h = std::max(r.height - 1, 1);
  const double range = n * s.perDivision;
  switch (s.kind) {
    case ScaleKind::Log:
      p.topValue = s.top;  // N x scale + bottom level, the bottom being N divisions down
      p.valuePerRow = range / h;
      break;
    case ScaleKind::Percent:
      p.topValue = (range + s.base) * 0.01;
      p.valuePerRow = range / h * 0.01;
      break;
    case ScaleKind::LinearAuto:
      p.topValue = s.top;
      p.valuePerRow = (s.top - s.base) / h;
      break;
    case ScaleKind::Linear:
    case ScaleKind::LinearUnit:
    case ScaleKind::LinearSub:  // linear from the reference division
      p.topValue = (n - s.referenceDivision) * s.perDivision + s.base;
      p.valuePerRow = range / h;
      break;
  }
}

double ConvertLevel(const PlotContext& p, double level) {
  switch (p.scaleKind) {
    case ScaleKind::Log:
      return LinearToDbm(level) / p.unitDivisor;
    case ScaleKind::LinearUnit:
      return level / p.unitDivisor;
    default:
      return level;
  }
}

int16_t LevelToRow(const PlotContext& p, double value) {
  const double v = (p.topValue - value) / p.valuePerRow;
  // Clamped before any integer conversion: a level far off the scale clips, never wraps.
  if (std::isnan(v) || v > 32767.0 - p.top) return 32767;
  if (v < -32768.0) return static_cast<int16_t>(-32768 + p.top);
  const int row = v >= 0 ? static_cast<int>(v + 0.50001) : static_cast<int>(v - 0.50001);
  return static_cast<int16_t>(row + p.top);
}

//-------------------------------------------------------------------------------------------------
// Column mapping, filling and drawing
//-------------------------------------------------------------------------------------------------

int MapColumns(const AxisRange& graph, const AxisRange& trace, int n, PlotContext& p) {
  p.firstColumn = p.lastColumn = -1;
  p.points = p.columnsUsed = 0;
  const int columns = p.columns;
  if (n <= 0 || columns < 2 || !(graph.span >= 0) || !(trace.span >= 0) ||
      !std::isfinite(graph.start) || !std::isfinite(trace.start)) {
    return -1;
  }
  const double columnStep = graph.span / (columns - 1);
  const double pointStep = n > 1 ? trace.span / (n - 1) : 0.0;
  auto nearest = [&](double w) {
    if (pointStep <= 0) return 0;
    return static_cast<int>(std::clamp<long>(std::lround((w - trace.start) / pointStep), 0, n - 1));
  };
  auto finish = [&](int first, int last, int firstIndex, int endIndex, int result) {
    p.firstColumn = first;
    p.lastColumn = last;
    p.firstIndex = firstIndex;
    p.endIndex = endIndex;
    p.points = endIndex - firstIndex;
    p.columnsUsed = last - first + 1;
    return result;
  };
  if (trace.span == 0) {
    if (graph.span == 0) {
      if (graph.start != trace.start) return -1;
      // Both at one wavelength: the points run across the whole width (a level over time).
      p.columnOrigin = 0;
      p.columnsPerPoint = n > 1 ? (columns - 1.0) / (n - 1) : 0.0;
      return finish(0, columns - 1, 0, n, 1);
    }
    if (trace.start < graph.start || trace.start > graph.Stop()) return -1;
    const int k = static_cast<int>(
        std::min<long>(ColumnOf((trace.start - graph.start) / columnStep), columns - 1));
    p.columnOrigin = k;
    p.columnsPerPoint = 0;
    return finish(k, k, 0, n, 1);
  }
  if (graph.span == 0) {
    if (graph.start < trace.start || graph.start > trace.Stop()) return -1;
    const int i = nearest(graph.start);
    return finish(0, columns - 1, i, i + 1, 2);
  }
  if (trace.Stop() < graph.start || trace.start > graph.Stop()) return -1;
  auto clampColumn = [&](long k) { return static_cast<int>(std::clamp<long>(k, 0, columns - 1)); };
  const int first = trace.start <= graph.start
                        ? 0
                        : clampColumn(ColumnOf((trace.start - graph.start) / columnStep));
  const int last = trace.Stop() >= graph.Stop()
                       ? columns - 1
                       : clampColumn(ColumnOf((trace.Stop() - graph.start) / columnStep));
  int firstIndex = nearest(std::max(trace.start, graph.start));
  const int lastIndex = nearest(std::min(trace.Stop(), graph.Stop()));
  int endIndex = lastIndex + 1;
  if (firstIndex == lastIndex && n > 1) {
    if (endIndex < n) {
      ++endIndex;
    } else if (first != last) {
      --firstIndex;
    }
  }
  p.columnOrigin = (trace.start - graph.start) / columnStep;
  p.columnsPerPoint = pointStep / columnStep;
  if (endIndex - firstIndex == 1) return finish(first, first, firstIndex, endIndex, 3);
  return finish(first, last, firstIndex, endIndex, 0);
}

void FillColumns(PlotContext& p, const double* levels, int n, int mapResult) {
  std::fill(p.rows, p.rows + p.columns, kEmptyColumn);
  if (mapResult < 0 || p.firstColumn < 0 || p.points <= 0) return;
  auto rowOfLevel = [&](double level) { return LevelToRow(p, ConvertLevel(p, level)); };
  auto rowOf = [&](int i) { return rowOfLevel(levels[i]); };
  ColumnRows* rows = p.rows;
  if (p.points == 1) {  // one point shown in every column of its range
    const int16_t r = rowOf(p.firstIndex);
    std::fill(rows + p.firstColumn, rows + p.lastColumn + 1, ColumnRows{r, r, r, r});
    return;
  }
  if (p.points > p.columnsUsed) {
    // One pass: every scale is monotonic in the stored level, so the extremes are found on the
    // raw values and only four levels per column are converted.
    const double perColumn = static_cast<double>(p.points) / p.columnsUsed;
    int index = p.firstIndex;
    for (int k = 0; k < p.columnsUsed; ++k) {
      const int end = std::max(DenseColumnEnd(p, perColumn, k), index + 1);
      // Four running extremes side by side keep the comparisons from waiting on each other.
      double high[4], low[4];
      std::fill(high, high + 4, levels[index]);
      std::fill(low, low + 4, levels[index]);
      int i = index + 1;
      for (; i + 4 <= end; i += 4) {
        for (int j = 0; j < 4; ++j) {
          high[j] = std::max(high[j], levels[i + j]);
          low[j] = std::min(low[j], levels[i + j]);
        }
      }
      for (; i < end; ++i) {
        high[0] = std::max(high[0], levels[i]);
        low[0] = std::min(low[0], levels[i]);
      }
      const double highLevel = std::max(std::max(high[0], high[1]), std::max(high[2], high[3]));
      const double lowLevel = std::min(std::min(low[0], low[1]), std::min(low[2], low[3]));
      rows[p.firstColumn + k] = {rowOf(index), rowOfLevel(highLevel), rowOfLevel(lowLevel),
                                 rowOf(end - 1)};
      index = end;
    }
    return;
  }
  // Fewer points than columns: each point at its own column, the columns between interpolated.
  // One point beyond each end of the range lets the line reach the graph's edges.
  const int from = std::max(0, p.firstIndex - 1), to = std::min(n, p.endIndex + 1);
  long previousColumn = 0;
  int previousRow = 0;
  for (int i = from; i < to; ++i) {
    const long column = ColumnOf(p.columnOrigin + i * p.columnsPerPoint);
    const int row = rowOf(i);
    if (i > from && column > previousColumn + 1) {
      const long k0 = std::max<long>(previousColumn + 1, p.firstColumn);
      const long k1 = std::min<long>(column - 1, p.lastColumn);
      const double slope = static_cast<double>(row - previousRow) / (column - previousColumn);
      for (long k = k0; k <= k1; ++k) {
        const auto r = static_cast<int16_t>(previousRow + RoundAway(slope * (k - previousColumn)));
        rows[k] = {r, r, r, r};
      }
    }
    if (column >= p.firstColumn && column <= p.lastColumn) {
      ColumnRows& c = rows[column];
      const auto r = static_cast<int16_t>(row);
      if (c.first == kNoDataRow && c.last == kNoDataRow) {
        c = {r, r, r, r};
      } else {
        c.top = std::min(c.top, r);
        c.bottom = std::max(c.bottom, r);
        c.last = r;
      }
    }
    previousColumn = column;
    previousRow = row;
  }
}

void DrawColumns(const PlotContext& p) {
  if (p.firstColumn < 0 || p.rows == nullptr) return;
  const int yTop = p.top, yBottom = p.bottom - 1;
  auto xOf = [&](int k) { return ScreenX(p, k); };
  auto clampRow = [&](int y) { return std::clamp(y, yTop, yBottom); };
  bool joined = false;
  int previousLast = 0;
  for (int k = p.firstColumn; k <= p.lastColumn; ++k) {
    const ColumnRows& c = p.rows[k];
    if (c.first == kNoDataRow && c.last == kNoDataRow && c.top == kNoDataRow) {
      joined = false;
      continue;
    }
    const int x = xOf(k);
    if (joined && std::max<int>(previousLast, c.first) >= yTop &&
        std::min<int>(previousLast, c.first) <= yBottom) {
      // A join spans one column: clamping its ends keeps the part inside the graph.
      Line(xOf(k - 1), clampRow(previousLast), x, clampRow(c.first), p.slot);
    }
    if (c.top != c.bottom || !joined) {
      const int high = std::min(c.top, c.bottom), low = std::max(c.top, c.bottom);
      if (low >= yTop && high <= yBottom) Line(x, clampRow(high), x, clampRow(low), p.slot);
    }
    previousLast = c.last;
    joined = true;
  }
}

int MapTrace(int t, int graph, const GraphRect& rect, const AxisRange& range, PlotContext& p) {
  const MeasCondition& c = GInstrument->traces.traces[t].condition;
  const int n = TracePoints(t);
  SetupPlot(GraphLevelScale(GraphRecord(graph), TraceOnSubScale(t)), rect, TraceSlot(t), p);
  p.mirrored = FrequencyAxis();
  const double span = c.samplingPoints > 1 ? c.span * (n - 1) / (c.samplingPoints - 1) : 0.0;
  return MapColumns(range, {c.start, span}, n, p);
}

int IndexToScreenX(const PlotContext& p, int mapResult, int index) {
  if (mapResult < 0 || p.firstColumn < 0 || p.points <= 0) return -1;
  if (mapResult == 2) {  // every column shows the one point: its mark stands in the middle
    return index == p.firstIndex ? ScreenX(p, p.columns / 2) : -1;
  }
  long k = 0;
  if (p.points > p.columnsUsed) {
    if (index < p.firstIndex || index >= p.endIndex) return -1;
    // The column whose share of points holds the index, as FillColumns deals them out.
    const double perColumn = static_cast<double>(p.points) / p.columnsUsed;
    int c = std::clamp(static_cast<int>((index - p.firstIndex + 0.5) / perColumn), 0,
                       p.columnsUsed - 1);
    while (c > 0 && index < DenseColumnEnd(p, perColumn, c - 1)) --c;
    while (c < p.columnsUsed - 1 && index >= DenseColumnEnd(p, perColumn, c)) ++c;
    k = p.firstColumn + c;
  } else if (p.points == 1) {
    if (index != p.firstIndex) return -1;
    k = p.firstColumn;
  } else {
    k = ColumnOf(p.columnOrigin + index * p.columnsPerPoint);
  }
  if (k < p.firstColumn || k > p.lastColumn) return -1;
  return ScreenX(p, k);
}

int WavelengthToScreenX(const PlotContext& p, const AxisRange& range, double nm) {
  if (!(range.span > 0) || p.columns < 2 || !std::isfinite(nm)) return -1;
  const long k = ColumnOf((nm - range.start) / (range.span / (p.columns - 1)));
  if (k < 0 || k >= p.columns) return -1;
  return ScreenX(p, k);
}

//-------------------------------------------------------------------------------------------------
// Graphs
//-------------------------------------------------------------------------------------------------

const MeasCondition& GraphRecord(int graph) {
  const Instrument& g = *GInstrument;
  if (GraphCount(g.screen.screenMode) < 2) return g.conditions.setting;
  return g.conditions.panes[graph == 1 ? 1 : 0];
}

int GraphOfTrace(int trace) {
  const Instrument& g = *GInstrument;
  return GraphCount(g.screen.screenMode) == 2 && g.traces.state.pane[trace] == 1 ? 1 : 0;
}

int TraceSlot(int trace) {
  const bool active = GInstrument->traces.state.activeTrace == trace;
  return (active ? kSlotTraceA : kSlotTraceA + 7) + trace;
}

int TracePoints(int trace) {
  const MeasCondition& c = GInstrument->traces.traces[trace].condition;
  return std::clamp(std::min(c.storedPoints, c.samplingPoints), 0, kMaxPoints);
}

void PlotGraphs(uint32_t) {
  Instrument& g = *GInstrument;
  const int graphs = GraphCount(g.screen.screenMode);
  if (graphs == 0) return;
  for (int i = 0; i < graphs; ++i) DrawGrid(GraphOf(g.screen.screenMode, i));
  const AxisRange displayed = DisplayedRange(), measured = MeasuredRange();
  const bool overview = Zoomed() && g.waveform.overview != 0;
  // The active trace last, so that it lies over the others.
  const int active = g.traces.state.activeTrace;
  for (int n = 0; n < kTraceCount; ++n) {
    const int t = (active + 1 + n) % kTraceCount;
    PlotContext& o = g.waveform.overviewPlots[t];
    o.firstColumn = -1;
    if (g.traces.state.display[t] != 0) continue;
    const int graph = GraphOfTrace(t);
    PlotContext p;
    ColumnRows* rows = g.waveform.columns[t].data();
    PlotTrace(t, graph, GraphOf(g.screen.screenMode, graph), displayed, rows, p);
    if (overview) {
      // Prepared here and drawn over the graph by the dynamic layer.
      const GraphRect box = OverviewRect(graph);
      const GraphRect inner = {box.x + 1, box.y + 1, box.width - 2, box.height - 2};
      PlotTrace(t, graph, inner, measured, g.waveform.overviewColumns[t].data(), o);
    }
  }
}

void DrawZoomOverlays() {
  Instrument& g = *GInstrument;
  const int mode = g.screen.screenMode;
  if (GraphCount(mode) == 0 || !Zoomed()) return;
  const WaveformState& w = g.waveform;
  const AxisRange m = MeasuredRange();
  for (int graph = 0; graph < GraphCount(mode); ++graph) {
    const GraphRect r = GraphOf(mode, graph);
    TextBoxed(kSlotZooming, kSlotMainBack, 234, r.y + r.height + 10, "ZOOMING");
    if (w.overview == 0) continue;
    const GraphRect box = OverviewRect(graph);
    FillRect(box.x, box.y, box.width, box.height, kSlotWaveBack);
    Outline(box.x, box.y, box.x + box.width - 1, box.y + box.height - 1, kSlotWaveFrame2);
    for (int t = 0; t < kTraceCount; ++t) {
      if (w.overviewPlots[t].firstColumn >= 0 && GraphOfTrace(t) == graph) {
        DrawColumns(w.overviewPlots[t]);
      }
    }
    // The zoomed part, as a box over the inner columns.
    const int columns = box.width - 2;
    auto columnOf = [&](double nm) {
      const double f = m.span > 0 ? (nm - m.start) / m.span : 0.0;
      const int k = static_cast<int>(std::lround(std::clamp(f, 0.0, 1.0) * (columns - 1)));
      return FrequencyAxis() ? columns - 1 - k : k;
    };
    const int a = columnOf(w.zoomStart), b = columnOf(w.zoomStop);
    Outline(box.x + 1 + std::min(a, b), box.y + 1, box.x + 1 + std::max(a, b),
            box.y + box.height - 2, kSlotZooming);
  }
}

}  // namespace vq
