// The binary trace file (float levels) and the binary backup file (doubles and a checksum).
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "files/trace_files.h"
#include "instrument.h"
#include "platform/image_files.h"

namespace vq {

static_assert(std::endian::native == std::endian::little, "the files are little-endian");

namespace {

constexpr char kBinaryId[] = "\"QXBWAV\"\r\n";
constexpr char kBackupId[] = "\"QXBBAK\"\r\n";
static_assert(sizeof kBinaryId - 1 == kIdentifierBytes && sizeof kBackupId - 1 == kIdentifierBytes);

// NORM, CRV FIT and PKCVFIT traces save their input; the loader recomputes the fit from it.
bool SavesSource(int attribute) {
  return AttributeHas(attribute, kAttrSavesSource);
}

bool FitWithLineMarkers(const MeasCondition& c) {
  return AttributeHas(c.traceAttribute, kAttrLineMarkerFit) &&
         (c.operationArea == 1 || c.operationArea == 2);
}

template <typename T>
void Append(std::vector<uint8_t>& bytes, const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  bytes.insert(bytes.end(), p, p + sizeof(T));
}

std::vector<uint8_t> Header(const char* id, const MeasCondition& c, size_t levelBytes) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kBinaryHeaderBytes + levelBytes);
  bytes.insert(bytes.end(), id, id + kIdentifierBytes);
  Append(bytes, c);
  return bytes;
}

// Every double of the record must be a number: the f64 fields from the centre to k.
bool RecordFinite(const MeasCondition& c) {
  const double* first = &c.centre;
  for (int i = 0; i < 18; ++i) {
    if (!std::isfinite(first[i])) return false;
  }
  return std::isfinite(c.samplingInterval);
}

}  // namespace

MeasCondition SavedRecord(int trace) {
  const Instrument& g = *GInstrument;
  const MeasCondition& s = g.conditions.setting;
  MeasCondition c = g.traces.traces[trace].condition;
  if (SavesSource(c.traceAttribute)) c.levelUnit = s.levelUnit;
  std::memcpy(c.label, s.label, sizeof c.label);
  c.storedPoints = c.samplingPoints;
  c.curveFitThreshold = g.traces.state.curveFitThreshold;
  c.peakCurveFitThreshold = g.traces.state.peakCurveFitThreshold;
  c.operationArea = s.operationArea;
  c.fittingAlgorithm = s.fittingAlgorithm;
  c.noiseMaskDirection = s.noiseMaskDirection;
  c.noiseMask = s.noiseMask;
  // The line-marker area bounds a fit only between or outside the line markers; it keeps the
  // area the trace's fit was made with. The firmware text stays that of the measuring instrument.
  if (!FitWithLineMarkers(c)) {
    c.lineMarkerArea0 = c.lineMarkerArea1 = 0;
    std::memset(c.lineMarkerArea2, 0, sizeof c.lineMarkerArea2);
    c.lineMarkerArea3 = 0;
  }
  return c;
}

int ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return error == std::errc::no_such_file_or_directory ? 123 : 121;
  if (size > kMaxTraceFileBytes) return kMsgNotTraceFile;
  return ReadWholeFile(path, bytes) ? 0 : 121;
}

int WriteTraceBinary(const std::string& path, int trace) {
  if (trace < 0 || trace >= kTraceCount || !TraceHasData(trace)) return kMsgNoData;
  const Trace& t = GInstrument->traces.traces[trace];
  const MeasCondition c = SavedRecord(trace);
  const int n = c.storedPoints;
  const auto& values = SavesSource(c.traceAttribute) ? t.source : t.level;
  std::vector<uint8_t> bytes = Header(kBinaryId, c, 4u * n);
  for (int i = 0; i < n; ++i) Append(bytes, static_cast<float>(values[i]));
  return WriteFileBytes(path, bytes);
}

int WriteTraceBackup(const std::string& path, int trace) {
  if (trace < 0 || trace >= kTraceCount || !TraceHasData(trace)) return kMsgNoData;
  const Trace& t = GInstrument->traces.traces[trace];
  return WriteBackupArrays(path, SavedRecord(trace), t.level.data(), t.source.data());
}

int WriteBackupArrays(const std::string& path, const MeasCondition& c, const double* levels,
                      const double* source) {
  const int n = c.storedPoints;
  std::vector<uint8_t> bytes = Header(kBackupId, c, 16u * n + 4);
  for (int i = 0; i < n; ++i) Append(bytes, levels[i]);
  for (int i = 0; i < n; ++i) Append(bytes, source[i]);
  uint32_t sum = 0;
  for (uint8_t b : bytes) sum += b;
  Append(bytes, sum);
  return WriteFileBytes(path, bytes);
}

// A file of more than 50001 points was not written by this family: it is refused, not cut.
int ParseBinaryTrace(const uint8_t* bytes, size_t size, int format, const MeasCondition& base,
                     TraceFileData& out) {
  if (size < kBinaryHeaderBytes) return kMsgNotTraceFile;
  TraceFileData data;
  data.condition = base;
  std::memcpy(&data.condition, bytes + kIdentifierBytes, sizeof(MeasCondition));
  const MeasCondition& c = data.condition;
  const int n = c.storedPoints;
  if (n < 1 || n > kMaxPoints || c.samplingPoints > kMaxPoints || !RecordFinite(c) ||
      !ValidAttribute(c.traceAttribute)) {
    return kMsgNotTraceFile;
  }
  const uint8_t* p = bytes + kBinaryHeaderBytes;
  data.levels.resize(n);
  if (format == kFormatBackup) {
    const size_t sumAt = kBinaryHeaderBytes + 16u * n;
    if (size < sumAt + 4) return kMsgNotTraceFile;
    uint32_t sum = 0, stored = 0;
    for (size_t i = 0; i < sumAt; ++i) sum += bytes[i];
    std::memcpy(&stored, bytes + sumAt, 4);
    if (sum != stored) return kMsgNotTraceFile;
    data.source.resize(n);
    std::memcpy(data.levels.data(), p, 8u * n);
    std::memcpy(data.source.data(), p + 8u * n, 8u * n);
  } else {
    if (size < kBinaryHeaderBytes + 4u * n) return kMsgNotTraceFile;
    for (int i = 0; i < n; ++i) {
      float v;
      std::memcpy(&v, p + 4u * i, 4);
      data.levels[i] = v;
    }
  }
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(data.levels[i]) || (!data.source.empty() && !std::isfinite(data.source[i])))
      return kMsgNotTraceFile;
  }
  data.attribute = c.traceAttribute;
  NormaliseLoaded(data);
  out = std::move(data);
  return 0;
}

}  // namespace vq
