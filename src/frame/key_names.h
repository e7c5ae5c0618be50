// The keyboard's accelerator table and the key names the tools use for it.
#pragma once

#include <span>
#include <string_view>

namespace vq {

// Keys of the accelerator table, numbered as the Windows virtual keys (letters by their capital).
constexpr int kVkBackSpace = 0x08;
constexpr int kVkReturn = 0x0D;
constexpr int kVkHome = 0x24;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;
constexpr int kVkApps = 0x5D;
constexpr int kVkF1 = 0x70;  // F1 to F12 follow one another
constexpr int kVkF12 = kVkF1 + 11;

// Modifier bits of an accelerator.
constexpr int kModShift = 1;
constexpr int kModCtrl = 2;
constexpr int kModAlt = 4;

struct Accelerator {
  int key;        // virtual key
  int modifiers;  // exactly these must be held
  int command;
};

std::span<const Accelerator> Accelerators();

// The command of a key with its modifiers; 0 when the table has none.
int AcceleratorCommand(int key, int modifiers);

// The command of a key name ("F1", "Shift+F2", "Ctrl+Alt+B", "Enter", "Apps"); 0 when unknown.
int KeyNameCommand(std::string_view name);

}  // namespace vq
