// Painting of the soft-key column: the nine keys, their labels, joining bars and the page path.
#include "menu/softkey_column.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/primitives.h"
#include "instrument.h"
#include "menu/menu_engine.h"
#include "resources/colour_tables.h"
#include "resources/fonts.h"

namespace vq {

namespace {

void CopyLine(char (&dst)[16], const char* src) {
  std::snprintf(dst, sizeof dst, "%.15s", src ? src : "");
}

// Text colours of a key: enabled, disabled or pressed (the monochrome schemes use 2 and 0).
void TextColours(const SoftKeySlot& s, int16_t pressed, int& fg, int& shadow) {
  if (pressed) {
    const bool mono = GInstrument->screen.scheme >= kSchemeMono;
    fg = mono ? 2 : kSlotFuncPushChar;
    shadow = mono ? 0 : kSlotFuncPushShadow;
  } else if (s.state == 0) {
    fg = kSlotFuncEffect;
    shadow = kSlotFuncEffectShadow;
  } else {
    fg = kSlotFuncNot;
    shadow = kSlotFuncNotShadow;
  }
}

void DrawValueLine(const SoftKeySlot& s, int x, int y, int fg, int shadow) {
  const char* text = s.lines[2];
  if (!*text) return;
  TextShadow(fg, shadow, x, y, text);
  const int len = static_cast<int>(std::strlen(text));
  if ((s.style & 3) == 1) {
    // The word number `index` (words split at blanks) is highlighted.
    int word = 0, i = 0;
    while (i < len) {
      while (i < len && text[i] == ' ') ++i;
      int end = i;
      while (end < len && text[end] != ' ') ++end;
      if (end > i && word++ == s.index) {
        TextSmall(kSlotFuncCurChar, kSlotFuncCur, x + 8 * i, y,
                  std::string_view(text + i, end - i));
        break;
      }
      i = end;
    }
  } else if ((s.style & 3) == 2 && s.index >= 0 && s.index < len) {
    TextSmall(kSlotFuncCurChar, kSlotFuncCur, x + 8 * s.index, y,
              std::string_view(text + s.index, 1));
  }
}

}  // namespace

int SoftKeyBoxY(int slot, bool listLayout) {
  if (listLayout) return 115 + 53 * slot;
  return slot == kSoftKeysPerPage - 1 ? 551 : 20 + 56 * slot;
}

void StandardLabelPainter(int slot, int16_t pressed) {
  Instrument& g = *GInstrument;
  SoftKeySlot& s = g.menu.keySlots[slot];
  const MenuNode& node = g.menu.nodes[s.target];
  s.owner = s.target;
  CopyLine(s.lines[0], node.line1);
  CopyLine(s.lines[1], node.line2);
  CopyLine(s.lines[2], node.valueLine);
  if (g.menu.paintTarget == PaintTarget::Capture) return;

  const bool list = g.menu.paintTarget == PaintTarget::List;
  const int x = list ? kListLayoutX : kSoftKeyBoxX, y = SoftKeyBoxY(slot, list);
  if (pressed) {
    Panel(x, y, kSoftKeyBoxWidth, kSoftKeyBoxHeight, kSlotFuncPush, 1);
  } else {
    Panel(x, y, kSoftKeyBoxWidth, kSoftKeyBoxHeight, kSlotFunction, 0);
  }
  s.live = !list;
  if (s.target == 0) return;  // an empty key: the box alone

  int fg = 0, shadow = 0;
  TextColours(s, pressed, fg, shadow);
  TextShadow(fg, shadow, x + 2, y + 7, s.lines[0]);
  TextShadow(fg, shadow, x + 2, y + 17, s.lines[1]);
  DrawValueLine(s, x + 2, y + 27, fg, shadow);

  const int right = x + kSoftKeyBoxWidth - 1, bottom = y + kSoftKeyBoxHeight - 1;
  switch (node.variant) {
    case KeyVariant::Entry:
      Symbol(fg, x - 6, y + 19, kSymbolEntryMark);
      break;
    case KeyVariant::LowerPage:
      for (int i = 0; i < 7; ++i) Line(right - 6 + i, bottom, right, bottom - 6 + i, kSlotMainBack);
      Line(right - 7, bottom, right, bottom - 7, kSlotBevelDark);
      break;
    case KeyVariant::Toggle:
      for (int i = 0; i < 7; ++i) Line(right - 6 + i, y, right, y + 6 - i, kSlotMainBack);
      Line(right - 7, y, right, y + 7, kSlotBevelLight);
      break;
    case KeyVariant::Plain:
      break;
  }
}

// The target behind a slot: the ninth key stops a running program instead.
static MenuId SlotTarget(const SoftKeyPage& page, int slot) {
  if (slot == kSoftKeysPerPage - 1 && GInstrument->program.running == 1) return kNodeProgramStop;
  return page.target[slot];
}

static void FillSlotRecords() {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  const SoftKeyPage& page = m.pages[m.page];
  for (int slot = 0; slot < kSoftKeysPerPage; ++slot) {
    SoftKeySlot& s = m.keySlots[slot];
    s = SoftKeySlot{};
    s.target = SlotTarget(page, slot);
    if (m.selectionMode == kSelectUserRegistration) {
      // Registration: everything but the refused nodes can be chosen or passed through.
      s.state = m.nodes[s.target].kind != kKindRefused && s.target != 0 ? 0 : kKeyDisabled;
    } else {
      s.state = NodeState(s.target);
    }
    // Return keys that keep the node (no leave call) when they go back.
    if (s.target == kNodeReturnKeep || s.target == kNodeReturnKeepResolution) s.style |= 4;
    const MenuNode& node = m.nodes[s.target];
    (node.painter ? node.painter : StandardLabelPainter)(slot, m.pressed[slot]);
  }
}

void CaptureSoftKeyLabels() {
  MenuState& m = GInstrument->menu;
  const PaintTarget before = m.paintTarget;
  m.paintTarget = PaintTarget::Capture;
  FillSlotRecords();
  m.paintTarget = before;
}

void PaintSoftKeyColumn() {
  Instrument& g = *GInstrument;
  MenuState& m = g.menu;
  FillRect(kSoftKeyColumnX, 0, kSoftKeyColumnWidth, kScreenHeight, kSlotMainBack);
  FillSlotRecords();
  for (int slot = 2; slot < kSoftKeysPerPage; ++slot) {
    const SoftKeySlot& s = m.keySlots[slot];
    if ((s.style & 1) && s.owner == m.keySlots[slot - 1].value) {
      FillRect(742, SoftKeyBoxY(slot) - 9, 20, 8, kSlotFuncCon);
    }
  }
  // The page path: up to four parents above the current page's title.
  const int parents = std::min(m.depth, kMaxPageDepth);
  for (int i = 0; i < parents; ++i) {
    const std::string title = PageTitle(m.parents[i]);
    TextBoxed(kSlotMainChar, kSlotMainBack, 706, 500 - 10 * i,
              title.substr(0, std::min(title.find('\n'), size_t{11})));
  }
  const std::string title = PageTitle(m.page == kWaitPage ? kWaitPage : m.page);
  const size_t split = title.find('\n');
  Outline(706, 510, 796, 537, kSlotMainChar);
  TextSmall(kSlotMainChar, kSlotMainBack, 710, 515, title.substr(0, std::min(split, size_t{10})));
  if (split != std::string::npos) {
    TextSmall(kSlotMainChar, kSlotMainBack, 710, 525, title.substr(split + 1, 10));
  }
  m.columnChanged = 0;
}

}  // namespace vq
