// Tests of the soft-key column: key boxes, pressed and disabled looks, page path, USER keys.
#include <algorithm>
#include <array>

#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/softkey_column.h"
#include "resources/colour_tables.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

class SoftKeyColumnTest : public StartedInstrumentTest {
 protected:
  uint32_t Pixel(int x, int y) const { return GInstrument->screen.backBuffer.At(x, y); }
  void Key(int command) {
    WindowProc(WM_COMMAND, static_cast<uintptr_t>(command), 0);
    ASSERT_TRUE(PumpUntilIdle(host));
  }
  // Counts pixels of one colour inside a rectangle.
  int Count(int x, int y, int w, int h, uint32_t colour) const {
    int n = 0;
    for (int yy = y; yy < y + h; ++yy) {
      for (int xx = x; xx < x + w; ++xx) n += Pixel(xx, yy) == colour;
    }
    return n;
  }
};

TEST_F(SoftKeyColumnTest, KeyBoxesSitAtTheirRectanglesWithTheirFrames) {
  for (int slot = 0; slot < kSoftKeysPerPage; ++slot) {
    const int y = slot == 8 ? 551 : 20 + 56 * slot;
    EXPECT_EQ(SoftKeyBoxY(slot), y);
    // The fill reaches the box's corners; the raised frame lies one pixel outside.
    EXPECT_EQ(Pixel(707, y + 45), Slot(kSlotFunction)) << slot;
    EXPECT_EQ(Pixel(706, y + 20), Slot(kSlotBevelLight)) << slot;
    EXPECT_EQ(Pixel(798, y + 20), Slot(kSlotBevelDark)) << slot;
    EXPECT_EQ(Pixel(750, y - 2), Slot(kSlotMainBack)) << slot;
    EXPECT_TRUE(g().menu.keySlots[slot].live);
  }
  EXPECT_EQ(SoftKeyBoxY(2, true), 115 + 106);
}

TEST_F(SoftKeyColumnTest, DisabledAndPressedKeysLookDifferent) {
  // The SWEEP page's functions are disabled (their sweep control belongs to the analyzer).
  const int y = SoftKeyBoxY(0);
  ASSERT_NE(g().menu.keySlots[0].state, 0);
  EXPECT_GT(Count(709, y + 7, 80, 8, Slot(37)), 0);  // disabled text
  EXPECT_EQ(Count(709, y + 7, 80, 8, Slot(35)), 0);

  // A navigation key is enabled; pressed it is drawn sunken in the push colour.
  Key(40018);  // LEVEL 1/2: its ninth key is MORE 1/2
  ASSERT_EQ(g().menu.page, 3);
  ASSERT_EQ(g().menu.keySlots[8].state, 0);
  EXPECT_GT(Count(709, 551 + 7, 80, 8, Slot(35)), 0);  // enabled text
  SetSoftKeyPressed(8, 1);
  EXPECT_EQ(Pixel(708, 590), Slot(32));
  EXPECT_EQ(Pixel(706, 560), Slot(kSlotBevelDark));
  SetSoftKeyPressed(8, 0);
  EXPECT_EQ(Pixel(708, 590), Slot(kSlotFunction));
}

TEST_F(SoftKeyColumnTest, FiveNestedPagesKeepAndShowFourParents) {
  const int pages[] = {3, 6, 5, 7, 10, 11};
  ShowSoftKeyPage(pages[0], 0);
  for (int i = 1; i < 6; ++i) ShowSoftKeyPage(pages[i], std::min(i, kMaxPageDepth));
  EXPECT_EQ(g().menu.page, 11);
  EXPECT_EQ(g().menu.depth, 4);
  EXPECT_EQ(g().menu.parents, (std::array<int32_t, 4>{10, 7, 5, 6}));  // LEVEL (3) dropped
  ShowSoftKeyPage(12, 5);  // deeper than the stack: nothing happens
  EXPECT_EQ(g().menu.page, 11);

  // The path: the current title's box, four parent boxes upward from y 500, no fifth.
  ASSERT_TRUE(PumpUntilIdle(host));
  EXPECT_EQ(Pixel(706, 520), Slot(kSlotMainChar));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Pixel(706, 500 - 10 * i), Slot(kSlotMainChar)) << i;
  EXPECT_EQ(Pixel(706, 460), Slot(kSlotMainBack));

  for (int expected : {10, 7, 5, 6, 6}) {
    PopSoftKeyPage();
    EXPECT_EQ(g().menu.page, expected);
  }
  EXPECT_EQ(g().menu.depth, 0);
}

TEST_F(SoftKeyColumnTest, RegisteredFunctionsAppearOnTheUserPage) {
  // USER KEY REGIST on the SYSTEM page switches the registration mode on.
  Key(40028);  // SYSTEM
  ASSERT_EQ(g().menu.page, 54);
  int regist = -1;
  for (int s = 0; s < kSoftKeysPerPage; ++s) {
    if (g().menu.pages[54].target[s] == 1209) regist = s;
  }
  ASSERT_GE(regist, 0);
  Key(kCmdSoftKey1 + regist);
  ASSERT_EQ(g().menu.selectionMode, kSelectUserRegistration);

  // Choose a function on the CENTER page (disabled normally, registrable now), then a slot.
  Key(40016);
  const MenuId chosen = g().menu.pages[1].target[0];
  EXPECT_EQ(g().menu.keySlots[0].state, 0);
  Key(kCmdSoftKey1);
  EXPECT_EQ(g().menu.registeredFunction, chosen);
  Key(40030);  // USER
  EXPECT_EQ(g().menu.page, 107);
  Key(kCmdSoftKey1 + 2);
  EXPECT_EQ(g().menu.pages[107].target[2], chosen);
  EXPECT_EQ(g().menu.registeredFunction, 0);
  EXPECT_STREQ(g().menu.keySlots[2].lines[0], g().menu.nodes[chosen].line1);

  // Leaving the mode: the function keeps its slot and shows its own state again.
  Key(40028);
  Key(kCmdSoftKey1 + regist);
  EXPECT_EQ(g().menu.selectionMode, kSelectNormal);
  Key(40030);
  EXPECT_EQ(g().menu.keySlots[2].target, chosen);
  EXPECT_EQ(g().menu.keySlots[2].state, NodeState(chosen));
}

}  // namespace
}  // namespace vq
