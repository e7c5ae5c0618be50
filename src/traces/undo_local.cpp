// UNDO/LOCAL: takes back the last change of the setting record made in the current menu, with
// the pane that shows the active trace in split display.
#include "instrument.h"
#include "menu/menu_engine.h"
#include "menu/param_entry.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

int32_t UndoHandler(int mode, int16_t*) {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  if (mode != kModeEnter || !m.undoSnapshot) return 0;
  const MeasCondition before = g.conditions.setting;
  g.conditions.setting = m.undoSetting;
  m.undoSnapshot = false;
  if (LevelScaleDiffers(before, g.conditions.setting)) FollowLevelScale();
  g.entry.linearScalePage = g.conditions.setting.logScale < 0;
  // An open entry goes on from the restored value, not from the one taken back.
  RefreshEntry();
  // The value lines, the condition area, the graph and its labels show the restored values.
  g.frame.redrawFlags |= kRedrawAll;
  return 1;
}

int16_t UndoState() {
  return GInstrument->menu.undoSnapshot ? CommonKeyState() : kKeyDisabled;
}

}  // namespace

void BindUndoNode() {
  MenuNode& node = GInstrument->menu.nodes[kNodeUndoLocal];
  node.handler = UndoHandler;
  node.state = UndoState;
}

}  // namespace vq
