// The 64 memory slots: SAVE, RECALL and CLEAR, the scan at start, and the file menu's MEMORY item.
#include "files/memory_slots.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "analysis/markers.h"
#include "files/trace_files.h"
#include "instrument.h"

namespace vq {

namespace {

constexpr char kSlotIdentifier[] = "\"QXBWAV\"\r\n";
static_assert(sizeof kSlotIdentifier - 1 == kIdentifierBytes, "the binary trace identifier");

bool ValidSlot(int slot) {
  return slot >= 0 && slot < kMemorySlots;
}

// The memory folder is made on first use, so that a fresh home can take slots at once.
int EnsureMemoryFolder() {
  std::error_code error;
  std::filesystem::create_directories(GInstrument->config.folders[kFolderMemory], error);
  return error ? FileErrorCode(error.value()) : 0;
}

// Trace A, the records and the trace state, kept while trace A serves as the work trace of a
// conversion and put back whatever happens.
class WorkTraceA {
 public:
  WorkTraceA()
      : kept_(std::make_unique<Trace>(GInstrument->traces.traces[0])),
        conditions_(GInstrument->conditions),
        state_(GInstrument->traces.state) {}
  ~WorkTraceA() {
    Instrument& g = *GInstrument;
    g.traces.traces[0] = *kept_;
    g.conditions = conditions_;
    g.traces.state = state_;
  }
  WorkTraceA(const WorkTraceA&) = delete;
  WorkTraceA& operator=(const WorkTraceA&) = delete;

  // The loaded record and values into trace A and the records, without the steps of a load that
  // fix and redraw the trace.
  static void Put(const TraceFileData& data) {
    Instrument& g = *GInstrument;
    Trace& t = g.traces.traces[0];
    t.condition = data.condition;
    const size_t n = std::min(data.levels.size(), t.level.size());
    std::fill(std::copy_n(data.levels.begin(), n, t.level.begin()), t.level.end(), 0.0);
    if (data.source.size() == data.levels.size()) {
      std::fill(std::copy_n(data.source.begin(), n, t.source.begin()), t.source.end(), 0.0);
    } else {
      t.source = t.level;
    }
    g.traces.state.attribute[0] = static_cast<uint16_t>(data.attribute);
    g.conditions.setting = data.condition;
    g.conditions.measured = data.condition;
    g.conditions.panes[g.traces.state.pane[0] ? 1 : 0] = data.condition;
  }

