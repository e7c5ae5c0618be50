// The FILE menu in vqtool: the `files` part of the state and the soft keys named by label.
#include "file_list_json.h"

#include <algorithm>

#include "files/file_list.h"
#include "files/file_menu.h"
#include "instrument.h"
#include "menu/menu_engine.h"

namespace vq {

namespace {

const char* ModeName(FileMenuMode mode) {
  switch (mode) {
    case kFileModeRead:
      return "READ";
    case kFileModeWrite:
      return "WRITE";
    default:
      return "OPERATION";
  }
}

std::string Trim(const char* text) {
  std::string s = text ? text : "";
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The label lines of a node joined by one blank, each blank then written as '_'.
std::string KeyListLabel(MenuId node) {
  const MenuNode& n = GInstrument->menu.nodes[node];
  std::string label = Trim(n.line1);
  const std::string second = Trim(n.line2);
  if (!second.empty()) label += (label.empty() ? "" : " ") + second;
  std::replace(label.begin(), label.end(), ' ', '_');
  return label;
}

}  // namespace

nlohmann::json FilesJson() {
  if (!FileListShown()) return nullptr;
  const FileState& f = GInstrument->files;
  nlohmann::json entries = nlohmann::json::array();
  for (const FileListEntry& e : f.entries) {
    entries.push_back({{"name", e.name},
                       {"kind", static_cast<uint32_t>(e.kind)},
                       {"date", e.date},
                       {"label", e.label},
                       {"size", e.size}});
  }
  return {{"drive", f.drive == kDriveExt ? "EXT" : "INT"},
          {"folder", CurrentFolder()},
          {"item", ItemInfo(f.settings.item).key},
          {"mode", ModeName(f.mode)},
          {"entries", entries},
          {"total", CountFiles(f.entries)},
          {"free", f.freeBytes},
          {"status", FileStatusLine()}};
}

int FindSoftKey(const std::string& label, std::string& labels) {
  const MenuState& m = GInstrument->menu;
  labels.clear();
  for (int slot = 0; slot < kSoftKeysPerPage; ++slot) {
    const MenuId target = m.pages[m.page].target[slot];
    if (target <= 0 || target >= kMenuNodeCount) continue;
    const std::string name = KeyListLabel(target);
    if (name.empty()) continue;
    if (name == label) return slot;
    labels += (labels.empty() ? "" : " ") + name;
  }
  return -1;
}

}  // namespace vq
