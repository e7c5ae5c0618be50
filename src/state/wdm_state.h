// State of the WDM and EDFA-NF analyses: settings, the channel table, the drift references.
#pragma once

#include <cstdint>

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

// Settings, the channel table and the drift references; filled by the WDM and EDFA-NF analyses.
struct WdmState {};

}  // namespace vq
