// Tests of the screen renderer: colour schemes, pass rules, device recovery, layout, captures.
#include "screen/renderer.h"

#include <filesystem>
#include <set>
#include <tuple>

#include "platform/image_files.h"
#include "resources/colour_tables.h"
#include "screen/screen_areas.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

constexpr uint32_t Rgb(int r, int g, int b) {
  return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
         static_cast<uint32_t>(b);
}
constexpr uint32_t kScribble = 0xFF123456;

// A pixel and the slot that must have drawn it.
struct Probe {
  int x, y, slot;
};

class RendererTest : public StartedInstrumentTest {
 protected:
  template <size_t N>
  void ExpectProbes(const Probe (&probes)[N]) {
    for (const Probe& p : probes) EXPECT_EQ(Back().At(p.x, p.y), Slot(p.slot)) << p.x << "," << p.y;
  }
  Surface& Back() { return g().screen.backBuffer; }
  Surface& Static() { return g().screen.staticLayer; }
  void FullPass() {
    g().frame.redrawFlags = kRedrawAll;
    RedrawScreen(true, false);
  }
};

TEST_F(RendererTest, ColourSchemesComeFromTheBuiltInTables) {
  ASSERT_EQ(g().screen.scheme, 0);
  for (const ColourSlotInfo& s : kColourSlotTable) {
    EXPECT_EQ(g().screen.colours[s.key], Rgb(51 * s.red, 51 * s.green, 51 * s.blue)) << s.name;
  }
  auto translucentCopies = [&] {
    const auto& c = g().screen.colours;
    EXPECT_EQ(c[86], (c[3] & 0xFFFFFFu) | 0x7D000000u);
    EXPECT_EQ(c[87], (c[48] & 0xFFFFFFu) | 0x7D000000u);
  };
  translucentCopies();

  SelectColourScheme(kSchemePrint);
  EXPECT_EQ(g().screen.colours[kSlotWaveBack], Rgb(255, 255, 255));
  EXPECT_EQ(g().screen.colours[kSlotGrid], Rgb(0, 0, 0));
  translucentCopies();
  const auto print = g().screen.colours;
  SelectColourScheme(kSchemeMono);
  for (int i = 0; i < kPaletteSlots; ++i) {
    EXPECT_EQ(g().screen.colours[i], print[i] ^ 0xFFFFFFu) << "slot " << i;
  }
  translucentCopies();
}

TEST_F(RendererTest, APassWithNothingPendingDrawsAndPresentsNothing) {
  const int presents = host.presents;
  const auto back = Back().pixels;
  const auto layer = Static().pixels;
  ASSERT_EQ(g().frame.redrawFlags, 0u);
  RedrawScreen(true, false);
  EXPECT_EQ(host.presents, presents);
  EXPECT_TRUE(Back().pixels == back);
  EXPECT_TRUE(Static().pixels == layer);
  // A dynamic request composes and presents without touching the static layer.
  Static().pixels[300 * 800 + 300] = kScribble;
  g().frame.redrawFlags = kRedrawDynamicOnly;
  RedrawScreen(true, false);
  EXPECT_EQ(host.presents, presents + 1);
  EXPECT_EQ(Back().At(300, 300), kScribble);
  EXPECT_EQ(g().frame.redrawFlags, 0u);
}

TEST_F(RendererTest, ALostDeviceSkipsPassesAndTheFirstPassAfterRedrawsEverything) {
  Device& device = g().screen.device;
  const int presents = host.presents;
  Back().pixels[295 * 800 + 720] = kScribble;
  device.condition = DeviceCondition::Lost;
  g().frame.redrawFlags = kRedrawDynamicOnly | kRedrawClock;
  RedrawScreen(true, false);
  EXPECT_EQ(g().frame.redrawFlags, 0u);
  EXPECT_EQ(host.presents, presents);
  EXPECT_EQ(Back().At(720, 295), kScribble);
  EXPECT_TRUE(LoopMayBlock());

  // Back without a reset: a dynamic-only request still repaints the static areas.
  device.condition = DeviceCondition::Ready;
  Static().pixels[295 * 800 + 720] = kScribble;
  g().frame.redrawFlags = kRedrawDynamicOnly;
  RedrawScreen(true, false);
  EXPECT_EQ(host.presents, presents + 1);
  EXPECT_EQ(Static().At(720, 295), Rgb(51, 51, 102));
  EXPECT_EQ(Back().At(720, 295), Rgb(51, 51, 102));

  // Lost, then restored through a reset.
  device.condition = DeviceCondition::Lost;
  RedrawScreen(true, false);
  device.condition = DeviceCondition::NeedsReset;
  g().frame.redrawFlags = kRedrawDynamicOnly;
  RedrawScreen(true, false);
  EXPECT_EQ(device.resets, 1);
  EXPECT_EQ(host.presents, presents + 2);
  EXPECT_EQ(Back().At(720, 295), Rgb(51, 51, 102));  // soft-key column
  EXPECT_EQ(Back().At(300, 149), Rgb(0, 0, 51));     // graph bevel
  EXPECT_EQ(g().frame.redrawFlags, 0u);
}

