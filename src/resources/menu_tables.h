// The menu nodes and soft-key pages as data: labels, navigation and page contents.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vq {

constexpr int kMenuNodeCount = 1425;
constexpr int kSoftKeyPageCount = 229;
constexpr int kSoftKeysPerPage = 9;
constexpr int kMaxPageDepth = 4;
constexpr int kLabelChars = 15;  // a label line holds 15 characters in a 16-byte field

using MenuId = int16_t;

// Nodes that code names. Each name is checked against the node's label in the table
// (menu_nodes.cpp), so a renumbered table cannot leave a name pointing at the wrong key.
enum NodeName : MenuId {
  kNodeSweep = 1,
  kNodeAnalysis = 8,
  kNodeFile = 12,
  kNodeSystem = 14,
  kNodeUser = 16,
  kNodeHelp = 17,
  kNodeCopy = 18,
  kNodeHelpReturn = 20,
  kNodeUndoLocal = 29,
  kNodeReturnKeep = 298,  // RETURN that keeps the current node (no leave call)
  kNodeTestMode = 323,
  kFirstUserPageNode = 480,  // nodes 480 to 483 open the four USER pages
  kNodeProgramStop = 492,    // the ninth key while a program runs
  kNodeTestModeAlt = 617,
  kNodePaletteExport = 631,          // PALETTE EXPORT, with the PALETTE debug switch
  kNodeReturnKeepResolution = 1147,  // the same, from the resolution modes
  kNodeUserRegister = 1209,
  kNodeAllTrace = 1383,  // the ALL TRACE item of the FILE item list
  kNodeReserved = 1396,  // on no page; always disabled
};
constexpr int kUserPageCount = 4;

// Soft-key pages that code names, checked against their titles (softkey_pages.cpp).
enum PageName : int {
  kPageFileItems = 71,  // "ITEM\nSELECT" of the FILE menu
  kWaitPage = 133,
  kHelpPage = 188,
};

// What pressing a soft key does with its target. Most keys go to their menu; the listed ones
// are entered directly (kSoftKeyPressRules).
enum class PressRule : uint8_t {
  GoToMenu,        // GoToMenu(target), keeping the node by the slot's style bit
  GoOnce,          // GoToMenu(target) unless it is already the current menu
  EnterAsCurrent,  // becomes the current menu and is entered with its own id as the key
  EnterOnce,       // entered without changing the current menu: one-shot actions, program exits
};
struct PressRuleRow {
  MenuId node;
  PressRule rule;
};
std::span<const PressRuleRow> SoftKeyPressRules();
// The rule of a target: GoToMenu when it is not listed.
PressRule SoftKeyPressRule(MenuId target);

// Page slots that start-up rewrites, some of them only with a debug switch on.
enum class PatchSwitch : uint8_t { Always, Alpha, NewResolutionSetting, Palette };
struct StartupPatch {
  PatchSwitch when;
  int16_t page;
  int8_t slot;  // counted from 0
  MenuId target;
};
std::span<const StartupPatch> StartupPatches();

// The standard labels.
constexpr const char* kLabelReturn = "RETURN";

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

// A node of the menu table as the tables describe it; the rows not listed are empty nodes.
// Handlers, painters and state queries of functions are bound by their subsystems.
struct MenuNodeDef {
  MenuId id;
  NodeAction action;
  int16_t page;  // for the navigation actions; -1 otherwise
  int16_t kind;
  KeyVariant variant;
  const char* line1;
  const char* line2;
};

// A page of the soft-key page table; pages not listed are empty (no keys, no title).
struct PageDef {
  int16_t page;
  std::array<int16_t, kSoftKeysPerPage> targets;
  const char* title;  // "\n" splits it into two lines; at most 31 characters
};

std::span<const MenuNodeDef> MenuNodeDefs();
std::span<const PageDef> PageDefs();

}  // namespace vq
