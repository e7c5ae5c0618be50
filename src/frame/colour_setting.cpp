// The Color Setting command. The dialogs only show and call; the stepping of the key number and
// what each button does live here.
#include "frame/colour_setting.h"

#include <algorithm>

#include "instrument.h"
#include "resources/colour_tables.h"
#include "screen/colour_sets.h"
#include "screen/renderer.h"

namespace vq {

namespace {

bool Skipped(int key) {
  return std::find(std::begin(kSkippedColourKeys), std::end(kSkippedColourKeys), key) !=
         std::end(kSkippedColourKeys);
}

// A key handed back by the dialog, kept inside the range the core accepts.
int ValidKey(int key) {
  const int clamped = std::clamp(key, kFirstColourKey, kLastColourKey);
  return Skipped(clamped) ? clamped + 1 : clamped;
}

}  // namespace

int ColourKeyAfter(int shown, int typed) {
  const int key = std::clamp(typed, kFirstColourKey, kLastColourKey);
  if (!Skipped(key)) return key;
  // No skipped key lies next to another or to either end, so one step always lands on a key.
  return typed < shown ? key - 1 : key + 1;
}

void TakeColour(int key, const ColourLevels& levels) {
  Instrument& g = *GInstrument;
  const int set = g.screen.scheme;
  SetPaletteEntry(set, ValidKey(key),
                  {std::clamp(levels.red, 0, 5), std::clamp(levels.green, 0, 5),
                   std::clamp(levels.blue, 0, 5)});
  ApplyColourSet(set);
  g.frame.redrawFlags = kRedrawAll;
  RedrawScreen(true, false);
}

ColourLevels TakeDefaultColour(int key) {
  const ColourLevels levels = BuiltInLevels(GInstrument->screen.scheme, ValidKey(key));
  TakeColour(key, levels);
  return levels;
}

void ColourSettingCommand() {
  Instrument& g = *GInstrument;
  ColourDialogCalls calls;
  calls.keyAfter = ColourKeyAfter;
  calls.levels = [](int key) { return PaletteLevels(GInstrument->screen.scheme, ValidKey(key)); };
  calls.redraw = TakeColour;
  calls.takeDefault = TakeDefaultColour;
  // Write failures of the viewer's ini files are not reported.
  calls.writeFile = [] { WriteColourIni(GInstrument->screen.scheme); };
  g.frame.modalActive = 1;
  g.screen.colourDialogKey = ValidKey(g.host->RunColourDialog(g.screen.colourDialogKey, calls));
  g.frame.modalActive = 0;
}

}  // namespace vq
