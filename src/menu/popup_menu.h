// The on-screen pop-up menu of the panel keys (Apps key and right click).
#pragma once

namespace vq {

struct PopupItem {
  int command;    // 0 = separator
  int stateNode;  // the node whose state query greys the item
  const char* label;
};

constexpr int kPopupWidth = 122;
constexpr int kPopupItemHeight = 14;
constexpr int kPopupSeparatorHeight = 3;

// The item table (27 rows; the last, TEST MODE, only with the TEST_MODE switch).
const PopupItem* PopupItems(int* count);

// Where the Apps key opens the menu: centred over the graph, one item higher with TEST MODE.
constexpr int kPopupOpenX = 339;
int PopupOpenY();
void OpenPopupMenu(int x, int y);
// Closes the menu; with redraw, the screen is drawn again at once.
void ClosePopupMenu(bool redraw);
bool PopupMenuOpen();
// A key while the menu is open: arrows move, Enter runs the selected item.
void PopupMenuKey(int command);
// The item under a screen point, or -1.
int PopupItemAt(int x, int y);
// The top of an item in screen pixels.
int PopupItemY(int item);
bool PopupItemEnabled(int item);
void SelectPopupItem(int item);
// Runs an item's command as a key from the pop-up.
void RunPopupItem(int item);
void DrawPopupMenu();

}  // namespace vq
