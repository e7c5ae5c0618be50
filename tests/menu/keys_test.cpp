// Tests of keys through the window procedure: key names, panel and soft keys, the pop-up menu,
// help and the quit key.
#include <set>
#include <utility>
#include <vector>

#include "frame/key_names.h"
#include "menu/help.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/popup_menu.h"
#include "resources/colour_tables.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

// Calls of an instrumented node handler: (mode, key word; commands fill its 16 bits).
std::vector<std::pair<int, int>> gCalls;
int32_t CountingHandler(int mode, int16_t* key) {
  gCalls.emplace_back(mode, static_cast<uint16_t>(*key));
  return 1;
}

class KeysTest : public StartedInstrumentTest {
 protected:
  void SetUp() override {
    StartedInstrumentTest::SetUp();
    gCalls.clear();
  }
  // Presses a key by its name as the window gets it, then lets the loop settle.
  void Type(char c) {
    WindowProc(WM_CHAR, static_cast<uintptr_t>(c), 0);
    PumpUntilIdle(host);
  }
  MenuState& menu() { return g().menu; }
};

TEST(KeyNames, NamesAndTheAcceleratorTable) {
  const std::pair<const char*, int> known[] = {
      {"F1", 40002}, {"Alt+F11", 40046}, {"Ctrl+Alt+B", 40037}, {"Shift+Enter", 40040}};
  for (const auto& [name, command] : known) EXPECT_EQ(KeyNameCommand(name), command) << name;
  for (const char* name : {"F10", "F0", "F13", "F1x", "Shift+F12", "Alt+B", "Ctrl+P", "Home", "Q",
                           "Alt+", "shift+F1", "Enter+Shift", ""}) {
    EXPECT_EQ(KeyNameCommand(name), 0) << name;
  }
  // One command per key and modifiers; every panel key has a key.
  std::set<std::pair<int, int>> keys;
  std::set<int> commands;
  for (const Accelerator& a : Accelerators()) {
    EXPECT_TRUE(keys.insert({a.key, a.modifiers}).second) << a.command;
    commands.insert(a.command);
  }
  for (int c = kCmdPanelFirst; c <= kCmdPanelLast; ++c) EXPECT_TRUE(commands.count(c)) << c;
}

TEST_F(KeysTest, PanelKeysOpenTheirPages) {
  const std::pair<const char*, const char*> panels[] = {
      {"Shift+F2", "CENTER"},        {"Shift+F3", "SPAN"},      {"Shift+F4", "LEVEL"},
      {"Shift+F5", "SETUP"},         {"Shift+F9", "MARKER"},    {"Shift+F6", "TRACE"},
      {"Shift+F10", "PEAK\nSEARCH"}, {"Shift+F11", "ANALYSIS"}, {"Shift+F8", "DISPLAY"},
      {"Alt+F2", "MEMORY"},          {"Alt+F3", "FILE"},        {"Alt+F4", "PROGRAM"},
      {"Alt+F6", "SYSTEM"},          {"Alt+F5", "ADVANCE"},     {"Alt+F1", "USER"},
      {"Shift+F7", "ZOOM"},          {"Shift+F1", "SWEEP"},
  };
  for (const auto& [key, title] : panels) {
    Press(key);
    EXPECT_EQ(PageTitle(menu().page), title) << key;
    EXPECT_EQ(menu().depth, 0) << key;
  }
  // A lower page, and its RETURN.
  Press("Shift+F4", "F8");
  EXPECT_EQ(PageTitle(menu().page), "Y SCALE\nDIVISION");
  EXPECT_EQ(menu().depth, 1);
  Press("F9");
  EXPECT_EQ(menu().page, 3);
  EXPECT_EQ(menu().depth, 0);
}

TEST_F(KeysTest, KeysReachTheCurrentNode) {
  Press("Shift+F2");
  menu().nodes[2].handler = CountingHandler;
  Press("Shift+F2", "Shift+F2");  // the node again: entered anew, never left
  Type('5');
  Press("Up", "Ctrl+Home");
  using Calls = std::vector<std::pair<int, int>>;
  EXPECT_EQ(gCalls, (Calls{{kModeEnter, 2},
                           {kModeEnter, 2},
                           {kModeKey, '5'},
                           {kModeKey, kCmdUp},
                           {kModeKey, kCmdCtrlHome}}));
  gCalls.clear();
  Press("Shift+F3");
  EXPECT_EQ(gCalls, (Calls{{kModeLeave, 3}}));  // the key word names the node entered
}

