// The screen renderer: device management, colour schemes, the drawing pass, overlays, captures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

constexpr int kOverlaySpinner = 14;
constexpr int kOverlayShutDown = 7;

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
// The FILE menu's GRAPHICS item: the screen as a BMP or TIFF file; 0 or a message code.
int WriteScreenImage(const std::string& path, bool tiff);
int PrintScreen();   // 0 printed, -1 cancelled or failed

// The clock text drawn at the top of the screen.
std::string ClockText();

}  // namespace vq
