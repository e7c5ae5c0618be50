// The viewer's own menu bar commands (Print, Exit, About, Folder Setting, Connect, Disconnect).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

// Handles a command of 40067 or more.
void ViewerMenuCommand(uintptr_t wParam);

// Removes "Color Setting" unless the PALETTE switch is on.
void SetUpViewerMenu();
// Binds the COPY panel key.
void BindCopyNode();

// The About dialog's lines: name, "Version ..." and the revision text.
std::vector<std::string> AboutLines();

}  // namespace vq
