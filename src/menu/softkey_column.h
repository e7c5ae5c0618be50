// Painting of the soft-key column: the nine keys, their labels, joining bars and the page path.
#pragma once

#include <cstdint>

namespace vq {

constexpr int kSoftKeyBoxX = 707;
constexpr int kSoftKeyBoxWidth = 91;
constexpr int kSoftKeyBoxHeight = 46;
constexpr int kListLayoutX = 23;

// The top of a key's box: 20 + 56 x slot, the ninth key at 551 (in the list layout 115 + 53 x
// slot).
int SoftKeyBoxY(int slot, bool listLayout = false);

// Paints the column (bits 12 and 13 of the redraw flags) into the current target.
void PaintSoftKeyColumn();

// The standard label painter of the nodes that have none of their own.
void StandardLabelPainter(int slot, int16_t pressed);

// Fills the nine slot records with the label texts without drawing (capture mode).
void CaptureSoftKeyLabels();

}  // namespace vq
