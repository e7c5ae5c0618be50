// The areas of the instrument screen drawn by a pass: static layer, dynamic layer, overlays.
#pragma once

#include <cstdint>

#include "state/screen_state.h"

namespace vq {

// Number of graphs of a screen mode (0 for full-screen pages) and their rectangles.
int GraphCount(int screenMode);
GraphRect GraphOf(int screenMode, int graph);

void DrawStaticAreas(uint32_t flags);
// The content over the static layer: entry window, message box, pop-up menu.
void DrawDynamicLayer();
bool DrawSpinner();  // false when nothing is drawn (no link)
void DrawOverlayMessage(int id);

}  // namespace vq
