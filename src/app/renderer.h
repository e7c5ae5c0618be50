// The screen renderer: device management, colour schemes, the drawing pass, overlays, captures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

// RedrawFlags bits.
constexpr uint32_t kRedrawBackground = 0x1;   // background, logo, top panels, marker row
constexpr uint32_t kRedrawGraphFrames = 0x6;  // graph frames and scales
constexpr uint32_t kRedrawDynamic = 0x8;      // dynamic layer, set after any static change
constexpr uint32_t kRedrawConditions = 0x10;  // condition and data area
constexpr uint32_t kRedrawClock = 0x20;
constexpr uint32_t kRedrawTraceLabels = 0x40;   // trace label boxes beside the graphs
constexpr uint32_t kRedrawDynamicOnly = 0x100;  // sweeps, markers, pop-up menu, spinner
constexpr uint32_t kRedrawSoftKeys = 0x1000;
constexpr uint32_t kRedrawSoftKeyPath = 0x2000;
constexpr uint32_t kRedrawGraphLabels = 0x7F0000;  // labels around the graphs, status column
constexpr uint32_t kRedrawStaticMask = 0x7F3077;
static_assert(kRedrawStaticMask ==
                  (kRedrawBackground | kRedrawGraphFrames | kRedrawConditions | kRedrawClock |
                   kRedrawTraceLabels | kRedrawSoftKeys | kRedrawSoftKeyPath | kRedrawGraphLabels),
              "the static mask is the union of the static areas");

constexpr int kOverlaySpinner = 14;
constexpr int kOverlayShutDown = 7;

// Colour schemes 0 to 4 are colour, 5 black and white, 6 the print scheme.
constexpr int kSchemeCount = 7;
constexpr int kSchemeMono = 5;
constexpr int kSchemePrint = 6;

// Device management. StartDevice: true on success.
bool StartDevice();
void StopDevice();
// 1 ready, 0 not ready (try later), 2 ready after the device was made anew.
int DeviceCheck(bool* restored);

// The drawing pass; see renderer.cpp.
void RedrawScreen(bool fullPass, bool overlayOnly);
void ShowOverlay(int id);
void DrawSpinnerNow();  // the busy thread's overlay-only pass

// Colour schemes and slots.
void BuildColourSchemes();
void SelectColourScheme(int scheme);
void SetColour(int slot, int red, int green, int blue, bool translucent);
uint32_t PaletteIndexToArgb(int paletteIndex);

// Overlay message texts by id (0 to 11).
std::string OverlayText(int id);

// Captures. CaptureToFile: true when the BMP was written; a failed capture leaves no file.
bool CaptureToFile(const std::string& path, int width);
bool CaptureToPngFile(const std::string& path, int width);  // the tools' screenshots
bool CaptureToMemory(size_t* size, uint8_t* buffer, int width);
int CaptureWidth();  // 800 with the hard-copy soft-key option, else 700
int PrintScreen();   // 0 printed, -1 cancelled or failed

// The clock text drawn at the top of the screen.
std::string ClockText();

}  // namespace vq
