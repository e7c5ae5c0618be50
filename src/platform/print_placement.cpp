// Placement of a printed screen image on the page.
#include <cassert>

#include "platform/host.h"

namespace vq {

PrintRect PrintPlacement(int pageWidth, int physicalOffsetX, int imageWidth, int imageHeight) {
  assert(pageWidth > 0 && imageWidth > 0 && imageHeight > 0 && "print sizes must be positive");
  constexpr double kMarginFraction = 10.0 / 33.0;  // 0.30303030303030304
  // Everything is worked out in double and truncated toward zero only at the end, as a C cast
  // does; the height follows the unrounded width.
  const double margin = pageWidth * kMarginFraction;
  const double width = pageWidth - margin;
  const double height = width * imageHeight / imageWidth;
  const double corner = margin / 2 - physicalOffsetX;
  PrintRect rect;
  rect.x = static_cast<int>(corner);
  rect.y = static_cast<int>(corner);
  rect.width = static_cast<int>(width);
  rect.height = static_cast<int>(height);
  return rect;
}

}  // namespace vq
