// Help mode: a page listing the panel keys and their keyboard shortcuts, ended by a panel key.
#pragma once

namespace vq {

constexpr int kScreenModeHelp = 7;

// Binds the handlers of the HELP and help-return nodes.
void BindHelpNodes();
// Ends help mode and restores the menu state saved when it began.
void EndHelp();
// Draws the help page over the graph area (static layer, help screen mode).
void DrawHelpPage();

}  // namespace vq
