// Trace data files: type detection, the binary, backup, CSV and all-trace CSV forms.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

// File type codes of the detection table.
constexpr int kFileTrace = 0;
constexpr int kFileProgram = 1;
constexpr int kFileData = 2;
constexpr int kFileSettings = 3;
constexpr int kFileTemplate = 6;
constexpr int kFileAllTrace = 8;

// Trace format indices (positions in the trace row of the detection table). The backup file is
// read by the trace reader but is not a type of its own, so it has an index outside the row.
constexpr int kFormatQxBinary = 11;
constexpr int kFormatQxCsv = 12;
constexpr int kFormatQyBinary = 13;
constexpr int kFormatQyCsv = 14;
constexpr int kFormatBinary = 15;
constexpr int kFormatCsv = 16;
constexpr int kFormatBackup = 17;

constexpr size_t kIdentifierBytes = 10;  // identifier with its CR LF in the binary forms
constexpr size_t kBinaryHeaderBytes = kIdentifierBytes + sizeof(MeasCondition);  // 498
constexpr size_t kMaxTraceFileBytes = 16384000;  // the largest file a read accepts
constexpr int kMsgNoData = 131;
constexpr int kMsgNotTraceFile = 132;

// The type of a file from its first bytes; -1 when unreadable or of no known type. The trace
// format index (the identifier's position in its row) goes to *format when asked.
int DetectFileType(const std::string& path, int* format = nullptr);
// The position of the identifier that starts the bytes in the list of a file type (for templates:
// 0 to 2 the model lines, from 3 on the trace identifiers), or -1.
int IdentifierIndex(int type, const uint8_t* bytes, size_t size);
// The trace format index of file bytes (kFormatBackup for a backup file), or -1.
int TraceFormatIndex(const uint8_t* bytes, size_t size);
// The all-trace format imitated by an all-trace file (kFormatQxCsv, kFormatQyCsv, kFormatCsv), or
// -1.
int AllTraceFormatIndex(const uint8_t* bytes, size_t size);

// One trace as a file holds it.
struct TraceFileData {
  MeasCondition condition{};
  std::vector<double> levels;  // mW
  std::vector<double> source;  // backup files only
  int attribute = 0;
};

// The traces of an all-trace CSV file.
struct AllTraceFileData {
  std::array<TraceFileData, kTraceCount> traces;
  std::array<bool, kTraceCount> present{};  // a "TRACE %c" line and section name it
  std::array<bool, kTraceCount> hasData{};  // its data flag
  TraceFileData measured;                   // the "[MEAS SETTING]" section, conditions only
  int active = 0;
};

// Parsers of file bytes; `base` is the record the file's fields are read into (the setting
// record), so that fields a CSV file does not carry keep their values. The result is normalised.
// 0 or kMsgNotTraceFile.
int ParseBinaryTrace(const uint8_t* bytes, size_t size, int format, const MeasCondition& base,
                     TraceFileData& out);
int ParseCsvTrace(const uint8_t* bytes, size_t size, int format, const MeasCondition& base,
                  TraceFileData& out);
int ParseAllTraceCsv(const uint8_t* bytes, size_t size, const MeasCondition& base,
                     AllTraceFileData& out);
// Normalises a record read from a file: frequency mode, the record's own rules, its points.
void NormaliseLoaded(TraceFileData& data);

// Readers: 0 on success, else a message code (e.g. 132 "File is not a trace file"); nothing is
// changed on failure.
int ReadTraceFile(const std::string& path, TraceFileData& out);
int ReadAllTraceFile(const std::string& path, AllTraceFileData& out);
// Writers of the active context's traces: 0 or a message code; a failed write leaves no file
// and never replaces a good one.
int WriteTraceBinary(const std::string& path, int trace);
int WriteTraceCsv(const std::string& path, int trace);
int WriteAllTraceCsv(const std::string& path);
int WriteTraceBackup(const std::string& path, int trace);
// A backup file of the record (its stored points) and two arrays of that many levels.
int WriteBackupArrays(const std::string& path, const MeasCondition& c, const double* levels,
                      const double* source);

// Pieces of the single-trace CSV file that the data files share: the 56-character label line,
// the sensitivity setting line ("" out of range), and the trace data section (the "[TRACE DATA]"
// line and one line a point) of a trace.
std::string LabelText(const char* label);
std::string SensitivitySettingLine(const MeasCondition& c);
void AppendCsvTraceData(std::string& out, int trace);

// The record as a saved file carries it: the setting record's label, stored points, thresholds
// and noise mask of the current settings.
MeasCondition SavedRecord(int trace);
// Reads a trace file whole; 0 or a message code.
int ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);

// Loads a trace file into a trace of the context (the trace becomes FIX with the file's
// attribute as fixed-from attribute) and redraws; 0 or a message code.
int LoadTraceFile(const std::string& path, int trace);
// Loads parsed trace data into a trace the way LoadTraceFile does.
void LoadTraceData(const TraceFileData& data, int trace);
// Loads an all-trace CSV file into every trace it holds; 0 or a message code.
int LoadAllTraceFile(const std::string& path);

}  // namespace vq
