// Tests of the mouse on the drawn screen: soft keys, the pop-up menu, the wheel and the timing.
#include "frame/mouse.h"

#include <tuple>

#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"
#include "menu/popup_menu.h"
#include "menu/softkey_column.h"
#include "platform/clock.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

constexpr int kKeyX = 750;
constexpr int kLevelPage = 3;
constexpr int kYScalePage = 6;  // LEVEL's "Y SCALE DIVISION" key (slot 7) leads here
constexpr int kRefLevel = 16;   // parameter: -90 to 30 dBm in fine steps of 0.1

class MouseTest : public StartedInstrumentTest {
 protected:
  void Send(uint32_t message, int x, int y, uintptr_t wParam = 0) {
    WindowProc(message, wParam, static_cast<intptr_t>((x & 0xFFFF) | (y & 0xFFFF) << 16));
  }
  void Click(int x, int y) {
    Send(WM_MOUSEMOVE, x, y);
    Send(WM_LBUTTONDOWN, x, y);
    Send(WM_LBUTTONUP, x, y);
    PumpUntilIdle(host);
  }
  static int KeyY(int slot) { return SoftKeyBoxY(slot) + 20; }
  // Shows the LEVEL menu, whose keys are painted.
  void OpenLevel() {
    WindowProc(WM_COMMAND, kCmdPanelFirst + 3, 0);
    PumpUntilIdle(host);
    ASSERT_EQ(g().menu.page, kLevelPage);
  }
};

TEST_F(MouseTest, SoftKeyActsOnReleaseOverItself) {
  OpenLevel();
  // The pointer starts at the centre: only a move elsewhere counts as the first.
  Send(WM_MOUSEMOVE, 400, 300);
  EXPECT_EQ(g().frame.redrawFlags.load(), 0u);
  Send(WM_MOUSEMOVE, 10, 10);
  EXPECT_EQ(g().frame.redrawFlags.load(), kRedrawAll);
  EXPECT_EQ(host.cursor, CursorShape::Arrow);
  PumpUntilIdle(host);

  Send(WM_MOUSEMOVE, kKeyX, KeyY(7));
  EXPECT_EQ(host.cursor, CursorShape::Hand);
  Send(WM_LBUTTONDOWN, kKeyX, KeyY(7));
  EXPECT_EQ(g().frame.mouseHeldElement, kCmdSoftKey1 + 7);
  EXPECT_EQ(g().menu.pressed[7], 1);
  EXPECT_FALSE(LoopMayBlock());
  // While the button is held, keys (here the CENTER panel key) are dropped.
  WindowProc(WM_COMMAND, kCmdPanelFirst + 1, 0);
  EXPECT_EQ(g().menu.page, kLevelPage);

  Send(WM_LBUTTONUP, kKeyX, KeyY(7));
  EXPECT_EQ(g().frame.mouseHeldElement, 0);
  EXPECT_EQ(g().menu.pressed[7], 0);
  EXPECT_EQ(g().menu.page, kYScalePage);
  EXPECT_EQ(g().menu.depth, 1);
  EXPECT_EQ(g().menu.parents[0], kLevelPage);

  // The ninth key of the lower page is its RETURN.
  PumpUntilIdle(host);
  Click(kKeyX, SoftKeyBoxY(8) + 45);
  EXPECT_EQ(g().menu.page, kLevelPage);
  EXPECT_EQ(g().menu.depth, 0);
}

TEST_F(MouseTest, ReleaseElsewhereCancelsAndUnpaintedKeysAreNotHit) {
  OpenLevel();
  Send(WM_MOUSEMOVE, kKeyX, KeyY(7));
  Send(WM_LBUTTONDOWN, kKeyX, KeyY(7));
  Send(WM_MOUSEMOVE, kKeyX, KeyY(6));
  Send(WM_LBUTTONUP, kKeyX, KeyY(6));
  EXPECT_EQ(g().menu.page, kLevelPage);
  EXPECT_EQ(g().menu.pressed[7], 0);
  EXPECT_EQ(g().frame.mouseHeldElement, 0);
  // Between two keys, beside the column and outside the screen there is nothing.
  for (auto [x, y] : {std::pair{kKeyX, SoftKeyBoxY(1) - 5}, {706, KeyY(0)}, {-3, -3}}) {
    EXPECT_EQ(HitTest(x, y), 0) << x << "," << y;
  }

  g().menu.keySlots[7].live = false;
  EXPECT_EQ(HitTest(kKeyX, KeyY(7)), 0);
  Click(kKeyX, KeyY(7));
  EXPECT_EQ(g().menu.page, kLevelPage);
  EXPECT_EQ(g().frame.mouseHeldElement, 0);
}

TEST_F(MouseTest, DoubleClickIsASecondReleaseOnTheSameElementWithin500Ms) {
  // SWEEP has no ninth key: an empty key, painted and hit, that never acts.
  const int empty = KeyY(8);
  ASSERT_EQ(g().menu.keySlots[8].target, 0);
  // A third release starts over; a click on nothing (300, 300) breaks the pair.
  const std::tuple<int, int, bool> clicks[] = {{kKeyX, empty, false}, {kKeyX, empty, true},
                                               {kKeyX, empty, false}, {kKeyX, empty, true},
                                               {300, 300, false},     {kKeyX, empty, false}};
  for (size_t i = 0; i < std::size(clicks); ++i) {
    Click(std::get<0>(clicks[i]), std::get<1>(clicks[i]));
    EXPECT_EQ(g().mouse.doubleClick, std::get<2>(clicks[i])) << "click " << i;
  }
  g().mouse.lastReleaseMs = MonotonicMs() - 600;
  Click(kKeyX, empty);
  EXPECT_FALSE(g().mouse.doubleClick);
  EXPECT_EQ(g().menu.page, 0);
  EXPECT_EQ(g().menu.pressed[8], 0);
}

