// The memory slots in the state of `vqtool render`.
#pragma once

#include <nlohmann/json.hpp>

namespace vq {

// The 64 slots, each {"used": bool, "label": the slot's label without its trailing blanks}.
nlohmann::json MemoryJson();

}  // namespace vq
