// TIFF files of the screen (the FILE menu's GRAPHICS item), written through libtiff.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace vq {

// Encodes the region x 0 to width, y 0 to height of a surface as an uncompressed 8-bit RGB TIFF
// image; empty when libtiff fails.
std::vector<uint8_t> EncodeTiff(const Surface& surface, int width, int height);

}  // namespace vq
