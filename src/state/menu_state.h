// State of the soft-key menus: the loaded tables, the page stack, the painted keys, USER keys and
// UNDO/LOCAL; the pop-up menu; the message box.
#pragma once

#include <array>
#include <cstdint>

#include "resources/menu_tables.h"
#include "state/condition_state.h"

namespace vq {

// The record of a soft key as it was last painted.
struct SoftKeySlot {
  int16_t target = 0;
  int16_t state = kKeyDisabled;
  int16_t value = 0;
  int16_t owner = 0;
  int16_t style = 0;  // 0 plain, 1 highlighted word, 2 character cursor; bit 2: keep
  int16_t index = 0;
  char lines[3][16] = {};  // two label lines and the value line
  bool live = false;       // the hit rectangle exists once the key was painted
};

// Where label painters draw.
enum class PaintTarget : uint8_t { Screen, Capture, List };

// What the soft keys and panel keys do: work normally, record into a program line, choose
// functions for a USER page, or end help mode.
enum SelectionMode : int16_t {
  kSelectNormal = 0,
  kSelectProgramEditor = 1,
  kSelectUserRegistration = 2,
  kSelectHelp = 3,
};

struct SavedMenuState {
  int32_t page = 0;
  std::array<int32_t, kMaxPageDepth> parents{};
  int32_t depth = 0;
  SelectionMode selectionMode = kSelectNormal;
  int screenMode = 0;
  MenuId currentMenu = 0;
};

struct MenuState {
  std::array<MenuNode, kMenuNodeCount> nodes;
  std::array<SoftKeyPage, kSoftKeyPageCount> pages;
  MenuId currentMenu = 0;
  int32_t page = 0;
  std::array<int32_t, kMaxPageDepth> parents{};  // parents[0] is the nearest
  int32_t depth = 0;
  std::array<SoftKeySlot, kSoftKeysPerPage> keySlots;
  std::array<int16_t, kSoftKeysPerPage> pressed{};
  SelectionMode selectionMode = kSelectNormal;
  int32_t columnChanged = 0;
  PaintTarget paintTarget = PaintTarget::Screen;
  // UNDO/LOCAL: the setting record as it was when the current menu was entered, and whether a
  // change has been made since that it can take back.
  MeasCondition undoSetting{};
  bool undoSnapshot = false;
  int16_t pendingRemote = 0;
  MenuId registeredFunction = 0;  // the function chosen in registration mode
  int16_t userPageEditing = 480;
  std::array<MenuId, 4 * kSoftKeysPerPage> userTargets{};
  SavedMenuState helpSaved;
  bool helpFromSavedState = false;
  // The keyboard stands for the alternate panel of the system menus: Alt+N switches the step
  // mode and TEST MODE goes through node 617.
  int16_t alternatePanel = 1;
};

// The on-screen pop-up menu of the panel keys.
struct PopupState {
  bool open = false;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int itemCount = 0;
  int selected = -1;  // index into the item table; -1 = none
};

struct MessageState {
  int32_t currentMessage = 0;        // the code shown now; 0 = none
  int32_t boxElement = -1;           // mouse element of the message box: 329 while shown
  int32_t programLine = 0;           // line number of the stored-program executor
  bool notProperlyShutDown = false;  // the last run logged a start but no end
};

}  // namespace vq
