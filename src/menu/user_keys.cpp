// The USER panel key and the registration of functions into the USER pages.
#include "instrument.h"
#include "menu/menu_engine.h"
#include "menu/softkey_column.h"

namespace vq {

namespace {

int32_t UserHandler(int mode, int16_t*) {
  return mode == kModeEnter ? ShowUserPage(kFirstUserPageNode) : 0;
}

// USER KEY REGIST switches the registration mode on and off: while it is on, the next function
// key chosen is stored into the USER slot pressed after it.
int32_t RegisterHandler(int mode, int16_t*) {
  Instrument& g = *GInstrument;
  if (mode != kModeEnter) return 0;
  MenuState& m = g.menu;
  m.selectionMode =
      m.selectionMode == kSelectUserRegistration ? kSelectNormal : kSelectUserRegistration;
  m.registeredFunction = 0;
  g.frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}

void RegisterPainter(int slot, int16_t pressed) {
  MenuState& m = GInstrument->menu;
  m.nodes[kNodeUserRegister].valueLine = "OFF ON";
  SoftKeySlot& s = m.keySlots[slot];
  s.style = 1;
  s.index = m.selectionMode == kSelectUserRegistration ? 1 : 0;
  StandardLabelPainter(slot, pressed);
}

}  // namespace

void BindUserKeyNodes() {
  // USER keeps its table state (enabled, navigation); only its handler is bound here.
  GInstrument->menu.nodes[kNodeUser].handler = UserHandler;
  BindNode(kNodeUserRegister, RegisterHandler, RegisterPainter);
  GInstrument->menu.nodes[kNodeUserRegister].kind = kKindNavigation;
}

}  // namespace vq
