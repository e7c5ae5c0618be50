// The trace attribute name table and the attribute groups.
#include <array>

#include "traces/traces.h"

namespace vq {

namespace {

// Three NUL-padded 16-byte names per attribute code: list name, fixed name, calculation name.
struct AttributeNames {
  char list[16];
  char fixed[16];
  char calc[16];
};

// clang-format off
constexpr AttributeNames kAttributeNames[] = {
    {"WRITE    ", "FIX      ", ""},
    {"FIX      ", "FIX      ", ""},
    {"MAX HOLD ", "FX MAX H ", ""},
    {"MIN HOLD ", "FX MIN H ", ""},
    {"ROLL AVG ", "FX R AVG ", ""},
    {"A-B      ", "FX A-B   ", "A-B(LOG)"},
    {"B-A      ", "FX B-A   ", "B-A(LOG)"},
    {"A-B LIN  ", "FX A-B L ", "A-B(LIN)"},
    {"B-A LIN  ", "FX B-A L ", "B-A(LIN)"},
    {"A+B LIN  ", "FX A+B L ", "A+B(LIN)"},
    {"         ", "         ", ""},  // 10 to 13: no attribute
    {"         ", "         ", ""},
    {"         ", "         ", ""},
    {"         ", "         ", ""},
    {"1-k(A/B) ", "FX 1-kA/B", "1-K(A/B)"},
    {"1-k(B/A) ", "FX 1-kB/A", "1-K(B/A)"},
    {"C-D      ", "FX C-D   ", "C-D(LOG)"},
    {"D-C      ", "FX D-C   ", "D-C(LOG)"},
    {"D-E      ", "FX D-E   ", "D-E(LOG)"},
    {"E-D      ", "FX E-D   ", "E-D(LOG)"},
    {"C+D LIN  ", "FX C+D L ", "C+D(LIN)"},
    {"C-D LIN  ", "FX C-D L ", "C-D(LIN)"},
    {"D-C LIN  ", "FX D-C L ", "D-C(LIN)"},
    {"D+E LIN  ", "FX D+E L ", "D+E(LIN)"},
    {"D-E LIN  ", "FX D-E L ", "D-E(LIN)"},
    {"E-D LIN  ", "FX E-D L ", "E-D(LIN)"},
    {"C-F      ", "FX C-F   ", "C-F(LOG)"},
    {"F-C      ", "FX F-C   ", "F-C(LOG)"},
    {"E-F      ", "FX E-F   ", "E-F(LOG)"},
    {"F-E      ", "FX F-E   ", "F-E(LOG)"},
    {"C+F LIN  ", "FX C+F L ", "C+F(LIN)"},
    {"C-F LIN  ", "FX C-F L ", "C-F(LIN)"},
    {"F-C LIN  ", "FX F-C L ", "F-C(LIN)"},
    {"E+F LIN  ", "FX E+F L ", "E+F(LIN)"},
    {"E-F LIN  ", "FX E-F L ", "E-F(LIN)"},
    {"F-E LIN  ", "FX F-E L ", "F-E(LIN)"},
    {"NORM A   ", "FX NORM A", "NORMA"},
    {"NORM B   ", "FX NORM B", "NORMB"},
    {"NORM C   ", "FX NORM C", "NORMC"},
    {"CRV FIT A", "FX CVFT A", "CVFTA"},
    {"CRV FIT B", "FX CVFT B", "CVFTB"},
    {"CRV FIT C", "FX CVFT C", "CVFTC"},
    {"PKCVFIT A", "FX PCFT A", "PKCVFTA"},
    {"PKCVFIT B", "FX PCFT B", "PKCVFTB"},
    {"PKCVFIT C", "FX PCFT C", "PKCVFTC"},
    {"A+B      ", "FX A+B   ", "A+B(LOG)"},
    {"C+D      ", "FX C+D   ", "C+D(LOG)"},
    {"D+E      ", "FX D+E   ", "D+E(LOG)"},
    {"C+F      ", "FX C+F   ", "C+F(LOG)"},
    {"E+F      ", "FX E+F   ", "E+F(LOG)"},
    {"MKR FIT  ", "FX MKRFT ", "MKRFT"},
};
// clang-format on
static_assert(std::size(kAttributeNames) == kAttributeCount, "one row per attribute code");
static_assert(sizeof(AttributeNames) == 48, "three 16-byte names a row");

// Codes plotted against the sub scale: the log differences of A/B, C-F and the normalisations.
constexpr bool kSubScale[kAttributeCount] = {
    false, false, false, false, false, true,  true,  false, false, false, false, false, false,
    false, true,  true,  true,  true,  true,  true,  false, false, false, false, false, false,
    true,  true,  true,  true,  false, false, false, false, false, false, true,  true,  true,
    false, false, false, false, false, false, false, false, false, false, false, false,
};
static_assert(std::size(kSubScale) == kAttributeCount, "one flag per attribute code");

const AttributeNames* Row(int code) {
  return code >= 0 && code < kAttributeCount ? &kAttributeNames[code] : nullptr;
}

}  // namespace

bool ValidAttribute(int code) {
  return code >= 0 && code < kAttributeCount && (code < 10 || code > 13);
}

const char* AttributeListName(int code) {
  const AttributeNames* row = Row(code);
  return row ? row->list : "";
}

const char* AttributeFixedName(int code) {
  const AttributeNames* row = Row(code);
  return row ? row->fixed : "";
}

const char* AttributeCalcName(int code) {
  const AttributeNames* row = Row(code);
  return row ? row->calc : "";
}

bool IsCalculation(int code) {
  return code >= kAttrFirstCalculation && ValidAttribute(code);
}

bool InSubScaleGroup(int code) {
  return code >= 0 && code < kAttributeCount && kSubScale[code];
}

}  // namespace vq
