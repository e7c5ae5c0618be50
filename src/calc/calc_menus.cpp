// The CALCULATE soft-key menus: one key per operation, the constant k, the thresholds, the
// fitting algorithm and the operation area.
#include "calc/calc_menus.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "calc/trace_calc.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"
#include "menu/softkey_column.h"

namespace vq {

namespace {

constexpr int kParK = 67;  // "k" of 1-K(A/B) and 1-K(B/A)
constexpr MenuId kNodeCurveThresh = 609;
constexpr MenuId kNodePeakThresh = 610;
constexpr MenuId kNodeFittingAlgo = 1100;
constexpr MenuId kNodeOperationArea = 1101;
constexpr int kOperationAreaCount = 3;
constexpr const char* kAreaNames[kOperationAreaCount] = {"ALL", "L1-L2", "OUT L1-L2"};

// The operation keys and the code each chooses.
struct OperationKey {
  MenuId node;
  int code;
};
constexpr OperationKey kOperationKeys[] = {
    // C
    {168, 5},
    {169, 6},
    {856, 45},
    {172, 9},
    {170, 7},
    {171, 8},
    {460, 14},
    {461, 15},
    // F: LOG MATH, LIN MATH
    {827, 16},
    {828, 17},
    {857, 46},
    {829, 18},
    {830, 19},
    {858, 47},
    {831, 20},
    {832, 21},
    {833, 22},
    {834, 23},
    {835, 24},
    {836, 25},
    // G: LOG MATH, LIN MATH, NORMALIZE, CURVE FIT, PEAK CURVE FIT
    {837, 26},
    {838, 27},
    {859, 48},
    {839, 28},
    {840, 29},
    {860, 49},
    {841, 30},
    {842, 31},
    {843, 32},
    {844, 33},
    {845, 34},
    {846, 35},
    {847, 36},
    {848, 37},
    {849, 38},
    {850, 39},
    {851, 40},
    {852, 41},
    {1119, 50},
    {853, 42},
    {854, 43},
    {855, 44},
};
static_assert(std::size(kOperationKeys) == 42, "one key per calculation code");

constexpr bool IsKCode(int code) {
  return code == 14 || code == 15;
}

Instrument& G() {
  return *GInstrument;
}

void PaintValue(int slot, int16_t pressed, const char* value, bool highlighted) {
  MenuState& m = G().menu;
  SoftKeySlot& s = m.keySlots[slot];
  m.nodes[s.target].valueLine = value;
  if (highlighted) {
    s.style = static_cast<int16_t>((s.style & ~3) | 1);
    s.index = 0;
  }
  StandardLabelPainter(slot, pressed);
}

bool Chosen(int code) {
  const CalcOperation* op = FindCalcOperation(code);
  return op != nullptr && G().traces.state.attribute[op->destination] == code;
}

// An entry of the CALCULATE menus: the field it edits and what follows a change.
struct CalcEntry {
  int parameter;
  double (*get)();
  void (*set)(double);
};

double GetK() {
  return G().conditions.setting.calcConstantK;
}
void SetK(double k) {
  G().conditions.setting.calcConstantK = k;
  for (int code : {14, 15}) {
    if (Chosen(code)) CalculateTrace(FindCalcOperation(code)->destination);
  }
}
template <bool Peak>
double GetThresh() {
  const TraceStateBlock& s = G().traces.state;
  return Peak ? s.peakCurveFitThreshold : s.curveFitThreshold;
}
template <bool Peak>
void SetThresh(double db) {
  Instrument& g = G();
  const auto v = static_cast<int16_t>(std::lround(db));
  (Peak ? g.traces.state.peakCurveFitThreshold : g.traces.state.curveFitThreshold) = v;
  (Peak ? g.conditions.setting.peakCurveFitThreshold : g.conditions.setting.curveFitThreshold) = v;
  RecalculateFits();
}

// The entry keys: Enter opens the entry (K keys first choose their operation); digits and steps
// change the field at once; leaving keeps the value.
template <const CalcEntry& E>
void StoreEntry() {
  const EntryState& e = G().entry;
  if (e.parameter == E.parameter) E.set(e.value);
}
template <const CalcEntry& E, int Code>
int32_t EntryHandler(int mode, int16_t* key) {
  if (mode == kModeEnter) {
    if (Code >= 0) ApplyCalculation(Code);
    StartEntry(0, -1, E.parameter, E.get());
    return 1;
  }
  return NumericEntryKeyOrLeave(mode, key, StoreEntry<E>);
}

constexpr CalcEntry kKEntry{kParK, GetK, SetK};
constexpr CalcEntry kCurveThreshEntry{kParThresh, GetThresh<false>, SetThresh<false>};
constexpr CalcEntry kPeakThreshEntry{kParThresh, GetThresh<true>, SetThresh<true>};

template <int Code>
void PaintK(int slot, int16_t pressed) {
  static char text[16];
  const EntryState& e = G().entry;
  std::snprintf(text, sizeof text, "%10.4f", e.parameter == kParK ? e.value : GetK());
  PaintValue(slot, pressed, text, Chosen(Code));
}
template <bool Peak>
void PaintThresh(int slot, int16_t pressed) {
  static char text[16];
  std::snprintf(text, sizeof text, "%4ddB", static_cast<int>(GetThresh<Peak>()));
  PaintValue(slot, pressed, text, false);
}

// The operation keys: choose and compute at once; the chosen one shows "ON".
template <int Code>
int32_t OperationHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  ApplyCalculation(Code);
  G().frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}
template <int Code>
void PaintOperation(int slot, int16_t pressed) {
  PaintValue(slot, pressed, Chosen(Code) ? "ON" : "", Chosen(Code));
}
template <size_t... I>
constexpr std::array<MenuHandler, sizeof...(I)> OperationHandlers(std::index_sequence<I...>) {
  return {OperationHandler<kOperationKeys[I].code>...};
}
template <size_t... I>
constexpr std::array<LabelPainter, sizeof...(I)> OperationPainters(std::index_sequence<I...>) {
  return {PaintOperation<kOperationKeys[I].code>...};
}

// FITTING ALGO and OPERATION AREA: each press takes the next value, the arrows step; a fitted G
// is recomputed at once.
uint16_t& FittingAlgorithm() {
  return G().conditions.setting.fittingAlgorithm;
}
uint16_t& OperationArea() {
  return G().conditions.setting.operationArea;
}
template <uint16_t& (*Field)(), int Count>
int32_t ChoiceHandler(int mode, int16_t* key) {
  uint16_t& field = Field();
  int next = field;
  if (mode == kModeEnter) {
    next = field + 1;
  } else if (mode == kModeKey) {
    const int k = static_cast<uint16_t>(*key);
    if (k == kCmdUp || k == kCmdRight) next = field + 1;
    if (k == kCmdDown || k == kCmdLeft) next = field + Count - 1;
  } else {
    return 0;
  }
  field = static_cast<uint16_t>(next % Count);
  RecalculateFits();
  G().frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}
void PaintFittingAlgo(int slot, int16_t pressed) {
  PaintValue(slot, pressed, FitAlgorithmName(FittingAlgorithm() % kFitAlgorithmCount), false);
}
void PaintOperationArea(int slot, int16_t pressed) {
  PaintValue(slot, pressed, OperationAreaName(OperationArea()), false);
}

// A number that is the whole text.
bool ParseNumber(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

// A value within the parameter's limits, or the reason it is refused.
bool InRange(int parameter, double value, const std::string& label, std::string& error) {
  double clamped = value;
  if (Clamp(clamped, parameter) == 1) return true;
  error = label + " out of range: " + std::to_string(value);
  return false;
}

int NameIndex(const std::string& value, const char* (*name)(int), int count) {
  for (int i = 0; i < count; ++i) {
    if (value == name(i)) return i;
  }
  double number = 0;
  if (ParseNumber(value, number) && number == std::floor(number) && number >= 0 && number < count) {
    return static_cast<int>(number);
  }
  return -1;
}

}  // namespace

const char* OperationAreaName(int area) {
  return area >= 0 && area < kOperationAreaCount ? kAreaNames[area] : "";
}

bool SetCalcSettingByLabel(const std::string& label, const std::string& value, int code,
                           std::string& error) {
  Instrument& g = G();
  double number = 0;
  if (label == "FITTING ALGO" || label == "OPERATION AREA") {
    const bool algo = label == "FITTING ALGO";
    const int index = algo ? NameIndex(value, FitAlgorithmName, kFitAlgorithmCount)
                           : NameIndex(value, OperationAreaName, kOperationAreaCount);
    if (index < 0) {
      error = "bad " + label + " value: " + value;
      return false;
    }
    (algo ? FittingAlgorithm() : OperationArea()) = static_cast<uint16_t>(index);
    return true;
  }
  const int parameter = label == "K"           ? kParK
                        : label == "THRESH"    ? kParThresh
                        : label == "MODE DIFF" ? kParModeDiff
                                               : -1;
  if (parameter < 0) {
    error = "unknown label " + label;
    return false;
  }
  if (!ParseNumber(value, number)) {
    error = "bad " + label + " value: " + value;
    return false;
  }
  if (!InRange(parameter, number, label, error)) return false;
  if (parameter == kParK) {
    g.conditions.setting.calcConstantK = number;
  } else if (parameter == kParModeDiff) {
    g.analysis.search.modeDiff = number;
  } else {
    const CalcOperation* op = FindCalcOperation(code);
    const bool peak = op != nullptr && op->kind == CalcKind::PeakCurveFit;
    if (op == nullptr || op->category < kCatCurveFit) {
      error = "THRESH needs a curve, peak curve or marker fit";
      return false;
    }
    const auto db = static_cast<int16_t>(std::lround(number));
    (peak ? g.traces.state.peakCurveFitThreshold : g.traces.state.curveFitThreshold) = db;
    (peak ? g.conditions.setting.peakCurveFitThreshold : g.conditions.setting.curveFitThreshold) =
        db;
  }
  return true;
}

int OperationKeyOf(int code) {
  for (const OperationKey& k : kOperationKeys) {
    if (k.code == code) return k.node;
  }
  return 0;
}

void BindCalcMenus() {
  Instrument& g = G();
  g.calc.recalculate = RecalculateTraces;
  constexpr auto sequence = std::make_index_sequence<std::size(kOperationKeys)>();
  constexpr auto handlers = OperationHandlers(sequence);
  constexpr auto painters = OperationPainters(sequence);
  for (size_t i = 0; i < std::size(kOperationKeys); ++i) {
    if (IsKCode(kOperationKeys[i].code)) continue;
    BindNode(kOperationKeys[i].node, handlers[i], painters[i]);
  }
  BindNode(460, EntryHandler<kKEntry, 14>, PaintK<14>);
  BindNode(461, EntryHandler<kKEntry, 15>, PaintK<15>);
  BindNode(kNodeCurveThresh, EntryHandler<kCurveThreshEntry, -1>, PaintThresh<false>);
  BindNode(kNodePeakThresh, EntryHandler<kPeakThreshEntry, -1>, PaintThresh<true>);
  BindNode(kNodeFittingAlgo, ChoiceHandler<FittingAlgorithm, kFitAlgorithmCount>, PaintFittingAlgo);
  BindNode(kNodeOperationArea, ChoiceHandler<OperationArea, kOperationAreaCount>,
           PaintOperationArea);
}

}  // namespace vq
