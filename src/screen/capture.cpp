// Screen captures to BMP files and memory, and the printed hard copy.
#include <algorithm>
#include <cstring>

#include "instrument.h"
#include "platform/image_files.h"
#include "screen/renderer.h"

namespace vq {

int CaptureWidth() {
  return GInstrument->screen.hardCopySoftKeys ? kScreenWidth : 700;
}

namespace {

// A full redraw into the back buffer without showing it, encoded as BMP or PNG.
bool CaptureImage(const std::string& path, int width, bool png) {
  Instrument& g = *GInstrument;
  if (width != kScreenWidth && width != 700) return false;
  std::vector<uint8_t> bytes;
  {
    std::lock_guard<std::recursive_mutex> lock(g.frame.screenLock);
    const int passesBefore = g.screen.passesDrawn;
    g.screen.presentSuppressed = true;
    g.frame.redrawFlags = kRedrawAll;
    RedrawScreen(true, false);
    g.screen.presentSuppressed = false;
    if (g.screen.passesDrawn == passesBefore) return false;  // the device was not ready
    bytes = png ? EncodePng(g.screen.backBuffer, width, kScreenHeight)
                : EncodeBmp(g.screen.backBuffer, width, kScreenHeight);
  }
  g.frame.redrawFlags = kRedrawAll;
  return WriteFileAtomic(path, bytes);
}

}  // namespace

bool CaptureToFile(const std::string& path, int width) {
  return CaptureImage(path, width, false);
}

bool CaptureToPngFile(const std::string& path, int width) {
  return CaptureImage(path, width, true);
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
