// Window message codes and command numbers the core's window procedure understands.
#pragma once

#include <cstdint>

namespace vq {

// Message codes of our own; the names follow the Windows messages the core was designed around.
enum Message : uint32_t {
  WM_CREATE = 1,
  WM_DESTROY,
  WM_CLOSE,
  WM_SIZE,
  WM_PAINT,
  WM_SYSCOLORCHANGE,
  WM_DISPLAYCHANGE,
  WM_SETTINGCHANGE,
  WM_ACTIVATEAPP,
  WM_MENUSELECT,
  WM_TIMER,
  WM_POWERBROADCAST,
  WM_DROPFILES,
  WM_COMMAND,
  WM_CHAR,
  WM_MOUSEMOVE,
  WM_LBUTTONDOWN,
  WM_LBUTTONUP,
  WM_LBUTTONDBLCLK,
  WM_RBUTTONDOWN,
  WM_MBUTTONDOWN,
  WM_MBUTTONUP,
  WM_MOUSEWHEEL,
};

// wParam of WM_SIZE.
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
// High word of WM_MENUSELECT's wParam when the menu bar closed.
constexpr uintptr_t kMenuClosedHighWord = 0xFFFF;

// Timer identifiers.
constexpr int kTimerClock = 9;  // the 50 ms frame timer

// Command numbers.
constexpr int kCmdWake = 40052;         // carries no work: only wakes the blocked loop
constexpr int kCmdViewerFirst = 40067;  // from here on: the viewer's own menu bar
constexpr int kCmdConnect = 40067;
constexpr int kCmdDisconnect = 40068;
constexpr int kCmdAbout = 40069;
constexpr int kCmdExit = 40070;
constexpr int kCmdFolderSetting = 40071;
constexpr int kCmdColourSetting = 40072;
constexpr int kCmdFileTransfer = 40073;
constexpr int kCmdPrint = 40074;
constexpr int kCmdViewerLast = 40074;

// Message box buttons and answers.
enum class BoxButtons { Ok, OkCancel };
enum class BoxAnswer { Ok, Cancel };
// Message box icons: none, or the error icon.
enum class BoxIcon { None, Error };

// Icons of the status bar's first part.
enum class StatusIcon { None, Link, Busy };

// Mouse cursor shapes: the standard arrow and the five cursors of the screen.
enum class CursorShape { Arrow, Hand, HandPressed, SizeHorizontal, SizeVertical, Wait };

}  // namespace vq
