// The state backup kept in the setting folder: "Setting.prm" (the settings image under the
// firmware text of the instrument it belongs to, with a byte sum) and one backup trace file per
// trace. Saved at exit, restored at start, both without a message.
//
// Every file is written aside and renamed over the old one, so a save that fails or is killed
// leaves each file either old or new, never cut. The settings file goes first; a trace without
// data loses its old backup file only once the new settings file is in place.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/settings_blocks.h"
#include "files/settings_file.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

constexpr size_t kBackupIdBytes = 10;                          // firmware text, NUL terminated
constexpr size_t kBackupSummedBytes = kSettingsFileBytes - 1;  // 73146: the image's last byte
constexpr size_t kBackupBytes = kBackupSummedBytes + 4;        // is left out; the sum follows

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
}

void RestoreStateBackup(const std::string& folder) {
  Instrument& g = *GInstrument;
  std::vector<uint8_t> bytes;
  if (ReadFileBytes(folder + "Setting.prm", bytes) != 0) return;
  if (RestoreStateImage(bytes.data(), bytes.size()) != 0) return;
  for (int t = 0; t < kTraceCount; ++t) {
    const std::string path = folder + TraceBackupName(t);
    if (!std::filesystem::exists(path)) continue;
    if (!RestoreTrace(path, t)) break;  // the first damaged file ends the restore
  }
  g.frame.redrawFlags = kRedrawAll;
}

}  // namespace vq
