// Help mode: a page listing the panel keys and their keyboard shortcuts, ended by a panel key.
#include "menu/help.h"

#include <cstdio>

#include "draw/primitives.h"
#include "instrument.h"
#include "menu/menu_engine.h"
#include "resources/colour_tables.h"

namespace vq {

namespace {

struct HelpLine {
  const char* key;
  const char* shortcut;
};
constexpr HelpLine kHelpLines[] = {
    {"SWEEP", "Shift+F1"},
    {"CENTER", "Shift+F2"},
    {"SPAN", "Shift+F3"},
    {"LEVEL", "Shift+F4"},
    {"SETUP", "Shift+F5"},
    {"TRACE", "Shift+F6"},
    {"ZOOM", "Shift+F7"},
    {"DISPLAY", "Shift+F8"},
    {"MARKER", "Shift+F9"},
    {"PEAK SEARCH", "Shift+F10"},
    {"ANALYSIS", "Shift+F11"},
    {"USER", "Alt+F1"},
    {"MEMORY", "Alt+F2"},
    {"FILE", "Alt+F3"},
    {"PROGRAM", "Alt+F4"},
    {"ADVANCE", "Alt+F5"},
    {"SYSTEM", "Alt+F6"},
    {"UNDO/LOCAL", "Alt+F9"},
    {"COPY", "Alt+F10"},
    {"HELP", "Alt+F12"},
    {"SOFT KEYS 1-9", "F1 - F9"},
    {"STEP FINE/COARSE", "Alt+N"},
    {"POP-UP MENU", "Apps, right click"},
};

int32_t HelpHandler(int mode, int16_t*) {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  if (mode != kModeEnter) return 0;
  if (m.selectionMode != kSelectHelp) {
    m.helpSaved = {m.page, m.parents, m.depth, m.selectionMode, g.screen.screenMode, m.currentMenu};
    m.helpFromSavedState = true;
  }
  m.selectionMode = kSelectHelp;
  g.screen.screenMode = kScreenModeHelp;
  ShowSoftKeyPage(kHelpPage, 0);
  g.frame.redrawFlags = kRedrawAll;
  return 1;
}

int32_t HelpReturnHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  EndHelp();
  return 1;
}

int16_t HelpState() {
  return GInstrument->config.debug.help ? CommonKeyState() : kKeyDisabled;
}

}  // namespace

void BindHelpNodes() {
  BindNode(kNodeHelp, HelpHandler, nullptr, HelpState);
  BindNode(kNodeHelpReturn, HelpReturnHandler);
}

void EndHelp() {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  if (m.selectionMode != kSelectHelp) return;
  if (m.helpFromSavedState) {
    const SavedMenuState& s = m.helpSaved;
    m.page = s.page;
    m.parents = s.parents;
    m.depth = s.depth;
    m.currentMenu = s.currentMenu;
    g.screen.screenMode = s.screenMode;
    m.helpFromSavedState = false;
  }
  m.selectionMode = kSelectNormal;
  m.pressed.fill(0);
  m.columnChanged = 1;
  g.frame.redrawFlags = kRedrawAll;
}

void DrawHelpPage() {
  Panel(47, 150, 601, 401, kSlotMiscWin, 3);
  TextNormal(kSlotMiscWinTitle, kSlotMiscWin, 63, 160, "HELP: PANEL KEYS AND KEYBOARD");
  int y = 184;
  for (const HelpLine& line : kHelpLines) {
    char text[64];
    std::snprintf(text, sizeof text, "%-18s %s", line.key, line.shortcut);
    TextNormal(kSlotMiscWinTitle, kSlotMiscWin, 79, y, text);
    y += 15;
  }
  TextNormal(kSlotMiscWinTitle, kSlotMiscWin, 63, 532, "A panel key ends the help.");
}

}  // namespace vq
