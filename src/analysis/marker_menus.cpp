// The MARKER menu: the moving marker, SET and CLEAR MARKER, the marker-to-condition keys, the
// line markers, the marker unit, the marker list's difference column and MARKER AUTO UPDATE.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "analysis/analysis_menus.h"
#include "analysis/markers.h"
#include "analysis/search.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "menu/param_entry.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"
#include "traces/zoom.h"

namespace vq {

namespace {

constexpr MenuId kNodeMovingMarker = 1020;
constexpr MenuId kNodeSetMarker = 1021;
constexpr MenuId kNodeClearMarker = 1022;
constexpr MenuId kNodeAllMarkerClear = 1023;
constexpr MenuId kNodeToCentre = 82;
constexpr MenuId kNodeToRefLevel = 83;
constexpr MenuId kNodeToSpan = 93;
constexpr MenuId kNodeLineAllOff = 95;
constexpr MenuId kNodeMarkerUnit = 1026;
constexpr MenuId kNodeMarkerDisplay = 1027;
constexpr MenuId kNodeAutoUpdate = 103;

constexpr int kParMoveMarker = 37;
constexpr int kParSetMarker = 38;
constexpr int kParClearMarker = 39;

// The condition area, the graph frames and scales, their labels and the keys.
constexpr uint32_t kConditionRedraw =
    kRedrawConditions | kRedrawGraphFrames | kRedrawGraphLabels | kRedrawSoftKeys;

AnalysisState& Analysis() {
  return GInstrument->analysis;
}

const MarkerSlot& Moving() {
  return Analysis().markers[kMovingMarker];
}

bool InThz() {
  return Analysis().search.markerUnit == 1;
}

bool IsConfirmKey(int key) {
  return key == kCmdEnter || key == kCmdShiftEnter;
}

// A typed number as the entry reads it: none without a digit.
bool ParseTyped(std::string_view typed, double& value) {
  if (typed.find_first_of("0123456789") == std::string_view::npos) return false;
  return std::from_chars(typed.data(), typed.data() + typed.size(), value).ec == std::errc();
}

// A wavelength as the marker keys show it, in the marker unit.
std::string PositionText(double nm, double thz) {
  char text[24];
  if (!InThz()) {
    std::snprintf(text, sizeof text, "%9.4fnm", nm);
  } else if (nm < 30) {
    return "***.*****THz";
  } else {
    std::snprintf(text, sizeof text, thz < 1000 ? "%9.5fTHz" : "%9.4fTHz", thz);
  }
  return text;
}

// ---- MOVING MARKER: the entry is in the marker unit; the marker stands on data points ----

// The moving marker's position in the marker unit.
double MarkerPosition() {
  const MarkerSlot& m = Moving();
  return InThz() ? TraceFrequency(AxisOfTrace(m.trace), m.wavelength) : m.wavelength;
}

void OpenMovingMarker() {
  Instrument& g = *GInstrument;
  const int trace = SearchTrace();
  if (!TraceHasData(trace)) {
    ShowMessage(kNoDataInTrace);
    return;
  }
  const TraceAxis axis = AxisOfTrace(trace);
  if (Moving().on != 1) MoveMarker(trace, (axis.points - 1) / 2);
  // The limits are the trace's window; the window shows the value in the marker unit.
  const double first = IndexToWavelength(axis, 0), last = IndexToWavelength(axis, axis.points - 1);
  if (InThz()) {
    SetParameterLimits(kParMoveMarker, TraceFrequency(axis, last), TraceFrequency(axis, first));
  } else {
    SetParameterLimits(kParMoveMarker, first, last);
  }
  g.entry.params[kParMoveMarker].format = InThz() ? kFmtFreq : kFmtNm4;
  StartEntry(0, -1, kParMoveMarker, MarkerPosition());
  g.entry.valueInForce = MarkerPosition;
}

int32_t MovingMarkerHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  if (mode == kModeLeave) {
    EndEntry();
    return 1;
  }
  if (mode == kModeEnter) {
    OpenMovingMarker();
    return 1;
  }
  if (g.entry.parameter != kParMoveMarker) return 0;  // no data: no entry was opened
  const int k = static_cast<uint16_t>(*key);
  const int trace = SearchTrace();
  if (IsStepKey(k)) {
    EntryStep(k);  // drops unconfirmed digits; the marker itself steps one data point
    int delta = k == kCmdUp || k == kCmdRight ? 1 : -1;
    if (InThz()) delta = -delta;  // up is the higher frequency, the shorter wavelength
    MoveMarker(trace, MovingMarkerIndexOn(trace) + delta);
  } else if (IsConfirmKey(k)) {
    const std::string typed(g.entry.digits, g.entry.length);
    if (EntryKey(k) != 1) return 0;
    double value = 0;
    if (ParseTyped(typed, value)) {
      const double nm = InThz() ? RecordWavelength(g.traces.traces[trace].condition, value) : value;
      MoveMarker(trace, WavelengthToIndex(AxisOfTrace(trace), nm));
    }
  } else {
    return EntryKey(k) == 1;
  }
  g.entry.value = MarkerPosition();
  return 1;
}

void MovingMarkerPainter(int slot, int16_t pressed) {
  const MarkerSlot& m = Moving();
  PaintKeyValue(slot, pressed, m.on == 1 ? PositionText(m.wavelength, MarkerPosition()) : "OFF");
}

// ---- SET MARKER and CLEAR MARKER: a marker number; Enter acts on the typed or shown number ----

int NextMarkerNumber() {
  return std::min(FixedMarkerCount() + 1, kFixedMarkers);
}
int LastMarkerNumber() {
  return std::max(FixedMarkerCount(), 1);
}

double EntryValue() {
  return GInstrument->entry.value;
}

template <int Parameter>
int32_t MarkerNumberHandler(int mode, int16_t* key) {
  constexpr bool kSet = Parameter == kParSetMarker;
  Instrument& g = *GInstrument;
  if (mode == kModeLeave) {
    EndEntry();
    return 1;
  }
  if (mode == kModeEnter) {
    StartEntry(0, -1, Parameter, kSet ? NextMarkerNumber() : LastMarkerNumber());
    g.entry.valueInForce = EntryValue;
    return 1;
  }
  const int k = static_cast<uint16_t>(*key);
  if (IsStepKey(k)) return EntryStep(k) == 1;
  if (!IsConfirmKey(k)) return EntryKey(k) == 1;
  if (g.entry.length > 0 && EntryKey(k) != 1) return 0;
  const int n = static_cast<int>(std::lround(g.entry.value));
  if (const int code = kSet ? SetMarker(n) : ClearMarker(n)) {
    ShowMessage(code);
    return 0;
  }
  // Ready for the next one.
  g.entry.value = kSet ? NextMarkerNumber() : LastMarkerNumber();
  return 1;
}

int32_t AllMarkerClearHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  ClearAllMarkers();
  return 1;
}

