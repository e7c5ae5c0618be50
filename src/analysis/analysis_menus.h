// The soft keys of the MARKER, PEAK SEARCH and ANALYSIS menus: their binding, and the painting
// the three menu files share.
#pragma once

#include <cstdint>
#include <string>

namespace vq {

void BindMarkerMenus();    // marker_menus.cpp: pages 13 to 15
void BindSearchMenus();    // search_menus.cpp: pages 19, 20 and 16
void BindAnalysisMenus();  // analysis_menus.cpp: pages 46 and 47

// Paints a key with a value line of its own, word `highlighted` marked (-1: none).
void PaintKeyValue(int slot, int16_t pressed, const std::string& value, int highlighted = -1);
// The value line of a switch: "     OFF ON" with the current state marked.
void PaintOnOff(int slot, int16_t pressed, bool on);
// Whether the key command is one of the arrows, which step an entry.
bool IsStepKey(int key);

}  // namespace vq
