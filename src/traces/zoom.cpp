// The zoom window of the waveform display, and the ZOOM menu: the window's centre, span, start
// and stop, the overview and its size.
#include "traces/zoom.h"

#include <algorithm>
#include <iterator>

#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"
#include "menu/softkey_column.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

bool FrequencyAxis() {
  return GInstrument->conditions.setting.frequencyMode == 1;
}

enum ZoomField { kZoomCentre, kZoomSpan, kZoomStart, kZoomStop };
constexpr MenuId kZoomNodes[] = {1120, 1121, 1122, 1123};
constexpr int kZoomParameters[] = {8, 10, 12, 14};  // wavelength; the frequency one follows
static_assert(std::size(kZoomNodes) == std::size(kZoomParameters), "one parameter per key");
constexpr MenuId kNodeOverviewSize = 1124;
constexpr MenuId kNodeZoomInitialize = 1125;
constexpr MenuId kOverviewNodes[] = {1126, 1127, 1128};  // off, left, right

// A window on the axis the user sees: nm, or THz with the low frequency (long wavelength) first.
struct AxisWindow {
  double low, high;
};

// The graphs show the window of the setting record, so its frequency axis converts.
AxisWindow ToAxis(double start, double stop) {
  if (!FrequencyAxis()) return {start, stop};
  const MeasCondition& c = GInstrument->conditions.setting;
  return {RecordFrequency(c, stop), RecordFrequency(c, start)};
}

double ZoomFieldValue(int field) {
  const AxisRange d = DisplayedRange();
  const AxisWindow a = ToAxis(d.start, d.Stop());
  switch (field) {
    case kZoomCentre:
      return (a.low + a.high) / 2;
    case kZoomSpan:
      return a.high - a.low;
    case kZoomStart:
      return a.low;
    default:
      return a.high;
  }
}

void MarkZoomChanged() {
  GInstrument->frame.redrawFlags |= kRedrawGraphFrames | kRedrawGraphLabels | kRedrawDynamicOnly;
}

// Moves one edge or the centre or span of the zoom, kept inside the measured window.
void SetZoomField(int field, double value) {
  Instrument& g = *GInstrument;
  const AxisRange d = DisplayedRange(), m = MeasuredRange();
  AxisWindow a = ToAxis(d.start, d.Stop());
  const AxisWindow limit = ToAxis(m.start, m.Stop());
  const double half = (a.high - a.low) / 2, centre = (a.low + a.high) / 2;
  switch (field) {
    case kZoomCentre:
      a = {value - half, value + half};
      break;
    case kZoomSpan:
      a = {centre - value / 2, centre + value / 2};
      break;
    case kZoomStart:
      a = {value, std::max(a.high, value)};
      break;
    default:
      a = {std::min(a.low, value), value};
      break;
  }
  a.low = std::clamp(a.low, limit.low, limit.high);
  a.high = std::clamp(a.high, a.low, limit.high);
  WaveformState& w = g.waveform;
  if (FrequencyAxis()) {
    w.zoomStart = RecordWavelength(g.conditions.setting, a.high);
    w.zoomStop = RecordWavelength(g.conditions.setting, a.low);
  } else {
    w.zoomStart = a.low;
    w.zoomStop = a.high;
  }
  w.zoomSpan = w.zoomStop - w.zoomStart;
  w.zoomCentre = w.zoomStart + w.zoomSpan / 2;
  w.zoomed = true;
  MarkZoomChanged();
}

int ZoomFieldOfNode(MenuId node) {
  for (int i = 0; i < static_cast<int>(std::size(kZoomNodes)); ++i) {
    if (kZoomNodes[i] == node) return i;
  }
  return -1;
}

int32_t ZoomEntryHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  const int field = ZoomFieldOfNode(g.menu.currentMenu);
  if (field < 0) return 0;
  if (mode == kModeLeave) {
    EndEntry();
    return 1;
  }
  if (mode == kModeEnter) {
    StartEntry(0, -1, kZoomParameters[field] + (FrequencyAxis() ? 1 : 0), ZoomFieldValue(field));
    return 1;
  }
  const int k = static_cast<uint16_t>(*key);
  const bool step = k == kCmdUp || k == kCmdDown || k == kCmdLeft || k == kCmdRight;
  if ((step ? EntryStep(k) : EntryKey(k)) != 1) return 0;
  if (g.entry.value == ZoomFieldValue(field)) return 1;  // digits typed, nothing confirmed yet
  SetZoomField(field, g.entry.value);
  g.entry.value = ZoomFieldValue(field);  // the entry shows what the limits allowed
  return 1;
}

int32_t OverviewHandler(int mode, int16_t*) {
  Instrument& g = *GInstrument;
  if (mode != kModeEnter) return 0;
  for (int i = 0; i < 3; ++i) {
    if (kOverviewNodes[i] == g.menu.currentMenu) g.waveform.overview = i;
  }
  MarkZoomChanged();
  g.frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}

// The chosen overview position is painted as a key held down.
void OverviewPainter(int slot, int16_t pressed) {
  Instrument& g = *GInstrument;
  const bool chosen = g.menu.keySlots[slot].target == kOverviewNodes[g.waveform.overview];
  StandardLabelPainter(slot, static_cast<int16_t>(pressed || chosen));
}

int32_t OverviewSizeHandler(int mode, int16_t*) {
  Instrument& g = *GInstrument;
  if (mode != kModeEnter) return 0;
  g.waveform.overviewSmall = !g.waveform.overviewSmall;
  MarkZoomChanged();
  g.frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}

void OverviewSizePainter(int slot, int16_t pressed) {
  Instrument& g = *GInstrument;
  g.menu.nodes[kNodeOverviewSize].valueLine = "LARGE SMALL";
  SoftKeySlot& s = g.menu.keySlots[slot];
  s.style = 1;
  s.index = g.waveform.overviewSmall ? 1 : 0;
  StandardLabelPainter(slot, pressed);
}

int32_t ZoomInitializeHandler(int mode, int16_t*) {
  Instrument& g = *GInstrument;
  if (mode != kModeEnter) return 0;
  g.waveform.zoomed = false;
  MarkZoomChanged();
  return 1;
}

}  // namespace

AxisRange MeasuredRange() {
  const MeasCondition& c = GInstrument->conditions.setting;
  return {c.start, c.stop - c.start};
}

AxisRange DisplayedRange() {
  const WaveformState& w = GInstrument->waveform;
  if (!w.zoomed) return MeasuredRange();
  return {w.zoomStart, w.zoomStop - w.zoomStart};
}

bool Zoomed() {
  const WaveformState& w = GInstrument->waveform;
  const AxisRange m = MeasuredRange();
  return w.zoomed && (w.zoomStart != m.start || w.zoomStop != m.Stop());
}

void BindZoomMenu() {
  for (MenuId id : kZoomNodes) BindNode(id, ZoomEntryHandler);
  for (MenuId id : kOverviewNodes) BindNode(id, OverviewHandler, OverviewPainter);
  BindNode(kNodeOverviewSize, OverviewSizeHandler, OverviewSizePainter);
  BindNode(kNodeZoomInitialize, ZoomInitializeHandler);
}

}  // namespace vq
