// Pixel tests of the drawing primitives on a surface of their own.
#include "draw/primitives.h"

#include <string>

#include "resources/colour_tables.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

constexpr uint32_t kPaper = 0xFF102030;  // what the surface holds before a primitive draws

class PrimitivesTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    DistinctSlotColours();
    paper.Allocate();
    std::fill(paper.pixels.begin(), paper.pixels.end(), kPaper);
    // The test plays the drawing pass.
    g().screen.target = &paper;
    g().screen.blending = false;
  }
  void TearDown() override {
    g().screen.target = nullptr;
    InstrumentTest::TearDown();
  }
  uint32_t At(int x, int y) { return paper.At(x, y); }
  // Each listed pixel holds `pixel`.
  void ExpectAll(std::initializer_list<std::pair<int, int>> points, uint32_t pixel) {
    for (auto [x, y] : points) EXPECT_EQ(At(x, y), pixel) << x << "," << y;
  }

  Surface paper;
};

TEST_F(PrimitivesTest, FillRectCoversExactlyItsExtentAndClipsAtTheEdges) {
  FillRect(10, 20, 5, 3, 7);
  for (int y = 20; y < 23; ++y) {
    for (int x = 10; x < 15; ++x) EXPECT_EQ(At(x, y), Slot(7)) << x << "," << y;
  }
  FillRect(100, 100, 0, 5, 7);  // nothing to fill
  // Rectangles reaching past the surface keep the part inside it.
  FillRect(-5, -5, 8, 8, 8);
  FillRect(795, 595, 20, 20, 9);
  ExpectAll(
      {{9, 20}, {15, 20}, {10, 19}, {10, 23}, {14, 23}, {15, 22}, {100, 100}, {3, 0}, {794, 599}},
      kPaper);
  ExpectAll({{0, 0}, {2, 2}}, Slot(8));
  EXPECT_EQ(At(799, 599), Slot(9));
}

TEST_F(PrimitivesTest, PanelFramesLieOnePixelOutsideTheFill) {
  // Slots expected at mid-edge: top, bottom, left, right.
  struct Frame {
    int style, top, bottom, left, right;
  };
  const Frame frames[] = {{0, 81, 82, 81, 82}, {1, 82, 81, 82, 81}, {2, 60, 60, 60, 60},
                          {3, 49, 82, 49, 82}, {4, 82, 82, 82, 82}, {5, 60, 60, 60, 60}};
  for (const Frame& f : frames) {
    SCOPED_TRACE("style " + std::to_string(f.style));
    std::fill(paper.pixels.begin(), paper.pixels.end(), kPaper);
    Panel(100, 100, 20, 10, 45, f.style);  // fill x 100 to 119, y 100 to 109
    ExpectAll({{100, 100}, {119, 109}, {110, 105}}, Slot(45));
    EXPECT_EQ(At(110, 99), Slot(f.top));
    EXPECT_EQ(At(110, 110), Slot(f.bottom));
    EXPECT_EQ(At(99, 105), Slot(f.left));
    EXPECT_EQ(At(120, 105), Slot(f.right));
    if (f.style == 2) {
      // The shadow: one more line right and below.
      ExpectAll({{110, 111}, {121, 105}}, Slot(62));
      ExpectAll({{110, 98}, {98, 105}, {110, 112}}, kPaper);
    } else if (f.style == 3) {
      // Two outlines in 81 at 2 and 3 pixels out.
      ExpectAll({{110, 98}, {110, 111}, {98, 105}, {121, 105}}, Slot(81));
      ExpectAll({{110, 97}, {110, 112}, {97, 105}, {122, 105}}, Slot(81));
      ExpectAll({{110, 96}, {123, 105}}, kPaper);
    } else {
      ExpectAll({{110, 98}, {110, 111}, {98, 105}, {121, 105}}, kPaper);
    }
  }
}

TEST_F(PrimitivesTest, AlternateFillReplacesOnlyTheBackgroundsInColourSchemes) {
  const int kAlt = 0x80 | 1;
  auto fillOf = [&](int slot, int style) {
    Panel(200, 200, 10, 10, slot, style);
    return At(205, 205);
  };
  g().screen.altFill = true;
  EXPECT_EQ(fillOf(3, kAlt), Slot(86));
  EXPECT_EQ(fillOf(48, kAlt), Slot(87));
  EXPECT_EQ(fillOf(45, kAlt), Slot(45));
  EXPECT_EQ(fillOf(3, 1), Slot(3));  // bit 7 not set
  g().screen.scheme = kSchemeMono;   // the black-and-white and print schemes keep slot 3
  EXPECT_EQ(fillOf(3, kAlt), Slot(3));
  g().screen.scheme = 4;
  EXPECT_EQ(fillOf(3, kAlt), Slot(86));
  g().screen.altFill = false;
  EXPECT_EQ(fillOf(3, kAlt), Slot(3));
}

TEST_F(PrimitivesTest, TextFillsItsCellRowAndDrawsTheFontGlyphs) {
  struct Case {
    void (*draw)(int, int, int, int, std::string_view);
    const BitmapFont& font;
    const char* text;
  };
  const Case cases[] = {{TextSmall, kFontSmall, "Ag~#"},
                        {TextNormal, kFontNormal, "Wq|0"},
                        {TextNumeric, kFontNumeric, "-12.5E+3"}};
  int y = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const int cells = static_cast<int>(std::string_view(c.text).size());
    c.draw(29, 28, 200, y, c.text);
    EXPECT_EQ(TextMismatch(paper, c.font, 200, y, c.text, Slot(29), Slot(28)), "");
    // The background row is exactly characters x cell width by cell height.
    const int right = 200 + cells * c.font.width, bottom = y + c.font.height;
    ExpectAll({{right, y}, {right - 1, bottom}, {199, y}, {200, y - 1}}, kPaper);
    y += 40;
  }
}

