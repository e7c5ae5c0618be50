// The OUTPUT ITEM SETTING soft keys: what a data file holds, its write mode and its form.
#include <cstdint>
#include <iterator>
#include <utility>

#include "files/data_file.h"
#include "instrument.h"
#include "menu/menu_engine.h"
#include "menu/softkey_column.h"

namespace vq {

namespace {

// Each key flips one setting between its two values.
struct DataKey {
  MenuId node;
  uint16_t FileSettings::*field;  // nullptr: one of the item switches
  int item;
  const char* values;
};

constexpr DataKey kDataKeys[] = {
    {1185, nullptr, kDataDateTime, "OFF ON"},
    {1186, nullptr, kDataLabel, "OFF ON"},
    {1187, nullptr, kDataArea, "OFF ON"},
    {1188, nullptr, kDataCondition, "OFF ON"},
    {1189, nullptr, kDataTraceData, "OFF ON"},
    {1190, nullptr, kDataOutputWindow, "OFF ON"},
    {1191, &FileSettings::dataWriteMode, 0, "OVER ADD"},
    {1192, &FileSettings::dataFileType, 0, "CSV DT6"},
};
static_assert(std::size(kDataKeys) == kDataItemCount + 2, "a key per item, mode and type");

uint16_t& Setting(const DataKey& key) {
  FileSettings& s = GInstrument->files.settings;
  return key.field ? s.*key.field : s.dataItems[key.item];
}

template <size_t I>
int32_t DataKeyHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  uint16_t& value = Setting(kDataKeys[I]);
  value = value ? 0 : 1;
  GInstrument->frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}

template <size_t I>
void PaintDataKey(int slot, int16_t pressed) {
  MenuState& m = GInstrument->menu;
  SoftKeySlot& s = m.keySlots[slot];
  m.nodes[s.target].valueLine = kDataKeys[I].values;
  s.style = static_cast<int16_t>((s.style & ~3) | 1);
  s.index = static_cast<int16_t>(Setting(kDataKeys[I]) ? 1 : 0);
  StandardLabelPainter(slot, pressed);
}

template <size_t... I>
void BindAll(std::index_sequence<I...>) {
  (BindNode(kDataKeys[I].node, DataKeyHandler<I>, PaintDataKey<I>), ...);
}

}  // namespace

void BindDataFileMenu() {
  BindAll(std::make_index_sequence<std::size(kDataKeys)>());
  // "OVER ADD" and "CSV DT6" move from the label to the value line to mark the choice.
  GInstrument->menu.nodes[1191].line2 = "";
  GInstrument->menu.nodes[1192].line2 = "";
}

}  // namespace vq
