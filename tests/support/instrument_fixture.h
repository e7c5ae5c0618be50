// Test fixture: an instrument started on a headless host in a fresh configuration folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "frame/key_names.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "resources/fonts.h"
#include "screen/renderer.h"

namespace vq {

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vqtest_XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing '/', ready to take a file name.
  std::string Path() const { return path_ + "/"; }

 private:
  std::string path_;
};

class InstrumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(home.Path(), "/");
    host.realSleep = false;  // waits are counted, not slept
    context = CreateInstrument(host);
  }

  void TearDown() override {
    if (!context) return;
    if (GInstrument == context.get() && host.created && !g().frame.windowDestroyed) {
      WindowProc(WM_CLOSE, 0, 0);
    }
    DestroyInstrument(context);
  }

  // Starts the instrument as the viewer does (without the single-instance rule) and runs the
  // loop until it would block.
  void Start() {
    result = StartUp(host, {home.Path(), false});
    if (result.running) {
      const bool settled = PumpUntilIdle(host);
      ASSERT_TRUE(settled) << "the loop never settled";
    }
  }

  // Presses keys by their names (as vqtool names keys), one after the other, each time running
  // the loop until it settles.
  template <typename... More>
  void Press(const char* name, More... more) {
    const int command = KeyNameCommand(name);
    ASSERT_NE(command, 0) << name;
    WindowProc(WM_COMMAND, static_cast<uintptr_t>(command), 0);
    PumpUntilIdle(host);
    if constexpr (sizeof...(more) > 0) Press(more...);
  }

  // Types characters (digits, '.', '-') as the keyboard sends them, each time running the loop.
  void Type(const std::string& text) {
    for (char c : text) {
      WindowProc(WM_CHAR, static_cast<uintptr_t>(static_cast<unsigned char>(c)), 0);
      PumpUntilIdle(host);
    }
  }

  // The graph window 1500 to 1600 nm with -10 dBm at the top and 10 dB/D.
  MeasCondition& ShowWindow1500To1600() {
    MeasCondition& c = GInstrument->conditions.setting;
    c.start = 1500, c.stop = 1600, c.span = 100, c.centre = 1550;
    c.refLevel = -10, c.logScale = 10, c.frequencyMode = 0;
    return c;
  }

  Instrument& g() { return *GInstrument; }

  // The pixel a slot writes with blending off.
  uint32_t Slot(int slot) { return g().screen.colours[slot] | 0xFF000000u; }

  // Gives every slot a colour of its own, so that a pixel tells which slot drew it.
  void DistinctSlotColours() {
    for (int i = 0; i < 88; ++i) SetColour(i, i + 1, 200 - i, 7, false);
  }

  HeadlessHost host;
  TempFolder home;
  std::unique_ptr<Instrument> context;
  StartResult result;
};

// An instrument started as the viewer starts it, for tests of a running screen.
class StartedInstrumentTest : public InstrumentTest {
 protected:
  void SetUp() override {
    InstrumentTest::SetUp();
    Start();
    ASSERT_TRUE(result.running);
  }
};

// Compares a row of text cells with the font table: a set glyph bit in fg, an unset one in bg
// (bg 0: left alone, not checked). Returns "" when every pixel matches, else the first mismatch.
inline std::string TextMismatch(const Surface& s, const BitmapFont& font, int x, int y,
                                std::string_view text, uint32_t fg, uint32_t bg) {
  int glyphPixels = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const uint8_t* rows = GlyphBits(font, static_cast<unsigned char>(text[i]));
    for (int r = 0; r < font.height; ++r) {
      for (int b = 0; b < font.width; ++b) {
        const int px = x + static_cast<int>(i) * font.width + b, py = y + r;
        if (px < 0 || py < 0 || px >= s.width || py >= s.height) continue;
        const bool set = rows[r] & (0x80u >> b);
        glyphPixels += set;
        if (!set && bg == 0) continue;
        if (s.At(px, py) != (set ? fg : bg)) {
          return "pixel (" + std::to_string(px) + "," + std::to_string(py) + ") of '" +
                 std::string(1, text[i]) + "' is wrong";
        }
      }
    }
  }
  return glyphPixels > 0 ? "" : "the text has no glyph pixels to compare";
}

}  // namespace vq
