// Labels around the graphs: axis and level-scale labels, condition area, trace boxes and status.
//
// Layout below each graph (bottom = graph top + height): row 1 at bottom + 2 holds START at the
// graph's left edge, CENTER at x 300 and STOP ending at the right edge; the "ZOOMING" box of the
// dynamic layer sits at bottom + 10; row 2 at bottom + 22 holds SPAN at x 300. The level values
// stand right-aligned left of the graph at each division; the column x 651 right of it holds the
// value per division (and the sub scale's at the bottom while a sub-scale trace is shown).
// Trace label boxes: seven boxes A to G from x 136, 31 pixels apart, at y 126 for the upper (or
// only) graph and y 356 for the lower one; a trace shown on that graph has its letter in its
// colour, the active trace's box is framed in its colour, the others' letters are grey.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "draw/primitives.h"
#include "instrument.h"
#include "resources/colour_tables.h"
#include "screen/screen_areas.h"
#include "screen/waveform.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

constexpr int kLabelBoxX = 136, kLabelBoxPitch = 31, kLabelBoxWidth = 29, kLabelBoxHeight = 21;
constexpr int kLabelBoxY[2] = {126, 356};
constexpr int kScaleColumnX = 651;
constexpr const char* kUnitNames[4] = {"pW", "nW", "uW", "mW"};

std::string Format(const char* format, double value) {
  char text[40];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The power unit a linear scale is labelled in: 0 pW to 3 mW.
int LinearUnit(const LevelScale& s) {
  if (s.kind == ScaleKind::LinearUnit) {
    for (int u = 0; u < 3; ++u) {
      if (s.unitDivisor <= std::pow(1000.0, u - 3) * 1.0001) return u;
    }
  }
  if (s.kind != ScaleKind::LinearAuto) return 3;
  int u = 3;
  while (u > 0 && s.top < std::pow(1000.0, u - 3)) --u;  // the largest unit under the top
  return u;
}

// The value of division j (0 at the top) in the scale's unit, from the scale itself: a value
// read back from a rounded pixel row would be off by up to half a row.
double DivisionValue(const LevelScale& s, int j) {
  const int n = s.divisions;
  switch (s.kind) {
    case ScaleKind::Log:
      return s.top - j * s.perDivision;
    case ScaleKind::Percent:
      return (n - j) * s.perDivision + s.base;
    case ScaleKind::LinearAuto:
      return s.top - j * (s.top - s.base) / n;
    case ScaleKind::Linear:
    case ScaleKind::LinearUnit:
    case ScaleKind::LinearSub:
      break;
  }
  return (n - s.referenceDivision - j) * s.perDivision + s.base;
}

}  // namespace

std::string LevelLabelText(const LevelScale& s, int j) {
  const double value = DivisionValue(s, j);
  std::string text;
  switch (s.kind) {
    case ScaleKind::Log:
    case ScaleKind::Percent:
      text = Format("%.1f", value);
      break;
    case ScaleKind::Linear:
    case ScaleKind::LinearAuto:
      text = Format("%.2f", value / std::pow(1000.0, LinearUnit(s) - 3));
      break;
    case ScaleKind::LinearUnit:
    case ScaleKind::LinearSub:
      text = Format("%.2f", value);
      break;
  }
  // A sum that lands a hair below zero still reads as zero.
  if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);
  return text;
}

std::vector<std::string> LevelLabelTexts(const LevelScale& s) {
  std::vector<std::string> texts;
  for (int j = 0; j <= s.divisions; ++j) texts.push_back(LevelLabelText(s, j));
  return texts;
}

std::vector<std::string> LevelLabelTexts(int graph) {
  return LevelLabelTexts(GraphLevelScale(GraphRecord(graph), false));
}

