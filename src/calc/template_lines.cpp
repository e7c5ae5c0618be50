// Go/no-go templates: rendering the lines on the measured axis and the judgement.
#include "calc/template_lines.h"

#include <algorithm>
#include <cassert>
#include <cfloat>
#include <cmath>

#include "analysis/markers.h"
#include "analysis/search.h"
#include "instrument.h"
#include "menu/messages.h"
#include "resources/param_table.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"
#include "traces/zoom.h"

namespace vq {

namespace {

constexpr int kMsgNoData = 131;
constexpr int32_t kZeroSpanLastIndex = 1000;  // the judged range of a 0 nm sweep
constexpr double kNoLineDb = -1000.0;
// Trace files hold levels as 32-bit floats: a level written at the line's own value reads back
// up to one float step off, and still touches the line.
constexpr double kTouchTolerance = FLT_EPSILON;

// The record whose level scale the pane of the active trace shows.
const MeasCondition& ActivePaneRecord() {
  const Instrument& g = *GInstrument;
  const int active = g.traces.state.activeTrace;
  if (g.screen.screenMode != 1) return g.conditions.setting;
  return g.conditions.panes[g.traces.state.pane[active] == 1 ? 1 : 0];
}

// The dB level of a placed point: the shift and offset in dB, or the offset added to the linear
// value when the reference is a linear quantity.
double PlacedLevel(double level, double levelShift, const TemplateOffsets& o) {
  if (!o.linear) return level + levelShift + o.level;
  const double mw = DbmToLinear(level + levelShift) + o.level;
  return mw > 0 ? LinearToDbm(mw) : kNoLineDb;
}

}  // namespace

TemplateLimits TemplatePointLimits(int mode) {
  if (mode == kTemplateRelative) return {-1200.0, 1200.0, -99.99, 99.99};
  const int variant = std::clamp(GInstrument->entry.modelVariant, 0, kModelVariantCount - 1);
  TemplateLimits l{0, 0, -99.99, 30.0};
  for (const ModelLimitUse& use : ModelLimitUses()) {
    if (use.id != kParCentreWl) continue;
    l.wlMin = kModelLimits[variant][use.minIndex];
    l.wlMax = kModelLimits[variant][use.maxIndex];
  }
  return l;
}

const char* TemplateLineName(int line) {
  static const char* const kNames[kTemplateLineCount] = {"UPPER", "LOWER", "TARGET"};
  assert(line >= 0 && line < kTemplateLineCount && "line 0 to 2");
  return kNames[line];
}

void SetTemplateLine(int line, std::vector<TemplatePoint> points, int mode, int extrapolation) {
  assert(line >= 0 && line < kTemplateLineCount && "line 0 to 2");
  Instrument& g = *GInstrument;
  TemplateLine& l = g.templates.lines[line];
  l.points = std::move(points);
  l.mode = static_cast<int16_t>(mode);
  l.extrapolation = static_cast<int16_t>(extrapolation);
  l.display = 1;
  TemplateEdited();
  RenderTemplateLines();
  if (g.templates.goNoGo) {
    SetGoNoGo(false);
    ShowMessage(kMsgGoNoGoStopped);
  }
}

void TemplateEdited() {
  Instrument& g = *GInstrument;
  ++g.templates.edits;
  g.frame.redrawFlags |= kRedrawDynamicOnly | kRedrawDynamic;
}

TemplateOffsets RelativeOffsets() {
  const Instrument& g = *GInstrument;
  TemplateOffsets o;
  const AxisRange window = DisplayedRange();
  o.wl = window.start + window.span / 2;
  const MeasCondition& pane = ActivePaneRecord();
  if (!TraceOnSubScale(g.traces.state.activeTrace)) {
    o.level = pane.refLevel;
    return o;
  }
  switch (pane.subScaleMode) {
    case 0:
      o.level = pane.subScaleMin, o.linear = true;
      break;
    case 1:
      o.level = pane.offsetLevel;
      break;
    case 2:
      o.level = pane.offsetLevelPerKm;
      break;
    default:
      o.level = pane.subScaleMinPercent / 100, o.linear = true;
      break;
  }
  return o;
}

namespace {

// Fills rendered[from..to] with the dB levels db0 + slope * (i - from) as mW. Along a straight
// line in dB the power is geometric: each point is the last times one ratio, with an exact value
// every block so that rounding cannot build up.
void FillGeometric(std::vector<double>& rendered, int32_t from, int32_t to, double db0,
                   double slope) {
  constexpr int32_t kExactEvery = 256;
  const double ratio = DbmToLinear(slope);
  for (int32_t block = from; block <= to; block += kExactEvery) {
    double mw = DbmToLinear(db0 + slope * (block - from));
    const int32_t end = std::min(to, block + kExactEvery - 1);
    for (int32_t i = block; i <= end; ++i) {
      rendered[i] = mw;
      mw *= ratio;
    }
  }
}

}  // namespace

void RenderLine(TemplateLine& line, double start, double span, int32_t points,
                const TemplateOffsets& offsets, double wlShift, double levelShift) {
  const int32_t n = std::clamp(points, 0, kMaxPoints);
  line.rendered.assign(n, 0.0);
  line.first = line.last = -1;
  const size_t count = line.points.size();
  if (count < static_cast<size_t>(kTemplateMinPoints) || n == 0) return;
  const TemplateOffsets none{};
  const TemplateOffsets& o = line.mode == kTemplateRelative ? offsets : none;
  // The placed points: wavelength in nm, then as fractional axis positions.
  const double h = n > 1 ? span / (n - 1) : 0.0;
  std::vector<double> x(count), d(count);
  for (size_t j = 0; j < count; ++j) {
    x[j] = line.points[j].wl + wlShift + o.wl;
    d[j] = PlacedLevel(line.points[j].level, levelShift, o);
  }
  auto slope = [&](size_t a, size_t b) {
    return x[b] != x[a] ? (d[b] - d[a]) / (x[b] - x[a]) : 0.0;
  };
  const bool noLine = line.extrapolation == kExtrapolNone;
  const bool typeB = line.extrapolation == kExtrapolTypeB;
  if (h == 0) {
    // A 0 nm sweep: every index lies at `start`.
    double db = 0;
    if (start < x[0]) {
      if (noLine) return;
      db = typeB ? d[0] + slope(0, 1) * (start - x[0]) : d[0];
    } else if (start > x[count - 1]) {
      if (noLine) return;
      db = typeB ? d[count - 1] + slope(count - 2, count - 1) * (start - x[count - 1])
                 : d[count - 1];
    } else {
      size_t j = 0;
      while (j + 2 < count && x[j + 1] < start) ++j;
      db = x[j + 1] == x[j] ? d[j + 1] : d[j] + slope(j, j + 1) * (start - x[j]);
    }
    std::fill(line.rendered.begin(), line.rendered.end(), DbmToLinear(db));
    line.first = 0, line.last = n - 1;
    return;
  }
  for (size_t j = 0; j < count; ++j) x[j] = (x[j] - start) / h;
  // Slopes in dB per axis point from here on.
  auto firstAtOrAbove = [n](double v) {
    return static_cast<int32_t>(std::clamp(std::ceil(v), 0.0, static_cast<double>(n)));
  };
  auto lastAtOrBelow = [n](double v) {
    return static_cast<int32_t>(std::clamp(std::floor(v), -1.0, n - 1.0));
  };
  const int32_t inFirst = firstAtOrAbove(x[0]), inLast = lastAtOrBelow(x[count - 1]);
  // Before the first point and after the last one.
  if (!noLine) {
    const double s0 = typeB ? slope(0, 1) : 0.0;
    const double s1 = typeB ? slope(count - 2, count - 1) : 0.0;
    const int32_t before = std::min(inFirst, n) - 1;
    FillGeometric(line.rendered, 0, before, d[0] + s0 * (0 - x[0]), s0);
    const int32_t after = std::max(inLast, -1) + 1;
    FillGeometric(line.rendered, after, n - 1, d[count - 1] + s1 * (after - x[count - 1]), s1);
  }
  // Between the points, segment by segment; each index once.
  int32_t i = inFirst;
  for (size_t j = 0; j + 1 < count && i <= inLast; ++j) {
    if (x[j + 1] == x[j]) continue;
    const int32_t end = std::min(lastAtOrBelow(x[j + 1]), inLast);
    if (end < i) continue;
    const double s = slope(j, j + 1);
    FillGeometric(line.rendered, i, end, d[j] + s * (i - x[j]), s);
    i = end + 1;
  }
  if (noLine) {
    if (inFirst <= inLast) line.first = inFirst, line.last = inLast;
  } else {
    line.first = 0, line.last = n - 1;
  }
}

void RenderTemplateLines(bool force) {
  Instrument& g = *GInstrument;
  TemplateState& t = g.templates;
  const MeasCondition& m = g.conditions.measured;
  const TemplateOffsets o = RelativeOffsets();
  TemplateRenderKey key{m.start,  m.span,    m.samplingPoints, o.wl,   o.level,
                        o.linear, t.wlShift, t.levelShift,     t.edits};
  if (!force && key == t.rendered) return;
  for (TemplateLine& line : t.lines) {
    RenderLine(line, m.start, m.span, m.samplingPoints, o, t.wlShift, t.levelShift);
  }
  t.rendered = key;
}

JudgedRange JudgedIndexRange(int trace) {
  const AnalysisState& a = GInstrument->analysis;
  const TraceAxis axis = AxisOfTrace(trace);
  const double w0 = axis.start, w1 = axis.start + axis.span;
  JudgedRange r{0, kZeroSpanLastIndex};
  if (axis.Step() != 0) {
    const AxisRange window = DisplayedRange();
    double low = window.start, high = window.Stop();
    if (low > high) std::swap(low, high);
    r = {WavelengthToIndexInside(axis, std::max(low, w0), true),
         WavelengthToIndexInside(axis, std::min(high, w1), false)};
  }
  if (a.search.rangeLineMarkers) {
    double low = a.lineMarkers[kLineL1].on == 1 ? a.lineMarkers[kLineL1].value : w0;
    double high = a.lineMarkers[kLineL2].on == 1 ? a.lineMarkers[kLineL2].value : w1;
    if (low > high) std::swap(low, high);
    r.start = std::max(r.start, WavelengthToIndexInside(axis, low, true));
    r.end = std::min(r.end, WavelengthToIndexInside(axis, high, false));
  }
  return r;
}

namespace {

TemplateJudgeKey JudgeKey() {
  const Instrument& g = *GInstrument;
  const AxisRange window = DisplayedRange();
  const auto& l = g.analysis.lineMarkers;
  return {g.traces.state.activeTrace,
          window.start,
          window.span,
          g.analysis.search.rangeLineMarkers,
          l[kLineL1].on,
          l[kLineL2].on,
          l[kLineL1].value,
          l[kLineL2].value,
          g.templates.type,
          g.templates.rendered};
}

}  // namespace

void KeepTemplatesCurrent() {
  RenderTemplateLines();
  const TemplateState& t = GInstrument->templates;
  if (t.goNoGo && !(JudgeKey() == t.judged)) JudgeTemplate();
}

int JudgeTemplate() {
  Instrument& g = *GInstrument;
  TemplateState& t = g.templates;
  const int trace = g.traces.state.activeTrace;
  t.firstFailIndex = -1;
  g.frame.redrawFlags |= kRedrawDynamicOnly | kRedrawDynamic;
  RenderTemplateLines();
  t.judged = JudgeKey();
  if (!TraceHasData(trace)) {
    ShowMessage(kMsgNoData);
    return t.result = -1;
  }
  const auto& level = g.traces.traces[trace].level;
  const JudgedRange r = JudgedIndexRange(trace);
  // The first index in [from, to] where the trace is above (upper) or below (lower) the line.
  auto firstFail = [&](const TemplateLine& line, bool upper) -> int32_t {
    if (line.first < 0) return -1;
    const int32_t from = std::max(r.start, line.first);
    const int32_t to = std::min({r.end, line.last, static_cast<int32_t>(line.rendered.size()) - 1});
    for (int32_t i = from; i <= to; ++i) {
      const double limit = line.rendered[i];
      if (upper ? level[i] > limit * (1 + kTouchTolerance)
                : level[i] < limit * (1 - kTouchTolerance)) {
        return i;
      }
    }
    return -1;
  };
  int32_t fail = -1;
  auto note = [&fail](int32_t i) {
    if (i >= 0 && (fail < 0 || i < fail)) fail = i;
  };
  if (t.type != kJudgeLower) note(firstFail(t.lines[kLineUpper], true));
  if (t.type != kJudgeUpper) note(firstFail(t.lines[kLineLower], false));
  t.firstFailIndex = fail;
  return t.result = fail < 0 ? 1 : 0;
}

void SetGoNoGo(bool on) {
  Instrument& g = *GInstrument;
  g.templates.goNoGo = on ? 1 : 0;
  g.templates.result = -1;
  g.templates.firstFailIndex = -1;
  g.frame.redrawFlags |= kRedrawSoftKeys | kRedrawDynamicOnly | kRedrawDynamic;
  if (on) JudgeTemplate();
}

void TemplateNewTraceData(int trace) {
  const Instrument& g = *GInstrument;
  if (g.templates.goNoGo && trace == g.traces.state.activeTrace) JudgeTemplate();
}

}  // namespace vq
