// Key command numbers: what the keyboard, the pop-up menu and the drawn buttons send.
#pragma once

namespace vq {

// Where a key command comes from: the keyboard and the panel, or the pop-up menu.
constexpr int kKeySourcePopup = 1;
constexpr int kKeySourceKeyboard = 2;

constexpr int kCmdQuit = 40001;      // Alt+Q
constexpr int kCmdSoftKey1 = 40002;  // F1 .. F9: 40002 .. 40010
constexpr int kCmdSoftKey9 = 40010;
constexpr int kCmdUp = 40011;
constexpr int kCmdDown = 40012;
constexpr int kCmdLeft = 40013;
constexpr int kCmdRight = 40014;
constexpr int kCmdPanelFirst = 40015;  // panel keys 1 .. 16: 40015 .. 40030
constexpr int kCmdPanelLast = 40030;
constexpr int kCmdPanelNodeOffset = 40014;  // a panel key command less this is its node
constexpr int kCmdHelp = 40031;
constexpr int kCmdCopy = 40032;
constexpr int kCmdFeed = 40033;
constexpr int kCmdUndoLocal = 40034;
constexpr int kCmdZoom = 40035;  // panel key 21
constexpr int kCmdTestMode = 40036;
constexpr int kCmdCtrlAltB = 40037;
constexpr int kCmdBackSpace = 40038;
constexpr int kCmdEnter = 40039;
constexpr int kCmdShiftEnter = 40040;
constexpr int kCmdStepMode = 40041;  // Alt+N
constexpr int kCmdInsert = 40042;
constexpr int kCmdDelete = 40043;
constexpr int kCmdApps = 40044;  // opens the on-screen pop-up menu
constexpr int kCmdCtrlP = 40045;
constexpr int kCmdAltF11 = 40046;
constexpr int kCmdIgnoredLast = 40066;  // 40046 .. 40066: commands without a function
constexpr int kCmdCtrlHome = 40100;

}  // namespace vq
