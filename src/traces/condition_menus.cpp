// The CENTER, SPAN, LEVEL and SETUP keys that edit the setting record.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"
#include "menu/softkey_column.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

// The condition area, the graph frames and scales, the labels around the graphs and the keys.
constexpr uint32_t kConditionRedraw =
    kRedrawConditions | kRedrawGraphFrames | kRedrawGraphLabels | kRedrawSoftKeys;

// A key that opens a parameter entry on one field of the setting record.
struct EntryRow {
  MenuId node;
  int16_t parameter;             // in wavelength mode and in the log scale
  double MeasCondition::*field;  // null: an integer field
  int16_t subScaleMode;          // the sub scale the key selects, -1 none
};

using M = MeasCondition;
constexpr EntryRow kEntryRows[] = {
    {38, kParCentreWl, &M::centre, -1},
    {39, kParStartWl, &M::start, -1},
    {40, kParStopWl, &M::stop, -1},
    {58, kParSpanWl, &M::span, -1},
    {61, kParRefLevel, &M::refLevel, -1},
    {62, kParLogScale, &M::logScale, -1},
    {585, kParBaseLevel, &M::baseLevel, -1},
    {65, 20, &M::subScaleLog, 1},
    {66, 21, &M::subScaleLinear, 0},
    {587, 22, &M::subScaleDbKm, 2},
    {588, 23, &M::subScalePercent, 3},
    {591, 25, &M::subScaleMin, -1},
    {592, 27, &M::subScaleMinPercent, -1},
    {67, 24, &M::offsetLevel, -1},
    {590, 26, &M::offsetLevelPerKm, -1},
    {589, 28, &M::fibreLength, -1},
    {71, kParAverage, nullptr, -1},
    {72, kParPoints, nullptr, -1},
    {733, kParInterval, &M::samplingInterval, -1},
};
static_assert(std::size(kEntryRows) == 19, "one row per entry key");

// Keys that set a field to one value, switch it, or run a one-shot change.
enum class Setting : uint8_t {
  Resolution,  // value in pm
  Sensitivity,
  Divisions,
  RefUnit,  // unit exponent of the linear base level
  LinearScale,
  LevelUnit,
  Axis,
  SamplingAuto,
  FullSpan,
};
struct ChoiceRow {
  MenuId node;
  Setting setting;
  int16_t value;
};
constexpr ChoiceRow kChoiceRows[] = {
    {360, Setting::Resolution, 20},   {361, Setting::Resolution, 50},
    {362, Setting::Resolution, 100},  {363, Setting::Resolution, 200},
    {364, Setting::Resolution, 500},  {365, Setting::Resolution, 1000},
    {366, Setting::Resolution, 2000}, {768, Setting::Sensitivity, 0},
    {769, Setting::Sensitivity, 1},   {770, Setting::Sensitivity, 2},
    {771, Setting::Sensitivity, 3},   {772, Setting::Sensitivity, 4},
    {773, Setting::Sensitivity, 5},   {1201, Setting::Sensitivity, 6},
    {387, Setting::Divisions, 8},     {388, Setting::Divisions, 10},
    {389, Setting::Divisions, 12},    {551, Setting::RefUnit, 3},
    {552, Setting::RefUnit, 2},       {553, Setting::RefUnit, 1},
    {554, Setting::RefUnit, 0},       {550, Setting::LinearScale, 0},
    {586, Setting::LevelUnit, 0},     {614, Setting::Axis, 0},
    {606, Setting::SamplingAuto, 0},  {1000, Setting::FullSpan, 0},
};
static_assert(std::size(kChoiceRows) == 26, "one row per choice key");

constexpr MenuId kNodeResolution = 69;
constexpr MenuId kNodeSensitivity = 70;
constexpr MenuId kToggleNodes[] = {586, 614};  // their second label line is the switched words

template <typename Row, size_t N>
const Row* FindRow(const Row (&rows)[N], MenuId node) {
  const auto it = std::find_if(std::begin(rows), std::end(rows),
                               [node](const Row& r) { return r.node == node; });
  return it == std::end(rows) ? nullptr : it;
}

// level: a LEVEL key, which also rescales the pane of the active trace in the split display.
void MarkChanged(bool level) {
  Instrument& g = *GInstrument;
  g.entry.linearScalePage = g.conditions.setting.logScale < 0;
  g.frame.redrawFlags |= kConditionRedraw;
  NoteSettingChanged();
  if (level) FollowLevelScale();
}

bool IsLevelRow(const EntryRow& r) {
  return r.field != nullptr && IsLevelScaleField(r.field);
}