// ---- MARKER->CENTER, ->REF LEVEL, ->SPAN: the setting record from the markers ----

void MarkSettingChanged() {
  GInstrument->frame.redrawFlags |= kConditionRedraw;
  NoteSettingChanged();
}

int32_t ToCentreHandler(int mode, int16_t*) {
  if (mode != kModeEnter || Moving().on != 1) return 0;
  MeasCondition& c = GInstrument->conditions.setting;
  const double nm = Moving().wavelength;
  SetCentre(c, c.frequencyMode == 1 ? RecordFrequency(c, nm) : nm);
  MarkSettingChanged();
  return 1;
}

int32_t ToRefLevelHandler(int mode, int16_t*) {
  if (mode != kModeEnter || Moving().on != 1) return 0;
  double dbm = RoundTo(LinearToDbm(Moving().level), 10);
  Clamp(dbm, kParRefLevel);
  GInstrument->conditions.setting.refLevel = dbm;
  FollowLevelScale();
  MarkSettingChanged();
  return 1;
}

bool WavelengthLinesOn() {
  const auto& l = Analysis().lineMarkers;
  return l[kLineL1].on == 1 && l[kLineL2].on == 1;
}

int32_t ToSpanHandler(int mode, int16_t*) {
  if (mode != kModeEnter || !WavelengthLinesOn()) return 0;
  MeasCondition& c = GInstrument->conditions.setting;
  const double l1 = Analysis().lineMarkers[kLineL1].value;
  const double l2 = Analysis().lineMarkers[kLineL2].value;
  SetSpan(c, c.frequencyMode == 1 ? std::fabs(RecordFrequency(c, l2) - RecordFrequency(c, l1))
                                  : std::fabs(l2 - l1));
  MarkSettingChanged();
  return 1;
}

