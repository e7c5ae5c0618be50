// The setting rows of FILTER-PK, FILTER-BTM, WDM FIL-PK and WDM FIL-BTM, as the analysis setting
// window lists them: the lettered items with their "SW:" switches and parameters, 12 rows a page.
#include <algorithm>
#include <array>

#include "analysis/filter.h"
#include "instrument.h"
#include "resources/param_table.h"

namespace vq {

namespace {

constexpr const char* kOffOn[] = {"OFF", "ON"};
constexpr const char* kThreshRms[] = {"THRESH", "RMS"};
constexpr uint16_t kThreshRmsCodes[] = {kFilterAlgoThresh, kFilterAlgoRms};
constexpr const char* kPkCrossTalk[] = {"THRESH", "PEAK", "GRID"};
constexpr uint16_t kPkCrossTalkCodes[] = {kFilterAlgoThresh, kFilterAlgoExtreme, kFilterAlgoGrid};
constexpr const char* kNotch[] = {"NOTCH(P)", "NOTCH(B)"};
constexpr uint16_t kNotchCodes[] = {kFilterAlgoNotchPeak, kFilterAlgoNotchBottom};
constexpr const char* kBtmCrossTalk[] = {"NOTCH(P)", "NOTCH(B)", "BOTTOM", "GRID"};
constexpr uint16_t kBtmCrossTalkCodes[] = {kFilterAlgoNotchPeak, kFilterAlgoNotchBottom,
                                           kFilterAlgoExtreme, kFilterAlgoGrid};
constexpr const char* kPkDetection[] = {"PEAK", "MEAN", "GRID FIT", "GRID"};
constexpr const char* kBtmDetection[] = {"BOTTOM", "NOTCH(P)", "NOTCH(B)", "GRID FIT", "GRID"};
constexpr const char* kPeakBottom[] = {"PEAK", "BOTTOM"};

FilterState& F() {
  return GInstrument->analysis.filter;
}

using DoubleRef = double& (*)();
using WordRef = uint16_t& (*)();

template <DoubleRef R>
constexpr SettingRow Number(const char* label, int parameter, double def, const char* format,
                            int page) {
  return {SettingKind::Number,       label, parameter, {},  [] { return R(); },
          [](double v) { R() = v; }, def,   format,    page};
}
template <DoubleRef R>
constexpr SettingRow Switch(int page) {
  return {SettingKind::Choice,
          "SW:",
          -1,
          kOffOn,
          [] { return R() != 0 ? 1.0 : 0.0; },
          [](double v) { R() = v != 0 ? 1.0 : 0.0; },
          1.0,
          "%.0f",
          page};
}
template <WordRef R>
constexpr SettingRow Word(const char* label, std::span<const char* const> choices, double def,
                          int page) {
  return {SettingKind::Choice,
          label,
          -1,
          choices,
          [] { return double(R()); },
          [](double v) { R() = static_cast<uint16_t>(v); },
          def,
          "%.0f",
          page};
}
// An "ALGO:" selector whose choices stand for the instrument's algorithm codes.
template <WordRef R, const auto& Codes>
constexpr SettingRow Algo(const char* label, std::span<const char* const> choices, uint16_t def,
                          int page) {
  double index = 0;
  for (size_t i = 0; i < std::size(Codes); ++i) {
    if (Codes[i] == def) index = static_cast<double>(i);
  }
  return {SettingKind::Choice,
          label,
          -1,
          choices,
          [] {
            for (size_t i = 0; i < std::size(Codes); ++i) {
              if (Codes[i] == R()) return static_cast<double>(i);
            }
            return 0.0;
          },
          [](double v) {
            const auto i = static_cast<size_t>(v);
            if (i < std::size(Codes)) R() = Codes[i];
          },
          index,
          "%.0f",
          page};
}
constexpr SettingRow Heading(const char* label, int page) {
  return {SettingKind::Heading, label, -1, {}, nullptr, nullptr, 0, "", page};
}

constexpr const char* kDb = "%5.2fdB";
constexpr const char* kNm = "%5.2fnm";
constexpr const char* kNm3 = "%5.3fnm";

// A field of a settings struct, reached from the struct's accessor.
template <auto Ref, auto Member>
auto& At() {
  return Ref().*Member;
}

FilterPkSettings& Pk() {
  return F().pk;
}
FilterBtmSettings& Btm() {
  return F().btm;
}
FilterWidthItem& PkC() {
  return F().pk.centre;
}
FilterWidthItem& PkD() {
  return F().pk.width;
}
FilterWidthItem& PkF() {
  return F().pk.crossTalk.width;
}
FilterCrossTalkItem& PkFArea() {
  return F().pk.crossTalk;
}
FilterWidthItem& BtmC() {
  return F().btm.centre;
}
FilterWidthItem& BtmD() {
  return F().btm.width;
}
FilterWidthItem& BtmE() {
  return F().btm.crossTalk.width;
}
FilterCrossTalkItem& BtmEArea() {
  return F().btm.crossTalk;
}
template <bool Bottom>
WdmFilterSettings& Wdm() {
  return Bottom ? F().wdmBtm : F().wdmPk;
}

using WI = FilterWidthItem;

// The rows of a THRESH / RMS item of FILTER-PK: heading, SW, ALGO and the width parameters.
template <auto Item, const auto& Codes, const auto& Names>
constexpr std::array<SettingRow, 7> PkWidthRows(const char* heading, const WI& d, int page) {
  return {{Heading(heading, page), Switch<At<Item, &WI::sw>>(page),
           Algo<At<Item, &WI::algo>, Codes>("ALGO:", Names, d.algo, page),
           Number<At<Item, &WI::thresh>>("THRESH LEVEL:", kParWidthThresh, d.thresh, kDb, page),
           Number<At<Item, &WI::k>>("K:", kParWidthK, d.k, "%5.2f", page),
           Word<At<Item, &WI::modeFit>>("MODE FIT:", kOffOn, d.modeFit, page),
           Number<At<Item, &WI::modeDiff>>("MODE DIFF:", kParModeDiff, d.modeDiff, kDb, page)}};
}
// The rows of a NOTCH item of FILTER-BTM: heading, SW, ALGO, THRESH LEVEL and MODE DIFF.
template <auto Item, const auto& Codes, const auto& Names>
constexpr std::array<SettingRow, 5> BtmWidthRows(const char* heading, const WI& d, int page) {
  return {{Heading(heading, page), Switch<At<Item, &WI::sw>>(page),
           Algo<At<Item, &WI::algo>, Codes>("ALGO:", Names, d.algo, page),
           Number<At<Item, &WI::thresh>>("THRESH LEVEL:", kParWidthThresh, d.thresh, kDb, page),
           Number<At<Item, &WI::modeDiff>>("MODE DIFF:", kParModeDiff, d.modeDiff, kDb, page)}};
}
// CH SPACE and SEARCH AREA of a cross talk.
template <auto Item>
constexpr std::array<SettingRow, 2> AreaRows(const FilterCrossTalkItem& d, int page) {
  return {{Number<At<Item, &FilterCrossTalkItem::chSpace>>("CH SPACE:", kParFilterSpacing,
                                                           d.chSpace, kNm, page),
           Number<At<Item, &FilterCrossTalkItem::searchArea>>("SEARCH AREA:", kParFilterBand,
                                                              d.searchArea, kNm3, page)}};
}

template <typename T, size_t... N>
constexpr auto Joined(const std::array<T, N>&... parts) {
  std::array<T, (N + ...)> rows{};
  size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), rows.begin() + at), at += N), ...);
  return rows;
}