TEST_F(KeysTest, SoftKeysActOnlyWhenEnabledAndShown) {
  // SWEEP has no ninth key: pressing it does nothing and reports so.
  ASSERT_EQ(menu().keySlots[8].target, 0);
  const int presentsBefore = host.presents.load();
  EXPECT_EQ(KeyCommand(2, kCmdSoftKey9), 0);
  EXPECT_EQ(menu().page, 0);
  EXPECT_EQ(menu().currentMenu, 1);
  EXPECT_EQ(menu().pressed[8], 0);
  EXPECT_GE(host.presents.load(), presentsBefore + 2);  // drawn pressed, then released

  // A new page's keys do nothing until the column shows them.
  WindowProc(WM_COMMAND, KeyNameCommand("Shift+F4"), 0);
  ASSERT_NE(menu().columnChanged, 0);
  WindowProc(WM_COMMAND, kCmdSoftKey1 + 7, 0);
  EXPECT_EQ(menu().page, 3);
  PumpUntilIdle(host);
  EXPECT_EQ(menu().columnChanged, 0);
  Press("F8");
  EXPECT_EQ(menu().page, 6);
}

TEST_F(KeysTest, QuitKeyNeedsItsSwitch) {
  Press("Alt+Q");
  EXPECT_EQ(g().frame.exitRequest, 0);
  EXPECT_FALSE(host.quit);
  g().config.debug.altQ = true;
  Press("Alt+Q");
  EXPECT_TRUE(host.quit);
}

TEST_F(KeysTest, PopupMenuFromTheAppsKey) {
  Press("Apps");
  const PopupState& p = g().popup;
  ASSERT_TRUE(p.open);
  EXPECT_EQ(std::vector<int>({p.x, p.y, p.width, p.height}),
            std::vector<int>({339, 145, 122, 310}));
  EXPECT_EQ(p.selected, 0);  // CENTER

  // Down and Left go forward, Up and Right back; separators are skipped, the ends wrap.
  Press("Down", "Left");
  EXPECT_EQ(p.selected, 2);  // LEVEL
  Press("Down");
  EXPECT_EQ(p.selected, 4);  // SWEEP, past the separator
  Press("Up", "Right", "Up");
  EXPECT_EQ(p.selected, 0);
  Press("Up");
  EXPECT_EQ(p.selected, 25);  // HELP, the last item
  Press("Down");
  EXPECT_EQ(p.selected, 0);

  // Other keys do nothing while it is open; Enter runs the selected item and closes it.
  menu().nodes[1].handler = CountingHandler;
  Type('7');
  Press("Insert");
  EXPECT_TRUE(p.open);
  EXPECT_TRUE(gCalls.empty());
  Press("Down", "Enter");
  EXPECT_FALSE(p.open);
  EXPECT_EQ(PageTitle(menu().page), "SPAN");

  // With TEST MODE the menu has a 27th item and opens higher.
  g().config.debug.testMode = true;
  Press("Apps");
  EXPECT_EQ(std::vector<int>({p.x, p.y, p.width, p.height}),
            std::vector<int>({339, 138, 122, 324}));
}

TEST_F(KeysTest, HelpKeepsTheMenuStateItInterrupts) {
  Press("Shift+F4", "F8");  // Y SCALE DIVISION, below LEVEL
  ASSERT_EQ(menu().currentMenu, 901);
  Press("Alt+F12");
  EXPECT_EQ(menu().selectionMode, kSelectHelp);
  EXPECT_EQ(PageTitle(menu().page), "HELP");
  EXPECT_EQ(g().screen.screenMode, kScreenModeHelp);

  // Its RETURN key goes back to where help was called.
  Press("F9");
  EXPECT_EQ(menu().selectionMode, kSelectNormal);
  EXPECT_EQ(menu().page, 6);
  EXPECT_EQ(menu().depth, 1);
  EXPECT_EQ(menu().parents[0], 3);
  EXPECT_EQ(menu().currentMenu, 901);
  EXPECT_EQ(g().screen.screenMode, 0);

  // A panel key ends help from the saved state: the interrupted node is the one left.
  Press("Alt+F12");
  menu().nodes[901].handler = CountingHandler;
  Press("Shift+F2");
  EXPECT_EQ(gCalls, (std::vector<std::pair<int, int>>{{kModeLeave, 2}}));
  EXPECT_EQ(menu().selectionMode, kSelectNormal);
  EXPECT_EQ(menu().currentMenu, 2);
  EXPECT_EQ(PageTitle(menu().page), "CENTER");
  EXPECT_EQ(g().screen.screenMode, 0);
}

}  // namespace
}  // namespace vq
