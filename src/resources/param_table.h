// The parameter table: limits, steps, formats and preferred values of every entered quantity.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

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
  kParLineMarker1 = 40,
  kParLineMarker2 = 41,
  kParLineMarker3 = 42,
  kParLineMarker4 = 43,
  kParModeDiff = 44,
  kParWidthThresh = 48,   // THRESH LEVEL, THRESH LEVEL1 of the spectral widths
  kParWidthThresh2 = 49,  // THRESH LEVEL2
  kParWidthK = 51,        // K
  kParThresh = 53,
  kParPowerOffset = 52,     // POWER OFFSET, OFFSET LEVEL of the light-source analyses (dB)
  kParSmsrMask = 59,        // SMSR MASK (nm)
  kParBandSpan = 59,        // SPAN of the DFB-LD band power (nm)
  kParFilterStopBand = 54,  // the stop band's level under the peak (dB, 0 or below)
  kParFilterSpacing = 60,   // CH SPACE, SPACING of the filter cross talks (nm)
  kParFilterBand = 62,      // SEARCH AREA and the TEST BANDs of the filters (nm)
  kParRollAverage = 66,
  kParValue = 71,
  kParAddress = 74,
  kParData = 75,
  kParTemplateWlShift = 94,     // WL SHIFT of the template lines (nm)
  kParTemplateLevelShift = 95,  // LEVEL SHIFT of the template lines (dB)
  kParTemplateWl = 96,          // VALUE EDIT: a point's wavelength (limits by the line's mode)
  kParTemplateLevel = 97,       // VALUE EDIT: a point's level (limits by the line's mode)
  kParPageNo = 101,             // also VALUE EDIT's point number: kept from 0, shown from 1
  kParMultiThresh = 114,        // THRESH of the multi search
  kParResolution = 118,
  kParSensMode = 119,
  // WDM and EDFA-NF: THRESH (dB), NOISE AREA and FITTING AREA (nm), MASK AREA (nm), NOISE BW
  // (nm), REF CH, INTEGRAL RANGE (GHz), DISPLAY MASK (dBm, below -100 OFF), OFFSET(IN) and
  // OFFSET(OUT) (dB).
  kParWdmThresh = 61,
  kParWdmArea = 55,
  kParWdmMaskArea = 59,
  kParWdmNoiseBw = 57,
  kParWdmRefChannel = 58,
  kParWdmIntegralRange = 70,
  kParWdmDisplayMask = 84,
  kParWdmLevelOffset = 52,
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
// Model limit blocks: sixteen values per variant (ModelLimitUses says which value becomes which
// limit).
extern const std::array<std::array<double, kModelLimitValues>, kModelVariantCount> kModelLimits;

constexpr double Pow10(int e) {
  double p = 1;
  for (int i = 0; i < e; ++i) p *= 10;
  return p;
}

// Value i of the 1-2-5 sequence starting at 10^firstExp. Dividing by an exact power of ten gives
// the same double as the decimal literal (2e-09 and not 2 x 1e-09).
constexpr double OneTwoFive(int firstExp, int i) {
  constexpr double kMantissa[] = {1, 2, 5};
  const int e = firstExp + i / 3;
  return e < 0 ? kMantissa[i % 3] / Pow10(-e) : kMantissa[i % 3] * Pow10(e);
}

// Which block values become which limits: value index of the minimum and the maximum, -1 = the
// table's own value. Values 5 and 7 are the smallest zoom spans.
struct ModelLimitUse {
  int8_t id, minIndex, maxIndex;
};
std::span<const ModelLimitUse> ModelLimitUses();

// The listed zoom spans in nm and in THz (ascending, ended by -1.0).
const double* ZoomSpanWlList();
const double* ZoomSpanList();

}  // namespace vq