TEST_F(PrimitivesTest, ShadowTextDrawsNoBackground) {
  TextShadow(29, 30, 400, 300, "WM");
  const uint8_t* const glyphs[2] = {GlyphBits(kFontSmall, 'W'), GlyphBits(kFontSmall, 'M')};
  auto set = [&](int x, int y) {  // glyph bit at (x, y) relative to the text origin
    if (x < 0 || y < 0 || x >= 16 || y >= 8) return false;
    return (glyphs[x / 8][y] & (0x80u >> (x % 8))) != 0;
  };
  int shadows = 0;
  for (int y = -1; y <= 9; ++y) {
    for (int x = -1; x <= 17; ++x) {
      const uint32_t expected = set(x, y) ? Slot(29) : set(x - 1, y - 1) ? Slot(30) : kPaper;
      shadows += expected == Slot(30);
      ASSERT_EQ(At(400 + x, 300 + y), expected) << x << "," << y;
    }
  }
  EXPECT_GT(shadows, 0);
}

TEST_F(PrimitivesTest, TextIsNeitherWrappedNorClipped) {
  // Past the right edge: the cells beyond the surface are lost, nothing comes back on the left.
  TextNormal(29, 28, 790, 100, "ABCD");
  EXPECT_EQ(TextMismatch(paper, kFontNormal, 790, 100, "ABCD", Slot(29), Slot(28)), "");
  for (int y = 99; y < 114; ++y) {
    for (int x = 0; x < 40; ++x) ASSERT_EQ(At(x, y), kPaper) << x << "," << y;
  }
  // Past the bottom edge.
  TextSmall(29, 28, 300, 596, "HI");
  EXPECT_EQ(TextMismatch(paper, kFontSmall, 300, 596, "HI", Slot(29), Slot(28)), "");
  EXPECT_EQ(At(300, 0), kPaper);
  // Text wider than the panel it starts in runs on over whatever lies beside it.
  Panel(3, 20, 559, 73, 45, 1);
  TextSmall(29, 28, 540, 40, "ABCDEFG");
  EXPECT_EQ(TextMismatch(paper, kFontSmall, 540, 40, "ABCDEFG", Slot(29), Slot(28)), "");
}

TEST_F(PrimitivesTest, DashStylesOfStyledLine) {
  // Pixels drawn along a horizontal line from x 10 to 40: solid, dotted, the grid's 1 on 2 off.
  auto lit = [&](int style, int y) {
    StyledLine(10, y, 40, y, 5, style);
    std::string pattern;
    for (int x = 9; x <= 41; ++x) pattern += At(x, y) == Slot(5) ? '#' : '.';
    return pattern;
  };
  EXPECT_EQ(lit(0, 10), "." + std::string(31, '#') + ".");
  EXPECT_EQ(lit(1, 12), ".#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.");
  EXPECT_EQ(lit(3, 14), ".#..#..#..#..#..#..#..#..#..#..#.");
  // The same line drawn right to left and vertically.
  Line(40, 16, 10, 16, 6);
  for (int x = 10; x <= 40; ++x) ASSERT_EQ(At(x, 16), Slot(6)) << x;
  StyledLine(60, 10, 60, 20, 7, 1);
  ExpectAll({{60, 10}, {60, 20}}, Slot(7));
  EXPECT_EQ(At(60, 11), kPaper);
}

TEST_F(PrimitivesTest, BoxedTextOutlineIsEightPerCharacterPlusFourByTen) {
  TextBoxed(29, 28, 300, 200, "AB");  // outline x 300 to 319, y 200 to 209
  ExpectAll({{300, 200}, {319, 200}, {310, 200}, {300, 205}, {319, 205}}, Slot(29));
  ExpectAll({{300, 209}, {301, 209}, {318, 209}, {319, 209}}, Slot(29));
  // Outside, and between the outline and the text cells.
  ExpectAll({{320, 205}, {299, 205}, {310, 199}, {301, 210}, {318, 210}, {301, 202}}, kPaper);
  EXPECT_EQ(TextMismatch(paper, kFontSmall, 302, 202, "AB", Slot(29), Slot(28)), "");
}

TEST_F(PrimitivesTest, TranslucentSlotsBlendOnlyWhenBlendingIsOn) {
  SetColour(86, 200, 100, 0, true);
  EXPECT_EQ(g().screen.colours[86] >> 24, 0x7Du);
  // Expected channel: (source x 125 + below x 130) / 255, to one step of rounding.
  auto near = [](uint32_t pixel, int r, int gr, int b) {
    auto close = [](int got, int want) { return std::abs(got - want) <= 1; };
    return close((pixel >> 16) & 0xFF, r) && close((pixel >> 8) & 0xFF, gr) &&
           close(pixel & 0xFF, b) && (pixel >> 24) == 0xFF;
  };
  g().screen.blending = true;
  FillRect(10, 10, 4, 4, 86);  // over kPaper (0x10, 0x20, 0x30)
  EXPECT_TRUE(near(At(11, 11), (200 * 125 + 0x10 * 130) / 255, (100 * 125 + 0x20 * 130) / 255,
                   (0 * 125 + 0x30 * 130) / 255))
      << std::hex << At(11, 11);
  FillRect(10, 10, 4, 4, 5);  // an opaque slot overwrites even while blending
  EXPECT_EQ(At(11, 11), Slot(5));
  g().screen.blending = false;
  FillRect(20, 20, 4, 4, 86);
  EXPECT_EQ(At(21, 21), 0xFFC86400u);
}

}  // namespace
}  // namespace vq
