// The soft-key menu engine: menu nodes, soft-key pages, the page stack and key dispatch.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "traces/meas_condition.h"

namespace vq {

constexpr int kMenuNodeCount = 1425;
constexpr int kSoftKeyPageCount = 229;
constexpr int kSoftKeysPerPage = 9;
constexpr int kMaxPageDepth = 4;
constexpr int kLabelChars = 15;  // a label line holds 15 characters in a 16-byte field

using MenuId = int16_t;

// Nodes and pages the engine itself names.
constexpr MenuId kNodeSweep = 1;
constexpr MenuId kNodeFile = 12;
constexpr MenuId kNodeSystem = 14;
constexpr MenuId kNodeUser = 16;
constexpr MenuId kNodeHelp = 17;
constexpr MenuId kNodeCopy = 18;
constexpr MenuId kNodeHelpReturn = 20;
constexpr MenuId kNodeUndoLocal = 29;
constexpr MenuId kNodeTestMode = 323;
constexpr MenuId kFirstUserPageNode = 480;  // nodes 480 to 483 open the four USER pages
constexpr MenuId kNodeProgramStop = 492;
constexpr MenuId kNodeTestModeAlt = 617;
constexpr MenuId kNodeUserRegister = 1209;
constexpr int kWaitPage = 133;
constexpr int kHelpPage = 188;

// Node handler modes.
constexpr int kModeEnter = 0;
constexpr int kModeLeave = 1;
constexpr int kModeKey = 2;

// State query results.
constexpr int16_t kKeyEnabled = 0;
constexpr int16_t kKeyDisabled = 2;

// Kinds for the USER-key registration.
constexpr int16_t kKindRegistrable = 0;
constexpr int16_t kKindRefused = 1;
constexpr int16_t kKindNavigation = 2;
constexpr int16_t kKindRegistrableRun = 3;

using MenuHandler = int32_t (*)(int mode, int16_t* key);
using LabelPainter = void (*)(int slot, int16_t value);
using StateQuery = int16_t (*)();

// How a node behaves when it is entered, for the nodes the tables describe completely.
enum class NodeAction : uint8_t {
  None,       // a function whose handler is bound by its subsystem (or none yet: disabled)
  TopMenu,    // shows its page as the top of the stack (panel keys)
  LowerPage,  // pushes its page one level down
  MorePage,   // replaces the current page by its sibling page (MORE 1/2, MORE 2/2, ...)
  Return,     // back to the parent page
};

// Soft-key drawing variants.
enum class KeyVariant : uint8_t {
  Plain,
  Entry,      // a small marker glyph at x 701: the key opens a value entry
  LowerPage,  // bevelled corner: leads to a lower page
  Toggle,     // the opposite bevel: switches a setting
};

// One row of the menu table.
struct MenuNode {
  MenuHandler handler = nullptr;   // nullptr: the standard handler of `action`
  LabelPainter painter = nullptr;  // nullptr: the standard painter draws `line1`, `line2`
  LabelPainter extraPainter = nullptr;
  StateQuery state = nullptr;  // nullptr: enabled for navigation actions, else disabled
  StateQuery aux = nullptr;    // nullptr: 3
  int16_t kind = kKindRefused;
  NodeAction action = NodeAction::None;
  int16_t page = -1;  // the page a navigation node shows
  KeyVariant variant = KeyVariant::Plain;
  const char* line1 = "";
  const char* line2 = "";
  const char* valueLine = "";
};

// One row of the soft-key page table: nine targets and a title (a line feed splits it in two).
struct SoftKeyPage {
  std::array<int16_t, kSoftKeysPerPage> target;
  char title[32];
};
static_assert(sizeof(SoftKeyPage) == 50, "a page row is 50 bytes");

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

struct SavedMenuState {
  int32_t page = 0;
  std::array<int32_t, kMaxPageDepth> parents{};
  int32_t depth = 0;
  int16_t selectionMode = 0;
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
  int16_t selectionMode = 0;  // 0 normal, 1 program editor, 2 USER registration, 3 help
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

// The standard labels.
constexpr const char* kLabelReturn = "RETURN";

// Loads the menu and page tables into the context and applies the start-up patches.
void InitMenus();
// Enters the SWEEP top menu, as the analyzer does when it starts.
void StartMenus();
// The state most nodes share: disabled while a stored program runs.
int16_t CommonKeyState();

int32_t KeyCommand(int source, int command);
int32_t PressSoftKey(int slot);
int32_t PressPanelKey(MenuId node, int source);
void GoToMenu(MenuId target, int keep, int16_t key);
int32_t ExecuteMenu(MenuId target);
void ShowSoftKeyPage(int32_t page, int32_t depth);
void PopSoftKeyPage();
void SetSoftKeyTarget(MenuId target, int32_t page, int slot);
void SetSoftKeyPressed(int slot, int pressed);
int ClassifyKey(int key);

// The node's state query result (0 enabled, 2 disabled).
int16_t NodeState(MenuId node);
// Shows a USER page (nodes 480 to 483) with the functions registered into it.
int32_t ShowUserPage(MenuId id);
// Gives a node its handler, label painter (nullptr: the standard one) and state query.
void BindNode(MenuId id, MenuHandler handler, LabelPainter painter = nullptr,
              StateQuery state = CommonKeyState);
// Binds the USER panel key and the registration key.
void BindUserKeyNodes();
// Binds UNDO/LOCAL.
void BindUndoNode();
// Records that the setting record changed in the current menu (UNDO/LOCAL can take it back).
void NoteSettingChanged();
// Enters a node (mode 0) with the key word.
int32_t EnterNode(MenuId node, int16_t key);
// The title of a page as one text, line feed included.
std::string PageTitle(int32_t page);

}  // namespace vq
