// Configuration read at start-up: folders, debug switches, capture counter, version texts.
#include "frame/config.h"

#include <strings.h>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/paths.h"
#include "platform/profile.h"

#ifndef VQ_PRODUCT_VERSION
#define VQ_PRODUCT_VERSION "01.00.00"
#endif
#ifndef VQ_FILE_VERSION
#define VQ_FILE_VERSION "1,0,0,0"
#endif

namespace vq {

namespace {

struct FolderKey {
  const char* key;
  const char* defaultName;  // under the configuration folder
};
constexpr FolderKey kFolderKeys[] = {
    {"CalDataFolderNorm", "CalData"},   {"MemoryFolderNorm", "Memory"},
    {"ProgramFolderNorm", "Program"},   {"PresetWordFolderNorm", "PresetWord"},
    {"IniFolderNorm", "Ini"},           {"SettingFolderNorm", "Setting"},
    {"TraceFolderNorm", "Trace"},       {"HelpFolderNorm", "Help"},
    {"CalDataFolderNormD", "CalDataD"}, {"CabFolderNorm", "Cab"},
};
static_assert(std::size(kFolderKeys) == kFolderCount, "one key per folder kind");

bool IsOn(const std::string& path, const char* key, const char* builtIn) {
  return strcasecmp(GetProfileString("DEBUG", key, builtIn, path).c_str(), "ON") == 0;
}

}  // namespace

void ReadFolderSettings(ConfigState& config) {
  const std::string ini = config.home + kModelName + "viewer.ini";
  for (int i = 0; i < kFolderCount; ++i) {
    const std::string fallback = config.home + kFolderKeys[i].defaultName;
    config.folders[i] =
        WithTrailingSlash(GetProfileString("FOLDER", kFolderKeys[i].key, fallback, ini));
  }
}

DebugSwitches ReadDebugSwitches(const std::string& path) {
  DebugSwitches d;
  if (!FileExists(path)) return d;
  d.alpha = IsOn(path, "ALPHA", "OFF");
  d.newResolutionSetting = IsOn(path, "NEW RESOLUTION SETTING", "OFF");
  d.palette = IsOn(path, "PALETTE", "OFF");
  d.testMode = IsOn(path, "TEST_MODE", "OFF");
  d.zoom = IsOn(path, "ZOOM", "ON");
  d.altQ = IsOn(path, "ALT+Q", "OFF");
  const std::string port = GetProfileString("DEBUG", "GP-IB", "", path);
  d.gpibPort = port == "1" ? 0 : port == "2" ? 1 : -1;
  d.help = IsOn(path, "HELP", "ON");
  const std::string font = GetProfileString("DEBUG", "HELP_FONT", "OFF", path);
  if (strcasecmp(font.c_str(), "OFF") != 0 && font.size() < 32) d.helpFont = font;
  d.zeroOrderDebug = IsOn(path, "ZERO_ORDER_DEBUG", "OFF");
  d.sweepKeyLock = !IsOn(path, "SWEEP_KEY", "OFF");
  const std::string width = GetProfileString("DEBUG", "SYNC_WIDTH", "", path);
  if (!width.empty()) {
    d.syncWidthSet = true;
    d.syncWidth = std::strtod(width.c_str(), nullptr);
  }
  d.cpuFanAlarm = IsOn(path, "CPU_FAN_ALARM", "ON");
  return d;
}

int FindCaptureCounter(const std::string& folder) {
  for (int n = 998; n >= 0; --n) {
    char name[16];
    std::snprintf(name, sizeof name, "test%03d.bmp", n);
    if (FileExists(folder + name)) return n + 1;
  }
  return 0;
}

std::string ProductVersionText(const std::string& productVersion) {
  return productVersion.size() == 8 ? productVersion + " " : productVersion;
}

std::string RevisionText(const std::string& fileVersion) {
  // The first two comma-separated fields, each with two digits.
  std::vector<std::string> fields;
  size_t start = 0;
  while (fields.size() < 2) {
    const size_t comma = fileVersion.find(',', start);
    std::string f = fileVersion.substr(start, comma - start);
    while (!f.empty() && f.front() == ' ') f.erase(0, 1);
    if (f.size() == 1) f = "0" + f;
    fields.push_back(f);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  while (fields.size() < 2) fields.push_back("00");
  return "(R" + fields[0] + "." + fields[1] + ")";
}

void ReadConfiguration(ConfigState& config) {
  config.productVersion = ProductVersionText(VQ_PRODUCT_VERSION);
  config.revisionText = RevisionText(VQ_FILE_VERSION);
  ReadFolderSettings(config);
  config.debug = ReadDebugSwitches(config.home + "debug.ini");
  config.captureCounter = FindCaptureCounter(config.home);
}

}  // namespace vq