// The parameter the key enters now: the frequency axis and the linear scale have their own.
int RowParameter(const EntryRow& r, const MeasCondition& c) {
  if (r.parameter <= kParStopWl && c.frequencyMode == 1) return r.parameter + 1;
  if (r.parameter == kParRefLevel && c.logScale < 0) return kParRefLinear;
  return r.parameter;
}

double RowValue(const EntryRow& r, const MeasCondition& c, int parameter) {
  switch (parameter) {
    case kParCentreFreq:
      return (RecordFrequency(c, c.start) + RecordFrequency(c, c.stop)) / 2;
    case kParSpanFreq:
      return RecordFrequency(c, c.start) - RecordFrequency(c, c.stop);
    case kParStartFreq:  // the low frequency edge belongs to the stop wavelength
      return RecordFrequency(c, c.stop);
    case kParStopFreq:
      return RecordFrequency(c, c.start);
    case kParRefLinear:
      return DbmToLinear(c.refLevel);
    case kParLogScale:
      return std::fabs(c.logScale);
    case kParAverage:
      return c.averageTimes;
    case kParPoints:
      return c.samplingPoints;
    default:
      return c.*r.field;
  }
}

void ApplyRow(const EntryRow& r, MeasCondition& c, int parameter, double value) {
  switch (parameter) {
    case kParCentreWl:
    case kParCentreFreq:
      return SetCentre(c, value);
    case kParSpanWl:
    case kParSpanFreq:
      return SetSpan(c, value);
    case kParStartWl:
    case kParStartFreq:
      return SetStart(c, value);
    case kParStopWl:
    case kParStopFreq:
      return SetStop(c, value);
    case kParRefLinear:
      c.refLevel = LinearToDbm(value);
      return;
    case kParAverage:
      c.averageTimes = static_cast<int16_t>(value);
      return;
    case kParPoints:
      c.samplingPoints = static_cast<int32_t>(value);
      c.samplingAuto = 0;
      return UpdateSampling(c);
    case kParInterval:
      c.samplingInterval = value;
      c.samplingAuto = 2;
      return UpdateSampling(c);
    default:  // a LOG SCALE entered is positive: the main scale becomes logarithmic
      c.*r.field = value;
  }
}

// The row whose key opens an entry on the parameter, in either axis and scale.
const EntryRow* RowOfParameter(int parameter) {
  for (const EntryRow& r : kEntryRows) {
    const bool variant = (r.parameter <= kParStopWl && parameter == r.parameter + 1) ||
                         (r.parameter == kParRefLevel && parameter == kParRefLinear);
    if (r.parameter == parameter || variant) return &r;
  }
  return nullptr;
}

// The value of the open entry's field as the setting record holds it now.
double EntryValueInForce() {
  const Instrument& g = *GInstrument;
  const EntryRow* row = RowOfParameter(g.entry.parameter);
  return row ? RowValue(*row, g.conditions.setting, g.entry.parameter) : g.entry.value;
}

// Limits that follow the other settings: the base level stays below the reference level, the
// interval between the minimum step and 101 points over the span.
void PrepareRowLimits(int parameter, const MeasCondition& c) {
  if (parameter == kParBaseLevel) SetParameterLimits(kParBaseLevel, 0, DbmToLinear(c.refLevel));
  if (parameter == kParInterval) {
    const double minStep = c.start < 1300 ? 0.002 : 0.001;
    SetParameterLimits(kParInterval, minStep, std::max(minStep, c.span / 100));
  }
}

int32_t EntryHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  const EntryRow* row = FindRow(kEntryRows, g.menu.currentMenu);
  if (row == nullptr) return 0;
  MeasCondition& c = g.conditions.setting;
  if (mode == kModeLeave) {
    EndEntry();
    return 1;
  }
  if (mode == kModeEnter) {
    const int parameter = RowParameter(*row, c);
    if (row->subScaleMode >= 0 && c.subScaleMode != row->subScaleMode) {
      c.subScaleMode = static_cast<uint16_t>(row->subScaleMode);
      MarkChanged(true);
    }
    PrepareRowLimits(parameter, c);
    StartEntry(0, -1, parameter, RowValue(*row, c, parameter));
    g.entry.valueInForce = EntryValueInForce;
    return 1;
  }
  const int k = static_cast<uint16_t>(*key);
  const bool step = k == kCmdUp || k == kCmdDown || k == kCmdLeft || k == kCmdRight;
  if (!step && ClassifyKey(k) == 0 && k != kCmdCtrlHome) return 0;
  if ((step ? EntryStep(k) : EntryKey(k)) != 1) return 0;
  ApplyRow(*row, c, g.entry.parameter, g.entry.value);
  // The coupling may have pulled the value in: the entry shows what was stored.
  const double stored = RowValue(*row, c, g.entry.parameter);
  if (std::fabs(stored - g.entry.value) > 1e-6 * std::max(1.0, std::fabs(stored))) {
    g.entry.value = stored;
  }
  MarkChanged(IsLevelRow(*row));
  return 1;
}

