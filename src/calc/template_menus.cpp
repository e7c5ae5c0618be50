// The TEMPLATE menu (GO/NO GO, TYPE, WL SHIFT, LEVEL SHIFT) and the TEMPLATE EDIT menu (LINE
// SELECT, VALUE EDIT, ALL DELETE, MODE, EXTRAPOL, DISPLAY).
#include "calc/template_menus.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "analysis/analysis_menus.h"
#include "calc/template_lines.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"

namespace vq {

namespace {

constexpr MenuId kNodeGoNoGo = 1237;
constexpr MenuId kNodeType = 1238;
constexpr MenuId kNodeWlShift = 1239;
constexpr MenuId kNodeLevelShift = 1240;
constexpr MenuId kNodeLineSelect = 1241;
constexpr MenuId kNodeValueEdit = 1242;
constexpr MenuId kNodeAllDelete = 1243;
constexpr MenuId kNodeMode = 1244;
constexpr MenuId kNodeExtrapol = 1245;
constexpr MenuId kNodeDisplay = 1246;

constexpr const char* kTypeNames[] = {"UPPER&LOWER", "UPPER", "LOWER"};
constexpr const char* kExtrapolNames[] = {"TYPE A", "TYPE B", "NONE"};

TemplateState& Templates() {
  return GInstrument->templates;
}

TemplateLine& EditLine() {
  return Templates().lines[Templates().editLine];
}

void Redraw() {
  GInstrument->frame.redrawFlags |= kRedrawSoftKeys | kRedrawDynamicOnly | kRedrawDynamic;
}

// A key that steps through its choices on each press.
template <int16_t TemplateState::*Field, int Count>
int32_t CycleHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  int16_t& value = Templates().*Field;
  value = static_cast<int16_t>((value + 1) % Count);
  if (Field == &TemplateState::type && Templates().goNoGo) JudgeTemplate();
  if (Field == &TemplateState::editLine) Templates().editPoint = Templates().editTop = 0;
  Redraw();
  return 1;
}

int32_t GoNoGoHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  SetGoNoGo(Templates().goNoGo == 0);
  return 1;
}

void GoNoGoPainter(int slot, int16_t pressed) {
  PaintOnOff(slot, pressed, Templates().goNoGo != 0);
}

void TypePainter(int slot, int16_t pressed) {
  PaintKeyValue(slot, pressed, kTypeNames[std::clamp<int>(Templates().type, 0, 2)]);
}

void LineSelectPainter(int slot, int16_t pressed) {
  PaintKeyValue(slot, pressed, TemplateLineName(Templates().editLine));
}

void ExtrapolPainter(int slot, int16_t pressed) {
  PaintKeyValue(slot, pressed, kExtrapolNames[std::clamp<int>(EditLine().extrapolation, 0, 2)]);
}

// WL SHIFT and LEVEL SHIFT: entries on the shifts of all lines.
template <double TemplateState::*Field>
double ShiftInForce() {
  return Templates().*Field;
}

template <double TemplateState::*Field, int Parameter>
int32_t ShiftHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  if (mode == kModeLeave) {
    EndEntry();
    return 1;
  }
  if (mode == kModeEnter) {
    StartEntry(0, -1, Parameter, Templates().*Field);
    g.entry.valueInForce = ShiftInForce<Field>;
    return 1;
  }
  const int k = static_cast<uint16_t>(*key);
  if ((IsStepKey(k) ? EntryStep(k) : EntryKey(k)) != 1) return 0;
  Templates().*Field = g.entry.value;
  RenderTemplateLines();
  if (Templates().goNoGo) JudgeTemplate();
  Redraw();
  return 1;
}

void WlShiftPainter(int slot, int16_t pressed) {
  char text[24];
  std::snprintf(text, sizeof text, "%8.3fnm", Templates().wlShift);
  PaintKeyValue(slot, pressed, text);
}

void LevelShiftPainter(int slot, int16_t pressed) {
  char text[24];
  std::snprintf(text, sizeof text, "%8.2fdB", Templates().levelShift);
  PaintKeyValue(slot, pressed, text);
}

// VALUE EDIT: the point number, then its wavelength, then its level; the level's Enter stores
// the point (a number one past the last adds a point) and moves on to the next number.
void StartField(int field) {
  TemplateState& t = Templates();
  const TemplateLine& line = EditLine();
  const TemplateLimits limits = TemplatePointLimits(line.mode);
  Templates().editField = static_cast<int16_t>(field);
  EndEntry();
  const int count = static_cast<int>(line.points.size());
  if (field == 0) {
    SetParameterLimits(kParPageNo, 0, std::min(count, kTemplateMaxPoints - 1));
    StartEntry(0, -1, kParPageNo, t.editPoint);
  } else if (field == 1) {
    SetParameterLimits(kParTemplateWl, limits.wlMin, limits.wlMax);
    StartEntry(0, -1, kParTemplateWl, Templates().editValue.wl);
  } else {
    SetParameterLimits(kParTemplateLevel, limits.levelMin, limits.levelMax);
    StartEntry(0, -1, kParTemplateLevel, Templates().editValue.level);
  }
  Redraw();
}