int16_t MovingMarkerKeyState() {
  return Moving().on == 1 ? CommonKeyState() : kKeyDisabled;
}
int16_t SpanKeyState() {
  return WavelengthLinesOn() ? CommonKeyState() : kKeyDisabled;
}

// ---- LINE MARKER 1 to 4: L1, L2 in the marker unit on the graph's axis, L3, L4 in dBm ----

struct LineRow {
  MenuId node;
  int16_t parameter;
  int line;
};
constexpr LineRow kLineRows[] = {
    {89, 40, kLineL1}, {90, 41, kLineL2}, {1024, 42, kLineL3}, {1025, 43, kLineL4}};

bool IsLevelLine(int line) {
  return line >= kLineL3;
}

const MeasCondition& Setting() {
  return GInstrument->conditions.setting;
}

// The entry value of a line marker: its own when on, else the moving marker's place, else the
// middle of the graph (the reference level for the level lines).
double LinePosition(int line) {
  const LineMarker& l = Analysis().lineMarkers[line];
  const MarkerSlot& m = Moving();
  if (IsLevelLine(line)) {
    if (l.on == 1) return LinearToDbm(l.value);
    return m.on == 1 ? LinearToDbm(m.level) : Setting().refLevel;
  }
  const AxisRange shown = DisplayedRange();
  const double nm = l.on == 1 ? l.value : m.on == 1 ? m.wavelength : shown.start + shown.span / 2;
  return InThz() ? RecordFrequency(Setting(), nm) : nm;
}

// The step of the arrows: a column of the graph for the wavelength lines, 0.1 dB (1 dB coarse)
// for the level lines.
double LineStep(int line) {
  if (IsLevelLine(line)) return GInstrument->entry.stepMode == 1 ? 1.0 : 0.1;
  const AxisRange shown = DisplayedRange();
  const double span =
      InThz() ? RecordFrequency(Setting(), shown.start) - RecordFrequency(Setting(), shown.Stop())
              : shown.span;
  return std::max(std::fabs(span) / (kGraphColumns - 1), 0.0001);
}

void ApplyLine(int line, double value) {
  if (IsLevelLine(line)) return SetLineMarker(line, DbmToLinear(value));
  SetLineMarker(line, InThz() ? RecordWavelength(Setting(), value) : value);
}

template <int Row>
double LineInForce() {
  return LinePosition(kLineRows[Row].line);
}

template <int Row>
int32_t LineHandler(int mode, int16_t* key) {
  constexpr LineRow r = kLineRows[Row];
  Instrument& g = *GInstrument;
  if (mode == kModeLeave) {
    EndEntry();
    return 1;
  }
  if (mode == kModeEnter) {
    if (IsLevelLine(r.line)) {
      const ParamRecord& level = g.entry.params[kParRefLevel];
      SetParameterLimits(r.parameter, level.minimum, level.maximum);
    } else {
      const MeasCondition& c = Setting();
      if (InThz()) {
        SetParameterLimits(r.parameter, RecordFrequency(c, c.stop), RecordFrequency(c, c.start));
      } else {
        SetParameterLimits(r.parameter, c.start, c.stop);
      }
      g.entry.params[r.parameter].format = InThz() ? kFmtFreq : kFmtNm4;
    }
    double value = LinePosition(r.line);
    Clamp(value, r.parameter);
    StartEntry(0, -1, r.parameter, value);
    g.entry.valueInForce = LineInForce<Row>;
    return 1;
  }
  const int k = static_cast<uint16_t>(*key);
  if (IsStepKey(k)) {
    EntryStep(k);  // drops unconfirmed digits; these parameters have no step of their own
    const double step = LineStep(r.line);
    SetValue(g.entry.value + (k == kCmdUp || k == kCmdRight ? step : -step), r.parameter);
  } else if (IsConfirmKey(k)) {
    // Enter puts the line marker on at the typed value, or at the one shown.
    if (g.entry.length > 0 && EntryKey(k) != 1) return 0;
  } else {
    return EntryKey(k) == 1;
  }
  ApplyLine(r.line, g.entry.value);
  return 1;
}