void FullSpan(MeasCondition& c) {
  Instrument& g = *GInstrument;
  PrepareModelLimits(g.entry.modelVariant);
  const ParamRecord& range = g.entry.params[kParCentreWl];
  c.start = range.minimum;
  c.stop = range.maximum;
  c.span = c.stop - c.start;
  c.centre = c.start + c.span / 2;
  UpdateSampling(c);
}

int32_t ChoiceHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  // USER registration runs a key without making it current; its key word names the node then.
  const ChoiceRow* row = FindRow(kChoiceRows, *key);
  if (row == nullptr) row = FindRow(kChoiceRows, g.menu.currentMenu);
  if (mode != kModeEnter || row == nullptr) return 0;
  MeasCondition& c = g.conditions.setting;
  switch (row->setting) {
    case Setting::Resolution:
      c.resolution = row->value / 1000.0;
      UpdateSampling(c);
      break;
    case Setting::Sensitivity:
      c.sensitivity = static_cast<uint16_t>(row->value);
      break;
    case Setting::Divisions:
      g.conditions.yDivisions = row->value;
      break;
    case Setting::RefUnit:
      g.entry.levelUnitExponent = row->value;
      break;
    case Setting::LinearScale:
      c.logScale = -std::fabs(c.logScale);
      break;
    case Setting::LevelUnit:
      c.levelUnit = c.levelUnit == 0 ? 1 : 0;
      break;
    case Setting::Axis:
      c.frequencyMode = c.frequencyMode == 0 ? 1 : 0;
      break;
    case Setting::SamplingAuto:
      c.samplingAuto = 1;
      UpdateSampling(c);
      break;
    case Setting::FullSpan:
      FullSpan(c);
      break;
  }
  MarkChanged(row->setting == Setting::LinearScale || row->setting == Setting::LevelUnit);
  return 1;
}

std::string ValueText(MenuId node) {
  const MeasCondition& c = GInstrument->conditions.setting;
  if (const EntryRow* row = FindRow(kEntryRows, node)) {
    const int parameter = RowParameter(*row, c);
    return FormatEntryValue(parameter, RowValue(*row, c, parameter));
  }
  if (node == kNodeResolution) return FormatEntryValue(kParResolution, c.resolution);
  if (node == kNodeSensitivity) return SensitivityName(c.sensitivity, c.chopMode);
  return "";
}

// Keys that show their current value on the value line.
void ValuePainter(int slot, int16_t pressed) {
  Instrument& g = *GInstrument;
  const MenuId target = g.menu.keySlots[slot].target;
  auto& text = g.conditions.valueLines[slot];
  std::snprintf(text.data(), text.size(), "%s", ValueText(target).c_str());
  g.menu.nodes[target].valueLine = text.data();
  StandardLabelPainter(slot, pressed);
}

// Switches: the word of the current state is highlighted.
void TogglePainter(int slot, int16_t pressed) {
  Instrument& g = *GInstrument;
  SoftKeySlot& s = g.menu.keySlots[slot];
  const MeasCondition& c = g.conditions.setting;
  s.style = 1;
  s.index = s.target == 614 ? c.frequencyMode : c.levelUnit;
  StandardLabelPainter(slot, pressed);
}

}  // namespace

void BindConditionMenus() {
  MenuState& m = GInstrument->menu;
  for (const EntryRow& r : kEntryRows) {
    m.nodes[r.node].handler = EntryHandler;
    m.nodes[r.node].painter = ValuePainter;
    m.nodes[r.node].state = CommonKeyState;
  }
  for (const ChoiceRow& r : kChoiceRows) {
    m.nodes[r.node].handler = ChoiceHandler;
    m.nodes[r.node].state = CommonKeyState;
  }
  // The lower pages keep their navigation; their keys show the current choice.
  m.nodes[kNodeResolution].painter = ValuePainter;
  m.nodes[kNodeSensitivity].painter = ValuePainter;
  for (MenuId id : kToggleNodes) {
    MenuNode& n = m.nodes[id];
    n.valueLine = n.line2;
    n.line2 = "";
    n.painter = TogglePainter;
  }
}

}  // namespace vq