 private:
  std::unique_ptr<Trace> kept_;  // two arrays of 50001 doubles: not on the stack
  ConditionState conditions_;
  TraceStateBlock state_;
};

// A trace file's bytes parsed against the setting record; 0 or kMsgNotTraceFile.
int ParseTraceBytes(const uint8_t* bytes, size_t size, TraceFileData& out) {
  const int format = TraceFormatIndex(bytes, size);
  if (format < 0) return kMsgNotTraceFile;
  const MeasCondition& base = GInstrument->conditions.setting;
  const bool binary = format == kFormatQxBinary || format == kFormatQyBinary ||
                      format == kFormatBinary || format == kFormatBackup;
  return binary ? ParseBinaryTrace(bytes, size, format, base, out)
                : ParseCsvTrace(bytes, size, format, base, out);
}

// Puts the kept level scale back after a recall into the analysed trace: the sub-scale fields
// for a sub-scale attribute, else reference level, log scale and base level.
void RestoreLevelScale(int trace, const MeasCondition& kept) {
  Instrument& g = *GInstrument;
  MeasCondition& s = g.conditions.setting;
  if (TraceOnSubScale(trace)) {
    s.subScaleLinear = kept.subScaleLinear;
    s.subScaleLog = kept.subScaleLog;
    s.subScaleDbKm = kept.subScaleDbKm;
    s.subScalePercent = kept.subScalePercent;
    s.subScaleMin = kept.subScaleMin;
    s.subScaleMinPercent = kept.subScaleMinPercent;
    s.offsetLevel = kept.offsetLevel;
    s.offsetLevelPerKm = kept.offsetLevelPerKm;
    s.fibreLength = kept.fibreLength;
    s.subScaleMode = kept.subScaleMode;
  } else {
    s.refLevel = kept.refLevel;
    s.logScale = kept.logScale;
    s.baseLevel = kept.baseLevel;
  }
  g.traces.traces[trace].condition = s;
  g.conditions.measured = s;
  const int pane = g.traces.state.pane[trace] ? 1 : 0;
  if (g.traces.state.splitMode != 1 || g.traces.state.paneHold[pane] == 0) {
    g.conditions.panes[pane] = s;
  }
}

}  // namespace

std::string MemorySlotPath(int slot) {
  char name[16];
  std::snprintf(name, sizeof name, "MEM%03d.WV8", slot);
  return GInstrument->config.folders[kFolderMemory] + name;
}

int SaveMemorySlot(int slot, int trace) {
  Instrument& g = *GInstrument;
  if (!ValidSlot(slot)) return kMsgUnsuitableMemory;
  if (!TraceHasData(trace)) return kMsgNoData;
  // The slot is taken before the write: a failed write leaves it listed with its record.
  MemorySlot& s = g.memory.slot[slot];
  s.used = 1;
  s.condition = SavedRecord(trace);
  if (const int code = EnsureMemoryFolder()) return code;
  return WriteTraceBinary(MemorySlotPath(slot), trace);
}

int RecallMemorySlot(int slot, int trace) {
  Instrument& g = *GInstrument;
  if (!ValidSlot(slot) || g.memory.slot[slot].used != 1) return kMsgUnsuitableMemory;
  if (trace < 0 || trace >= kTraceCount) return kMsgNotTraceFile;
  const AnalysisState& a = g.analysis;
  const bool analysed = a.resultKind != kResultNone && a.resultTrace == trace;
  const MeasCondition keptSetting = g.conditions.setting;
  std::array<uint16_t, kLineMarkers> keptFlags{};
  for (int i = 0; i < kLineMarkers; ++i) keptFlags[i] = a.lineMarkers[i].on;

  if (const int code = LoadTraceFile(MemorySlotPath(slot), trace)) return code;
  if (!analysed) {
    NewTraceData(trace);
    return 0;
  }
  // The analysed trace keeps its line markers; with two or more on, the level scale they were
  // set against is kept too.
  int on = 0;
  for (int i = 0; i < kLineMarkers; ++i) {
    g.analysis.lineMarkers[i].on = keptFlags[i];
    on += keptFlags[i] ? 1 : 0;
  }
  if (on >= 2) RestoreLevelScale(trace, keptSetting);
  g.frame.redrawFlags = kRedrawAll;
  return 0;
}

int ClearMemorySlot(int slot) {
  Instrument& g = *GInstrument;
  if (!ValidSlot(slot)) return kMsgUnsuitableMemory;
  if (std::remove(MemorySlotPath(slot).c_str()) != 0 && errno != ENOENT) {
    return FileErrorCode(errno);  // the file stays, so the slot stays listed
  }
  g.memory.slot[slot] = MemorySlot{};
  return 0;
}

void ScanMemorySlots() {
  Instrument& g = *GInstrument;
  for (int n = 0; n < kMemorySlots; ++n) {
    MemorySlot& s = g.memory.slot[n];
    s = MemorySlot{};
    const std::string path = MemorySlotPath(n);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
      if (errno != ENOENT) std::remove(path.c_str());
      continue;
    }
    uint8_t head[kBinaryHeaderBytes];
    const size_t got = std::fread(head, 1, sizeof head, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
      std::remove(path.c_str());
      continue;
    }
    if (got < sizeof head || std::memcmp(head, kSlotIdentifier, kIdentifierBytes) != 0) continue;
    std::memcpy(&s.condition, head + kIdentifierBytes, sizeof s.condition);
    s.condition.label[sizeof s.condition.label - 1] = '\0';
    s.used = 1;
  }
}

int WriteMemorySlotToFile(int slot, const std::string& path, bool csv) {
  Instrument& g = *GInstrument;
  if (!ValidSlot(slot) || g.memory.slot[slot].used != 1) return kMsgUnsuitableMemory;
  std::vector<uint8_t> bytes;
  if (const int code = ReadFileBytes(MemorySlotPath(slot), bytes)) return code;
  if (!csv) return WriteFileBytes(path, bytes);
  TraceFileData data;
  if (const int code = ParseTraceBytes(bytes.data(), bytes.size(), data)) return code;
  WorkTraceA work;
  WorkTraceA::Put(data);
  return WriteTraceCsv(path, 0);
}

int FileToMemorySlot(const uint8_t* bytes, size_t size, int slot) {
  Instrument& g = *GInstrument;
  if (!ValidSlot(slot)) return kMsgUnsuitableMemory;
  TraceFileData data;
  if (const int code = ParseTraceBytes(bytes, size, data)) return code;
  WorkTraceA work;
  WorkTraceA::Put(data);
  if (!TraceHasData(0)) return kMsgNoData;
  MemorySlot& s = g.memory.slot[slot];
  s.used = 1;
  s.condition = SavedRecord(0);
  if (const int code = EnsureMemoryFolder()) return code;
  return WriteTraceBinary(MemorySlotPath(slot), 0);
}

}  // namespace vq
