// State of the filter analyses: FILTER-PK, FILTER-BTM, WDM FIL-PK and WDM FIL-BTM.
#pragma once

#include <cstdint>

namespace vq {

// Settings, working copies, results and the filter channel table; filled by the filter analyses.
struct FilterState {};

}  // namespace vq
