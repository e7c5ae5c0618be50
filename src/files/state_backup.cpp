// The state backup kept in the setting folder: "Setting.prm" (the settings image under the
// firmware text of the instrument it belongs to, with a byte sum), one backup trace file per
// trace and per rendered template line, and "template.prm" (the template block with its byte
// sum). Saved at exit, restored at start in that order, both without a message.
//
// Every file is written aside and renamed over the old one, so a save that fails or is killed
// leaves each file either old or new, never cut. The settings file goes first; a trace without
// data loses its old backup file only once the new settings file is in place.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "calc/template_lines.h"
#include "files/settings_blocks.h"
#include "files/settings_file.h"
#include "files/template_file.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

constexpr size_t kBackupIdBytes = 10;                          // firmware text, NUL terminated
constexpr size_t kBackupSummedBytes = kSettingsFileBytes - 1;  // 73146: the image's last byte
constexpr size_t kBackupBytes = kBackupSummedBytes + 4;        // is left out; the sum follows

constexpr const char* kTemplateBackupNames[kTemplateLineCount] = {"upper.WV8", "lower.WV8",
                                                                  "target.WV8"};
constexpr const char kTemplateBlockName[] = "template.prm";

std::string TraceBackupName(int trace) {
  return std::string("tr_wl_") + static_cast<char>('A' + trace) + ".WV8";
}

uint32_t ByteSum(const uint8_t* bytes, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += bytes[i];
  return sum;
}

// A trace from its backup file: the record and both arrays; the trace state (attribute, display)
// came with the settings image. False when the file fails the backup checks.
bool RestoreTrace(const std::string& path, int trace) {
  std::vector<uint8_t> bytes;
  if (ReadFileBytes(path, bytes) != 0) return false;
  if (TraceFormatIndex(bytes.data(), bytes.size()) != kFormatBackup) return false;
  TraceFileData data;
  const MeasCondition& base = GInstrument->conditions.setting;
  if (ParseBinaryTrace(bytes.data(), bytes.size(), kFormatBackup, base, data) != 0) return false;
  Trace& t = GInstrument->traces.traces[trace];
  t.condition = data.condition;
  std::fill(std::copy(data.levels.begin(), data.levels.end(), t.level.begin()), t.level.end(), 0.0);
  std::fill(std::copy(data.source.begin(), data.source.end(), t.source.begin()), t.source.end(),
            0.0);
  return true;
}

// A rendered template line as a backup trace file: the measured record, the line as both arrays.
void SaveTemplateLine(const std::string& path, int k) {
  const Instrument& g = *GInstrument;
  const TemplateLine& line = g.templates.lines[k];
  if (line.first < 0) {
    std::remove(path.c_str());
    return;
  }
  MeasCondition c = g.conditions.measured;
  c.storedPoints = c.samplingPoints = static_cast<int32_t>(line.rendered.size());
  WriteBackupArrays(path, c, line.rendered.data(), line.rendered.data());
}

// A template line's backup file must pass the backup checks; the line itself is rendered again
// from the template block.
bool CheckTemplateLine(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (ReadFileBytes(path, bytes) != 0) return false;
  if (TraceFormatIndex(bytes.data(), bytes.size()) != kFormatBackup) return false;
  TraceFileData data;
  return ParseBinaryTrace(bytes.data(), bytes.size(), kFormatBackup,
                          GInstrument->conditions.setting, data) == 0;
}

}  // namespace

std::string InstrumentVersionText() {
  // Without an analyzer connected the viewer's own record carries the version.
  return DefaultSettingRecord().firmwareVersion;
}

std::vector<uint8_t> StateBackupBytes() {
  std::vector<uint8_t> image = BuildSettingsImage();
  std::vector<uint8_t> bytes(kBackupBytes, 0);
  const std::string id = InstrumentVersionText();
  std::memcpy(bytes.data(), id.data(), std::min(id.size(), kBackupIdBytes - 1));
  std::memcpy(bytes.data() + kBackupIdBytes, image.data() + kBackupIdBytes,
              kBackupSummedBytes - kBackupIdBytes);
  const uint32_t sum = ByteSum(bytes.data(), kBackupSummedBytes);
  std::memcpy(bytes.data() + kBackupSummedBytes, &sum, 4);
  return bytes;
}

int RestoreStateImage(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size < kBackupBytes) return kMsgNotSettingsFile;
  uint32_t stored;
  std::memcpy(&stored, bytes + kBackupSummedBytes, 4);
  if (stored != ByteSum(bytes, kBackupSummedBytes)) return kMsgNotSettingsFile;
  // The image as a settings file would hold it.
  std::vector<uint8_t> image(kSettingsFileBytes, 0);
  std::memcpy(image.data(), "\"QXBSET\"\r\n", kSettingsIdBytes);
  std::memcpy(image.data() + kBackupIdBytes, bytes + kBackupIdBytes,
              kBackupSummedBytes - kBackupIdBytes);
  char id[kBackupIdBytes + 1] = {};
  std::memcpy(id, bytes, kBackupIdBytes);
  auto s = std::make_unique<SettingsState>();
  CaptureSettingsState(*s);
  if (strcasecmp(id, InstrumentVersionText().c_str()) != 0) {
    // Another instrument's state: only the viewer's own pieces are taken.
    DecodeViewerPieces(image.data(), *s);
    ApplySettingsState(*s);
    return 1;
  }
  if (!DecodeSettingsBlocks(image.data(), SettingsLayout::Current, *s)) return kMsgNotSettingsFile;
  FixUpLoaded(*s);
  NormaliseCondition(s->measured);
  ApplySettingsState(*s);
  return 0;
}

void SaveStateBackup(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  if (WriteFileBytes(folder + "Setting.prm", StateBackupBytes()) != 0) return;
  for (int t = 0; t < kTraceCount; ++t) {
    const std::string path = folder + TraceBackupName(t);
    if (TraceHasData(t)) {
      WriteTraceBackup(path, t);
    } else {
      std::remove(path.c_str());
    }
  }
  RenderTemplateLines();
  for (int k = 0; k < kTemplateLineCount; ++k)
    SaveTemplateLine(folder + kTemplateBackupNames[k], k);
  WriteFileBytes(folder + kTemplateBlockName, TemplateBlockBytes());
}

namespace {

void Restored() {
  GInstrument->frame.redrawFlags = kRedrawAll;
}

}  // namespace

void RestoreStateBackup(const std::string& folder) {
  std::vector<uint8_t> bytes;
  if (ReadFileBytes(folder + "Setting.prm", bytes) != 0) return;
  if (RestoreStateImage(bytes.data(), bytes.size()) != 0) return;
  for (int t = 0; t < kTraceCount; ++t) {
    const std::string path = folder + TraceBackupName(t);
    if (!std::filesystem::exists(path)) continue;
    if (!RestoreTrace(path, t)) return Restored();  // the first damaged file ends the restore
  }
  for (const char* name : kTemplateBackupNames) {
    const std::string path = folder + name;
    if (std::filesystem::exists(path) && !CheckTemplateLine(path)) return Restored();
  }
  if (ReadFileBytes(folder + kTemplateBlockName, bytes) == 0) RestoreTemplateBlock(bytes);
  Restored();
}

}  // namespace vq
