// The areas of the instrument screen drawn by a pass: static layer, dynamic layer, overlays.
#pragma once

#include <cstdint>

namespace vq {

// Graph rectangles of the graph screen modes (0 single, 1 split, 2 and 3 the upper geometry).
struct GraphRect {
  int x, y, width, height;
};
constexpr int kGraphLeft = 47;
constexpr int kGraphWidth = 601;
constexpr GraphRect kGraphSingle = {kGraphLeft, 150, kGraphWidth, 401};
constexpr GraphRect kGraphUpper = {kGraphLeft, 150, kGraphWidth, 171};
constexpr GraphRect kGraphLower = {kGraphLeft, 380, kGraphWidth, 171};
constexpr int kFirstPageMode = 4;  // screen modes from here on are full-screen pages

// The soft-key column.
constexpr int kSoftKeyColumnX = 701;
constexpr int kSoftKeyColumnWidth = 99;

// Number of graphs of a screen mode (0 for full-screen pages) and their rectangles.
int GraphCount(int screenMode);
GraphRect GraphOf(int screenMode, int graph);

void DrawStaticAreas(uint32_t flags);
// The content over the static layer: entry window, message box, pop-up menu.
void DrawDynamicLayer();
bool DrawSpinner();  // false when nothing is drawn (no link)
void DrawOverlayMessage(int id);

}  // namespace vq