TEST_F(RendererTest, ABrokenDeviceIsMadeAnewOrEndsTheProgram) {
  Device& device = g().screen.device;
  const int starts = device.starts, presents = host.presents;
  const int64_t slept = host.sleptMs;
  device.condition = DeviceCondition::Broken;
  g().frame.redrawFlags = kRedrawDynamicOnly;
  RedrawScreen(true, false);
  EXPECT_EQ(device.starts, starts + 1);
  EXPECT_EQ(host.sleptMs, slept + 1000);  // a pause before the new start
  EXPECT_EQ(host.presents, presents + 1);
  EXPECT_EQ(Back().At(720, 295), Rgb(51, 51, 102));
  EXPECT_FALSE(host.destroyed);

  // A failed reset is handled as a broken device; when starting fails too, the program ends.
  device.condition = DeviceCondition::NeedsReset;
  device.failNextResets = 1;
  device.failNextStarts = 1;
  RedrawScreen(true, false);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "DirectX Failed.  \n");
  EXPECT_EQ(host.boxes[0].caption, "ERROR");
  EXPECT_TRUE(host.destroyed && host.quit);
}

TEST_F(RendererTest, EveryAreaUsesItsSlot) {
  DistinctSlotColours();
  FullPass();
  const Surface& s = Back();
  ExpectProbes({{0, 0, 28},     {700, 599, 28}, {701, 0, 28},   {799, 599, 28}, {8, 591, 28},
                {3, 20, 45},    {561, 92, 45},  {568, 20, 47},  {693, 92, 47},  {3, 97, 43},
                {648, 120, 43}, {100, 19, 82},  {2, 50, 82},    {100, 93, 81},  {562, 50, 81},
                {47, 150, 3},   {647, 550, 3},  {300, 149, 63}, {300, 148, 63}, {46, 300, 63},
                {45, 300, 63},  {300, 551, 64}, {300, 552, 64}, {648, 300, 64}, {649, 300, 64}});
  EXPECT_EQ(TextMismatch(s, kFontNormal, 558, 4, ClockText().substr(0, 4), Slot(29), Slot(28)), "");
  EXPECT_TRUE(g().screen.frameCopy.pixels == s.pixels);

  // Split mode: two graphs 171 high at y 150 and 380, background between them.
  g().screen.screenMode = 1;
  FullPass();
  const Probe split[] = {{300, 150, 3},  {300, 320, 3},  {300, 321, 64}, {300, 322, 64},
                         {300, 323, 28}, {300, 377, 28}, {300, 378, 63}, {300, 379, 63},
                         {45, 450, 63},  {300, 380, 3},  {647, 550, 3},  {300, 551, 64}};
  ExpectProbes(split);
  // A full-screen page has neither panels nor graphs of its own here.
  g().screen.screenMode = 4;
  FullPass();
  ExpectProbes({{300, 300, 28}, {100, 50, 28}});
}

TEST_F(RendererTest, OverlayMessageBoxAndItsTexts) {
  DistinctSlotColours();
  FullPass();
  const Surface& s = Back();
  const int presents = host.presents;
  const int64_t slept = host.sleptMs;
  ShowOverlay(7);
  EXPECT_EQ(host.presents, presents + 1);
  EXPECT_EQ(host.sleptMs, slept + 100);
  EXPECT_EQ(g().screen.overlayId, -1);
  // Outline in 30 from (328, 474) to (628, 514); the double-framed box 332, 478, 293 by 33;
  // the graph around it is left as it was.
  const Probe box[] = {{328, 474, 30}, {628, 514, 30}, {327, 494, 3},  {629, 494, 3},
                       {340, 495, 48}, {331, 494, 49}, {625, 494, 82}, {329, 494, 81}};
  ExpectProbes(box);
  EXPECT_EQ(TextMismatch(s, kFontNormal, 383, 481, "VQ7000B is shutting down.", Slot(73), Slot(74)),
            "");
  EXPECT_EQ(TextMismatch(s, kFontNormal, 383, 497, "Please wait.....", Slot(73), Slot(74)), "");

  // The other texts start at x 399 (messages 0 and 6) or 415.
  const std::tuple<int, int, const char*> others[] = {{0, 399, "Directory searching!"},
                                                      {11, 415, "Now Update"}};
  for (auto [id, x, text] : others) {
    FullPass();
    ShowOverlay(id);
    EXPECT_EQ(TextMismatch(s, kFontNormal, x, 481, text, Slot(73), Slot(74)), "") << id;
  }
}

