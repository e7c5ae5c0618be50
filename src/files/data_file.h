// Data files: the text report of the DATA item in its CSV and DT6 forms, OVER and ADD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/marker_texts.h"
#include "files/trace_files.h"

namespace vq {

constexpr int kMsgNotDataFile = 134;
constexpr int kMsgUnsuitableWriteItem = 139;

// Writes (OVER) or appends (ADD) the report; 0 or a message code (139, 131, a mapped failure).
int WriteDataFile(const std::string& path);
// Reads a data file back: the trace data of its last report into trace A; 0, kMsgNotDataFile,
// 131 for a data file without trace data, or the message of a failed read.
int LoadDataFile(const std::string& path);

// The report as WriteDataFile would build it for a new file (with the identifier) or for one
// appended in ADD mode; empty when no item gives a line.
std::string DataReport(bool appended);
// The trace data of the last report in a data file's bytes, read against `base`: 0, 131 for a
// data file without trace data, or kMsgNotDataFile.
int ParseDataFile(const uint8_t* bytes, size_t size, const MeasCondition& base, TraceFileData& out);
// Where an ADD report goes in an existing file's bytes: the offset of its last end byte (26) for
// a name not ending in ".csv", the end of a ".csv" data file; -1 when the file cannot take it.
long AppendPoint(const std::string& path, const std::string& bytes);

// The level formats of the traces as the screen shows them, for the marker list of the DATA
// AREA; the frame sets it at start (unset: dBm for every trace).
void SetDataFileLevelFormats(TraceLevelFormats (*source)());
// Binds the OUTPUT ITEM SETTING keys.
void BindDataFileMenu();

}  // namespace vq
