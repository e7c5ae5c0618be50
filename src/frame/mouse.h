// The mouse on the drawn screen: hit test, cursor shapes, press and release, auto-repeat, wheel.
#pragma once

#include <cstdint>

namespace vq {

// The element id of the open pop-up menu's box (soft keys are 40002 to 40010).
constexpr int32_t kElementPopupMenu = 470;

// Mouse messages of the window (WM_MOUSEMOVE ... WM_MOUSEWHEEL) with the pointer in lParam
// (x in the low word, y in the high word) and the wheel steps in the high word of wParam.
intptr_t MouseMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Repeats the held element's action while the button stays down (from the idle step).
void MouseAutoRepeat();
// Sets the cursor shape from the element under the pointer.
void RefreshCursor();
// The element under a point (0 = none).
int32_t HitTest(int x, int y);

}  // namespace vq
