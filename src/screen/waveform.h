// The waveform display: level scales, column mapping and plotting of the traces, grid and zoom.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/screen_state.h"
#include "state/trace_state.h"
#include "traces/zoom.h"

namespace vq {

constexpr int kLevelDivisions = 10;  // the record holds no division count: the fallback applies

// The level scale of a graph.
struct LevelScale {
  ScaleKind kind = ScaleKind::Log;
  int divisions = kLevelDivisions;
  double perDivision = 10.0;  // dB, mW, unit or percent per division
  double top = 0.0;           // log: level at the top row (reference level)
  double base = 0.0;          // linear kinds: level at the bottom row (percent: in percent)
  double referenceDivision = 0.0;
  double unitDivisor = 1.0;  // LinearUnit: mW per unit; log: divides dB (dB/km sub scale)
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
// Sets up a trace's plot on a graph rectangle over a range and maps its columns, as the graph
// plots it: the MapColumns result.
int MapTrace(int trace, int graph, const GraphRect& rect, const AxisRange& range, PlotContext& p);
// The screen x at which a mapped trace draws its point `index` (mirrored on a frequency axis);
// -1 when that point is not shown.
int IndexToScreenX(const PlotContext& p, int mapResult, int index);
// The screen x of a wavelength on a plot over a range; -1 outside it.
int WavelengthToScreenX(const PlotContext& p, const AxisRange& range, double nm);

// The record whose level scale governs a graph of the current screen mode.
const MeasCondition& GraphRecord(int graph);
// Which graph of the current screen mode shows the trace.
int GraphOfTrace(int trace);
// Colour slot of a trace: 5 + t while active, 12 + t otherwise.
int TraceSlot(int trace);
int TracePoints(int trace);

void PlotGraphs(uint32_t flags);
void DrawZoomOverlays();  // "ZOOMING" and the overview windows (dynamic layer)

// Labels around the graphs (graph_labels.cpp).
void DrawAxisLabels();
void DrawLevelLabels();
// The level label of division j (0 at the top) of a scale, and a graph's labels top to bottom,
// as drawn.
std::string LevelLabelText(const LevelScale& scale, int j);
std::vector<std::string> LevelLabelTexts(const LevelScale& scale);
std::vector<std::string> LevelLabelTexts(int graph);  // the graph's scale, as drawn
// The measurement conditions of the condition area, line by line, and their drawing.
std::vector<std::string> ConditionAreaLines();
void DrawConditionArea();
void DrawTraceLabelBoxes();
void DrawTraceStatusColumn();

}  // namespace vq