TEST_F(RendererTest, SpinnerOnlyWhileConnectedAndAlongItsAngle) {
  const Surface& s = Back();
  const uint32_t back = Slot(28), line = Slot(29);
  const int presents = host.presents;
  Back().pixels[582 * 800 + 2] = kScribble;
  g().frame.busyAngle = 0;
  DrawSpinnerNow();
  EXPECT_EQ(host.presents, presents);
  EXPECT_EQ(s.At(2, 582), kScribble);

  g().link.connected = 1;
  // Lit pixels of the spinner's box x 1 to 15, y 580 to 597, as a set of "x,y".
  using Pixels = std::set<std::pair<int, int>>;
  auto lit = [&] {
    Pixels on;
    for (int y = 580; y < 598; ++y) {
      for (int x = 1; x < 16; ++x) {
        if (s.At(x, y) == line)
          on.insert({x, y});
        else
          EXPECT_EQ(s.At(x, y), back) << x << "," << y;
      }
    }
    return on;
  };
  DrawSpinnerNow();  // 0 degrees: upright, x 9 from y 588 to 596
  EXPECT_EQ(host.presents, presents + 1);
  Pixels upright, level;
  for (int i = 0; i <= 8; ++i) upright.insert({9, 588 + i}), level.insert({5 + i, 592});
  EXPECT_EQ(lit(), upright);
  g().frame.busyAngle = 90;  // level, y 592 from x 5 to 13
  DrawSpinnerNow();
  EXPECT_EQ(lit(), level);

  g().frame.busyAngle = -1;  // hidden: the box is only cleared
  DrawSpinnerNow();
  EXPECT_TRUE(lit().empty());
  EXPECT_EQ(g().screen.overlayId, -1);
}

TEST_F(RendererTest, CapturesMatchTheBackBufferAndFailWithoutAFile) {
  const std::string path = home.Path() + "screen.bmp";
  const int presents = host.presents;
  for (int width : {800, 700}) {
    SCOPED_TRACE(width);
    ASSERT_TRUE(CaptureToFile(path, width));
    EXPECT_EQ(host.presents, presents);  // captured, not shown
    std::vector<uint8_t> bytes;
    Surface image;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    ASSERT_TRUE(DecodeBmp(bytes, image));
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, 600);
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < width; ++x) {
        ASSERT_EQ(image.At(x, y) & 0xFFFFFFu, Back().At(x, y) & 0xFFFFFFu) << x << "," << y;
      }
    }
  }
  // After a capture the screen is drawn again.
  ASSERT_TRUE(PumpUntilIdle(host));
  EXPECT_EQ(host.presents, presents + 1);

  const std::string other = home.Path() + "other.bmp";
  EXPECT_FALSE(CaptureToFile(other, 640));
  EXPECT_FALSE(CaptureToFile(home.Path() + "missing/screen.bmp", 800));
  g().screen.device.condition = DeviceCondition::Lost;
  EXPECT_FALSE(CaptureToFile(other, 800));
  EXPECT_FALSE(CaptureToFile(path, 800));  // the good file stays as it was
  g().screen.device.condition = DeviceCondition::Ready;
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_EQ(std::filesystem::file_size(path), 54u + 700 * 3 * 600);
  // Besides the condition logs and the user folder, only the one capture and no temporary file.
  int images = 0;
  for (const auto& entry : std::filesystem::directory_iterator(home.Path())) {
    const std::string name = entry.path().filename().string();
    if (name != "SystemLog.txt" && name != "error.log" && name != "UserData") ++images;
  }
  EXPECT_EQ(images, 1);
}

TEST_F(RendererTest, CaptureToMemoryNeedsRoomForTheWholeImage) {
  std::vector<uint8_t> buffer(2'000'000, 0xAB);
  size_t size = 1000;
  EXPECT_FALSE(CaptureToMemory(&size, buffer.data(), 700));
  EXPECT_EQ(size, 1000u);
  EXPECT_EQ(buffer[0], 0xAB);

  const size_t bmpSize = 54u + 700 * 3 * 600;
  size = bmpSize;  // the image must be smaller than the room given
  EXPECT_FALSE(CaptureToMemory(&size, buffer.data(), 700));
  size = bmpSize + 1;
  ASSERT_TRUE(CaptureToMemory(&size, buffer.data(), 700));
  EXPECT_EQ(size, bmpSize);
  Surface image;
  ASSERT_TRUE(DecodeBmp({buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(size)}, image));
  EXPECT_EQ(image.width, 700);
  EXPECT_EQ(image.At(300, 149) & 0xFFFFFFu, g().screen.frameCopy.At(300, 149) & 0xFFFFFFu);
  EXPECT_EQ(image.At(699, 0) & 0xFFFFFFu, 0x333366u);
}

}  // namespace
}  // namespace vq
