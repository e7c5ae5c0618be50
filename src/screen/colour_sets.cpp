// The colour sets: color.ini read at start and written by the RGB dialog, palette entries by
// key, applying a set to the renderer, and the Palette.txt export.
#include "screen/colour_sets.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "instrument.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "platform/file_io.h"
#include "platform/image_files.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "resources/colour_tables.h"
#include "screen/renderer.h"

namespace vq {

namespace {

constexpr const char* kIniName = "color.ini";
constexpr const char* kPaletteFileName = "Palette.txt";
constexpr int kFirstTraceKey = 5;  // TRACE_A to TRACE_G are 5 to 11, their _NOTACT keys 7 later
constexpr int kLastTraceKey = 11;
constexpr int kNotActiveOffset = 7;
constexpr int kFuncPushCopy = 77;  // FUNC_PUSH's colour is also kept at 77

std::string IniPath() {
  return GInstrument->config.home + kIniName;
}

std::string SectionName(int set) {
  return "COLOR" + std::to_string(set + 1);
}

bool IsLevel(char c) {
  return c >= '0' && c <= '5';
}

ColourLevels LevelsOfEntry(uint8_t entry) {
  assert(entry >= kPaletteBlack && entry <= kPaletteWhite && "entry outside the colour cube");
  const int v = entry - kPaletteBlack;
  return {v / 36, (v / 6) % 6, v % 6};
}

}  // namespace

bool ParseColourValue(std::string_view text, ColourLevels* levels) {
  if (text.size() < 5 || !IsLevel(text[0]) || text[1] != ',' || !IsLevel(text[2]) ||
      text[3] != ',' || !IsLevel(text[4]))
    return false;
  if (text.size() > 5 && text[5] != ',') return false;
  *levels = {text[0] - '0', text[2] - '0', text[4] - '0'};
  return true;
}

void ApplyColourSet(int set) {
  SelectColourScheme(set);
}

void SetPaletteEntry(int set, int key, const ColourLevels& levels) {
  assert(set >= 0 && set < kSchemeCount && "colour set out of range");
  assert(key >= 0 && key < kPaletteSlots && "colour key out of range");
  GInstrument->screen.schemes[set][key] = PaletteEntry(levels.red, levels.green, levels.blue);
}

ColourLevels PaletteLevels(int set, int key) {
  assert(set >= 0 && set < kSchemeCount && "colour set out of range");
  assert(key >= 0 && key < kPaletteSlots && "colour key out of range");
  return LevelsOfEntry(GInstrument->screen.schemes[set][key]);
}

ColourLevels BuiltInLevels(int set, int key) {
  assert(key >= 0 && key < kPaletteSlots && "colour key out of range");
  return LevelsOfEntry(BuiltInColourSet(set)[key]);
}

void LoadColourIni() {
  Instrument& g = *GInstrument;
  const std::string path = IniPath();
  if (FileExists(path)) {
    for (int set = 0; set < kSchemeMono; ++set) {
      const std::string section = SectionName(set);
      for (const ColourSlotInfo& slot : kColourSlotTable) {
        ColourLevels levels;
        if (!ParseColourValue(GetProfileString(section, slot.name, "OFF", path), &levels)) continue;
        SetPaletteEntry(set, slot.key, levels);
        if (slot.key >= kFirstTraceKey && slot.key <= kLastTraceKey)
          SetPaletteEntry(set, slot.key + kNotActiveOffset, levels);
        if (slot.key == kSlotFuncPush) SetPaletteEntry(set, kFuncPushCopy, levels);
      }
    }
  }
  // The analyzer marks a disabled write filter with a magenta background; a PC has no write
  // filter and no such log files, so that rule has nothing to look at here.
  ApplyColourSet(g.screen.scheme);
}

bool WriteColourIni(int set) {
  const std::string path = IniPath();
  const std::string section = SectionName(set);
  bool ok = true;
  for (const ColourSlotInfo& slot : kColourSlotTable) {
    const ColourLevels l = PaletteLevels(set, slot.key);
    char value[16];
    std::snprintf(value, sizeof value, "%d,%d,%d", l.red, l.green, l.blue);
    ok = WriteProfileString(section, slot.name, value, path) && ok;
  }
  return ok;
}

int ExportPalette(const std::string& path) {
  const int set = GInstrument->screen.scheme;
  std::string text;
  for (int key = kFirstColourKey; key <= kLastColourKey; ++key) {
    const ColourLevels l = PaletteLevels(set, key);
    char line[32];
    std::snprintf(line, sizeof line, "%2d=%d,%d,%d\r\n", key, l.red, l.green, l.blue);
    text += line;
  }
  // The lines go over the start of an existing file, whose longer tail stays; the file is still
  // replaced whole.
  std::vector<uint8_t> bytes;
  errno = 0;
  if (!ReadWholeFile(path, bytes) && FileExists(path)) return FileErrorCode(errno);
  if (bytes.size() < text.size()) bytes.resize(text.size());
  std::copy(text.begin(), text.end(), bytes.begin());
  return WriteFileBytes(path, bytes);
}

void BindPaletteExportNode() {
  BindNode(kNodePaletteExport, [](int mode, int16_t*) -> int32_t {
    if (mode != kModeEnter) return 0;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    const int code =
        error ? FileErrorCode(error.value()) : ExportPalette(folder / kPaletteFileName);
    if (code != 0) ShowMessage(code);
    return 1;
  });
}

}  // namespace vq
