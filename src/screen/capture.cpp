// Screen captures to BMP files and memory, and the printed hard copy.
#include <algorithm>
#include <cstring>

#include "instrument.h"
#include "platform/file_io.h"
#include "platform/image_files.h"
#include "platform/tiff_image.h"
#include "screen/renderer.h"

namespace vq {

int CaptureWidth() {
  return GInstrument->screen.hardCopySoftKeys ? kScreenWidth : 700;
}

namespace {

enum class ImageKind { Bmp, Png, Tiff };

// A full redraw into the back buffer without showing it, encoded as BMP, PNG or TIFF; 0 or the
// message code of the failure (121 when the screen could not be drawn).
int CaptureImage(const std::string& path, int width, ImageKind kind) {
  Instrument& g = *GInstrument;
  constexpr int kNotDrawn = 121;
  if (width != kScreenWidth && width != 700) return kNotDrawn;
  std::vector<uint8_t> bytes;
  {
    std::lock_guard<std::recursive_mutex> lock(g.frame.screenLock);
    const int passesBefore = g.screen.passesDrawn;
    g.screen.presentSuppressed = true;
    g.frame.redrawFlags = kRedrawAll;
    RedrawScreen(true, false);
    g.screen.presentSuppressed = false;
    if (g.screen.passesDrawn == passesBefore) return kNotDrawn;  // the device was not ready
    const Surface& s = g.screen.backBuffer;
    bytes = kind == ImageKind::Png    ? EncodePng(s, width, kScreenHeight)
            : kind == ImageKind::Tiff ? EncodeTiff(s, width, kScreenHeight)
                                      : EncodeBmp(s, width, kScreenHeight);
  }
  g.frame.redrawFlags = kRedrawAll;
  if (bytes.empty()) return kNotDrawn;
  return WriteFileBytes(path, bytes);
}

}  // namespace

bool CaptureToFile(const std::string& path, int width) {
  return CaptureImage(path, width, ImageKind::Bmp) == 0;
}

bool CaptureToPngFile(const std::string& path, int width) {
  return CaptureImage(path, width, ImageKind::Png) == 0;
}

int WriteScreenImage(const std::string& path, bool tiff) {
  return CaptureImage(path, CaptureWidth(), tiff ? ImageKind::Tiff : ImageKind::Bmp);
}

bool CaptureToMemory(size_t* size, uint8_t* buffer, int width) {
  Instrument& g = *GInstrument;
  std::vector<uint8_t> bmp;
  {
    std::lock_guard<std::recursive_mutex> lock(g.frame.screenLock);
    if (!g.screen.frameCopy.Exists()) return false;
    bmp = EncodeBmp(g.screen.frameCopy, std::clamp(width, 1, kScreenWidth), kScreenHeight);
  }
  if (bmp.size() >= *size) return false;
  std::memcpy(buffer, bmp.data(), bmp.size());
  *size = bmp.size();
  return true;
}

int PrintScreen() {
  Instrument& g = *GInstrument;
  std::vector<uint8_t> bmp(kScreenWidth * kScreenHeight * 3 + 1024);
  size_t size = bmp.size();
  if (!CaptureToMemory(&size, bmp.data(), CaptureWidth())) return -1;
  bmp.resize(size);
  return g.host->PrintImage(bmp, "VQ7000");
}

}  // namespace vq
