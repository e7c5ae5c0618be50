// Data files: the text report of the DATA item in its CSV and DT6 forms, OVER and ADD.
#pragma once

#include <string>

namespace vq {

constexpr int kMsgNotDataFile = 134;
constexpr int kMsgUnsuitableWriteItem = 139;

// Writes (OVER) or appends (ADD) the report; 0 or a message code (139, 131, a mapped failure).
int WriteDataFile(const std::string& path);
// Reads a data file back: its trace data into trace A; 0 or kMsgNotDataFile.
int LoadDataFile(const std::string& path);

}  // namespace vq
