// The Color Setting command: the Color dialog's key number and its RGB dialog's operations.
#pragma once

#include "platform/host.h"

namespace vq {

// The key number after the user typed or spun from shown to typed: clamped to 3 to 80, and the
// unnamed keys 49, 70 and 77 passed over in the direction of the change.
int ColourKeyAfter(int shown, int typed);
// Takes levels (each clamped to 0 to 5) into key of the current set and redraws the screen at once.
void TakeColour(int key, const ColourLevels& levels);
// Takes the key's built-in colour of the current set, as TakeColour; returns it for the sliders.
ColourLevels TakeDefaultColour(int key);

// Menu command 40072: the Color dialog from the key it showed last.
void ColourSettingCommand();

}  // namespace vq
