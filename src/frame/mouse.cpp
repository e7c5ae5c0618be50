// The mouse on the drawn screen: hit test, cursor shapes, press and release, auto-repeat, wheel.
#include "frame/mouse.h"

#include <cstdlib>

#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"
#include "menu/popup_menu.h"
#include "menu/softkey_column.h"
#include "platform/clock.h"
#include "platform/messages.h"

namespace vq {

namespace {

constexpr int64_t kFirstRepeatMs = 700;
constexpr int64_t kRepeatIntervalMs = 50;
constexpr int64_t kDoubleClickMs = 500;

bool Inside(int x, int y, int left, int top, int width, int height) {
  return x >= left && x < left + width && y >= top && y < top + height;
}

bool IsSoftKey(int32_t element) {
  return element >= kCmdSoftKey1 && element <= kCmdSoftKey9;
}

// The pointer as the window reports it: signed x in the low word, y in the high word.
void TakePointer(intptr_t lParam) {
  MouseState& m = GInstrument->mouse;
  m.x = static_cast<int16_t>(lParam & 0xFFFF);
  m.y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
}

void Move() {
  Instrument& g = *GInstrument;
  MouseState& m = g.mouse;
  // The pointer starts at the centre; the first real move shows that the window is in use.
  if (!m.moved && (m.x != kScreenWidth / 2 || m.y != kScreenHeight / 2)) {
    m.moved = true;
    g.frame.startupComplete = 1;
    g.frame.redrawFlags = kRedrawAll;
  }
  if (PopupMenuOpen()) {
    const int item = PopupItemAt(m.x, m.y);
    if (item >= 0) SelectPopupItem(item);
  }
  RefreshCursor();
}

void LeftDown() {
  Instrument& g = *GInstrument;
  MouseState& m = g.mouse;
  if (g.frame.mouseHeldElement != 0) return;
  const int32_t element = HitTest(m.x, m.y);
  if (PopupMenuOpen() && element != kElementPopupMenu) {
    // A click elsewhere only closes the pop-up menu.
    ClosePopupMenu(true);
    RefreshCursor();
    return;
  }
  if (element == 0) return;
  g.frame.mouseHeldElement = element;
  m.nextRepeatMs = MonotonicMs() + kFirstRepeatMs;
  if (IsSoftKey(element)) SetSoftKeyPressed(element - kCmdSoftKey1, 1);
}

void LeftUp() {
  Instrument& g = *GInstrument;
  MouseState& m = g.mouse;
  const int32_t element = HitTest(m.x, m.y);
  const int64_t now = MonotonicMs();
  m.doubleClick =
      element != 0 && element == m.lastReleaseElement && now - m.lastReleaseMs <= kDoubleClickMs;
  // A double click is not the first half of the next one.
  m.lastReleaseElement = m.doubleClick ? 0 : element;
  m.lastReleaseMs = now;

  const int32_t held = g.frame.mouseHeldElement;
  if (held == 0) return;
  const bool onHeld = element == held;
  if (IsSoftKey(held)) {
    const int slot = held - kCmdSoftKey1;
    // As with the keyboard: no key acts under a label that is not on the screen yet.
    const bool locked = g.menu.columnChanged != 0 && g.program.running != 1;
    if (onHeld && !locked) PressSoftKey(slot);
    SetSoftKeyPressed(slot, 0);
  } else if (held == kElementPopupMenu && onHeld) {
    const int item = PopupItemAt(m.x, m.y);
    if (item >= 0) RunPopupItem(item);
  }
  g.frame.mouseHeldElement = 0;
  RefreshCursor();
}

// The wheel is the rotary knob of the active parameter entry.
void Wheel(uintptr_t wParam) {
  Instrument& g = *GInstrument;
  if (g.frame.mouseHeldElement != 0 || (g.entry.state != 1 && g.entry.state != 2)) return;
  // The wheel is the rotary knob: each notch is an Up or Down key for the current menu, whose
  // handler steps the entry and applies the value.
  const int notches = static_cast<int16_t>((wParam >> 16) & 0xFFFF);
  const int key = notches > 0 ? kCmdUp : kCmdDown;
  for (int i = 0; i < std::abs(notches); ++i) KeyCommand(kKeySourceKeyboard, key);
}

}  // namespace

int32_t HitTest(int x, int y) {
  const Instrument& g = *GInstrument;
  const PopupState& p = g.popup;
  if (p.open && Inside(x, y, p.x, p.y, p.width, p.height)) return kElementPopupMenu;
  for (int slot = 0; slot < kSoftKeysPerPage; ++slot) {
    if (g.menu.keySlots[slot].live &&
        Inside(x, y, kSoftKeyBoxX, SoftKeyBoxY(slot), kSoftKeyBoxWidth, kSoftKeyBoxHeight)) {
      return kCmdSoftKey1 + slot;
    }
  }
  return 0;
}

void RefreshCursor() {
  Instrument& g = *GInstrument;
  if (g.frame.startupComplete != 1) return;
  g.host->SetCursorShape(HitTest(g.mouse.x, g.mouse.y) ? CursorShape::Hand : CursorShape::Arrow);
}

intptr_t MouseMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  TakePointer(lParam);
  switch (message) {
    case WM_MOUSEMOVE:
      Move();
      break;
    case WM_LBUTTONDOWN:
      LeftDown();
      break;
    case WM_LBUTTONUP:
      LeftUp();
      break;
    case WM_RBUTTONDOWN:
      OpenPopupMenu(GInstrument->mouse.x, GInstrument->mouse.y);
      RefreshCursor();
      break;
    case WM_MOUSEWHEEL:
      Wheel(wParam);
      break;
    default:
      break;  // the middle button has no use on these screens
  }
  return 0;
}

void MouseAutoRepeat() {
  Instrument& g = *GInstrument;
  MouseState& m = g.mouse;
  const int64_t now = MonotonicMs();
  if (g.frame.mouseHeldElement == 0 || now < m.nextRepeatMs) return;
  m.nextRepeatMs = now + kRepeatIntervalMs;
  // Only the scale and step buttons repeat, and they come with their screens; the soft keys and
  // the pop-up menu act once, on release.
}

}  // namespace vq
