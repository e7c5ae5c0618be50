// The drawing pass over RedrawFlags, device management and colour schemes.
#include "screen/renderer.h"

#include <cassert>
#include <cstring>

#include "draw/primitives.h"
#include "instrument.h"
#include "resources/colour_tables.h"
#include "resources/fonts.h"
#include "screen/screen_areas.h"

namespace vq {

namespace {

constexpr int kLogoWidth = 89;
constexpr int kLogoHeight = 16;

// The three logo pictures: colour schemes, the black-and-white scheme, the print scheme.
void MakeLogo(Surface& logo, uint32_t background, uint32_t foreground) {
  logo.Allocate(kLogoWidth, kLogoHeight);
  std::fill(logo.pixels.begin(), logo.pixels.end(), background);
  const char* text = kModelName;
  const int textWidth = static_cast<int>(std::strlen(text)) * kFontNormal.width + 1;
  const int left = (kLogoWidth - textWidth) / 2;
  for (int i = 0; text[i]; ++i) {
    const uint8_t* rows = GlyphBits(kFontNormal, static_cast<unsigned char>(text[i]));
    for (int r = 0; r < kFontNormal.height; ++r) {
      for (int b = 0; b < kFontNormal.width; ++b) {
        if (!(rows[r] & (0x80u >> b))) continue;
        // Drawn twice, one pixel apart, for a bold face.
        for (int bold = 0; bold < 2; ++bold) {
          const int x = left + i * kFontNormal.width + b + bold, y = 2 + r;
          if (x < kLogoWidth && y < kLogoHeight) logo.pixels[y * kLogoWidth + x] = foreground;
        }
      }
    }
  }
  // A rule under the name.
  for (int x = 2; x < kLogoWidth - 2; ++x) logo.pixels[15 * kLogoWidth + x] = foreground;
}

void CreateResources() {
  ScreenState& screen = GInstrument->screen;
  screen.staticLayer.Allocate();
  screen.frameCopy.Allocate();
  screen.backBuffer.Allocate();
  MakeLogo(screen.logos[0], 0xFF000099u, 0xFFFFFFFFu);
  MakeLogo(screen.logos[1], 0xFF000000u, 0xFFFFFFFFu);
  MakeLogo(screen.logos[2], 0xFFFFFFFFu, 0xFF000000u);
}

void ReleaseResources() {
  ScreenState& screen = GInstrument->screen;
  screen.staticLayer.Release();
  screen.frameCopy.Release();
  screen.backBuffer.Release();
  for (Surface& logo : screen.logos) logo.Release();
  screen.target = nullptr;
}

void CopySurface(const Surface& from, Surface& to) {
  std::memcpy(to.pixels.data(), from.pixels.data(), from.pixels.size() * sizeof(uint32_t));
}

void Present() {
  Instrument& g = *GInstrument;
  if (g.screen.presentSuppressed) return;
  ++g.screen.device.presents;
  g.host->Present(g.screen.backBuffer);
}

}  // namespace

bool StartDevice() {
  Device& device = GInstrument->screen.device;
  ++device.starts;
  if (device.failNextStarts > 0) {
    --device.failNextStarts;
    return false;
  }
  CreateResources();
  device.created = true;
  device.condition = DeviceCondition::Ready;
  return true;
}

void StopDevice() {
  Device& device = GInstrument->screen.device;
  ReleaseResources();
  device.created = false;
}

int DeviceCheck(bool* restored) {
  Instrument& g = *GInstrument;
  ScreenState& screen = g.screen;
  Device& device = screen.device;
  if (!device.created) {
    screen.wasNotReady = true;
    return 0;
  }
  int result = 1;
  switch (device.condition) {
    case DeviceCondition::Ready:
      break;
    case DeviceCondition::Lost:
      screen.wasNotReady = true;
      return 0;
    case DeviceCondition::NeedsReset:
      ReleaseResources();
      ++device.resets;
      *restored = true;
      if (device.failNextResets > 0) {
        --device.failNextResets;
        device.condition = DeviceCondition::Broken;
      } else {
        device.condition = DeviceCondition::Ready;
        CreateResources();
        break;
      }
      [[fallthrough]];
    case DeviceCondition::Broken:
      *restored = true;
      StopDevice();
      g.host->Sleep(1000);
      if (!StartDevice()) {
        screen.wasNotReady = true;
        g.host->MessageBox("DirectX Failed.  \n", "ERROR", BoxButtons::Ok);
        CloseWindowNow();
        return 0;
      }
      result = 2;
      break;
  }
  if (screen.wasNotReady) {
    screen.wasNotReady = false;
    g.frame.redrawFlags = kRedrawAll;
  }
  return result;
}

void RedrawScreen(bool fullPass, bool overlayOnly) {
  Instrument& g = *GInstrument;
  ScreenState& screen = g.screen;
  std::lock_guard<std::recursive_mutex> lock(g.frame.screenLock);

  const bool wasNotReady = screen.wasNotReady;
  bool restored = false;
  if (DeviceCheck(&restored) == 0) {
    g.frame.redrawFlags = 0;
    return;
  }
  if (wasNotReady || restored) {
    g.frame.redrawFlags = kRedrawAll;
    overlayOnly = false;
  } else if (g.frame.redrawFlags == 0 && !overlayOnly) {
    return;
  }

  bool drawn = false;
  if (!overlayOnly) {
    // Take the pending areas; bits set meanwhile by the busy thread stay for the next pass.
    uint32_t flags = fullPass ? g.frame.redrawFlags.exchange(0) : g.frame.redrawFlags.load();
    if (flags & kRedrawStaticMask) {
      screen.target = &screen.staticLayer;
      screen.blending = false;
      DrawStaticAreas(flags);
      flags = (flags & ~kRedrawStaticMask) | kRedrawDynamic;
    }
    if (flags & (kRedrawDynamic | kRedrawDynamicOnly)) {
      CopySurface(screen.staticLayer, screen.backBuffer);
      screen.target = &screen.backBuffer;
      screen.blending = true;
      DrawDynamicLayer();
      CopySurface(screen.backBuffer, screen.frameCopy);
      drawn = true;
    }
  } else {
    screen.target = &screen.backBuffer;
    screen.blending = true;
    const int overlay = screen.overlayId;
    if (overlay == kOverlaySpinner) {
      drawn = DrawSpinner();
    } else if (overlay >= 0) {
      DrawOverlayMessage(overlay);
      drawn = true;
    }
  }
  screen.target = nullptr;
  screen.blending = false;
  if (drawn) {
    ++screen.passesDrawn;
    if (fullPass || overlayOnly) Present();
  }
}

void ShowOverlay(int id) {
  Instrument& g = *GInstrument;
  {
    // The id is set and reset under the lock, so the busy thread's spinner never sees it.
    std::lock_guard<std::recursive_mutex> lock(g.frame.screenLock);
    g.screen.overlayId = id;
    RedrawScreen(true, true);
    g.screen.overlayId = -1;
  }
  g.host->Sleep(100);
}

void DrawSpinnerNow() {
  Instrument& g = *GInstrument;
  std::lock_guard<std::recursive_mutex> lock(g.frame.screenLock);
  g.screen.overlayId = kOverlaySpinner;
  RedrawScreen(true, true);
  g.screen.overlayId = -1;
}

uint32_t PaletteIndexToArgb(int paletteIndex) {
  assert(paletteIndex >= 10 && paletteIndex <= 225 && "palette index outside the colour cube");
  const int v = paletteIndex - 10;
  const uint32_t r = 51u * (v / 36), gr = 51u * ((v / 6) % 6), b = 51u * (v % 6);
  return 0xFF000000u | (r << 16) | (gr << 8) | b;
}

void BuildColourSchemes() {
  ScreenState& screen = GInstrument->screen;
  for (int s = 0; s < kSchemeCount; ++s) screen.schemes[s] = BuiltInColourSet(s);
}

void SetColour(int slot, int red, int green, int blue, bool translucent) {
  assert(slot >= 0 && slot < kColourSlots && "colour slot out of range");
  const uint32_t a = translucent ? 0x7Du : 0xFFu;
  GInstrument->screen.colours[slot] = (a << 24) | (static_cast<uint32_t>(red & 0xFF) << 16) |
                                      (static_cast<uint32_t>(green & 0xFF) << 8) |
                                      static_cast<uint32_t>(blue & 0xFF);
}

void SelectColourScheme(int scheme) {
  assert(scheme >= 0 && scheme < kSchemeCount && "colour scheme out of range");
  ScreenState& screen = GInstrument->screen;
  screen.scheme = scheme;
  for (int i = 0; i < kPaletteSlots; ++i) {
    screen.colours[i] = PaletteIndexToArgb(screen.schemes[scheme][i]);
  }
  // The translucent copies of the graph and window backgrounds.
  for (auto [slot, from] : {std::pair{kSlotWaveBackAlt, kSlotWaveBack},
                            std::pair{kSlotIntWinBackAlt, kSlotIntWinBack}}) {
    const uint32_t c = screen.colours[from];
    SetColour(slot, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, true);
  }
}

}  // namespace vq