namespace {

// Value per division and its unit, two short lines.
void PerDivisionText(const LevelScale& s, bool dbPerKm, std::string& value, std::string& unit) {
  switch (s.kind) {
    case ScaleKind::Log:
      value = Format("%.1f", s.perDivision);
      unit = dbPerKm ? "dB/km" : "dB/D";
      return;
    case ScaleKind::Percent:
      value = Format("%.1f", s.perDivision);
      unit = "%/D";
      return;
    case ScaleKind::LinearSub:
      value = Format("%.3g", s.perDivision);
      unit = "/D";
      return;
    case ScaleKind::Linear:
    case ScaleKind::LinearUnit:
    case ScaleKind::LinearAuto: {
      const int u = LinearUnit(s);
      const double perDivision =
          s.kind == ScaleKind::LinearUnit ? s.perDivision : s.perDivision / std::pow(1000.0, u - 3);
      value = Format("%.3g", perDivision);
      unit = std::string(kUnitNames[u]) + "/D";
    }
  }
}

bool SubScaleTraceShown(int graph) {
  const Instrument& g = *GInstrument;
  for (int t = 0; t < kTraceCount; ++t) {
    if (g.traces.state.display[t] == 0 && GraphOfTrace(t) == graph && TraceOnSubScale(t)) {
      return true;
    }
  }
  return false;
}

// The four axis texts of a graph over the displayed range, in nm or in THz.
void AxisTexts(int graph, std::string& start, std::string& stop, std::string& centre,
               std::string& span) {
  const AxisRange d = DisplayedRange();
  if (GInstrument->conditions.setting.frequencyMode == 1) {
    // The start frequency is the low one, at the long-wavelength end.
    const MeasCondition& record = GraphRecord(graph);
    const double low = RecordFrequency(record, d.Stop());
    const double high = RecordFrequency(record, d.start);
    start = Format("START:%.3fTHz", low);
    stop = Format("STOP:%.3fTHz", high);
    centre = Format("CENTER:%.3fTHz", (low + high) / 2);
    span = Format("SPAN:%.3fTHz", high - low);
  } else {
    start = Format("START:%.3fnm", d.start);
    stop = Format("STOP:%.3fnm", d.Stop());
    centre = Format("CENTER:%.3fnm", d.start + d.span / 2);
    span = Format("SPAN:%.2fnm", d.span);
  }
}

}  // namespace

void DrawAxisLabels() {
  const int mode = GInstrument->screen.screenMode;
  std::string start, stop, centre, span;
  for (int graph = 0; graph < GraphCount(mode); ++graph) {
    AxisTexts(graph, start, stop, centre, span);
    const GraphRect r = GraphOf(mode, graph);
    const int y1 = r.y + r.height + 2, y2 = y1 + 20;
    FillRect(r.x, y1, r.width, 8, kSlotMainBack);
    FillRect(300, y2, 200, 8, kSlotMainBack);
    TextSmall(kSlotMainChar, kSlotMainBack, r.x, y1, start);
    TextSmall(kSlotMainChar, kSlotMainBack, 300, y1, centre);
    TextSmall(kSlotMainChar, kSlotMainBack, r.x + r.width - 8 * static_cast<int>(stop.size()), y1,
              stop);
    TextSmall(kSlotMainChar, kSlotMainBack, 300, y2, span);
  }
}

