// The memory slots in the state of `vqtool render`.
#include "memory_json.h"

#include <cstring>
#include <string>

#include "instrument.h"

namespace vq {

nlohmann::json MemoryJson() {
  const MemoryState& m = GInstrument->memory;
  nlohmann::json slots = nlohmann::json::array();
  for (const MemorySlot& s : m.slot) {
    std::string label;
    if (s.used == 1) {
      label.assign(s.condition.label, strnlen(s.condition.label, sizeof s.condition.label));
      while (!label.empty() && label.back() == ' ') label.pop_back();
    }
    slots.push_back({{"used", s.used == 1}, {"label", label}});
  }
  return slots;
}

}  // namespace vq
