// The PEAK SEARCH menu and its MULTI SRCH SETTING page: the searches, MODE DIFF, AUTO SEARCH, the
// search mode, the search range switches, the multi-search threshold and sort order.
#include <cstdio>
#include <string_view>

#include "analysis/analysis_menus.h"
#include "analysis/markers.h"
#include "instrument.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "menu/param_entry.h"

namespace vq {

namespace {

constexpr MenuId kNodePeakSearch = 1040;
constexpr MenuId kNodeBottomSearch = 1041;
constexpr MenuId kNodeNextLevel = 1042;
constexpr MenuId kNodeNextRight = 1043;
constexpr MenuId kNodeNextLeft = 1044;
constexpr MenuId kNodeAutoSearch = 1046;

SearchSettings& Settings() {
  return GInstrument->analysis.search;
}

template <bool Peak>
int32_t SearchHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  if (const int code = PeakSearchAction(Peak)) ShowMessage(code);
  return 1;
}

template <NextDirection Direction>
int32_t NextHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  if (const int code = NextSearchAction(Direction)) ShowMessage(code);
  return 1;
}

// MODE DIFF and the multi-search THRESH: entries on a dB setting, shown "%5.2fdB".
struct DbEntry {
  MenuId node;
  int16_t parameter;
  double SearchSettings::*field;
};
constexpr DbEntry kDbEntries[] = {
    {1045, 44, &SearchSettings::modeDiff},
    {1048, 114, &SearchSettings::multiThresh},
};

template <int Row>
double DbEntryInForce() {
  return Settings().*kDbEntries[Row].field;
}

template <int Row>
int32_t DbEntryHandler(int mode, int16_t* key) {
  constexpr DbEntry r = kDbEntries[Row];
  Instrument& g = *GInstrument;
  if (mode == kModeLeave) {
    EndEntry();
    return 1;
  }
  if (mode == kModeEnter) {
    StartEntry(0, -1, r.parameter, Settings().*r.field);
    g.entry.valueInForce = DbEntryInForce<Row>;
    return 1;
  }
  const int k = static_cast<uint16_t>(*key);
  if ((IsStepKey(k) ? EntryStep(k) : EntryKey(k)) != 1) return 0;
  Settings().*r.field = g.entry.value;
  g.frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}

template <int Row>
void DbEntryPainter(int slot, int16_t pressed) {
  char text[16];
  std::snprintf(text, sizeof text, "%5.2fdB", Settings().*kDbEntries[Row].field);
  PaintKeyValue(slot, pressed, text);
}

// Switches of the search settings: each press flips the setting.
struct Switch {
  MenuId node;
  uint16_t SearchSettings::*field;
  const char* words;  // the two states, the current one marked
};
constexpr Switch kSwitches[] = {
    {1047, &SearchSettings::searchMode, "SINGL MULTI"},
    {1050, &SearchSettings::rangeLineMarkers, "     OFF ON"},
    {1051, &SearchSettings::rangeZoom, "     OFF ON"},
    {1049, &SearchSettings::sortBy, "WL LVL"},
};

template <int Row>
int32_t SwitchHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  uint16_t& value = Settings().*kSwitches[Row].field;
  value = value == 0 ? 1 : 0;
  GInstrument->frame.redrawFlags |= kRedrawSoftKeys;
  return 1;
}

template <int Row>
void SwitchPainter(int slot, int16_t pressed) {
  const Switch& r = kSwitches[Row];
  PaintKeyValue(slot, pressed, r.words, Settings().*r.field != 0 ? 1 : 0);
}

int32_t AutoSearchHandler(int mode, int16_t*) {
  if (mode != kModeEnter) return 0;
  SetAutoSearch(Settings().autoSearch == 0);
  return 1;
}

void AutoSearchPainter(int slot, int16_t pressed) {
  PaintOnOff(slot, pressed, Settings().autoSearch != 0);
}

template <int Row>
void BindSwitch() {
  const Switch& r = kSwitches[Row];
  BindNode(r.node, SwitchHandler<Row>, SwitchPainter<Row>);
  // A label whose second line names the two states shows them on the value line instead.
  MenuNode& node = GInstrument->menu.nodes[r.node];
  if (std::string_view(node.line2) == r.words) node.line2 = "";
}

}  // namespace

void BindSearchMenus() {
  BindNode(kNodePeakSearch, SearchHandler<true>);
  BindNode(kNodeBottomSearch, SearchHandler<false>);
  BindNode(kNodeNextLevel, NextHandler<NextDirection::Level>);
  BindNode(kNodeNextRight, NextHandler<NextDirection::Right>);
  BindNode(kNodeNextLeft, NextHandler<NextDirection::Left>);
  BindNode(kNodeAutoSearch, AutoSearchHandler, AutoSearchPainter);
  BindNode(kDbEntries[0].node, DbEntryHandler<0>, DbEntryPainter<0>);
  BindNode(kDbEntries[1].node, DbEntryHandler<1>, DbEntryPainter<1>);
  static_assert(std::size(kDbEntries) == 2 && std::size(kSwitches) == 4, "bind every row");
  BindSwitch<0>();
  BindSwitch<1>();
  BindSwitch<2>();
  BindSwitch<3>();
}

}  // namespace vq
