// Parameter entry: the parameter table, the active entry, digit typing, stepping and rounding.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vq {

constexpr int kParameterCount = 120;

// Identifiers of the parameters that code names.
enum ParameterId : int {
  kParCentreWl = 0,
  kParCentreFreq = 1,
  kParSpanWl = 2,
  kParSpanFreq = 3,
  kParStartWl = 4,
  kParStartFreq = 5,
  kParStopWl = 6,
  kParStopFreq = 7,
  kParRefLevel = 16,
  kParRefLinear = 17,
  kParLogScale = 18,
  kParBaseLevel = 19,
  kParSubLog = 20,
  kParSubLin = 21,
  kParSubDbKm = 22,
  kParSubPct = 23,
  kParOffset = 24,
  kParScaleMin = 25,
  kParOffsetKm = 26,
  kParScaleMinPct = 27,
  kParLength = 28,
  kParPoints = 29,
  kParInterval = 30,
  kParAverage = 31,
  kParNoiseMask = 36,
  kParLineMarker3 = 42,
  kParLineMarker4 = 43,
  kParThresh = 53,
  kParRollAverage = 66,
  kParValue = 71,
  kParAddress = 74,
  kParData = 75,
  kParPageNo = 101,
  kParResolution = 118,
  kParSensMode = 119,
};
constexpr int kModelVariantCount = 4;
constexpr int kModelLimitValues = 16;
constexpr int kSpanListCapacity = 24;  // room for a rebuilt span list and its -1.0 end

// Indices into kValueFormats: the value formats of the entry window and the soft-key value lines.
// clang-format off
enum ValueFormat : uint8_t {
  kFmtWl, kFmtFreq, kFmtSpanWl, kFmtSpanFreq, kFmtDbm, kFmtDb, kFmtDbDiv, kFmtLinDiv, kFmtDbKm,
  kFmtPctDiv, kFmtPlain2, kFmtPct, kFmtKm, kFmtDbmInt, kFmtCount6, kFmtCount11, kFmtDiv, kFmtSec,
  kFmtNm3, kFmtDb3, kFmtNm4, kFmtThz3, kFmtPlain4, kFmtDb2, kFmtDbInt, kFmtGhz, kFmtHex,
  kFmtPlain1, kFmtMsec, kFmtMin, kFmtInt6, kFmtInt11, kValueFormatCount
};
// clang-format on
extern const std::array<const char*, kValueFormatCount> kValueFormats;

// One row of the parameter table.
struct ParamRecord {
  double maximum;
  double minimum;
  double third;       // 1000 for wavelength, frequency and resolution quantities, else 1
  double resolution;  // values are rounded to 1 / resolution; 0 or less: no rounding
  double fineStep;
  double coarseStep;
  const double* preferred;  // ascending, ended by -1.0; replaces the coarse step; may be null
  char name[16];
  ValueFormat format;
  bool list;  // a list entry (a choice among items) rather than a number
};

// The table as built in; the context holds a copy whose limits and lists change at run time.
extern const std::array<ParamRecord, kParameterCount> kParameterTable;
// Model limit blocks: sixteen values per variant (see param_table.cpp for their use).
extern const std::array<std::array<double, kModelLimitValues>, kModelVariantCount> kModelLimits;

struct EntryState {
  int32_t parameter = -1;  // active parameter, -1 = no entry
  int32_t state = -1;      // -1 none, 1 numeric, 2 list, 3 held
  double value = 0.0;
  double stepOffset = 0.0;
  int32_t listPosition = 0;
  int32_t stepMode = 0;  // 0 fine, 1 coarse
  std::array<int32_t, 5> window{510, 174, 117, 61, 436};
  char digits[16] = {};
  int32_t length = 0;
  int32_t maxLength = 10;
  bool pointEntered = false;
  bool edited = false;
  int32_t entryMode = 0;  // 1: parameters 74 and 75, whose owner reads the keys itself
  int32_t modelVariant = 0;
  int32_t listSize = 0;
  bool windowShown = false;
  bool auxShown = false;
  bool alternateDisplay = false;  // Ctrl+Home: the auxiliary box shows the step instead of limits
  // Set by the level scale: the linear scale shows its page; 42/43 in the automatic-unit scale.
  bool linearScalePage = false;
  bool autoUnitScale = false;
  int32_t levelUnitExponent = 3;  // unit of the linear base level: 0 pW, 1 nW, 2 uW, 3 mW
  std::array<ParamRecord, kParameterCount> params = kParameterTable;
  std::array<std::array<double, kSpanListCapacity>, 4> spanLists{};  // ids 2, 3, 10, 11
};

// Opens the entry; variant -1 takes the configured model variant. Returns the entry state
// (1 numeric, 2 list), or -1 for an unknown parameter or variant. The same parameter already
// active is left as it is.
int StartEntry(int listSize, int variant, int parameter, double value);
void EndEntry();
// Digits, '.', '-', Back Space, Enter, Shift+Enter, Ctrl+Home: 1 value changed, 0 accepted,
// -1 refused.
int EntryKey(int key);
// Up, Down, Left, Right: 1 changed, 0 no change, -1 not a step key or no entry.
int EntryStep(int key);
// Alt+N: flips fine and coarse stepping and redraws the step indicator of an open entry.
void ToggleStepMode();

double RoundTo(double value, double factor);
// Limits value to the parameter's range: 1 kept, 0 clamped.
int Clamp(double& value, int parameter);
// Rounds, clamps and stores the entry value: 1 stored as given, 0 clamped or (71) not stored.
int SetValue(double value, int parameter);

// Limits and preferred lists that owners fill at run time: 0 done, -1 bad id or range.
int SetParameterLimits(int parameter, double minimum, double maximum);
int SetPreferredValues(int parameter, const double* list);
// Copies the model limit block of the variant into the model-dependent parameters.
void PrepareModelLimits(int variant);

// The value text of a parameter as the entry window shows it.
std::string FormatEntryValue(int parameter, double value);
// The entry window and its auxiliary box, drawn in the dynamic layer.
void DrawEntryWindow();

}  // namespace vq
