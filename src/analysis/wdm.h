// The WDM and EDFA-NF analyses: channel detection, channel wavelength and level, noise areas,
// the noise fit, the per-channel results, the display types and the output slope.
#pragma once

#include <cstdint>

#include "state/wdm_state.h"

namespace vq {

// The OSNR part of DFB-LD: the WDM channel detection and noise algorithm on a trace with THRESH =
// the main mode's level + 100 dB and DISPLAY MASK -100 dBm; the SNR (dB) of the channel whose
// peak index is mainIndex. 0, or 103 when the run fails or no channel has that index (the
// channel table is then emptied).
int DfbLdOsnr(int trace, int32_t mainIndex, const WdmNoiseSettings& settings, double& osnrDb);

}  // namespace vq
