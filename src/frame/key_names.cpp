// The keyboard's accelerator table and the key names the tools use for it.
#include "frame/key_names.h"

#include <charconv>
#include <iterator>

#include "menu/key_commands.h"

namespace vq {

namespace {

constexpr int kShift = kModShift;
constexpr int kCtrl = kModCtrl;
constexpr int kAlt = kModAlt;
// The virtual key of F1 to F12.
constexpr int FKey(int n) {
  return kVkF1 + n - 1;
}

// The accelerator table of the window. Ctrl+P is absent: the viewer menu's Print owns it.
// clang-format off
constexpr Accelerator kAccelerators[] = {
    // Soft keys 1 to 9.
    {FKey(1), 0, 40002}, {FKey(2), 0, 40003}, {FKey(3), 0, 40004}, {FKey(4), 0, 40005},
    {FKey(5), 0, 40006}, {FKey(6), 0, 40007}, {FKey(7), 0, 40008}, {FKey(8), 0, 40009},
    {FKey(9), 0, 40010},
    // Panel keys: SWEEP, CENTER, SPAN, LEVEL, SETUP, MARKER, PEAK SEARCH, ANALYSIS, TRACE,
    // DISPLAY, ZOOM; MEMORY, FILE, PROGRAM, SYSTEM, ADVANCE, USER.
    {FKey(1), kShift, 40015}, {FKey(2), kShift, 40016}, {FKey(3), kShift, 40017},
    {FKey(4), kShift, 40018}, {FKey(5), kShift, 40019}, {FKey(9), kShift, 40020},
    {FKey(10), kShift, 40021}, {FKey(11), kShift, 40022}, {FKey(6), kShift, 40023},
    {FKey(8), kShift, 40024}, {FKey(7), kShift, 40035},
    {FKey(2), kAlt, 40025}, {FKey(3), kAlt, 40026}, {FKey(4), kAlt, 40027},
    {FKey(6), kAlt, 40028}, {FKey(5), kAlt, 40029}, {FKey(1), kAlt, 40030},
    // HELP, COPY, UNDO/LOCAL, and Alt+F11 (ignored by the engine).
    {FKey(12), kAlt, 40031}, {FKey(10), kAlt, 40032}, {FKey(9), kAlt, 40034},
    {FKey(11), kAlt, 40046},
    // Quit, step mode, and the keys for the current menu.
    {'Q', kAlt, kCmdQuit}, {'N', kAlt, kCmdStepMode}, {'B', kCtrl | kAlt, kCmdCtrlAltB},
    {kVkUp, 0, kCmdUp}, {kVkDown, 0, kCmdDown}, {kVkLeft, 0, kCmdLeft}, {kVkRight, 0, kCmdRight},
    {kVkBackSpace, 0, kCmdBackSpace}, {kVkReturn, 0, kCmdEnter},
    {kVkReturn, kShift, kCmdShiftEnter}, {kVkInsert, 0, kCmdInsert},
    {kVkDelete, 0, kCmdDelete}, {kVkApps, 0, kCmdApps}, {kVkHome, kCtrl, kCmdCtrlHome},
};
// clang-format on
static_assert(std::size(kAccelerators) == 44, "9 soft keys, 21 panel and function keys, 14 more");

struct KeyName {
  const char* name;
  int key;
};
constexpr KeyName kKeyNames[] = {
    {"Up", kVkUp},        {"Down", kVkDown},           {"Left", kVkLeft},     {"Right", kVkRight},
    {"Enter", kVkReturn}, {"Backspace", kVkBackSpace}, {"Insert", kVkInsert}, {"Delete", kVkDelete},
    {"Apps", kVkApps},    {"Home", kVkHome},
};

// The virtual key of a name without modifiers: the table above, F1 to F12, or one capital letter.
int KeyOfName(std::string_view name) {
  for (const KeyName& k : kKeyNames) {
    if (name == k.name) return k.key;
  }
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return name[0];
  int n = 0;
  if (name.size() >= 2 && name[0] == 'F' && name[1] != '0') {
    const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
    if (error == std::errc() && end == name.data() + name.size() && n >= 1 && n <= 12) {
      return kVkF1 + n - 1;
    }
  }
  return 0;
}

}  // namespace

std::span<const Accelerator> Accelerators() {
  return kAccelerators;
}

int AcceleratorCommand(int key, int modifiers) {
  for (const Accelerator& a : kAccelerators) {
    if (a.key == key && a.modifiers == modifiers) return a.command;
  }
  return 0;
}

int KeyNameCommand(std::string_view name) {
  constexpr struct {
    std::string_view prefix;
    int bit;
  } kModifiers[] = {{"Shift+", kModShift}, {"Ctrl+", kModCtrl}, {"Alt+", kModAlt}};
  int modifiers = 0;
  for (const auto& m : kModifiers) {
    if (name.starts_with(m.prefix)) {
      modifiers |= m.bit;
      name.remove_prefix(m.prefix.size());
    }
  }
  const int key = KeyOfName(name);
  return key ? AcceleratorCommand(key, modifiers) : 0;
}

}  // namespace vq
