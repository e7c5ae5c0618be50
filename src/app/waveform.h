// The waveform display: level scales, column mapping and plotting of the traces, grid and zoom.
#pragma once

#include <array>
#include <cstdint>

#include "app/screen_areas.h"
#include "traces/traces.h"

namespace vq {

constexpr int kLevelDivisions = 10;  // the record holds no division count: the fallback applies
constexpr int16_t kNoDataRow = 600;  // a column row that holds no data
constexpr int kOverviewMaxColumns = 133;

// The label bits of RedrawFlags this display draws.
constexpr uint32_t kRedrawAxisLabels = 0x10000;
constexpr uint32_t kRedrawLevelLabels = 0x20000;
constexpr uint32_t kRedrawStatusColumn = 0x180000;  // the whole column, or one changed entry

// The level scale of a graph. Kinds: 0 log (dB), 1 linear (mW), 2 linear in a unit, 3 percent,
// 4 linear with an automatic unit, 5 linear sub scale.
struct LevelScale {
  int kind = 0;
  int divisions = kLevelDivisions;
  double perDivision = 10.0;  // dB, mW, unit or percent per division
  double top = 0.0;           // kind 0: level at the top row (reference level)
  double base = 0.0;          // linear kinds: level at the bottom row (percent for kind 3)
  double referenceDivision = 0.0;
  double unitDivisor = 1.0;  // kind 2: mW per unit; kind 0: divides dB (dB/km sub scale)
};

struct ColumnRows {
  int16_t first, top, bottom, last;  // top = row of the highest level, bottom = the lowest
};

struct PlotContext {
  int16_t top = 0, height = 0, bottom = 0, columns = kGraphColumns;
  int32_t left = kGraphLeft;
  int16_t scaleKind = 0;
  double topValue = 0.0, valuePerRow = 1.0, unitDivisor = 1.0;
  int32_t slot = 0;
  int32_t firstColumn = -1, lastColumn = -1;  // -1: nothing to draw
  int32_t firstIndex = 0, endIndex = 0;
  int32_t points = 0, columnsUsed = 0;
  double columnOrigin = 0.0, columnsPerPoint = 0.0;  // fractional column of point i: o + i * c
  bool mirrored = false;                             // frequency axis: column 0 at the right
  ColumnRows* rows = nullptr;                        // `columns` entries
};

// A wavelength window in nm.
struct AxisRange {
  double start = 0.0, span = 0.0;
  double Stop() const { return start + span; }
};

struct WaveformState {
  bool zoomed = false;  // false: the displayed range is the setting record's window
  double zoomCentre = 0.0, zoomSpan = 0.0, zoomStart = 0.0, zoomStop = 0.0;  // nm
  int overview = 0;  // 0 off, 1 left, 2 right
  bool overviewSmall = false;
  std::array<std::array<ColumnRows, kGraphColumns>, kTraceCount> columns{};
  // The overview plots are prepared with the graphs and drawn over them in the dynamic layer.
  std::array<PlotContext, kTraceCount> overviewPlots{};
  std::array<std::array<ColumnRows, kOverviewMaxColumns>, kTraceCount> overviewColumns{};
};

// Derives a graph's level scale from its record; subScale selects the sub-scale settings.
LevelScale GraphLevelScale(const MeasCondition& record, bool subScale);
void SetupPlot(const LevelScale& scale, const GraphRect& graph, int slot, PlotContext& p);
// The level (mW, or a ratio for percent) in the unit of the plot's scale.
double ConvertLevel(const PlotContext& p, double level);
int16_t LevelToRow(const PlotContext& p, double value);
// 0 normal, 1 zero trace span, 2 zero graph span, 3 one point in range, -1 nothing visible.
int MapColumns(const AxisRange& graph, const AxisRange& trace, int tracePoints, PlotContext& p);
void FillColumns(PlotContext& p, const double* levels, int tracePoints, int mapResult);
void DrawColumns(const PlotContext& p);

// The displayed (possibly zoomed) range, the measured range, and whether they differ.
AxisRange DisplayedRange();
AxisRange MeasuredRange();
bool Zoomed();
// The record whose level scale governs a graph of the current screen mode.
const MeasCondition& GraphRecord(int graph);
// Which graph of the current screen mode shows the trace.
int GraphOfTrace(int trace);
// Colour slot of a trace: 5 + t while active, 12 + t otherwise.
int TraceSlot(int trace);
int TracePoints(int trace);

void PlotGraphs(uint32_t flags);
void DrawZoomOverlays();  // "ZOOMING" and the overview windows (dynamic layer)
void BindZoomMenu();

// Labels around the graphs (graph_labels.cpp).
void DrawAxisLabels();
void DrawLevelLabels();
void DrawConditionArea();
void DrawTraceLabelBoxes();
void DrawTraceStatusColumn();

}  // namespace vq
