// Qt key events as the window's key messages: accelerator commands and typed characters.
#include "keyboard.h"

#include <iterator>

#include "frame/key_names.h"

namespace vq {

namespace {

// Qt keys and the virtual keys of the core's accelerator table (app/key_names.cpp), which holds
// the modifiers and commands. F1 to F12 follow one another in both.
struct QtKey {
  int qt;
  int vk;
};
// clang-format off
constexpr QtKey kQtKeys[] = {
    {Qt::Key_Up, kVkUp},             {Qt::Key_Down, kVkDown},         {Qt::Key_Left, kVkLeft},
    {Qt::Key_Right, kVkRight},       {Qt::Key_Backspace, kVkBackSpace},
    {Qt::Key_Return, kVkReturn},     {Qt::Key_Enter, kVkReturn},      {Qt::Key_Insert, kVkInsert},
    {Qt::Key_Delete, kVkDelete},     {Qt::Key_Menu, kVkApps},         {Qt::Key_Home, kVkHome},
    {Qt::Key_Q, 'Q'},                {Qt::Key_N, 'N'},                {Qt::Key_B, 'B'},
};
// clang-format on
static_assert(std::size(kQtKeys) == 14, "the keys of the table besides F1 to F12");

int VirtualKey(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return kVkF1 + (qtKey - Qt::Key_F1);
  for (const QtKey& k : kQtKeys) {
    if (k.qt == qtKey) return k.vk;
  }
  return 0;
}

int Modifiers(Qt::KeyboardModifiers held) {
  return (held & Qt::ShiftModifier ? kModShift : 0) | (held & Qt::ControlModifier ? kModCtrl : 0) |
         (held & Qt::AltModifier ? kModAlt : 0);
}

}  // namespace

int KeyEventCommand(const QKeyEvent& event) {
  const int vk = VirtualKey(event.key());
  return vk ? AcceleratorCommand(vk, Modifiers(event.modifiers())) : 0;
}

int KeyEventChar(const QKeyEvent& event) {
  // With Ctrl or Alt held a key is a shortcut, not typing (Windows sends no WM_CHAR then).
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return 0;
  const QString text = event.text();
  if (text.size() != 1) return 0;
  const char16_t c = text.at(0).unicode();
  // The instrument's fonts and text fields hold printable ASCII only.
  return c >= 0x20 && c < 0x7F ? c : 0;
}

}  // namespace vq
