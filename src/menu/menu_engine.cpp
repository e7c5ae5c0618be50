// The soft-key menu engine: tables, page stack, soft keys, panel keys and key dispatch.
#include "menu/menu_engine.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "instrument.h"
#include "menu/help.h"
#include "menu/key_commands.h"
#include "menu/messages.h"
#include "menu/param_entry.h"
#include "menu/popup_menu.h"
#include "resources/menu_tables.h"

namespace vq {

static_assert(kCmdPanelFirst - kCmdPanelNodeOffset == kNodeSweep,
              "the first panel key command opens the first panel key node");

namespace {

bool ValidNode(int node) {
  return node >= 0 && node < kMenuNodeCount;
}

MenuNode& Node(MenuId id) {
  assert(ValidNode(id) && "menu id out of range");
  return GInstrument->menu.nodes[id];
}

bool IsNavigation(NodeAction a) {
  return a != NodeAction::None;
}

void MarkColumnChanged() {
  Instrument& g = *GInstrument;
  g.menu.pressed.fill(0);
  g.menu.columnChanged = 1;
  g.frame.redrawFlags |= kRedrawSoftKeys | kRedrawSoftKeyPath;
}

// The handler of the nodes the tables describe completely.
int32_t StandardHandler(MenuId id, int mode) {
  Instrument& g = *GInstrument;
  const MenuNode& node = Node(id);
  if (mode != kModeEnter) return 0;
  switch (node.action) {
    case NodeAction::TopMenu:
      ShowSoftKeyPage(node.page, 0);
      break;
    case NodeAction::LowerPage:
      ShowSoftKeyPage(node.page, std::min(g.menu.depth + 1, kMaxPageDepth));
      break;
    case NodeAction::MorePage:
      if (g.menu.page != node.page) {
        g.menu.page = node.page;
        MarkColumnChanged();
      }
      break;
    case NodeAction::Return:
      PopSoftKeyPage();
      break;
    case NodeAction::None:
      break;
  }
  return 1;
}

int32_t CallHandler(MenuId id, int mode, int16_t* key) {
  const MenuNode& node = Node(id);
  if (node.handler) return node.handler(mode, key);
  return StandardHandler(id, mode);
}

// While connected, an action applied here is mirrored to the analyzer (the link sets the calls).
void MirrorToAnalyzer(int id) {
  const LinkState& link = GInstrument->link;
  if (link.connected == 1 && link.mirrorsAction && link.mirrorsAction(id)) link.remoteAction(id);
}

}  // namespace

// The USER pages show the functions registered into them; nodes 480 to 483 open them.
int32_t ShowUserPage(MenuId id) {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  m.userPageEditing = id;
  const MenuNode& node = Node(id);
  SoftKeyPage& page = m.pages[node.page];
  const int first = (id - kFirstUserPageNode) * kSoftKeysPerPage;
  for (int s = 0; s < kSoftKeysPerPage - 1; ++s) page.target[s] = m.userTargets[first + s];
  if (m.page != node.page) {
    ShowSoftKeyPage(node.page, 0);
  } else {
    MarkColumnChanged();
  }
  return 1;
}

int16_t CommonKeyState() {
  return GInstrument->program.running == 1 ? kKeyDisabled : kKeyEnabled;
}

int16_t NodeState(MenuId id) {
  if (!ValidNode(id) || id == 0) return kKeyDisabled;
  const MenuNode& node = Node(id);
  if (node.state) return node.state();
  return IsNavigation(node.action) ? kKeyEnabled : kKeyDisabled;
}

int32_t EnterNode(MenuId id, int16_t key) {
  if (!ValidNode(id)) return 0;
  if (id >= kFirstUserPageNode && id < kFirstUserPageNode + kUserPageCount && !Node(id).handler) {
    return ShowUserPage(id);
  }
  return CallHandler(id, kModeEnter, &key);
}

std::string PageTitle(int32_t page) {
  if (page < 0 || page >= kSoftKeyPageCount) return "";
  const SoftKeyPage& p = GInstrument->menu.pages[page];
  return std::string(p.title, strnlen(p.title, sizeof p.title));
}

void InitMenus() {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  m = MenuState{};
  for (const MenuNodeDef& d : MenuNodeDefs()) {
    MenuNode& n = m.nodes[d.id];
    n.action = d.action;
    n.page = d.page;
    n.kind = d.kind;
    n.variant = d.variant;
    n.line1 = d.line1;
    n.line2 = d.line2;
  }
  for (const PageDef& d : PageDefs()) {
    SoftKeyPage& p = m.pages[d.page];
    p.target = d.targets;
    std::snprintf(p.title, sizeof p.title, "%s", d.title);
  }
}

void ApplyStartupPatches() {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  // Start-up patches of the page table, some of them by the debug switches.
  const DebugSwitches& debug = g.config.debug;
  for (const StartupPatch& p : StartupPatches()) {
    const bool on = p.when == PatchSwitch::Always ||
                    (p.when == PatchSwitch::Alpha && debug.alpha) ||
                    (p.when == PatchSwitch::NewResolutionSetting && debug.newResolutionSetting) ||
                    (p.when == PatchSwitch::Palette && debug.palette);
    if (on) SetSoftKeyTarget(p.target, p.page, p.slot);
  }
  // The reserved node is always disabled and painted with its plain label.
  m.nodes[kNodeReserved].state = [] { return kKeyDisabled; };
  m.nodes[kNodeReserved].painter = nullptr;
}

void BindNode(MenuId id, MenuHandler handler, LabelPainter painter, StateQuery state) {
  MenuNode& n = Node(id);
  n.handler = handler;
  n.painter = painter;
  n.state = state;
}

void StartMenus() {
  // The analyzer starts in the SWEEP top menu.
  GInstrument->menu.currentMenu = 0;
  GoToMenu(kNodeSweep, 0, 0);
}

void ShowSoftKeyPage(int32_t page, int32_t depth) {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  if (depth < 0 || depth > kMaxPageDepth) return;
  assert(page >= 0 && page < kSoftKeyPageCount && "soft-key page out of range");
  m.depth = depth;
  if (depth > 0 && page != m.page) {
    for (int i = kMaxPageDepth - 1; i > 0; --i) m.parents[i] = m.parents[i - 1];
    m.parents[0] = m.page;
  }
  m.page = page;
  MarkColumnChanged();
}

void PopSoftKeyPage() {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  if (m.depth <= 0) return;
  m.page = m.parents[0];
  for (int i = 0; i < kMaxPageDepth - 1; ++i) m.parents[i] = m.parents[i + 1];
  m.parents[kMaxPageDepth - 1] = 0;
  --m.depth;
  MarkColumnChanged();
}

void SetSoftKeyTarget(MenuId target, int32_t page, int slot) {
  assert(page >= 0 && page < kSoftKeyPageCount && slot >= 0 && slot < kSoftKeysPerPage &&
         "soft-key page or slot out of range");
  GInstrument->menu.pages[page].target[slot] = target;
}

void SetSoftKeyPressed(int slot, int pressed) {
  Instrument& g = *GInstrument;
  g.menu.pressed[slot] = static_cast<int16_t>(pressed);
  g.frame.redrawFlags |= kRedrawSoftKeys;
  RedrawNow();
}

void GoToMenu(MenuId target, int keep, int16_t key) {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  if ((target != m.currentMenu || g.entry.parameter < 0) && keep == 0) {
    m.undoSnapshot = false;
    m.undoSetting = g.conditions.setting;
  }
  if (target == m.currentMenu && g.entry.state != 3) {
    EnterNode(target, key);
    return;
  }
  if (keep == 0) CallHandler(m.currentMenu, kModeLeave, &key);
  m.currentMenu = target;
  EnterNode(target, key);
}

int32_t ExecuteMenu(MenuId target) {
  const int16_t state = NodeState(target);
  if (state != 0) return state;
  GInstrument->menu.currentMenu = target;
  EnterNode(target, target);
  MirrorToAnalyzer(target);
  return 0;
}

int32_t PressSoftKey(int slot) {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  assert(slot >= 0 && slot < kSoftKeysPerPage && "soft-key slot out of range");
  const SoftKeySlot& record = m.keySlots[slot];
  const MenuId target = record.target;

  if (m.selectionMode == kSelectUserRegistration) {
    if (m.currentMenu != kNodeUser && !(m.currentMenu >= kFirstUserPageNode &&
                                        m.currentMenu < kFirstUserPageNode + kUserPageCount)) {
      if (!ValidNode(target) || target == 0) return 0;
      const int16_t kind = Node(target).kind;
      if (kind == kKindRefused) return 0;
      if (kind == kKindRegistrable || kind == kKindRegistrableRun) {
        m.registeredFunction = target;
        g.frame.redrawFlags |= kRedrawDynamicOnly;
      }
      if (kind == kKindRegistrableRun || kind == kKindNavigation) EnterNode(target, target);
      return 1;
    }
    if (slot != kSoftKeysPerPage - 1) {
      const int index = slot + kSoftKeysPerPage * (m.userPageEditing - kFirstUserPageNode);
      m.userTargets[index] = m.registeredFunction;
      m.registeredFunction = 0;
      ShowUserPage(m.userPageEditing);
      g.frame.redrawFlags |= kRedrawSoftKeys;
      return 1;
    }
  }
  if (record.state != 0) return 0;

  const int16_t key = static_cast<int16_t>(target);
  switch (SoftKeyPressRule(target)) {
    case PressRule::GoOnce:
      if (m.currentMenu != target) GoToMenu(target, 0, key);
      break;
    case PressRule::EnterAsCurrent:
      m.currentMenu = target;
      EnterNode(target, key);
      MirrorToAnalyzer(target);
      break;
    case PressRule::EnterOnce:
      EnterNode(target, key);
      break;
    case PressRule::GoToMenu:
      GoToMenu(target, (record.style >> 2) & 1, static_cast<int16_t>(kCmdSoftKey1 + slot));
      MirrorToAnalyzer(target);
      break;
  }
  return 1;
}

int32_t PressPanelKey(MenuId node, int source) {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  (void)source;
  m.pendingRemote = 0;
  CloseMessageWindows();
  int32_t result = 0;
  if (m.selectionMode == kSelectNormal || m.selectionMode == kSelectHelp) {
    if (NodeState(node) == 0) {
      if (m.selectionMode == kSelectHelp) EndHelp();
      m.selectionMode = kSelectNormal;
      GoToMenu(node, 0, static_cast<int16_t>(node));
      result = 1;
    }
  } else if (m.selectionMode == kSelectUserRegistration) {
    if (Node(node).kind != kKindRefused && NodeState(node) == 0) {
      GoToMenu(node, 0, static_cast<int16_t>(node));
      result = 1;
    }
  }
  // Selection mode 1 records keys into a program line; there is no program editor to record to.
  ClosePopupMenu(false);
  return result;
}

int ClassifyKey(int key) {
  if ((key >= '0' && key <= '9') || key == '.' || key == '-') return 1;
  if (key == kCmdBackSpace || key == kCmdEnter || key == kCmdShiftEnter || key == kCmdUp ||
      key == kCmdDown) {
    return 2;
  }
  return 0;
}

int32_t KeyCommand(int source, int command) {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  const bool programRuns = g.program.running == 1;

  if (command >= kCmdSoftKey1 && command <= kCmdSoftKey9) {
    if (m.columnChanged && !programRuns) return 1;
    ClosePopupMenu(true);
    CloseMessageWindows();
    const int slot = command - kCmdSoftKey1;
    SetSoftKeyPressed(slot, 1);
    const int32_t result = PressSoftKey(slot);
    if (!(g.link.connected == 1 && g.link.wake != 0)) g.host->Sleep(50);
    SetSoftKeyPressed(slot, 0);
    return result;
  }
  switch (command) {
    case kCmdQuit:
      if (!g.config.debug.altQ) return 1;
      g.frame.redrawFlags |= kRedrawDynamicOnly;
      m.pendingRemote = 0;
      g.frame.exitRequest = 3;
      return 1;
    case kCmdHelp:
      if (NodeState(kNodeHelp) != 0) return 1;
      m.pendingRemote = 0;
      ClosePopupMenu(false);
      m.undoSnapshot = false;
      EnterNode(kNodeHelp, static_cast<int16_t>(command));
      m.currentMenu = kNodeHelp;
      return 1;
    case kCmdCopy:
      if (NodeState(kNodeCopy) != 0) return 1;
      ClosePopupMenu(true);
      EnterNode(kNodeCopy, static_cast<int16_t>(command));
      return 1;
    case kCmdUndoLocal:
      ClosePopupMenu(false);
      CloseMessageWindows();
      if (NodeState(kNodeUndoLocal) != 0) return 0;
      EnterNode(kNodeUndoLocal, static_cast<int16_t>(command));
      return 1;
    case kCmdTestMode:
      if (m.selectionMode != kSelectNormal && m.selectionMode != kSelectHelp) return 1;
      ClosePopupMenu(false);
      if (PressPanelKey(m.alternatePanel == 1 ? kNodeTestModeAlt : kNodeSystem, source) &&
          m.selectionMode != kSelectNormal) {
        EnterNode(kNodeTestModeAlt, static_cast<int16_t>(command));
        EnterNode(kNodeTestMode, static_cast<int16_t>(command));
      }
      return 1;
    case kCmdStepMode:
      if (m.alternatePanel != 0 && CommonKeyState() == 0) {
        ClosePopupMenu(false);
        ToggleStepMode();
      }
      return 1;
    case kCmdApps:
      OpenPopupMenu(kPopupOpenX, PopupOpenY());
      return 1;
    default:
      break;
  }
  if ((command >= kCmdPanelFirst && command <= kCmdPanelLast) || command == kCmdZoom) {
    return PressPanelKey(static_cast<MenuId>(command - kCmdPanelNodeOffset), source);
  }
  if (command == kCmdFeed || command == kCmdCtrlP ||
      (command >= kCmdAltF11 && command <= kCmdIgnoredLast)) {
    return 1;
  }
  if (PopupMenuOpen()) {
    PopupMenuKey(command);
    return 0;
  }
  const bool entryBefore = g.entry.parameter >= 0;
  int16_t key = static_cast<int16_t>(command);
  CallHandler(m.currentMenu, kModeKey, &key);
  // A stepped or entered value reaches the analyzer as the current menu's action.
  const bool entered = command == kCmdEnter || command == kCmdShiftEnter;
  const bool stepped = command >= kCmdUp && command <= kCmdRight;
  if (stepped || (entered && (entryBefore || g.entry.parameter >= 0))) {
    MirrorToAnalyzer(m.currentMenu);
  }
  return 1;
}

void NoteSettingChanged() {
  GInstrument->menu.undoSnapshot = true;
}

}  // namespace vq