TEST_F(MouseTest, RightClickOpensThePopUpPlacedOnTheScreen) {
  struct Case {
    int x, y, boxX, boxY;
  };
  for (const Case c :
       {Case{100, 100, 100, 100}, Case{677, 289, 677, 289}, Case{678, 290, 556, 290 - 310},
        Case{750, 590, 628, 280}, Case{0, 0, 2, 2}}) {
    Send(WM_MOUSEMOVE, c.x, c.y);
    Send(WM_RBUTTONDOWN, c.x, c.y);
    const PopupState& p = g().popup;
    ASSERT_TRUE(p.open);
    EXPECT_EQ(p.x, c.boxX) << c.x << "," << c.y;
    EXPECT_EQ(p.y, std::max(c.boxY, 2)) << c.x << "," << c.y;
    EXPECT_EQ(p.width, 122);
    EXPECT_EQ(p.height, 310);
  }

  // Moving over the box selects the item under the pointer; a separator keeps the selection.
  Send(WM_RBUTTONDOWN, 100, 100);
  EXPECT_EQ(host.cursor, CursorShape::Hand);
  Send(WM_MOUSEMOVE, 150, PopupItemY(1) + 5);
  EXPECT_EQ(g().popup.selected, 1);
  Send(WM_MOUSEMOVE, 150, PopupItemY(3) + 1);
  EXPECT_EQ(g().popup.selected, 1);

  // A click on an item runs it: SPAN.
  Click(150, PopupItemY(1) + 5);
  EXPECT_FALSE(g().popup.open);
  EXPECT_EQ(PageTitle(g().menu.page), "SPAN");

  // A click elsewhere only closes the menu, even on a key.
  OpenLevel();
  Send(WM_RBUTTONDOWN, 100, 100);
  Click(kKeyX, KeyY(7));
  EXPECT_FALSE(g().popup.open);
  EXPECT_EQ(g().menu.page, kLevelPage);
  EXPECT_EQ(g().frame.mouseHeldElement, 0);
}

// The steps themselves are checked through the window's wheel events in the shell's tests.
TEST_F(MouseTest, WheelStepsTheActiveEntryOnly) {
  // The wheel acts as Up and Down do: the menu's handler applies each step to the setting, and
  // the value stays when the menu is left.
  const double centre = g().conditions.setting.centre;
  Press("Shift+F2", "F1");
  Send(WM_MOUSEWHEEL, 560, 200, uintptr_t{5} << 16);
  PumpUntilIdle(host);
  const double wheeled = g().conditions.setting.centre;
  EXPECT_NEAR(wheeled, centre + 0.5, 1e-9);
  EXPECT_DOUBLE_EQ(g().entry.value, wheeled);
  Send(WM_MOUSEWHEEL, 560, 200, static_cast<uintptr_t>(uint16_t(-2)) << 16);
  Press("F2");
  EXPECT_NEAR(g().conditions.setting.centre, centre + 0.3, 1e-9);

  const double start = -10.0;
  ASSERT_EQ(StartEntry(0, -1, kRefLevel, start), 1);
  const uintptr_t up = uintptr_t{1} << 16;  // one notch
  Send(WM_MOUSEWHEEL, 300, 300, up);
  const double once = g().entry.value;
  EXPECT_GT(once, start);

  // Not while a button holds a key, nor without an entry.
  PumpUntilIdle(host);
  Send(WM_LBUTTONDOWN, kKeyX, KeyY(8));
  Send(WM_MOUSEWHEEL, 300, 300, up);
  EXPECT_DOUBLE_EQ(g().entry.value, once);
  Send(WM_LBUTTONUP, kKeyX, KeyY(8));
  EndEntry();
  Send(WM_MOUSEWHEEL, 300, 300, up);
  EXPECT_EQ(g().entry.state, -1);
}

TEST_F(MouseTest, IdleStepKeepsTheRepeatTimingUnlessModal) {
  const int empty = KeyY(8);
  const int64_t pressed = MonotonicMs();
  Send(WM_LBUTTONDOWN, kKeyX, empty);
  const int64_t firstDue = g().mouse.nextRepeatMs - pressed;
  EXPECT_GE(firstDue, 700);
  EXPECT_LE(g().mouse.nextRepeatMs, MonotonicMs() + 700);
  PumpUntilIdle(host, 5);  // the held button keeps the loop awake
  ASSERT_EQ(g().frame.redrawFlags.load(), 0u);
  g().mouse.nextRepeatMs = 0;
  g().frame.modalActive = 1;
  IdleStep();
  EXPECT_EQ(g().mouse.nextRepeatMs, 0);
  // While a dialog runs its own loop, the mouse does not reach the screen either.
  Send(WM_LBUTTONUP, kKeyX, empty);
  EXPECT_EQ(g().frame.mouseHeldElement, kCmdSoftKey9);
  g().frame.modalActive = 0;
  const int64_t before = MonotonicMs();
  IdleStep();
  EXPECT_GE(g().mouse.nextRepeatMs, before + 50);
  EXPECT_LE(g().mouse.nextRepeatMs, MonotonicMs() + 50);
  Send(WM_LBUTTONUP, kKeyX, empty);
  EXPECT_EQ(g().frame.mouseHeldElement, 0);
  EXPECT_TRUE(PumpUntilIdle(host));
}

}  // namespace
}  // namespace vq
