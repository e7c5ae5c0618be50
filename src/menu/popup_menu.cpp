// The on-screen pop-up menu of the panel keys (Apps key and right click).
#include "menu/popup_menu.h"

#include <iterator>

#include "draw/primitives.h"
#include "instrument.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "resources/colour_tables.h"

namespace vq {

namespace {

constexpr PopupItem kItems[] = {
    {40016, 2, "  CENTER     "},
    {40017, 3, "  SPAN       "},
    {40018, 4, "  LEVEL      "},
    {0, 0, ""},
    {40015, 1, "  SWEEP      "},
    {40035, 21, "  ZOOM       "},
    {0, 0, ""},
    {40019, 5, "  SETUP      "},
    {40023, 9, "  TRACE      "},
    {40024, 10, "  DISPLAY    "},
    {0, 0, ""},
    {40020, 6, "  MARKER     "},
    {40021, 7, "  PEAK SEARCH"},
    {40022, 8, "  ANALYSIS   "},
    {0, 0, ""},
    {40030, 16, "  USER       "},
    {40025, 11, "  MEMORY     "},
    {40026, 12, "  FILE       "},
    {40027, 13, "  PROGRAM    "},
    {40029, 15, "  ADVANCE    "},
    {40028, 14, "  SYSTEM     "},
    {0, 0, ""},
    {40034, 29, "  UNDO/LOCAL "},
    {40032, 18, "  COPY       "},
    {40033, 19, "  FEED       "},
    {40031, 17, "  HELP       "},
    {40036, 323, "  TEST MODE  "},
};
static_assert(std::size(kItems) == 27, "26 items and TEST MODE");

PopupState& Popup() {
  return GInstrument->popup;
}

int ItemHeight(int i) {
  return kItems[i].command ? kPopupItemHeight : kPopupSeparatorHeight;
}

// The next enabled item in a direction, wrapping; -1 when none is enabled.
int NextEnabled(int from, int step) {
  const int n = Popup().itemCount;
  int i = from;
  for (int tries = 0; tries < n; ++tries) {
    i = (i + step + n) % n;
    if (PopupItemEnabled(i)) return i;
  }
  return -1;
}

}  // namespace

const PopupItem* PopupItems(int* count) {
  *count = GInstrument->config.debug.testMode ? 27 : 26;
  return kItems;
}

bool PopupItemEnabled(int item) {
  const PopupState& p = Popup();
  if (item < 0 || item >= p.itemCount || kItems[item].command == 0) return false;
  return NodeState(static_cast<MenuId>(kItems[item].stateNode)) == 0;
}

int PopupItemY(int item) {
  int y = Popup().y + 1;
  for (int i = 0; i < item; ++i) y += ItemHeight(i);
  return y;
}

int PopupOpenY() {
  return (290 - kPopupItemHeight * (GInstrument->config.debug.testMode ? 1 : 0)) / 2;
}

void OpenPopupMenu(int x, int y) {
  Instrument& g = *GInstrument;
  PopupState& p = Popup();
  PopupItems(&p.itemCount);
  p.width = kPopupWidth;
  p.height = 1;
  for (int i = 0; i < p.itemCount; ++i) p.height += ItemHeight(i);
  if (x + p.width >= kScreenWidth) x -= p.width;
  x = std::max(x, 2);
  y = std::max(y, 2);
  if (y + p.height >= kScreenHeight) y = std::max(y - p.height, 2);
  p.x = x;
  p.y = y;
  p.open = true;
  p.selected = NextEnabled(-1, 1);
  g.frame.redrawFlags |= kRedrawDynamicOnly;
}

void ClosePopupMenu(bool redraw) {
  Instrument& g = *GInstrument;
  if (!Popup().open) return;
  Popup().open = false;
  g.frame.redrawFlags |= kRedrawDynamicOnly;
  if (redraw) RedrawNow();
}

bool PopupMenuOpen() {
  return Popup().open;
}

void SelectPopupItem(int item) {
  if (!PopupItemEnabled(item) || item == Popup().selected) return;
  Popup().selected = item;
  GInstrument->frame.redrawFlags |= kRedrawDynamicOnly;
}

int PopupItemAt(int x, int y) {
  const PopupState& p = Popup();
  if (!p.open || x < p.x || x >= p.x + p.width) return -1;
  for (int i = 0; i < p.itemCount; ++i) {
    const int top = PopupItemY(i);
    if (y >= top && y < top + ItemHeight(i)) return kItems[i].command ? i : -1;
  }
  return -1;
}

void RunPopupItem(int item) {
  if (!PopupItemEnabled(item)) return;
  ClosePopupMenu(false);
  KeyCommand(kKeySourcePopup, kItems[item].command);
}

void PopupMenuKey(int command) {
  PopupState& p = Popup();
  switch (command) {
    case kCmdUp:
    case kCmdRight:
      SelectPopupItem(NextEnabled(p.selected, -1));
      break;
    case kCmdDown:
    case kCmdLeft:
      SelectPopupItem(NextEnabled(p.selected, 1));
      break;
    case kCmdEnter:
    case kCmdShiftEnter:
      RunPopupItem(p.selected);
      break;
    default:
      break;
  }
}

void DrawPopupMenu() {
  const PopupState& p = Popup();
  if (!p.open) return;
  Panel(p.x, p.y, p.width, p.height, kSlotPopBack, 0);
  for (int i = 0; i < p.itemCount; ++i) {
    const int y = PopupItemY(i);
    if (kItems[i].command == 0) {
      Line(p.x + 2, y + 1, p.x + p.width - 3, y + 1, kSlotPopLine);
      Line(p.x + 2, y + 2, p.x + p.width - 3, y + 2, kSlotPopLineShadow);
      continue;
    }
    if (i == p.selected) {
      FillRect(p.x + 1, y, 120, 13, kSlotPopCursor);
      TextTransparent(2, p.x + 1, y + 1, kItems[i].label, true);
    } else if (PopupItemEnabled(i)) {
      TextTransparent(0, p.x + 1, y + 1, kItems[i].label, true);
    } else {
      TextTransparent(kSlotPopLineShadow, p.x + 2, y + 2, kItems[i].label, true);
      TextTransparent(kSlotPopLine, p.x + 1, y + 1, kItems[i].label, true);
    }
  }
}

}  // namespace vq
