// The setting rows of the light-source items, as the analysis setting window lists them.
#include <algorithm>
#include <array>

#include "analysis/light_source.h"
#include "analysis/result_view.h"
#include "instrument.h"
#include "resources/param_table.h"

namespace vq {

namespace {

constexpr LightSourceSettings kDefaults{};

constexpr const char* kOffOn[] = {"OFF", "ON"};
constexpr const char* kAlgos[] = {"ENVELOPE", "THRESH", "RMS", "PEAK RMS"};
constexpr const char* kRmsAlgos[] = {"RMS", "PEAK RMS"};  // selector values 2 and 3
constexpr const char* kSmsrModes[] = {"SMSR1", "SMSR2", "SMSR3", "SMSR4"};
constexpr const char* kNoiseAlgos[] = {"AUTO-FIX", "MANUAL-FIX", "AUTO-CTR", "MANUAL-CTR", "PIT"};
constexpr const char* kFittingAlgos[] = {"LINEAR",   "GAUSS",    "LORENZ",
                                         "3RD POLY", "4TH POLY", "5TH POLY"};
constexpr const char* kSignalPowers[] = {"PEAK", "INTEGRAL"};

LightSourceSettings& S() {
  return GInstrument->analysis.light.settings;
}

template <size_t... N>
constexpr auto Join(const std::array<SettingRow, N>&... parts) {
  std::array<SettingRow, (N + ...)> out{};
  size_t i = 0;
  ((std::copy(parts.begin(), parts.end(), out.begin() + i), i += N), ...);
  return out;
}

constexpr std::array<SettingRow, 1> Heading(const char* title, int page) {
  return {{{SettingKind::Heading, title, -1, {}, nullptr, nullptr, 0, "", page}}};
}

// A width part: the algorithm selector and the parameters of the four algorithms.
template <WidthPart& (*Part)()>
constexpr std::array<SettingRow, 6> PartRows(const char* algoLabel, const WidthPart& d, int page) {
  return {{
      {SettingKind::Choice, algoLabel, -1, kAlgos, [] { return double(Part().algo); },
       [](double v) { Part().algo = static_cast<uint16_t>(v); }, double(d.algo), "", page},
      {SettingKind::Number,
       "THRESH:",
       kParWidthThresh,
       {},
       [] { return Part().thresh; },
       [](double v) { Part().thresh = v; },
       d.thresh,
       "%5.2fdB",
       page},
      {SettingKind::Number,
       "THRESH2:",
       kParWidthThresh2,
       {},
       [] { return Part().thresh2; },
       [](double v) { Part().thresh2 = v; },
       d.thresh2,
       "%5.2fdB",
       page},
      {SettingKind::Number,
       "K:",
       kParWidthK,
       {},
       [] { return Part().k; },
       [](double v) { Part().k = v; },
       d.k,
       "%5.2f",
       page},
      {SettingKind::Choice, "MODE FIT:", -1, kOffOn, [] { return double(Part().modeFit); },
       [](double v) { Part().modeFit = static_cast<uint16_t>(v); }, double(d.modeFit), "", page},
      {SettingKind::Number,
       "MODE DIFF:",
       kParModeDiff,
       {},
       [] { return Part().modeDiff; },
       [](double v) { Part().modeDiff = v; },
       d.modeDiff,
       "%5.2fdB",
       page},
  }};
}

template <SmsrSettings& (*Smsr)()>
constexpr std::array<SettingRow, 2> SmsrRows(const SmsrSettings& d, int page) {
  return {{
      {SettingKind::Choice, "SMSR MODE:", -1, kSmsrModes, [] { return double(Smsr().mode); },
       [](double v) { Smsr().mode = static_cast<uint16_t>(v); }, double(d.mode), "", page},
      {SettingKind::Number,
       "SMSR MASK:",
       kParSmsrMask,
       {},
       [] { return Smsr().mask; },
       [](double v) { Smsr().mask = v; },
       d.mask,
       "%5.2fnm",
       page},
  }};
}

// MODE DIFF of SMSR and PMD is the searches' own.
constexpr std::array<SettingRow, 1> SearchModeDiffRow(int page) {
  return {{{SettingKind::Number,
            "MODE DIFF:",
            kParModeDiff,
            {},
            [] { return GInstrument->analysis.search.modeDiff; },
            [](double v) { GInstrument->analysis.search.modeDiff = v; },
            3.0,
            "%5.2fdB",
            page}}};
}

// ---- SMSR, POWER, PMD ----

SmsrSettings& SmsrItem() {
  return S().smsr;
}
constexpr auto kSmsrRows = Join(SmsrRows<SmsrItem>(kDefaults.smsr, 0), SearchModeDiffRow(0));

constexpr SettingRow kPowerRows[] = {
    {SettingKind::Number,
     "POWER OFFSET:",
     kParPowerOffset,
     {},
     [] { return S().powerOffset; },
     [](double v) { S().powerOffset = v; },
     kDefaults.powerOffset,
     "%6.2fdB"},
};

constexpr auto kPmdRows = Join(std::array<SettingRow, 1>{{{SettingKind::Number,
                                                           "THRESH LEVEL:",
                                                           kParWidthThresh,
                                                           {},
                                                           [] { return S().pmdThresh; },
                                                           [](double v) { S().pmdThresh = v; },
                                                           kDefaults.pmdThresh,
                                                           "%5.2fdB"}}},
                               SearchModeDiffRow(0));

// ---- DFB-LD ----

WidthPart& DfbWidth() {
  return S().dfb.width;
}
SmsrSettings& DfbSmsr() {
  return S().dfb.smsr;
}
WidthPart& DfbRms() {
  return S().dfb.rms;
}
WdmNoiseSettings& Osnr() {
  return S().dfb.osnr;
}

constexpr DfbLdSettings kDfb = kDefaults.dfb;

constexpr std::array<SettingRow, 4> DfbRmsRows(int page) {
  return {{
      {SettingKind::Choice, "ALGORHYTHM:", -1, kRmsAlgos,
       [] { return double(std::clamp<int>(DfbRms().algo, kAlgoRms, kAlgoPeakRms) - kAlgoRms); },
       [](double v) { DfbRms().algo = static_cast<uint16_t>(static_cast<int>(v) + kAlgoRms); },
       double(kDfb.rms.algo - kAlgoRms), "", page},
      {SettingKind::Number,
       "THRESH:",
       kParWidthThresh,
       {},
       [] { return DfbRms().thresh; },
       [](double v) { DfbRms().thresh = v; },
       kDfb.rms.thresh,
       "%5.2fdB",
       page},
      {SettingKind::Number,
       "K:",
       kParWidthK,
       {},
       [] { return DfbRms().k; },
       [](double v) { DfbRms().k = v; },
       kDfb.rms.k,
       "%5.2f",
       page},
      {SettingKind::Number,
       "MODE DIFF:",
       kParModeDiff,
       {},
       [] { return DfbRms().modeDiff; },
       [](double v) { DfbRms().modeDiff = v; },
       kDfb.rms.modeDiff,
       "%5.2fdB",
       page},
  }};
}

constexpr std::array<SettingRow, 8> OsnrRows(int page) {
  const WdmNoiseSettings& d = kDfb.osnr;
  return {{
      {SettingKind::Number,
       "MODE DIFF:",
       kParModeDiff,
       {},
       [] { return Osnr().modeDiff; },
       [](double v) { Osnr().modeDiff = v; },
       d.modeDiff,
       "%5.2fdB",
       page},
      {SettingKind::Choice, "NOISE ALGO:", -1, kNoiseAlgos, [] { return double(Osnr().noiseAlgo); },
       [](double v) { Osnr().noiseAlgo = static_cast<uint16_t>(v); }, double(d.noiseAlgo), "",
       page},
      {SettingKind::Number,
       "NOISE AREA:",
       kParWdmArea,
       {},
       [] { return Osnr().noiseArea; },
       [](double v) { Osnr().noiseArea = v; },
       d.noiseArea,
       "%4.2fnm",
       page},
      {SettingKind::Number,
       "MASK AREA:",
       kParWdmMaskArea,
       {},
       [] { return Osnr().maskArea; },
       [](double v) { Osnr().maskArea = v; },
       d.maskArea,
       "%4.2fnm",
       page},
      {SettingKind::Choice, "FITTING ALGO:", -1, kFittingAlgos,
       [] { return double(Osnr().fittingAlgo); },
       [](double v) { Osnr().fittingAlgo = static_cast<uint16_t>(v); }, double(d.fittingAlgo), "",
       page},
      {SettingKind::Number,
       "NOISE BW:",
       kParWdmNoiseBw,
       {},
       [] { return Osnr().noiseBw; },
       [](double v) { Osnr().noiseBw = v; },
       d.noiseBw,
       "%4.2fnm",
       page},
      {SettingKind::Choice, "SIGNAL POWER:", -1, kSignalPowers,
       [] { return double(Osnr().signalPower); },
       [](double v) { Osnr().signalPower = static_cast<uint16_t>(v); }, double(d.signalPower), "",
       page},
      {SettingKind::Number,
       "INTEGRAL RANGE:",
       kParWdmIntegralRange,
       {},
       [] { return Osnr().integralRange; },
       [](double v) { Osnr().integralRange = v; },
       d.integralRange,
       "%.0fGHz",
       page},
  }};
}

constexpr auto kDfbRows =
    Join(Heading("A. -XdB CENTER / WIDTH", 0), PartRows<DfbWidth>("ALGORHYTHM:", kDfb.width, 0),
         Heading("B. SMSR", 0), SmsrRows<DfbSmsr>(kDfb.smsr, 0),
         std::array<SettingRow, 1>{{{SettingKind::Number,
                                     "MODE DIFF:",
                                     kParModeDiff,
                                     {},
                                     [] { return S().dfb.smsrModeDiff; },
                                     [](double v) { S().dfb.smsrModeDiff = v; },
                                     kDfb.smsrModeDiff,
                                     "%5.2fdB",
                                     0}}},
         Heading("C.RMS", 1), DfbRmsRows(1), Heading("D.POWER", 1),
         std::array<SettingRow, 1>{{{SettingKind::Number,
                                     "SPAN:",
                                     kParBandSpan,
                                     {},
                                     [] { return S().dfb.powerSpan; },
                                     [](double v) { S().dfb.powerSpan = v; },
                                     kDfb.powerSpan,
                                     "%5.2fnm",
                                     1}}},
         Heading("E.OSNR", 2), OsnrRows(2));

// ---- FP-LD, LED ----

template <int K>
WidthPart& FpPart() {
  return S().fp.parts[K];
}
template <int K>
WidthPart& LedPart() {
  return S().led.parts[K];
}

constexpr std::array<SettingRow, 1> OffsetRow(double (*get)(), void (*set)(double), int page) {
  return {{{SettingKind::Number,
            "OFFSET LEVEL:",
            kParPowerOffset,
            {},
            get,
            set,
            0.0,
            "%6.2fdB",
            page}}};
}

constexpr auto kFpRows =
    Join(Heading("A. SPECTRUM WIDTH", 0), PartRows<FpPart<0>>("ALGO:", kDefaults.fp.parts[0], 0),
         Heading("B. MEAN WAVELENGTH", 1), PartRows<FpPart<1>>("ALGO:", kDefaults.fp.parts[1], 1),
         Heading("C. TOTAL POWER", 1),
         OffsetRow([] { return S().fp.offset; }, [](double v) { S().fp.offset = v; }, 1),
         Heading("D. MODE NO.", 2), PartRows<FpPart<2>>("ALGO:", kDefaults.fp.parts[2], 2));

constexpr auto kLedRows =
    Join(Heading("A. SPECTRUM WIDTH", 0), PartRows<LedPart<0>>("ALGO:", kDefaults.led.parts[0], 0),
         Heading("B. MEAN WAVELENGTH", 1), PartRows<LedPart<1>>("ALGO:", kDefaults.led.parts[1], 1),
         Heading("C. TOTAL POWER", 1),
         OffsetRow([] { return S().led.offset; }, [](double v) { S().led.offset = v; }, 1));

// Every page holds at most 12 rows.
template <size_t N>
constexpr bool PagesFit(const std::array<SettingRow, N>& rows) {
  std::array<int, 8> count{};
  for (const SettingRow& r : rows) {
    if (r.page < 0 || r.page >= 8 || ++count[r.page] > 12) return false;
  }
  return true;
}
static_assert(PagesFit(kDfbRows) && PagesFit(kFpRows) && PagesFit(kLedRows),
              "a setting page holds at most 12 rows");

}  // namespace

std::span<const SettingRow> LightSourceSettingRows(int item) {
  switch (item) {
    case kItemDfbLd:
      return kDfbRows;
    case kItemFpLd:
      return kFpRows;
    case kItemLed:
      return kLedRows;
    case kItemSmsr:
      return kSmsrRows;
    case kItemPower:
      return kPowerRows;
    case kItemPmd:
      return kPmdRows;
    default:
      return {};  // COLOR has no settings
  }
}

}  // namespace vq
