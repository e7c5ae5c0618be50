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
  ThreshLevel,
  ThreshLevel2,
  K,
  ModeFit,
  Type,
  ModeDiff,
  MultiThresh,
  SortBy,
  LineMarker1,
  LineMarker2,
  RangeLineMarkers,
};

constexpr uint32_t Bit(int item) {
  return 1u << item;
}
constexpr uint32_t kSearch = 1u << 31;
constexpr uint32_t kAllWidths =
    Bit(kItemThresh) | Bit(kItemEnvelope) | Bit(kItemRms) | Bit(kItemPeakRms) | Bit(kItemNotch);

struct LabelRow {
  const char* label;
  uint32_t owners;  // the width items (bits) and kSearch that show it
  Field field;
  int parameter;                       // entry limits of a number; -1 for a choice
  std::array<const char*, 2> choices;  // values 0 and 1 of a choice, as the keys write them
};

// clang-format off
constexpr LabelRow kRows[] = {
    {"THRESH LEVEL", Bit(kItemThresh) | Bit(kItemRms) | Bit(kItemPeakRms) | Bit(kItemNotch),
     Field::ThreshLevel, kParWidthThresh, {}},
    {"THRESH LEVEL1", Bit(kItemEnvelope), Field::ThreshLevel, kParWidthThresh, {}},
    {"THRESH LEVEL2", Bit(kItemEnvelope), Field::ThreshLevel2, kParWidthThresh2, {}},
    {"K", kAllWidths, Field::K, kParWidthK, {}},
    {"MODE FIT", Bit(kItemThresh), Field::ModeFit, -1, {"OFF", "ON"}},
    {"TYPE", Bit(kItemNotch), Field::Type, -1, {"PEAK", "BOTTOM"}},
    {"MODE DIFF", kSearch | (kAllWidths & ~Bit(kItemRms)), Field::ModeDiff, kParModeDiff, {}},
    {"THRESH", kSearch, Field::MultiThresh, kParMultiThresh, {}},
    {"SORT BY", kSearch, Field::SortBy, -1, {"WL", "LVL"}},
    // The search range, for searches and analyses alike.
    {"LINE MARKER 1", kSearch | kAllWidths, Field::LineMarker1, kParLineMarker1, {}},
    {"LINE MARKER 2", kSearch | kAllWidths, Field::LineMarker2, kParLineMarker2, {}},
    {"SEARCH/ANA L1-L2", kSearch | kAllWidths, Field::RangeLineMarkers, -1, {"OFF", "ON"}},
};
// clang-format on

bool ParseNumber(std::string_view text, double& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && std::isfinite(value);
}

void Store(int item, Field field, double v) {
  AnalysisState& a = GInstrument->analysis;
  WidthParameters* p = item >= 0 ? &a.widthParams[item] : nullptr;
  const auto flag = static_cast<uint16_t>(v);
  switch (field) {
    case Field::ThreshLevel:
      p->threshLevel = v;
      break;
    case Field::ThreshLevel2:
      p->threshLevel2 = v;
      break;
    case Field::K:
      p->k = v;
      break;
    case Field::ModeFit:
      p->modeFit = flag;
      break;
    case Field::Type:
      p->type = flag;
      break;
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

bool SetByLabel(int item, std::string_view label, std::string_view value, std::string& error) {
  const uint32_t owner = item == kSearchSettings ? kSearch : Bit(item);
  for (const LabelRow& row : kRows) {
    if (label != row.label) continue;
    if ((row.owners & owner) == 0) break;
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
    Store(item, row.field, v);
    return true;
  }
  error = "no setting " + std::string(label) +
          (item == kSearchSettings ? " for the searches" : std::string(" for this item"));
  return false;
}

}  // namespace vq
