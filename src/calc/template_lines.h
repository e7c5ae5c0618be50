// Go/no-go templates: setting a line, rendering the lines on the measured axis and judging the
// active trace against them.
#pragma once

#include <cstdint>
#include <vector>

#include "state/template_state.h"

namespace vq {

constexpr int kMsgGoNoGoStopped = 144;  // "GO/NO GO judgement stopped"

// The names of the lines ("UPPER", "LOWER", "TARGET").
const char* TemplateLineName(int line);

// The limits of point values: ABSOLUTE wavelengths within the instrument's wavelength range (its
// model's centre wavelength limits), levels -99.99 to 30.0 dBm; RELATIVE -1200 to 1200 nm and
// -99.99 to 99.99 dB.
struct TemplateLimits {
  double wlMin, wlMax, levelMin, levelMax;
};
TemplateLimits TemplatePointLimits(int mode);

// Replaces line k with the points, mode and extrapolation (the caller checked the limits); the
// line is displayed and rendered. When GO/NO GO was on it goes off with message 144.
void SetTemplateLine(int line, std::vector<TemplatePoint> points, int mode, int extrapolation);
// Any change of points, mode or extrapolation made in place: renders again on the next use.
void TemplateEdited();

// Renders the lines when the measured record, the displayed window, the pane's level scale, the
// shifts or the points changed since the last rendering (or always, when forced).
void RenderTemplateLines(bool force = false);

// The placement of RELATIVE lines: the centre of the displayed window, the level offset of the
// pane that shows the active trace and whether it adds to linear values.
struct TemplateOffsets {
  double wl = 0.0;
  double level = 0.0;
  bool linear = false;
};
TemplateOffsets RelativeOffsets();

// Renders one line on an axis (start nm, span nm, points): fills rendered, first and last.
void RenderLine(TemplateLine& line, double start, double span, int32_t points,
                const TemplateOffsets& offsets, double wlShift, double levelShift);

// The index range of the active trace that is judged: its pane's displayed window (0 to 1000 for
// a 0 nm sweep), narrowed to L1-L2 when searches are limited to the line markers.
struct JudgedRange {
  int32_t start = 0, end = -1;
};
JudgedRange JudgedIndexRange(int trace);

// Judges the active trace: 1 pass, 0 fail, -1 none (131 shown when the trace holds no data).
// Sets the result and the first failing index.
int JudgeTemplate();
// Before a drawing pass: renders the lines when their inputs changed, and with GO/NO GO on judges
// again when the active trace, its window, the L1-L2 range, TYPE or the lines changed.
void KeepTemplatesCurrent();
// GO/NO GO on judges at once; off clears the result.
void SetGoNoGo(bool on);
// After new data in a trace: judges again when GO/NO GO is on and it is the active trace.
void TemplateNewTraceData(int trace);

}  // namespace vq
