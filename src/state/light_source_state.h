// State of the light-source analyses: SMSR, POWER, PMD, COLOR, DFB-LD, FP-LD and LED.
#pragma once

#include <cstdint>

namespace vq {

// Settings, working copies and results; filled by the light-source analyses.
struct LightSourceState {};

}  // namespace vq