void StorePoint() {
  TemplateState& t = Templates();
  TemplateLine& line = EditLine();
  const size_t at = static_cast<size_t>(t.editPoint);
  if (at < line.points.size()) {
    line.points[at] = Templates().editValue;
  } else if (line.points.size() < static_cast<size_t>(kTemplateMaxPoints)) {
    line.points.push_back(Templates().editValue);
  }
  // The points stay in ascending wavelength order.
  std::stable_sort(line.points.begin(), line.points.end(),
                   [](const TemplatePoint& a, const TemplatePoint& b) { return a.wl < b.wl; });
  TemplateEdited();
  RenderTemplateLines();
  if (t.goNoGo) JudgeTemplate();
  t.editPoint = std::min<int32_t>(t.editPoint + 1, static_cast<int32_t>(line.points.size()));
}

void ChoosePoint(int number) {
  TemplateState& t = Templates();
  const TemplateLine& line = EditLine();
  t.editPoint = std::clamp(number - 1, 0, static_cast<int>(line.points.size()));
  if (static_cast<size_t>(t.editPoint) < line.points.size()) {
    Templates().editValue = line.points[t.editPoint];
  } else if (!line.points.empty()) {
    Templates().editValue = line.points.back();
  } else {
    const MeasCondition& m = GInstrument->conditions.measured;
    Templates().editValue = {line.mode == kTemplateRelative ? 0.0 : m.centre, 0.0};
  }
}

int32_t ValueEditHandler(int mode, int16_t* key) {
  Instrument& g = *GInstrument;
  if (mode == kModeLeave) {
    EndEntry();
    Templates().editField = 0;
    return 1;
  }
  if (mode == kModeEnter) {
    ChoosePoint(Templates().editPoint + 1);
    StartField(0);
    return 1;
  }
  const int k = static_cast<uint16_t>(*key);
  const int changed = IsStepKey(k) ? EntryStep(k) : EntryKey(k);
  if (changed != 1) return 0;
  const double value = g.entry.value;
  if (Templates().editField == 0) {
    ChoosePoint(static_cast<int>(value) + 1);
  } else if (Templates().editField == 1) {
    Templates().editValue.wl = value;
  } else {
    Templates().editValue.level = value;
  }
  if (k == kCmdEnter) {
    if (Templates().editField == 2) StorePoint();
    if (Templates().editField == 2) ChoosePoint(Templates().editPoint + 1);
    StartField((Templates().editField + 1) % 3);
  }
  Redraw();
  return 1;
}

int32_t AllDeleteHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  TemplateState& t = Templates();
  EditLine().points.clear();
  t.editPoint = t.editTop = 0;
  TemplateEdited();
  RenderTemplateLines();
  if (t.goNoGo) JudgeTemplate();
  Redraw();
  return 1;
}

int32_t ModeHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  TemplateLine& line = EditLine();
  line.mode = line.mode == kTemplateAbsolute ? kTemplateRelative : kTemplateAbsolute;
  TemplateEdited();
  RenderTemplateLines();
  if (Templates().goNoGo) JudgeTemplate();
  Redraw();
  return 1;
}

void ModePainter(int slot, int16_t pressed) {
  PaintKeyValue(slot, pressed, "ABS REL", EditLine().mode == kTemplateRelative ? 1 : 0);
}

int32_t ExtrapolHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  TemplateLine& line = EditLine();
  line.extrapolation = static_cast<int16_t>((line.extrapolation + 1) % 3);
  TemplateEdited();
  RenderTemplateLines();
  if (Templates().goNoGo) JudgeTemplate();
  Redraw();
  return 1;
}

int32_t DisplayHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  TemplateLine& line = EditLine();
  line.display = line.display ? 0 : 1;
  Redraw();
  return 1;
}

void DisplayPainter(int slot, int16_t pressed) {
  PaintOnOff(slot, pressed, EditLine().display != 0);
}

}  // namespace

void BindTemplateMenus() {
  GInstrument->templates.newTraceData = TemplateNewTraceData;
  BindNode(kNodeGoNoGo, GoNoGoHandler, GoNoGoPainter);
  BindNode(kNodeType, CycleHandler<&TemplateState::type, 3>, TypePainter);
  BindNode(kNodeWlShift, ShiftHandler<&TemplateState::wlShift, kParTemplateWlShift>,
           WlShiftPainter);
  BindNode(kNodeLevelShift, ShiftHandler<&TemplateState::levelShift, kParTemplateLevelShift>,
           LevelShiftPainter);
  BindNode(kNodeLineSelect, CycleHandler<&TemplateState::editLine, kTemplateLineCount>,
           LineSelectPainter);
  BindNode(kNodeValueEdit, ValueEditHandler);
  BindNode(kNodeAllDelete, AllDeleteHandler);
  BindNode(kNodeMode, ModeHandler, ModePainter);
  BindNode(kNodeExtrapol, ExtrapolHandler, ExtrapolPainter);
  BindNode(kNodeDisplay, DisplayHandler, DisplayPainter);
  // The MODE label names its two states on the value line instead.
  MenuNode& mode = GInstrument->menu.nodes[kNodeMode];
  if (std::string_view(mode.line2) == "ABS REL") mode.line2 = "";
}

}  // namespace vq