// ---- FILTER-PK ----

constexpr FilterPkSettings kPk{};
constexpr auto kFilterPkRows = Joined(
    std::array<SettingRow, 4>{
        {Heading("A. PEAK LEVEL", 0), Switch<At<Pk, &FilterPkSettings::swPeakLevel>>(0),
         Heading("B. PEAK WAVELENGTH", 0), Switch<At<Pk, &FilterPkSettings::swPeakWavelength>>(0)}},
    PkWidthRows<PkC, kThreshRmsCodes, kThreshRms>("C. CENTER WAVELENGTH", kPk.centre, 0),
    PkWidthRows<PkD, kThreshRmsCodes, kThreshRms>("D. SPECTRUM WIDTH", kPk.width, 1),
    std::array<SettingRow, 4>{{Heading("E. RIPPLE WIDTH", 1),
                               Switch<At<Pk, &FilterPkSettings::swRipple>>(1),
                               Number<At<Pk, &FilterPkSettings::rippleThresh>>(
                                   "THRESH LEVEL:", kParWidthThresh, kPk.rippleThresh, kDb, 1),
                               Number<At<Pk, &FilterPkSettings::rippleModeDiff>>(
                                   "MODE DIFF:", kParModeDiff, kPk.rippleModeDiff, kDb, 1)}},
    PkWidthRows<PkF, kPkCrossTalkCodes, kPkCrossTalk>("F. CROSS TALK", kPk.crossTalk.width, 2),
    AreaRows<PkFArea>(kPk.crossTalk, 2));

// ---- FILTER-BTM ----

constexpr FilterBtmSettings kBtm{};
constexpr auto kFilterBtmRows = Joined(
    std::array<SettingRow, 4>{{Heading("A. BOTTOM LEVEL", 0),
                               Switch<At<Btm, &FilterBtmSettings::swBottomLevel>>(0),
                               Heading("B. BOTTOM WAVELENGTH", 0),
                               Switch<At<Btm, &FilterBtmSettings::swBottomWavelength>>(0)}},
    BtmWidthRows<BtmC, kNotchCodes, kNotch>("C. CENTER WAVELENGTH", kBtm.centre, 0),
    BtmWidthRows<BtmD, kNotchCodes, kNotch>("D. NOTCH WIDTH", kBtm.width, 1),
    BtmWidthRows<BtmE, kBtmCrossTalkCodes, kBtmCrossTalk>("E. CROSS TALK", kBtm.crossTalk.width, 1),
    AreaRows<BtmEArea>(kBtm.crossTalk, 1));

