// The active parameter entry: digit typing, stepping, rounding, clamping and value texts.
#include "menu/param_entry.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"

namespace vq {

namespace {

constexpr double kNoiseMaskOff = -101;
constexpr int kLinearScalePage = 5;
constexpr int kNoWrapScreenMode = 8;  // its list pages stop at either end
constexpr int kDigitCapacity = 15;    // the buffer keeps its terminator

// Linear power units 1000 apart; levels are kept in mW.
constexpr const char* kPowerUnits[] = {"pW", "nW", "uW", "mW", "W"};
constexpr int kMilliwatt = 3;
constexpr double kThousands[] = {1, 1e3, 1e6, 1e9};

// Dividing by an exact power of ten, as the preferred lists do, so that 5 nW is 5e-06 exactly.
double FromUnit(double mantissa, int unit) {
  return unit < kMilliwatt ? mantissa / kThousands[kMilliwatt - unit]
                           : mantissa * kThousands[unit - kMilliwatt];
}
double ToUnit(double mw, int unit) {
  return mw / FromUnit(1, unit);
}

// The unit in which a level reads 1.0 to 999.x: 0.02 mW is 20 uW, 1000 mW is 1 W.
int LinearUnit(double mw) {
  int unit = static_cast<int>(std::size(kPowerUnits)) - 1;
  while (unit > 0 && ToUnit(mw, unit) < 1 - 1e-9) --unit;
  return unit;
}

// Linear levels keep their resolution in the unit they are shown in, not in mW.
double RoundInUnit(double mw, double factor, int unit) {
  return FromUnit(RoundTo(ToUnit(mw, unit), factor), unit);
}

bool IsListEntry() {
  const EntryState& e = GInstrument->entry;
  return e.parameter >= 0 && e.params[e.parameter].list;
}

void ClearDigits() {
  EntryState& e = GInstrument->entry;
  std::memset(e.digits, 0, sizeof e.digits);
  e.length = 0;
  e.pointEntered = false;
}

void Append(char c) {
  EntryState& e = GInstrument->entry;
  e.digits[e.length++] = c;
  e.digits[e.length] = 0;
  e.edited = true;
}

// The linear reference level (17), and 42/43 in the automatic-unit scale, show the linear-scale
// page while the level scale asks for it and take it away when it no longer does.
void FinishParameter() {
  Instrument& g = *GInstrument;
  const EntryState& e = g.entry;
  const bool levelParameter =
      e.parameter == kParRefLinear ||
      ((e.parameter == kParLineMarker3 || e.parameter == kParLineMarker4) && e.autoUnitScale);
  if (!levelParameter) return;
  if (e.linearScalePage && g.menu.depth == 0) {
    ShowSoftKeyPage(kLinearScalePage, 1);
  } else if (!e.linearScalePage && g.menu.depth == 1 && g.menu.page == kLinearScalePage) {
    PopSoftKeyPage();
  }
}

// Typed number to entry value. 2 and 3 (span conversions of the measurement conditions),
// 37 (nearest data point) and 42/43 (scale kind of the active trace) are taken as typed until
// the conditions and the trace subsystem provide their conversions.
double ConvertTyped(double typed, int parameter) {
  const EntryState& e = GInstrument->entry;
  switch (parameter) {
    case kParRefLinear:  // typed in the unit shown, then renormalised to 1.0 .. 999.x
      return FromUnit(typed, LinearUnit(e.value));
    case kParBaseLevel:  // one division by 1000 per unit below mW
      return FromUnit(typed, e.levelUnitExponent);
    case kParPageNo:
      return typed - 1;
    case kParResolution:
      return typed >= 0.011 ? typed * 0.005 : typed;
    default:
      return typed;
  }
}

// Enter and Shift+Enter. No parameter of this table has an alternate unit yet, so both confirm
// in the base unit.
int ConfirmDigits() {
  EntryState& e = GInstrument->entry;
  if (e.length == 0) return -1;
  if (std::strpbrk(e.digits, "0123456789") != nullptr) {  // no digit: the value stays
    double typed = 0;  // from_chars: a point whatever the process locale says
    std::from_chars(e.digits, e.digits + e.length, typed);
    if (IsListEntry()) {
      // A list item's value is its position; no item holds the number: refused, digits kept.
      const double item = std::round(typed);
      if (item != typed || item < 0 || item >= e.listSize) return -1;
      e.listPosition = static_cast<int32_t>(item);
      e.value = item;
    } else {
      SetValue(ConvertTyped(typed, e.parameter), e.parameter);
    }
  }
  ClearDigits();
  e.edited = false;
  e.stepOffset = 0;
  return 1;
}

int TypeKey(int key) {
  Instrument& g = *GInstrument;
  EntryState& e = g.entry;
  const bool digit = key >= '0' && key <= '9';
  if ((digit || key == '.' || key == '-') && e.parameter == kParSensMode) return -1;
  if (digit) {
    if (e.length >= e.maxLength) return -1;
    // A lone leading zero gives way: "0" then "5" reads "5", not "05".
    const int sign = e.digits[0] == '-' ? 1 : 0;
    if (!e.pointEntered && e.length == sign + 1 && e.digits[sign] == '0') --e.length;
    Append(static_cast<char>(key));
    return 0;
  }
  switch (key) {
    case '-':
      if (e.maxLength < 1) return -1;
      ClearDigits();
      Append('-');
      return 0;
    case '.':
      if (e.pointEntered || e.length >= e.maxLength) return -1;
      Append('.');
      e.pointEntered = true;
      return 0;
    case kCmdBackSpace:
      if (e.length > 1) {
        if (e.digits[e.length - 1] == '.') e.pointEntered = false;
        e.digits[--e.length] = 0;
      } else {
        ClearDigits();
      }
      return 0;
    case kCmdEnter:
    case kCmdShiftEnter:
      return ConfirmDigits();
    case kCmdCtrlHome:
      e.alternateDisplay = !e.alternateDisplay;
      g.frame.redrawFlags |= kRedrawDynamicOnly;
      return -1;
    default:
      return -1;
  }
}

// The next larger or smaller preferred value; false when there is none.
bool NextPreferred(const double* list, double value, bool up, double* next) {
  const double tolerance = 1e-9 * std::fabs(value);
  bool found = false;
  for (; *list >= 0; ++list) {
    if (up && *list > value + tolerance) {
      *next = *list;
      return true;
    }
    if (!up && *list < value - tolerance) {
      *next = *list;
      found = true;
    }
  }
  return found;
}

// Fine steps of the linear level move its 3-digit mantissa by one: 5 uW up is 6 uW, 1 mW down is
// 999 uW.
double StepLinearLevel(double mw, bool up) {
  int unit = LinearUnit(mw);
  if (!up && unit > 0 && std::lround(ToUnit(mw, unit)) <= 1) --unit;
  return mw + (up ? 1 : -1) * FromUnit(1, unit);
}

// Up and Right select the previous item, Down and Left the next.
int StepList(bool up) {
  Instrument& g = *GInstrument;
  EntryState& e = g.entry;
  if (e.listSize <= 0) return 0;
  int position = e.listPosition + (up ? -1 : 1);
  if (position < 0 || position >= e.listSize) {
    if (g.screen.screenMode == kNoWrapScreenMode) return 0;
    position = (position + e.listSize) % e.listSize;
  }
  if (position == e.listPosition) return 0;
  e.listPosition = position;
  e.value = position;
  g.frame.redrawFlags |= kRedrawDynamicOnly;
  return 1;
}

// printf of one number with a table format: %f takes the double, %d, %ld and %X an integer.
std::string FormatNumber(const char* format, double value) {
  char text[48];
  const char* conversion = std::strpbrk(format + 1, "fdlX");
  const long whole = std::lround(value);
  switch (conversion ? *conversion : 'f') {
    case 'X':
      std::snprintf(text, sizeof text, format, static_cast<unsigned>(whole));
      break;
    case 'l':
      std::snprintf(text, sizeof text, format, whole);
      break;
    case 'd':
      std::snprintf(text, sizeof text, format, static_cast<int>(whole));
      break;
    default:
      std::snprintf(text, sizeof text, format, value);
      break;
  }
  return text;
}

}  // namespace

double RoundTo(double value, double factor) {
  if (factor <= 0) return value;
  const double x = std::fabs(value) * factor;
  double n = std::trunc(x);
  if (x - n + 0.0000005 >= 0.5) n += 1;
  if (n == 0) return 0.0;  // no negative zero: it would read "-0.0"
  return std::copysign(n / factor, value);
}

int Clamp(double& value, int parameter) {
  assert(parameter >= 0 && parameter < kParameterCount && "parameter id out of range");
  const ParamRecord& p = GInstrument->entry.params[parameter];
  if (value < p.minimum) {
    value = p.minimum;
    return 0;
  }
  if (value > p.maximum) {
    value = p.maximum;
    return 0;
  }
  return 1;
}

int SetValue(double value, int parameter) {
  EntryState& e = GInstrument->entry;
  const double factor = e.params[parameter].resolution;
  if (factor > 0) {
    if (parameter == kParRefLinear) {
      value = RoundInUnit(value, factor, LinearUnit(value));
    } else if (parameter == kParBaseLevel) {
      value = RoundInUnit(value, factor, e.levelUnitExponent);
    } else {
      value = RoundTo(value, factor);
    }
  }
  const int kept = Clamp(value, parameter);
  if (parameter == kParValue && kept == 0) return 0;  // out of range: the old value stays
  e.value = value;
  return kept;
}

int StartEntry(int listSize, int variant, int parameter, double value) {
  Instrument& g = *GInstrument;
  EntryState& e = g.entry;
  if (parameter < 0 || parameter >= kParameterCount || variant < -1 ||
      variant >= kModelVariantCount) {
    return -1;
  }
  if (e.parameter == parameter && e.state != -1) return e.state;
  e.parameter = parameter;
  e.value = value;
  e.valueInForce = nullptr;
  PrepareModelLimits(variant < 0 ? e.modelVariant : variant);
  ClearDigits();
  e.edited = false;
  e.stepOffset = 0;
  e.alternateDisplay = false;
  if (e.params[parameter].list) {
    e.state = 2;
    e.listSize = std::max(listSize, 0);
    e.maxLength = std::min(e.listSize, kDigitCapacity);
    e.entryMode = 0;
    const double item = std::round(value);
    e.listPosition = item >= 0 && item < e.listSize ? static_cast<int32_t>(item) : 0;
    e.value = e.listPosition;
    e.windowShown = false;  // the list's owner shows the list with the selected item
    e.auxShown = false;
  } else {
    e.state = 1;
    e.listSize = 0;
    e.maxLength = 10;
    e.entryMode = parameter == kParAddress || parameter == kParData ? 1 : 0;
    e.window = {510, 174, 117, 61, 436};
    e.windowShown = true;
    e.auxShown = parameter != kParSensMode;
  }
  g.frame.redrawFlags |= kRedrawDynamicOnly;
  return e.state;
}

void EndEntry() {
  Instrument& g = *GInstrument;
  EntryState& e = g.entry;
  if (e.parameter >= 0) {
    e.state = -1;
    e.windowShown = false;
    FinishParameter();
    e.parameter = -1;
    e.valueInForce = nullptr;
    ClearDigits();
    e.edited = false;
  }
  g.frame.redrawFlags |= kRedrawDynamicOnly | kRedrawSoftKeys;
}

void RefreshEntry() {
  Instrument& g = *GInstrument;
  EntryState& e = g.entry;
  if (e.parameter < 0) return;
  if (e.valueInForce == nullptr) return EndEntry();
  const double value = e.valueInForce();
  ClearDigits();
  e.edited = false;
  e.stepOffset = 0;
  if (IsListEntry()) {
    const double item = std::round(value);
    e.listPosition = item >= 0 && item < e.listSize ? static_cast<int32_t>(item) : 0;
    e.value = e.listPosition;
  } else {
    e.value = value;
  }
  // The entry window and the value line of the key that opened it.
  g.frame.redrawFlags |= kRedrawDynamicOnly | kRedrawSoftKeys;
}

int EntryKey(int key) {
  Instrument& g = *GInstrument;
  // Parameters 74 and 75 follow the digit rules of their own handler.
  if (g.entry.parameter < 0 || g.entry.entryMode == 1) return -1;
  const int result = TypeKey(key);
  if (result >= 0) {
    FinishParameter();
    g.frame.redrawFlags |= kRedrawDynamicOnly;
  }
  return result;
}

int EntryStep(int key) {
  Instrument& g = *GInstrument;
  EntryState& e = g.entry;
  const bool up = key == kCmdUp || key == kCmdRight;
  if (e.parameter < 0 || (!up && key != kCmdDown && key != kCmdLeft)) return -1;
  if (e.length > 0 || e.edited) {  // unconfirmed digits give way to the step
    ClearDigits();
    e.edited = false;
    FinishParameter();
    g.frame.redrawFlags |= kRedrawDynamicOnly;
  }
  if (IsListEntry()) return StepList(up);

  const ParamRecord& p = e.params[e.parameter];
  const double previous = e.value;
  double target = previous;
  double increment = 0;  // an arithmetic upward step: the amount it means to add
  if (e.parameter == kParNoiseMask && previous == kNoiseMaskOff && up) {
    target = kNoiseMaskOff + 1;
  } else if (e.stepMode == 1 && p.preferred != nullptr) {
    if (!NextPreferred(p.preferred, previous, up, &target)) {
      e.stepOffset = 0;
      return 0;  // already at the end of the list
    }
  } else if (e.parameter == kParRefLinear) {
    target = StepLinearLevel(previous, up);
  } else {
    const double step = e.stepMode == 1 ? p.coarseStep : p.fineStep;
    if (up) increment = step + e.stepOffset;
    target = up ? previous + increment : previous - step;
  }
  const int kept = SetValue(target, e.parameter);
  if (e.value == previous) {
    e.stepOffset = 0;
    return 0;
  }
  // The offset carries what rounding or floating point dropped from an upward step (the meant
  // increment less the one the value took), so that repeated steps do not drift; a limit clears
  // it. The span conversions of 2 and 3 belong to the measurement conditions: no offset there.
  const bool span = e.parameter == kParSpanWl || e.parameter == kParSpanFreq;
  const bool carry = increment != 0 && kept == 1 && !span;
  e.stepOffset = carry ? increment - (e.value - previous) : 0.0;
  g.frame.redrawFlags |= kRedrawDynamicOnly;
  return 1;
}

void ToggleStepMode() {
  Instrument& g = *GInstrument;
  g.entry.stepMode = g.entry.stepMode == 0 ? 1 : 0;
  if (g.entry.parameter >= 0 && g.frame.startupComplete == 1) {
    g.frame.redrawFlags |= kRedrawDynamicOnly;  // the step indicator is part of the entry window
  }
}

std::string FormatEntryValue(int parameter, double value) {
  if (parameter < 0 || parameter >= kParameterCount) return {};
  const EntryState& e = GInstrument->entry;
  const ParamRecord& p = e.params[parameter];
  if (parameter == kParNoiseMask && value == kNoiseMaskOff) return "MINIMUM";
  if (parameter == kParRefLinear || parameter == kParBaseLevel) {
    const int unit = parameter == kParRefLinear ? LinearUnit(value) : e.levelUnitExponent;
    return FormatNumber(kValueFormats[p.format], ToUnit(value, unit)) + kPowerUnits[unit];
  }
  if (parameter == kParPageNo) value += 1;  // kept from 0, shown from 1
  return FormatNumber(kValueFormats[p.format], value);
}

int32_t NumericEntryKeyOrLeave(int mode, const int16_t* key, void (*take)()) {
  if (mode == kModeKey) {
    const int k = static_cast<uint16_t>(*key);
    const int result = k >= kCmdUp && k <= kCmdRight ? EntryStep(k) : EntryKey(k);
    if (result == 1) take();
    return result;
  }
  take();  // the wheel steps the entry without a key call
  EndEntry();
  return 0;
}

}  // namespace vq
