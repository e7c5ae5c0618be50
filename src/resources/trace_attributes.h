// The trace attributes, one row each: the three names, the CSV line, the value that line
// carries, and the groups the code belongs to.
#pragma once

#include <array>
#include <cstdint>

namespace vq {

constexpr int kAttributeCount = 51;

// Attribute codes that code names; 5 and above are calculations (10 to 13 are unused).
constexpr int kAttrWrite = 0;
constexpr int kAttrFix = 1;
constexpr int kAttrMaxHold = 2;
constexpr int kAttrMinHold = 3;
constexpr int kAttrRollAvg = 4;
constexpr int kAttrFirstCalculation = 5;

// The record field an attribute's CSV line carries after its name.
enum class CarriedValue : uint8_t {
  None,
  RollAverage,        // roll average times
  ConstantK,          // the constant k of 1-k(A/B) and 1-k(B/A)
  CurveFitThreshold,  // curve fits and the marker fit
  PeakFitThreshold,   // peak curve fits
};

// Groups of attribute codes.
enum AttributeFlags : uint8_t {
  kAttrUnused = 1,         // no attribute (10 to 13)
  kAttrSubScale = 2,       // plotted against the sub scale: log differences, normalisations
  kAttrSavesSource = 4,    // NORM, CRV FIT, PKCVFIT: files keep the input, the fit is recomputed
  kAttrLineMarkerFit = 8,  // CRV FIT, PKCVFIT: the operation area may be the line markers
};

struct AttributeInfo {
  char list[16];        // the trace list's name, NUL padded
  char fixed[16];       // the name once the trace is fixed
  char calc[16];        // the calculation's name; "" for the measurement attributes
  const char* csvLine;  // the quoted name of the CSV attribute line; "" = the file has none
  CarriedValue carried;
  uint8_t flags;
};

// The row of a code; nullptr outside 0 to 50.
const AttributeInfo* FindAttribute(int code);

// Names and groups by code ("" and false for unknown codes).
bool ValidAttribute(int code);  // 0 to 50 without the unused 10 to 13
const char* AttributeListName(int code);
const char* AttributeFixedName(int code);
const char* AttributeCalcName(int code);
bool IsCalculation(int code);
bool AttributeHas(int code, uint8_t flag);

}  // namespace vq
