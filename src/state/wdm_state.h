// State of the WDM and EDFA-NF analyses: settings, the channel table, the drift references.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vq {

// The noise settings of the WDM analysis, also those of the OSNR part of DFB-LD.
struct WdmNoiseSettings {
  double modeDiff = 3.0;      // dB
  uint16_t noiseAlgo = 0;     // 0 AUTO-FIX, 1 MANUAL-FIX, 2 AUTO-CTR, 3 MANUAL-CTR, 4 PIT
  double noiseArea = 0.4;     // nm
  double maskArea = 0.2;      // nm
  uint16_t fittingAlgo = 0;   // 0 LINEAR, 1 GAUSS, 2 LORENZ, 3 3RD POLY, 4 4TH POLY, 5 5TH POLY
  double noiseBw = 0.1;       // nm
  uint16_t signalPower = 0;   // 0 PEAK, 1 INTEGRAL
  double integralRange = 10;  // GHz
};

enum NoiseAlgo : uint16_t { kAutoFix, kManualFix, kAutoCtr, kManualCtr, kPit };
enum FittingAlgo : uint16_t { kFitLinear, kFitGauss, kFitLorenz, kFit3rd, kFit4th, kFit5th };
enum WdmDisplayType : uint16_t { kAbsolute, kRelative, kDriftGrid, kDriftMeas };

// A DISPLAY MASK below this is OFF.
constexpr double kDisplayMaskLowest = -100.0;

struct WdmSettings {
  double thresh = 20.0;         // dB below the highest channel
  double displayMask = -999.0;  // dBm; below -100 OFF
  WdmNoiseSettings noise;
  uint16_t dualTrace = 0;
  uint16_t displayType = kAbsolute;
  uint16_t chRelation = 0;  // 0 OFFSET, 1 SPACING
  int32_t refCh = 0;        // channel number from 1; 0 HIGHEST
  uint16_t outputSlope = 0;
  uint16_t pointDisplay = 1;
};

struct EdfaSettings {
  double thresh = 20.0;
  double modeDiff = 3.0;
  double offsetIn = 0.0;        // dB
  double offsetOut = 0.0;       // dB
  uint16_t aseAlgo = kAutoFix;  // AUTO-FIX to MANUAL-CTR
  double fitArea = 0.4;         // nm
  double maskArea = 0.2;        // nm
  uint16_t fitAlgo = kFitLinear;
  uint16_t pointDisplay = 1;
  uint16_t resBw = 0;  // 0 MEASURED, 1 CAL DATA
  uint16_t shotNoise = 1;
};

// One channel of the last WDM or EDFA-NF run (or of the OSNR part of DFB-LD).
struct WdmChannel {
  int32_t peak = 0;          // data index of the channel peak
  double centreIndex = 0.0;  // fractional index of the -3 dB centre
  double wavelength = 0.0;   // nm
  double level = -1.0;       // dBm, the noise removed (WDM)
  double noise = 0.0;        // dBm per NOISE BW (WDM)
  double snr = 0.0;          // dB (WDM)
  int32_t noiseLeft = 0, noiseRight = 0, maskLeft = 0, maskRight = 0;  // data indices
  // EDFA-NF
  double inputDbm = 0.0, outputDbm = 0.0, aseDbm = 0.0, resolutionNm = 0.0, gainDb = 0.0,
         nfDb = 0.0;
};

// Drift references and extremes of one channel number, kept over runs until MAX/MIN RESET.
struct WdmDrift {
  double refWavelength = 0.0, refLevel = 0.0;     // the measured reference
  double gridDiffMax = 0.0, gridDiffMin = 0.0;    // nm, against the nominal grid
  double measDiffMax = 0.0, measDiffMin = 0.0;    // nm, against the measured reference
  double levelDiffMax = 0.0, levelDiffMin = 0.0;  // dB, against the reference level
};

constexpr int kMaxChannels = 1024;

struct WdmState {
  WdmSettings wdm;
  WdmSettings wdmWorking;  // the copy the last WDM run used
  EdfaSettings edfa;
  EdfaSettings edfaWorking;
  std::array<WdmChannel, kMaxChannels> channels{};
  int32_t count = 0;
  int32_t signalTrace = 0, noiseTrace = 0;  // of the last WDM run
  double slopeDbPerNm = 0.0, slopeDbPerThz = 0.0;
  std::array<WdmDrift, kMaxChannels> drift{};
  int32_t driftCount = 0;      // channels with a reference; 0 after MAX/MIN RESET
  std::vector<double> second;  // the noise (or output) trace's levels, a working buffer
};

}  // namespace vq
