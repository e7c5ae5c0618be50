// A local settings or trace file sent to the analyzer with "filewrite" and loaded there: when
// the user opens one while connected, and the viewer's settings handed back at disconnection.
#include <cstdio>
#include <filesystem>

#include "files/settings_file.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "link/link.h"
#include "link/sync.h"
#include "platform/file_io.h"

namespace vq {

namespace {

constexpr int kFeatureSweepSpeed = 1;  // firmware feature: the sweep-speed setting

// The hook of the file menus: a file just opened, pushed and loaded on the analyzer.
void MirrorOpenedFile(const std::string& path, int trace) {
  PushFileToAnalyzer(path, 1, trace);
}

}  // namespace

std::string FileWriteHeader(const std::string& remoteName, size_t size) {
  const std::string count = std::to_string(size);
  return "filewrite '" + remoteName + "',#" + std::to_string(count.size()) + count;
}

int PushFileToAnalyzer(const std::string& path, int mirror, int trace) {
  Instrument& g = *GInstrument;
  LinkState& link = g.link;
  if (link.remoteSweep != 0) LinkSend(":ABOR");
  SetCommandFormat(1);
  // A path without a separator is sent under its whole text.
  const size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  bool sent = false;
  std::vector<uint8_t> data;
  if (ReadFileBytes(path, data) == 0) {
    LinkSend("BINSENDON");
    std::string command = FileWriteHeader("e:\\user\\$$$" + name, data.size());
    if (command.size() + data.size() + 2 < kPushLimitBytes) {
      command.append(data.begin(), data.end());
      sent = LinkSend(command) == kLinkDone;
    }
  }
  SetCommandFormat(0);
  if (!sent) return 0;
  const bool settings = trace < 0;
  const std::string relative = "\\$$$" + name;
  if (settings) {
    LinkSend(":MMEM:LOAD:SETT \"" + relative + "\",int");
  } else {
    char command[64];
    std::snprintf(command, sizeof command, ":MMEM:LOAD:TRAC TR%c, ",
                  'A' + (trace < kTraceCount ? trace : 0));
    LinkSend(command + ("\"" + relative + "\",int"));
  }
  LinkSend(":MMEM:DEL \"" + relative + "\",int");
  if (mirror == 1) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension.size() > 1 && (extension[1] == 's' || extension[1] == 'S')) {
      RefreshTraceAttributes();
      QuietAnalyzerAutomatics();
    }
    if (link.featureFlags[kFeatureSweepSpeed] == 0) g.conditions.setting.sweepSpeed = 0;
  }
  return 1;
}

void HandBackSettings() {
  Instrument& g = *GInstrument;
  const std::string path = g.files.userFolder + g.link.settingsWorkFile;
  if (WriteSettingsFile(path) == 0) PushFileToAnalyzer(path, 0);
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  g.messages.currentMessage = 0;
  g.frame.redrawFlags |= kRedrawAll;
}

void RestoreMeasurementArea() {
  LinkState& link = GInstrument->link;
  if (link.savedMeasAreaMode < 0) return;
  link.measAreaMode = link.savedMeasAreaMode;
  link.savedMeasAreaMode = -1;
}

void StartSynchronisation() {
  GInstrument->link.mirrorOpenedFile = MirrorOpenedFile;
}

}  // namespace vq
