// What the key engine mirrors, the SWEEP menu while connected, and the soft keys greyed for an
// analyzer that lacks their function.
#include <algorithm>
#include <array>

#include "instrument.h"
#include "link/connection.h"
#include "link/link.h"
#include "link/remote_actions.h"
#include "menu/menu_engine.h"

namespace vq {

namespace {

constexpr MenuId kSweepKeys[] = {kActSweepAuto, kActSweepSingle, kActSweepRepeat, kActSweepStop,
                                 kActSweepSegment};
constexpr int kCountPage = 149;  // slot 2 shows the sweep counter key when the analyzer has one
constexpr int kCountSlot = 2;
constexpr MenuId kSweepCounterKey = 1367;
constexpr int kItemPage = 71;  // FILE ITEM SELECT, laid out anew for older firmware
constexpr std::array<int16_t, kSoftKeysPerPage> kOlderItemPage = {235, 257, 248, 238, 237,
                                                                  236, 759, 0,   0};
constexpr MenuId kOlderFirmwareKeys[] = {1383, 257, 248, 238, 237, 236, 759};
constexpr MenuId kFeature1Keys[] = {1395, 1397, 1422};

// Settings whose change restarts a running sweep on the analyzer.
bool RestartsSweep(const RemoteActionRow& row) {
  if (row.id == 69) return true;  // the resolution, by its own rule
  switch (row.arg) {
    case Arg::Centre:
    case Arg::Resolution:
    case Arg::Sensitivity:
    case Arg::Average:
    case Arg::Points:
    case Arg::Interval:
      return true;
    default:
      return (row.id >= 38 && row.id <= 40) || row.id == 58 || row.id == 59;
  }
}

// The key engine's call after an action was applied locally.
int MirrorAction(int id) {
  LinkState& link = GInstrument->link;
  const RemoteActionRow* row = FindRemoteAction(id);
  if (row != nullptr && link.sweepFlag == 1 && RestartsSweep(*row)) link.restartSweep = 1;
  return RemoteAction(id);
}

int16_t SweepKeyState() {
  return GInstrument->link.connected == 1 ? CommonKeyState() : kKeyDisabled;
}

// The sweep runs on the analyzer: the key's mirror starts or stops it.
int32_t SweepKeyHandler(int mode, int16_t*) {
  return mode == kModeEnter ? 1 : 0;
}

int16_t Greyed() {
  return kKeyDisabled;
}

void Grey(MenuId node) {
  LinkState& link = GInstrument->link;
  MenuNode& n = GInstrument->menu.nodes[node];
  const bool already = std::any_of(link.greyedKeys.begin(), link.greyedKeys.end(),
                                   [node](const auto& k) { return k.first == node; });
  if (!already) link.greyedKeys.emplace_back(node, n.state);
  n.state = Greyed;
}

void SavePage(int page) {
  LinkState& link = GInstrument->link;
  const bool saved = std::any_of(link.savedPages.begin(), link.savedPages.end(),
                                 [page](const auto& p) { return p.first == page; });
  if (!saved) link.savedPages.emplace_back(page, GInstrument->menu.pages[page].target);
}

}  // namespace

bool MirrorsAction(int id) {
  return GInstrument->link.connected == 1 && FindRemoteAction(id) != nullptr;
}

void InstallRemoteCalls() {
  LinkState& link = GInstrument->link;
  link.remoteAction = MirrorAction;
  link.mirrorsAction = MirrorsAction;
}

void BindSweepMenu() {
  for (MenuId id : kSweepKeys) BindNode(id, SweepKeyHandler, nullptr, SweepKeyState);
}

void CheckAnalyzerFeatures() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  if (CheckCommand(":SENS:SETT:SMO?", 0) == 0) Grey(1313);
  if (CheckCommand(":SYST:INF? 0", 0) == 0) {
    Grey(1366);
    Grey(1376);
  }
  SavePage(kCountPage);
  const bool counter = CheckCommand(":SYSTem:STATus:SCOunt?", 0) == 1;
  SetSoftKeyTarget(counter ? kSweepCounterKey : 0, kCountPage, kCountSlot);
  if (CheckCommand(":SENSe:SETTing:FCONnector?", 0) == 0) {
    Grey(1380);
    link.featureFlags[0] = 0;
  }
  if (CheckCommand(":SYST:INF? 0", 0) == 0) Grey(1390);
  if (link.featureFlags[1] == 0) {
    for (MenuId id : kFeature1Keys) Grey(id);
  }
  if (!FirmwareAtLeast(link.identity.firmware, "02.05.00")) {
    for (MenuId id : kOlderFirmwareKeys) Grey(id);
    SavePage(kItemPage);
    g.menu.pages[kItemPage].target = kOlderItemPage;
  }
  if (g.files.settings.item == kItemAllTrace) g.files.settings.item = kItemTrace;
  g.frame.redrawFlags |= kRedrawSoftKeys;
}

void RestoreAnalyzerFeatures() {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  for (const auto& [node, state] : link.greyedKeys) g.menu.nodes[node].state = state;
  for (const auto& [page, targets] : link.savedPages) g.menu.pages[page].target = targets;
  link.greyedKeys.clear();
  link.savedPages.clear();
  g.frame.redrawFlags |= kRedrawSoftKeys;
}

}  // namespace vq
