// Decodes a PNG with libpng into a surface, for checking the PNG encoder from the outside.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace vq {

// False when libpng refuses the data.
inline bool DecodePng(const std::vector<uint8_t>& data, Surface& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
  out.Allocate(image.width, image.height);
  for (size_t i = 0; i < out.pixels.size(); ++i)
    out.pixels[i] = 0xFF000000u | rgb[i * 3] << 16 | rgb[i * 3 + 1] << 8 | rgb[i * 3 + 2];
  return true;
}

}  // namespace vq
