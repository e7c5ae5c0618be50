// Software drawing surfaces and the device object that stands in for the graphics device.
#pragma once

#include <cstdint>
#include <vector>

namespace vq {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// An 800 by 600 picture of 32-bit pixels 0xAARRGGBB (alpha unused: X8R8G8B8).
struct Surface {
  int width = kScreenWidth;
  int height = kScreenHeight;
  std::vector<uint32_t> pixels;

  void Allocate(int w = kScreenWidth, int h = kScreenHeight) {
    width = w;
    height = h;
    pixels.assign(static_cast<size_t>(w) * h, 0xFF000000u);
  }
  void Release() { pixels = {}; }
  bool Exists() const { return !pixels.empty(); }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What the device reports when it is tested before a pass.
enum class DeviceCondition {
  Ready,       // drawing works
  Lost,        // another program owns the display: skip drawing, test again later
  NeedsReset,  // the display came back: resources must be released and made again
  Broken,      // anything else: the device must be created anew
};

// The device object. Tests mark it lost, needing a reset or broken, and make starts and
// resets fail, to drive the renderer's recovery paths.
struct Device {
  bool created = false;
  DeviceCondition condition = DeviceCondition::Ready;
  int failNextStarts = 0;  // so many coming starts fail
  int failNextResets = 0;  // so many coming resets fail
  int starts = 0;          // counters for tests and diagnostics
  int resets = 0;
  int presents = 0;
};

}  // namespace vq
