// The search and spectral width settings by their screen labels.
#include "analysis/labelled_settings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "instrument.h"
#include "menu/param_entry.h"
#include "resources/param_table.h"

namespace vq {

namespace {

enum class Field : uint8_t {
  ModeDiff,
  MultiThresh,
  SortBy,
  LineMarker1,
  LineMarker2,
  RangeLineMarkers,
};

struct LabelRow {
  const char* label;
  Field field;
  int parameter;                       // entry limits of a number; -1 for a choice
  std::array<const char*, 2> choices;  // values 0 and 1 of a choice, as the keys write them
  bool range;                          // a setting of the search range
};

constexpr LabelRow kRows[] = {
    {"MODE DIFF", Field::ModeDiff, kParModeDiff, {}, false},
    {"THRESH", Field::MultiThresh, kParMultiThresh, {}, false},
    {"SORT BY", Field::SortBy, -1, {"WL", "LVL"}, false},
    {"LINE MARKER 1", Field::LineMarker1, kParLineMarker1, {}, true},
    {"LINE MARKER 2", Field::LineMarker2, kParLineMarker2, {}, true},
    {"SEARCH/ANA L1-L2", Field::RangeLineMarkers, -1, {"OFF", "ON"}, true},
};

bool ParseNumber(std::string_view text, double& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && std::isfinite(value);
}

void Store(Field field, double v) {
  AnalysisState& a = GInstrument->analysis;
  const auto flag = static_cast<uint16_t>(v);
  switch (field) {
    case Field::ModeDiff:
      a.search.modeDiff = v;
      break;
    case Field::MultiThresh:
      a.search.multiThresh = v;
      break;
    case Field::SortBy:
      a.search.sortBy = flag;
      break;
    case Field::LineMarker1:
      a.lineMarkers[0] = {1, v};
      break;
    case Field::LineMarker2:
      a.lineMarkers[1] = {1, v};
      break;
    case Field::RangeLineMarkers:
      a.search.rangeLineMarkers = flag;
      break;
  }
}

}  // namespace

bool IsSearchRangeLabel(std::string_view label) {
  for (const LabelRow& row : kRows) {
    if (label == row.label) return row.range;
  }
  return false;
}

bool SetSearchSettingByLabel(std::string_view label, std::string_view value, std::string& error) {
  for (const LabelRow& row : kRows) {
    if (label != row.label) continue;
    double v = 0;
    if (row.parameter < 0) {
      if (value == row.choices[0]) {
        v = 0;
      } else if (value == row.choices[1]) {
        v = 1;
      } else {
        error = std::string(label) + " takes " + row.choices[0] + " or " + row.choices[1];
        return false;
      }
    } else {
      const ParamRecord& limits = GInstrument->entry.params[row.parameter];
      // Limits that the entry fills when it opens (line markers: the trace's window) are not
      // known here: any positive value then.
      const bool fixedLimits = limits.maximum > limits.minimum;
      double clamped = 0;
      if (!ParseNumber(value, v) || (!fixedLimits && v <= 0) ||
          (fixedLimits && (clamped = v, Clamp(clamped, row.parameter) == 0))) {
        error = std::string(label) + " takes " +
                (fixedLimits ? "a number from " + FormatEntryValue(row.parameter, limits.minimum) +
                                   " to " + FormatEntryValue(row.parameter, limits.maximum)
                             : std::string("a positive number")) +
                ", not " + std::string(value);
        return false;
      }
    }
    Store(row.field, v);
    return true;
  }
  error = "no setting " + std::string(label) + " for the searches";
  return false;
}

}  // namespace vq
