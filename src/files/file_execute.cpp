// EXECUTE of WRITE and READ by item: traces, all traces, memory slots, settings, data files,
// screen graphics and programs.
#include "files/file_execute.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "analysis/markers.h"
#include "files/data_file.h"
#include "files/file_list.h"
#include "files/memory_slots.h"
#include "files/settings_file.h"
#include "files/template_file.h"
#include "files/trace_files.h"
#include "instrument.h"

namespace vq {

namespace {

// A settings or trace file opened while an analyzer is connected is loaded there too, except the
// files a pull from the analyzer is loading itself.
void MirrorOpenedFile(const std::string& path, int trace) {
  const LinkState& link = GInstrument->link;
  if (link.connected == 1 && link.pullInProgress == 0 && link.mirrorOpenedFile != nullptr) {
    link.mirrorOpenedFile(path, trace);
  }
}

constexpr size_t kProgramNameOffset = kIdentifierBytes;
constexpr size_t kProgramNameChars = 32;

// The message of a file that an item cannot read.
int NotItemFile(int item) {
  switch (item) {
    case kItemProgram:
      return kMsgNotProgramFile;
    case kItemData:
      return kMsgNotDataFile;
    case kItemSetting:
      return kMsgNotSettingsFile;
    case kItemTemplate:
      return kMsgNotTemplateFile;
    default:
      return kMsgNotTraceFile;
  }
}

bool ValidProgram(int program) {
  return program >= 0 && program < kProgramCount;
}

}  // namespace

bool ItemWritable(int item) {
  switch (item) {
    case kItemGraphics:
      return GInstrument->frame.calls.writeScreenImage != nullptr;
    default:
      return ValidItem(item);
  }
}

bool ItemReadable(int item) {
  switch (item) {
    case kItemGraphics:
      return false;
    default:
      return ValidItem(item);
  }
}

int ExecuteFileWrite(int item, int index, const std::string& path) {
  Instrument& g = *GInstrument;
  if (!ItemWritable(item)) return kMsgUnsuitableWriteItem;
  const FileSettings& s = g.files.settings;
  switch (item) {
    case kItemTrace:
      return s.traceFileType == 1 ? WriteTraceCsv(path, index) : WriteTraceBinary(path, index);
    case kItemAllTrace:
      return WriteAllTraceCsv(path);
    case kItemMemory:
      return WriteMemorySlotToFile(index, path, s.traceFileType == 1);
    case kItemSetting:
      return WriteSettingsFile(path);
    case kItemData:
      return WriteDataFile(path);
    case kItemGraphics: {
      // The picture is of the measurement screen, not of the file list over it.
      const FileMenuMode mode = g.files.mode;
      g.files.mode = kFileModeNone;
      const int code = g.frame.calls.writeScreenImage(path, s.graphicsFileType == 1);
      g.files.mode = mode;
      return code;
    }
    case kItemProgram:
      return WriteProgramFile(index, path);
    case kItemTemplate:
      return WriteTemplateFile(path, index);
    default:
      return kMsgUnsuitableWriteItem;
  }
}

int ExecuteFileRead(int item, int index, const std::string& path) {
  if (!ItemReadable(item)) return NotItemFile(item);
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return FileErrorCode(errno);
  if (!S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > kMaxTraceFileBytes) {
    return NotItemFile(item);
  }
  switch (item) {
    case kItemTrace: {
      if (index < 0 || index >= kTraceCount) return kMsgNotTraceFile;
      // A file of another kind forced by name is refused before the trace reader sees it.
      if (DetectFileType(path) != kFileTrace) return kMsgNotTraceFile;
      if (const int code = LoadTraceFile(path, index)) return code;
      NewTraceData(index);
      MirrorOpenedFile(path, index);
      return 0;
    }
    case kItemAllTrace: {
      if (const int code = LoadAllTraceFile(path)) return code;
      for (int t = 0; t < kTraceCount; ++t) NewTraceData(t);
      return 0;
    }
    case kItemMemory: {
      std::vector<uint8_t> bytes;
      if (const int code = ReadFileBytes(path, bytes)) return code;
      return FileToMemorySlot(bytes.data(), bytes.size(), index);
    }
    case kItemSetting: {
      const int code = LoadSettingsFile(path);
      if (code == 0) MirrorOpenedFile(path, -1);
      return code;
    }
    case kItemData:
      return LoadDataFile(path);
    case kItemProgram:
      return ReadProgramFile(index, path);
    case kItemTemplate:
      return ReadTemplateFile(path, index);
    default:
      return NotItemFile(item);
  }
}

int WriteProgramFile(int program, const std::string& path) {
  Instrument& g = *GInstrument;
  if (!ValidProgram(program) || g.program.records[program].size() != kProgramRecordBytes) {
    return kMsgNoData;
  }
  std::vector<uint8_t> bytes = g.program.records[program];
  std::memcpy(bytes.data(), kProgramIdentifier, kIdentifierBytes);
  return WriteFileBytes(path, bytes);
}

int ReadProgramFile(int program, const std::string& path) {
  Instrument& g = *GInstrument;
  if (!ValidProgram(program)) return kMsgNotProgramFile;
  std::vector<uint8_t> bytes;
  if (const int code = ReadFileBytes(path, bytes)) return code;
  if (bytes.size() != kProgramRecordBytes ||
      std::memcmp(bytes.data(), kProgramIdentifier, kIdentifierBytes) != 0) {
    return kMsgNotProgramFile;
  }
  g.program.records[program] = std::move(bytes);
  return 0;
}

std::string ProgramName(int program) {
  const Instrument& g = *GInstrument;
  if (!ValidProgram(program)) return "";
  const std::vector<uint8_t>& r = g.program.records[program];
  if (r.size() != kProgramRecordBytes) return "";
  const char* name = reinterpret_cast<const char*>(r.data()) + kProgramNameOffset;
  return std::string(name, strnlen(name, kProgramNameChars));
}

}  // namespace vq