template <int Row>
void LinePainter(int slot, int16_t pressed) {
  const int line = kLineRows[Row].line;
  const LineMarker& l = Analysis().lineMarkers[line];
  if (l.on != 1) return PaintKeyValue(slot, pressed, "OFF");
  if (!IsLevelLine(line)) {
    return PaintKeyValue(slot, pressed, PositionText(l.value, RecordFrequency(Setting(), l.value)));
  }
  char text[16];
  std::snprintf(text, sizeof text, "%7.2fdBm", LinearToDbm(l.value));
  PaintKeyValue(slot, pressed, text);
}

int32_t LineAllOffHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  AllLineMarkersOff();
  return 1;
}

// ---- MARKER UNIT, MARKER DISPLAY, MARKER AUTO UPDATE ----

struct Switch {
  MenuId node;
  uint16_t SearchSettings::*field;
  const char* words;
};
constexpr Switch kSwitches[] = {
    {kNodeMarkerUnit, &SearchSettings::markerUnit, "nm THz"},
    {kNodeMarkerDisplay, &SearchSettings::markerDisplay, "OFFSET SPACING"},
    {kNodeAutoUpdate, &SearchSettings::markerAutoUpdate, "     OFF ON"},
};

template <int Row>
int32_t SwitchHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  uint16_t& value = Analysis().search.*kSwitches[Row].field;
  value = value == 0 ? 1 : 0;
  GInstrument->frame.redrawFlags |= kMarkerRedraw | kRedrawSoftKeys;
  return 1;
}

template <int Row>
void SwitchPainter(int slot, int16_t pressed) {
  const Switch& r = kSwitches[Row];
  PaintKeyValue(slot, pressed, r.words, Analysis().search.*r.field != 0 ? 1 : 0);
}

template <int Row>
void BindSwitch() {
  const Switch& r = kSwitches[Row];
  BindNode(r.node, SwitchHandler<Row>, SwitchPainter<Row>);
  // A label whose second line names the two states shows them on the value line instead.
  MenuNode& node = GInstrument->menu.nodes[r.node];
  if (std::string_view(node.line2) == r.words) node.line2 = "";
}

template <int Row>
void BindLine() {
  BindNode(kLineRows[Row].node, LineHandler<Row>, LinePainter<Row>);
}

}  // namespace

void BindMarkerMenus() {
  BindNode(kNodeMovingMarker, MovingMarkerHandler, MovingMarkerPainter);
  BindNode(kNodeSetMarker, MarkerNumberHandler<kParSetMarker>);
  BindNode(kNodeClearMarker, MarkerNumberHandler<kParClearMarker>);
  BindNode(kNodeAllMarkerClear, AllMarkerClearHandler);
  BindNode(kNodeToCentre, ToCentreHandler, nullptr, MovingMarkerKeyState);
  BindNode(kNodeToRefLevel, ToRefLevelHandler, nullptr, MovingMarkerKeyState);
  BindNode(kNodeToSpan, ToSpanHandler, nullptr, SpanKeyState);
  static_assert(std::size(kLineRows) == kLineMarkers && std::size(kSwitches) == 3,
                "bind every row");
  BindLine<0>();
  BindLine<1>();
  BindLine<2>();
  BindLine<3>();
  BindNode(kNodeLineAllOff, LineAllOffHandler);
  BindSwitch<0>();
  BindSwitch<1>();
  BindSwitch<2>();
}

}  // namespace vq
