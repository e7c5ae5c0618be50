// Configuration read at start-up: folders, debug switches, capture counter, version texts.
#pragma once

#include <string>

#include "instrument.h"

namespace vq {

// Reads "<home>VQ7000Bviewer.ini" (section "FOLDER") into the folder list; missing keys give
// folders under the configuration folder.
void ReadFolderSettings(ConfigState& config);

// Reads "<home>debug.ini" (section "DEBUG"); a missing file keeps the built-in values.
DebugSwitches ReadDebugSwitches(const std::string& path);

// One more than the highest n of "test%03d.bmp" (n 0 to 998) in the folder, or 0.
int FindCaptureCounter(const std::string& folder);

// The version texts: product version (8 characters get a trailing blank) and "(Rxx.xx)".
std::string ProductVersionText(const std::string& productVersion);
std::string RevisionText(const std::string& fileVersion);

void ReadConfiguration(ConfigState& config);

}  // namespace vq
