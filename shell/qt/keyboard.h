// Qt key events as the window's key messages: accelerator commands and typed characters.
#pragma once

#include <QKeyEvent>

namespace vq {

// The accelerator command of a key event (WM_COMMAND); 0 when the key has none.
int KeyEventCommand(const QKeyEvent& event);

// The character a key event types (WM_CHAR); 0 when it types nothing printable.
int KeyEventChar(const QKeyEvent& event);

}  // namespace vq
