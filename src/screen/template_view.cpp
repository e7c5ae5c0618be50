// Template lines drawn on the graph of the active trace in the template colour, labelled at
// their ends; the judgement in the go/no-go colour; the TEMPLATE EDIT table.
//
// Edit table (over the graph, small font, a line every 12 pixels): heading, MODE/EXTRAPOL line,
// column heading, then the points from the first row shown; the cursor row is filled.
#include "screen/template_view.h"

#include <algorithm>
#include <cstdio>

#include "calc/template_lines.h"
#include "calc/template_menus.h"
#include "draw/primitives.h"
#include "instrument.h"
#include "resources/colour_tables.h"
#include "screen/screen_areas.h"
#include "screen/waveform.h"
#include "traces/traces.h"
#include "traces/zoom.h"

namespace vq {

namespace {

constexpr int kSlotTemplateWave = 26;
constexpr int kSlotGoNoGo = 78;
constexpr int kTablePitch = 12, kTableMargin = 8, kCharWidth = 8;
constexpr int kTableHeaderLines = 3;
constexpr const char* kLabels[kTemplateLineCount] = {"U", "L", "T"};

bool EditTableShown() {
  const Instrument& g = *GInstrument;
  return g.menu.page == kTemplateEditPage && GraphCount(g.screen.screenMode) > 0;
}

GraphRect ActiveGraph() {
  const Instrument& g = *GInstrument;
  return GraphOf(g.screen.screenMode, GraphOfTrace(g.traces.state.activeTrace));
}

int TableRows() {
  return (ActiveGraph().height - 2 * kTableMargin) / kTablePitch - kTableHeaderLines;
}

void DrawLines() {
  Instrument& g = *GInstrument;
  const int active = g.traces.state.activeTrace;
  const int graph = GraphOfTrace(active);
  const GraphRect rect = GraphOf(g.screen.screenMode, graph);
  const MeasCondition& m = g.conditions.measured;
  const AxisRange range = DisplayedRange();
  std::vector<ColumnRows> rows(kGraphColumns);
  for (int k = 0; k < kTemplateLineCount; ++k) {
    const TemplateLine& line = g.templates.lines[k];
    if (!line.display || line.first < 0) continue;
    const int n = static_cast<int>(line.rendered.size());
    const double h = n > 1 ? m.span / (n - 1) : 0.0;
    const int count = line.last - line.first + 1;
    PlotContext p;
    SetupPlot(GraphLevelScale(GraphRecord(graph), TraceOnSubScale(active)), rect, kSlotTemplateWave,
              p);
    p.mirrored = g.conditions.setting.frequencyMode == 1;
    p.rows = rows.data();
    const AxisRange part{m.start + h * line.first, h * (count - 1)};
    const int map = MapColumns(range, part, count, p);
    FillColumns(p, line.rendered.data() + line.first, count, map);
    DrawColumns(p);
    if (p.firstColumn < 0) continue;
    // The label stands just above the line at its right end, held inside the graph.
    const int column = p.mirrored ? p.firstColumn : p.lastColumn;
    const ColumnRows& r = rows[column];
    const int x =
        std::clamp<int>(p.left + column - kCharWidth, rect.x, rect.x + rect.width - kCharWidth);
    const int y = std::clamp<int>(r.last - 10, rect.y, rect.y + rect.height - 10);
    TextTransparent(kSlotTemplateWave, x, y, kLabels[k]);
  }
}

void DrawJudgement() {
  const std::string text = JudgementText();
  if (text.empty()) return;
  const GraphRect rect = ActiveGraph();
  TextBoxed(kSlotGoNoGo, kSlotMainBack, rect.x + rect.width - 48, rect.y + 6, text);
}

void DrawEditTable() {
  const GraphRect rect = ActiveGraph();
  const TemplateState& t = GInstrument->templates;
  FillRect(rect.x + 1, rect.y + 1, rect.width - 2, rect.height - 2, kSlotPopBack);
  const std::vector<std::string> lines = TemplateEditLines();
  const int x = rect.x + kTableMargin;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int y = rect.y + kTableMargin + static_cast<int>(i) * kTablePitch;
    const int row = static_cast<int>(i) - kTableHeaderLines;
    const bool cursor = row >= 0 && t.editTop + row == t.editPoint;
    if (cursor) FillRect(rect.x + 2, y - 1, rect.width - 4, kTablePitch, kSlotPopCursor);
    TextTransparent(kSlotMainChar, x, y, lines[i]);
  }
}

}  // namespace

std::string JudgementText() {
  const TemplateState& t = GInstrument->templates;
  if (!t.goNoGo || t.result < 0) return "";
  return t.result == 1 ? "PASS" : "FAIL";
}

std::vector<std::string> TemplateEditLines() {
  TemplateState& t = GInstrument->templates;
  const TemplateLine& line = t.lines[t.editLine];
  const bool relative = line.mode == kTemplateRelative;
  static const char* const kExtrapol[] = {"TYPE A", "TYPE B", "NONE"};
  std::vector<std::string> out;
  char text[96];
  std::snprintf(text, sizeof text, "TEMPLATE EDIT (%s)", TemplateLineName(t.editLine));
  out.emplace_back(text);
  std::string mode = "        MODE:              EXTRAPOL:";
  const std::string modeName = relative ? "RELATIVE" : "ABSOLUTE";
  mode.replace(14, modeName.size(), modeName);
  mode += kExtrapol[std::clamp<int>(line.extrapolation, 0, 2)];
  out.push_back(mode);
  out.emplace_back(relative ? " POINT NO.   RELATIVE WL[nm]    RELATIVE LEVEL[dB]"
                            : " POINT NO.   ABSOLUTE WL[nm]    ABSOLUTE LEVEL[dB]");
  // Paging: the cursor's row is always on the page.
  const int rows = std::max(TableRows(), 1);
  if (t.editPoint < t.editTop) t.editTop = t.editPoint;
  if (t.editPoint >= t.editTop + rows) t.editTop = t.editPoint - rows + 1;
  const int count = static_cast<int>(line.points.size());
  for (int i = t.editTop; i < std::min(count, t.editTop + rows); ++i) {
    std::snprintf(text, sizeof text, "%9ld     %10.3f        %10.2f", static_cast<long>(i + 1),
                  line.points[i].wl, line.points[i].level);
    out.emplace_back(text);
  }
  return out;
}

void DrawTemplateLayer() {
  if (GraphCount(GInstrument->screen.screenMode) == 0) return;
  KeepTemplatesCurrent();
  if (EditTableShown()) {
    DrawEditTable();
    return;
  }
  DrawLines();
  DrawJudgement();
}

}  // namespace vq
