// The setting rows of the spectral width items, as the analysis setting window lists them.
#include <array>

#include "analysis/result_view.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "resources/param_table.h"

namespace vq {

namespace {

constexpr const char* kOffOn[] = {"OFF", "ON"};
constexpr const char* kPeakBottom[] = {"PEAK", "BOTTOM"};

template <int Item>
WidthParameters& P() {
  return GInstrument->analysis.widthParams[Item];
}

template <int Item>
constexpr SettingRow ThreshRow(const char* label) {
  return {SettingKind::Number,
          label,
          kParWidthThresh,
          {},
          [] { return P<Item>().threshLevel; },
          [](double v) { P<Item>().threshLevel = v; },
          kWidthDefaults[Item].threshLevel,
          "%5.2fdB"};
}
template <int Item>
constexpr SettingRow KRow() {
  return {SettingKind::Number,
          "K:",
          kParWidthK,
          {},
          [] { return P<Item>().k; },
          [](double v) { P<Item>().k = v; },
          kWidthDefaults[Item].k,
          "%5.2f"};
}
// MODE DIFF is the searches' own, shared by the items that qualify modes.
constexpr SettingRow kModeDiffRow = {SettingKind::Number,
                                     "MODE DIFF:",
                                     kParModeDiff,
                                     {},
                                     [] { return GInstrument->analysis.search.modeDiff; },
                                     [](double v) { GInstrument->analysis.search.modeDiff = v; },
                                     3.0,
                                     "%5.2fdB"};

constexpr SettingRow kThreshRows[] = {
    ThreshRow<kItemThresh>("THRESH LEVEL:"),
    KRow<kItemThresh>(),
    {SettingKind::Choice, "MODE FIT:", -1, kOffOn, [] { return double(P<kItemThresh>().modeFit); },
     [](double v) { P<kItemThresh>().modeFit = static_cast<uint16_t>(v); }, 0},
    kModeDiffRow,
};
constexpr SettingRow kEnvelopeRows[] = {
    ThreshRow<kItemEnvelope>("THRESH LEVEL1:"),
    {SettingKind::Number,
     "THRESH LEVEL2:",
     kParWidthThresh2,
     {},
     [] { return P<kItemEnvelope>().threshLevel2; },
     [](double v) { P<kItemEnvelope>().threshLevel2 = v; },
     kWidthDefaults[kItemEnvelope].threshLevel2,
     "%5.2fdB"},
    KRow<kItemEnvelope>(),
    kModeDiffRow,
};
constexpr SettingRow kRmsRows[] = {ThreshRow<kItemRms>("THRESH LEVEL:"), KRow<kItemRms>()};
constexpr SettingRow kPeakRmsRows[] = {ThreshRow<kItemPeakRms>("THRESH LEVEL:"),
                                       KRow<kItemPeakRms>(), kModeDiffRow};
constexpr SettingRow kNotchRows[] = {
    ThreshRow<kItemNotch>("THRESH LEVEL:"),
    KRow<kItemNotch>(),
    {SettingKind::Choice, "TYPE:", -1, kPeakBottom, [] { return double(P<kItemNotch>().type); },
     [](double v) { P<kItemNotch>().type = static_cast<uint16_t>(v); }, 1},
    kModeDiffRow,
};

}  // namespace

std::span<const SettingRow> WidthSettingRows(int item) {
  switch (item) {
    case kItemThresh:
      return kThreshRows;
    case kItemEnvelope:
      return kEnvelopeRows;
    case kItemRms:
      return kRmsRows;
    case kItemPeakRms:
      return kPeakRmsRows;
    case kItemNotch:
      return kNotchRows;
    default:
      return {};
  }
}

}  // namespace vq
