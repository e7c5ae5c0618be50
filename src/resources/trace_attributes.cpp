// The trace attribute table.
#include "resources/trace_attributes.h"

#include <iterator>
#include <string_view>

namespace vq {

namespace {

// clang-format off
constexpr AttributeInfo kAttributes[] = {
    {"WRITE    ", "FIX      ", "", "MEAS", CarriedValue::None, 0},  // 0
    {"FIX      ", "FIX      ", "", "", CarriedValue::None, 0},  // 1
    {"MAX HOLD ", "FX MAX H ", "", "MAXH", CarriedValue::None, 0},  // 2
    {"MIN HOLD ", "FX MIN H ", "", "MINH", CarriedValue::None, 0},  // 3
    {"ROLL AVG ", "FX R AVG ", "", "RAVG", CarriedValue::RollAverage, 0},  // 4
    {"A-B      ", "FX A-B   ", "A-B(LOG)", "A-B", CarriedValue::None, kAttrSubScale},  // 5
    {"B-A      ", "FX B-A   ", "B-A(LOG)", "B-A", CarriedValue::None, kAttrSubScale},  // 6
    {"A-B LIN  ", "FX A-B L ", "A-B(LIN)", "A-BL", CarriedValue::None, 0},  // 7
    {"B-A LIN  ", "FX B-A L ", "B-A(LIN)", "B-AL", CarriedValue::None, 0},  // 8
    {"A+B LIN  ", "FX A+B L ", "A+B(LIN)", "A+BL", CarriedValue::None, 0},  // 9
    {"         ", "         ", "", "", CarriedValue::None, kAttrUnused},  // 10
    {"         ", "         ", "", "", CarriedValue::None, kAttrUnused},  // 11
    {"         ", "         ", "", "", CarriedValue::None, kAttrUnused},  // 12
    {"         ", "         ", "", "", CarriedValue::None, kAttrUnused},  // 13
    {"1-k(A/B) ", "FX 1-kA/B", "1-K(A/B)", "1-K(A/B)", CarriedValue::ConstantK, kAttrSubScale},  // 14
    {"1-k(B/A) ", "FX 1-kB/A", "1-K(B/A)", "1-K(B/A)", CarriedValue::ConstantK, kAttrSubScale},  // 15
    {"C-D      ", "FX C-D   ", "C-D(LOG)", "C-D", CarriedValue::None, kAttrSubScale},  // 16
    {"D-C      ", "FX D-C   ", "D-C(LOG)", "D-C", CarriedValue::None, kAttrSubScale},  // 17
    {"D-E      ", "FX D-E   ", "D-E(LOG)", "D-E", CarriedValue::None, kAttrSubScale},  // 18
    {"E-D      ", "FX E-D   ", "E-D(LOG)", "E-D", CarriedValue::None, kAttrSubScale},  // 19
    {"C+D LIN  ", "FX C+D L ", "C+D(LIN)", "C+DL", CarriedValue::None, 0},  // 20
    {"C-D LIN  ", "FX C-D L ", "C-D(LIN)", "C-DL", CarriedValue::None, 0},  // 21
    {"D-C LIN  ", "FX D-C L ", "D-C(LIN)", "D-CL", CarriedValue::None, 0},  // 22
    {"D+E LIN  ", "FX D+E L ", "D+E(LIN)", "D+EL", CarriedValue::None, 0},  // 23
    {"D-E LIN  ", "FX D-E L ", "D-E(LIN)", "D-EL", CarriedValue::None, 0},  // 24
    {"E-D LIN  ", "FX E-D L ", "E-D(LIN)", "E-DL", CarriedValue::None, 0},  // 25
    {"C-F      ", "FX C-F   ", "C-F(LOG)", "C-F", CarriedValue::None, kAttrSubScale},  // 26
    {"F-C      ", "FX F-C   ", "F-C(LOG)", "F-C", CarriedValue::None, kAttrSubScale},  // 27
    {"E-F      ", "FX E-F   ", "E-F(LOG)", "E-F", CarriedValue::None, kAttrSubScale},  // 28
    {"F-E      ", "FX F-E   ", "F-E(LOG)", "F-E", CarriedValue::None, kAttrSubScale},  // 29
    {"C+F LIN  ", "FX C+F L ", "C+F(LIN)", "C+FL", CarriedValue::None, 0},  // 30
    {"C-F LIN  ", "FX C-F L ", "C-F(LIN)", "C-FL", CarriedValue::None, 0},  // 31
    {"F-C LIN  ", "FX F-C L ", "F-C(LIN)", "F-CL", CarriedValue::None, 0},  // 32
    {"E+F LIN  ", "FX E+F L ", "E+F(LIN)", "E+FL", CarriedValue::None, 0},  // 33
    {"E-F LIN  ", "FX E-F L ", "E-F(LIN)", "E-FL", CarriedValue::None, 0},  // 34
    {"F-E LIN  ", "FX F-E L ", "F-E(LIN)", "F-EL", CarriedValue::None, 0},  // 35
    {"NORM A   ", "FX NORM A", "NORMA", "NORM A", CarriedValue::None, kAttrSubScale | kAttrSavesSource},  // 36
    {"NORM B   ", "FX NORM B", "NORMB", "NORM B", CarriedValue::None, kAttrSubScale | kAttrSavesSource},  // 37
    {"NORM C   ", "FX NORM C", "NORMC", "NORM C", CarriedValue::None, kAttrSubScale | kAttrSavesSource},  // 38
    {"CRV FIT A", "FX CVFT A", "CVFTA", "CVFT A", CarriedValue::CurveFitThreshold, kAttrSavesSource | kAttrLineMarkerFit},  // 39
    {"CRV FIT B", "FX CVFT B", "CVFTB", "CVFT B", CarriedValue::CurveFitThreshold, kAttrSavesSource | kAttrLineMarkerFit},  // 40
    {"CRV FIT C", "FX CVFT C", "CVFTC", "CVFT C", CarriedValue::CurveFitThreshold, kAttrSavesSource | kAttrLineMarkerFit},  // 41
    {"PKCVFIT A", "FX PCFT A", "PKCVFTA", "CVFTPK A", CarriedValue::PeakFitThreshold, kAttrSavesSource | kAttrLineMarkerFit},  // 42
    {"PKCVFIT B", "FX PCFT B", "PKCVFTB", "CVFTPK B", CarriedValue::PeakFitThreshold, kAttrSavesSource | kAttrLineMarkerFit},  // 43
    {"PKCVFIT C", "FX PCFT C", "PKCVFTC", "CVFTPK C", CarriedValue::PeakFitThreshold, kAttrSavesSource | kAttrLineMarkerFit},  // 44
    {"A+B      ", "FX A+B   ", "A+B(LOG)", "A+B", CarriedValue::None, 0},  // 45
    {"C+D      ", "FX C+D   ", "C+D(LOG)", "C+D", CarriedValue::None, 0},  // 46
    {"D+E      ", "FX D+E   ", "D+E(LOG)", "D+E", CarriedValue::None, 0},  // 47
    {"C+F      ", "FX C+F   ", "C+F(LOG)", "C+F", CarriedValue::None, 0},  // 48
    {"E+F      ", "FX E+F   ", "E+F(LOG)", "E+F", CarriedValue::None, 0},  // 49
    {"MKR FIT  ", "FX MKRFT ", "MKRFT", "MKRFT", CarriedValue::CurveFitThreshold, 0},  // 50
};
// clang-format on
static_assert(std::size(kAttributes) == kAttributeCount, "one row per attribute code");
static_assert(sizeof(AttributeInfo::list) == 16 && sizeof(AttributeInfo::calc) == 16,
              "names are 16-byte fields");

constexpr bool RowsConsistent() {
  for (int a = 0; a < kAttributeCount; ++a) {
    const AttributeInfo& r = kAttributes[a];
    const bool unused = (r.flags & kAttrUnused) != 0;
    if (unused != (a >= 10 && a <= 13)) return false;
    if (unused && (r.flags != kAttrUnused || *r.csvLine != 0)) return false;
    // Every calculation has its name; the measurement attributes have none.
    if (!unused && (a >= kAttrFirstCalculation) != (*r.calc != 0)) return false;
    // Only FIX and the unused codes go without a CSV line.
    if (!unused && a != kAttrFix && *r.csvLine == 0) return false;
    if ((r.flags & kAttrLineMarkerFit) && !(r.flags & kAttrSavesSource)) return false;
  }
  return true;
}

constexpr bool CsvLinesUnique() {
  for (int a = 0; a < kAttributeCount; ++a) {
    for (int b = a + 1; b < kAttributeCount; ++b) {
      if (*kAttributes[a].csvLine != 0 &&
          std::string_view(kAttributes[a].csvLine) == kAttributes[b].csvLine) {
        return false;
      }
    }
  }
  return true;
}

static_assert(RowsConsistent(), "an attribute row contradicts its code's group");
static_assert(CsvLinesUnique(), "two attributes share a CSV line");

}  // namespace

const AttributeInfo* FindAttribute(int code) {
  return code >= 0 && code < kAttributeCount ? &kAttributes[code] : nullptr;
}

bool ValidAttribute(int code) {
  const AttributeInfo* row = FindAttribute(code);
  return row && !(row->flags & kAttrUnused);
}

const char* AttributeListName(int code) {
  const AttributeInfo* row = FindAttribute(code);
  return row ? row->list : "";
}

const char* AttributeFixedName(int code) {
  const AttributeInfo* row = FindAttribute(code);
  return row ? row->fixed : "";
}

const char* AttributeCalcName(int code) {
  const AttributeInfo* row = FindAttribute(code);
  return row ? row->calc : "";
}

bool IsCalculation(int code) {
  return code >= kAttrFirstCalculation && ValidAttribute(code);
}

bool AttributeHas(int code, uint8_t flag) {
  const AttributeInfo* row = FindAttribute(code);
  return row && (row->flags & flag) != 0;
}

}  // namespace vq