// ---- WDM FIL-PK and WDM FIL-BTM ----

using S = WdmFilterSettings;

template <bool B>
constexpr auto WdmWidthRows() {
  constexpr S d = B ? kWdmFilBtmDefaults : kWdmFilPkDefaults;
  constexpr auto R = Wdm<B>;
  const SettingRow thresh =
      Number<At<R, &S::widthThresh>>("THRESH LEVEL:", kParWidthThresh, d.widthThresh, kDb, 0);
  if constexpr (B) {
    return std::array<SettingRow, 2>{
        {Word<At<R, &S::notchType>>("ALGORHYTHM:", kPeakBottom, d.notchType, 0), thresh}};
  } else {
    return std::array<SettingRow, 1>{{thresh}};
  }
}

template <bool B>
constexpr auto WdmRows() {
  constexpr S d = B ? kWdmFilBtmDefaults : kWdmFilPkDefaults;
  constexpr auto R = Wdm<B>;
  const std::array<SettingRow, 5> detection = {{
      Heading("A. CHANNEL DETECTION / NOMINAL WAVELENGTH", 0),
      Word<At<R, &S::algo>>("ALGO:",
                            B ? std::span<const char* const>(kBtmDetection)
                              : std::span<const char* const>(kPkDetection),
                            d.algo, 0),
      Number<At<R, &S::thresh>>("THRESH LEVEL:", kParWidthThresh, d.thresh, kDb, 0),
      Number<At<R, &S::modeDiff>>("MODE DIFF:", kParModeDiff, d.modeDiff, kDb, 0),
      Number<At<R, &S::testBand>>("TEST BAND:", kParFilterBand, d.testBand, kNm3, 0),
  }};
  const std::array<SettingRow, 4> extreme = {{
      Heading(B ? "B. BOTTOM WAVELENGTH / LEVEL" : "B. PEAK WAVELENGTH / LEVEL", 0),
      Switch<At<R, &S::swPeak>>(0),
      Heading(B ? "C. XdB NOTCH WIDTH / CENTER WAVELENGTH" : "C. XdB WIDTH / CENTER WAVELENGTH", 0),
      Switch<At<R, &S::swWidth>>(0),
  }};
  // WDM FIL-BTM measures its notch widths from the bottom or from the pass level.
  const auto width = WdmWidthRows<B>();
  const std::array<SettingRow, 14> bands = {{
      Heading("D. XdB STOP BAND", 1),
      Switch<At<R, &S::swStop>>(1),
      Number<At<R, &S::stopThresh>>("THRESH LEVEL:", kParFilterStopBand, d.stopThresh, kDb, 1),
      Heading(B ? "E. XdB ELIMINATION BAND" : "E. XdB PASS BAND", 1),
      Switch<At<R, &S::swPass>>(1),
      Number<At<R, &S::passThresh>>("THRESH LEVEL:", kParWidthThresh, d.passThresh, kDb, 1),
      Number<At<R, &S::passBand>>("TEST BAND:", kParFilterBand, d.passBand, kNm, 1),
      Heading("F. RIPPLE", 1),
      Switch<At<R, &S::swRipple>>(1),
      Number<At<R, &S::rippleBand>>("TEST BAND:", kParFilterBand, d.rippleBand, kNm, 1),
      Heading("G. CROSS TALK", 2),
      Switch<At<R, &S::swCross>>(2),
      Number<At<R, &S::spacing>>("SPACING:", kParFilterSpacing, d.spacing, kNm, 2),
      Number<At<R, &S::crossBand>>("TEST BAND:", kParFilterBand, d.crossBand, kNm, 2),
  }};
  return Joined(detection, extreme, width, bands);
}
constexpr auto kWdmFilPkRows = WdmRows<false>();
constexpr auto kWdmFilBtmRows = WdmRows<true>();

// At most 12 rows a page.
template <size_t N>
constexpr bool PagesFit(const std::array<SettingRow, N>& rows) {
  int count[8] = {};
  for (const SettingRow& r : rows) {
    if (r.page < 0 || r.page >= 8 || ++count[r.page] > 12) return false;
  }
  return true;
}
static_assert(PagesFit(kFilterPkRows) && PagesFit(kFilterBtmRows) && PagesFit(kWdmFilPkRows) &&
                  PagesFit(kWdmFilBtmRows),
              "a setting page holds 12 rows");

}  // namespace

std::span<const SettingRow> FilterSettingRows(int item) {
  switch (item) {
    case kItemFilterPk:
      return kFilterPkRows;
    case kItemFilterBtm:
      return kFilterBtmRows;
    case kItemWdmFilPk:
      return kWdmFilPkRows;
    case kItemWdmFilBtm:
      return kWdmFilBtmRows;
    default:
      return {};
  }
}

}  // namespace vq
