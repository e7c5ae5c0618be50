// State of the light-source analyses: SMSR, POWER, PMD, COLOR, DFB-LD, FP-LD and LED.
#pragma once

#include <array>
#include <cstdint>

#include "state/wdm_state.h"

namespace vq {

// The algorithm selector of the composite analyses' width parts.
enum WidthAlgo : uint16_t { kAlgoEnvelope = 0, kAlgoThresh = 1, kAlgoRms = 2, kAlgoPeakRms = 3 };

// One width part of DFB-LD, FP-LD or LED: the algorithm and the parameters it uses.
struct WidthPart {
  uint16_t algo = kAlgoThresh;
  double thresh = 20.0;   // THRESH (dB); THRESH LEVEL1 of ENVELOPE
  double thresh2 = 20.0;  // THRESH2 of ENVELOPE (dB)
  double k = 1.0;
  uint16_t modeFit = 0;   // THRESH: 0 OFF, 1 ON
  double modeDiff = 3.0;  // dB
};

enum SmsrMode : uint16_t { kSmsr1 = 0, kSmsr2 = 1, kSmsr3 = 2, kSmsr4 = 3 };
constexpr bool IsTwoSided(uint16_t mode) {
  return mode == kSmsr3 || mode == kSmsr4;
}

struct SmsrSettings {
  uint16_t mode = kSmsr1;
  double mask = 0.0;  // nm, half width around the main mode
};

struct DfbLdSettings {
  WidthPart width{kAlgoThresh, 20.0, 20.0, 1.0, 0, 3.0};  // A. -XdB CENTER / WIDTH
  SmsrSettings smsr;                                      // B. SMSR
  double smsrModeDiff = 3.0;
  WidthPart rms{kAlgoRms, 20.0, 20.0, 2.0, 0, 3.0};                    // C.RMS
  double powerSpan = 0.4;                                              // D.POWER: SPAN (nm)
  WdmNoiseSettings osnr{3.0, kPit, 0.4, 0.2, kFitLinear, 0.1, 0, 10};  // E.OSNR, NOISE ALGO PIT
};

struct FpLdSettings {
  // A. SPECTRUM WIDTH, B. MEAN WAVELENGTH, D. MODE NO.
  std::array<WidthPart, 3> parts{{{kAlgoPeakRms, 20.0, 20.0, 2.0, 0, 3.0},
                                  {kAlgoPeakRms, 20.0, 20.0, 2.0, 0, 3.0},
                                  {kAlgoPeakRms, 20.0, 20.0, 2.0, 0, 3.0}}};
  double offset = 0.0;  // C. TOTAL POWER: OFFSET LEVEL (dB)
};

struct LedSettings {
  // A. SPECTRUM WIDTH, B. MEAN WAVELENGTH
  std::array<WidthPart, 2> parts{
      {{kAlgoThresh, 3.0, 20.0, 1.0, 0, 3.0}, {kAlgoRms, 20.0, 20.0, 2.0, 0, 3.0}}};
  double offset = 0.0;  // C. TOTAL POWER: OFFSET LEVEL (dB)
};

// Every setting of the family (saved with the settings); the DEFAULTS are these initialisers.
struct LightSourceSettings {
  SmsrSettings smsr;
  double powerOffset = 0.0;  // dB
  double pmdThresh = 10.0;   // dB
  DfbLdSettings dfb;
  FpLdSettings fp;
  LedSettings led;
};

// What the SMSR algorithm found. Data indices; levels in mW; the one-sided modes use the left
// fields for their side mode.
struct SmsrResult {
  uint16_t mode = kSmsr1;
  int32_t mainIndex = 0;
  double mainLevel = 0.0;
  int32_t sideIndex[2] = {0, 0};  // left (or the one side mode), right
  double sideLevel[2] = {0.0, 0.0};
  double ratio[2] = {1.0, 1.0};      // main / side, linear
  double offsetNm[2] = {0.0, 0.0};   // (side - main) * span / (N - 1)
  double offsetThz[2] = {0.0, 0.0};  // main-to-side frequency distance
};

struct PmdResult {
  double pmdPs = 0.0;
  int32_t count = 0;
  double firstThz = 0.0, lastThz = 0.0;  // frequencies of the first and last selected peak
};

struct ColorResult {
  double x = 0.0, y = 0.0, z = 0.0;
  double dominantNm = 0.0;  // 0: none
};

// DFB-LD: the -X dB width and centre, the SMSR, the RMS part, the band power and the OSNR.
struct DfbLdResult {
  double peakNm = 0.0, peakLevel = 0.0;  // the main mode (mW)
  double widthNm = 0.0, widthThz = 0.0, centreNm = 0.0;
  SmsrResult smsr;
  double rmsWidthNm = 0.0, rmsWidthThz = 0.0;  // K sigma; 0 when the part is skipped
  double powerMw = 0.0;
  double osnrDb = 0.0;
};

struct FpLdResult {
  double meanNm = 0.0;
  double widthNm = 0.0, widthThz = 0.0;
  int32_t modeCount = 0;
  double powerMw = 0.0;
};

struct LedResult {
  double meanNm = 0.0;
  double widthNm = 0.0, widthThz = 0.0;
  double peakNm = 0.0, peakLevel = 0.0;  // mW
  double powerMw = 0.0;
};

struct LightSourceState {
  LightSourceSettings settings;
  LightSourceSettings working;  // the copy the last run used (its result block shows these)
  SmsrResult smsr;
  double powerMw = 0.0;
  PmdResult pmd;
  ColorResult color;
  DfbLdResult dfb;
  FpLdResult fp;
  LedResult led;
};

}  // namespace vq