void DrawLevelLabels() {
  const int mode = GInstrument->screen.screenMode;
  for (int graph = 0; graph < GraphCount(mode); ++graph) {
    const GraphRect r = GraphOf(mode, graph);
    const MeasCondition& record = GraphRecord(graph);
    const LevelScale s = GraphLevelScale(record, false);
    const std::vector<std::string> texts = LevelLabelTexts(s);
    FillRect(2, r.y - 6, 43, r.height + 12, kSlotMainBack);
    for (int j = 0; j <= s.divisions; ++j) {
      const int row = r.y + static_cast<int>((r.height - 1.0) * j / s.divisions + 0.5);
      TextRight(kSlotMainChar, kSlotMainBack, 44, row - 6, texts[j]);
    }
    FillRect(kScaleColumnX, r.y, 48, r.height, kSlotMainBack);
    std::string value, unit;
    PerDivisionText(s, false, value, unit);
    TextSmall(kSlotMainChar, kSlotMainBack, kScaleColumnX, r.y, value);
    TextSmall(kSlotMainChar, kSlotMainBack, kScaleColumnX, r.y + 10, unit);
    if (SubScaleTraceShown(graph)) {
      PerDivisionText(GraphLevelScale(record, true), record.subScaleMode == 2, value, unit);
      TextSmall(kSlotMainChar, kSlotMainBack, kScaleColumnX, r.y + r.height - 28, "SUB");
      TextSmall(kSlotMainChar, kSlotMainBack, kScaleColumnX, r.y + r.height - 18, value);
      TextSmall(kSlotMainChar, kSlotMainBack, kScaleColumnX, r.y + r.height - 8, unit);
    }
  }
}

std::vector<std::string> ConditionAreaLines() {
  const MeasCondition& c = GInstrument->conditions.setting;
  // The second line's fields start at characters 0, 16, 39 and 51 (x 8, 136, 320 and 416).
  std::string fields = Format("RES:%.3fnm", c.resolution);
  auto put = [&](size_t column, const std::string& text) {
    fields.resize(std::max(fields.size(), column + text.size()), ' ');
    fields.replace(column, text.size(), text);
  };
  put(16, std::string("SENS:") + SensitivityName(c.sensitivity, c.chopMode));
  put(39, Format("AVG:%.0f", c.averageTimes));
  put(51, Format("SMPL:%.0f", c.samplingPoints));
  return {"<MEAS CONDITION>", fields, std::string(c.label, strnlen(c.label, 56))};
}

void DrawConditionArea() {
  FillRect(3, 20, 559, 73, kSlotCalBack);
  const std::vector<std::string> lines = ConditionAreaLines();
  for (size_t i = 0; i < lines.size(); ++i) {
    TextNormal(kSlotCalChar, kSlotCalBack, 8, 23 + 16 * static_cast<int>(i), lines[i]);
  }
}

void DrawTraceLabelBoxes() {
  const Instrument& g = *GInstrument;
  const int graphs = GraphCount(g.screen.screenMode);
  for (int graph = 0; graph < graphs; ++graph) {
    const int y = kLabelBoxY[graph];
    FillRect(kLabelBoxX, y, kLabelBoxPitch * kTraceCount, kLabelBoxHeight, kSlotMainBack);
    for (int t = 0; t < kTraceCount; ++t) {
      const int x = kLabelBoxX + kLabelBoxPitch * t;
      const bool shown = g.traces.state.display[t] == 0 && GraphOfTrace(t) == graph;
      const int slot = shown ? TraceSlot(t) : kSlotGreyChar;
      const char letter[2] = {static_cast<char>('A' + t), 0};
      if (g.traces.state.activeTrace == t) {
        Outline(x, y, x + kLabelBoxWidth - 1, y + kLabelBoxHeight - 1, slot);
        Outline(x + 1, y + 1, x + kLabelBoxWidth - 2, y + kLabelBoxHeight - 2, slot);
      }
      TextTransparent(slot, x + 11, y + 5, letter, true);
    }
  }
}

void DrawTraceStatusColumn() {
  const Instrument& g = *GInstrument;
  const TraceStateBlock& s = g.traces.state;
  FillRect(568, 20, 126, 73, kSlotTraceKindBack);
  for (int t = 0; t < kTraceCount; ++t) {
    const int attribute = s.attribute[t];
    const char* name =
        attribute == kAttrFix ? AttributeFixedName(s.fixedFrom[t]) : AttributeListName(attribute);
    char line[24];
    std::snprintf(line, sizeof line, "%c:%-9.9s%s", 'A' + t, name, s.display[t] ? "/BLK" : "/DSP");
    TextSmall(TraceSlot(t), kSlotTraceKindBack, 571, 23 + 10 * t, line);
  }
}

}  // namespace vq
