// `vqtool convert`: read a trace file of any accepted form and write it in another.
#pragma once

#include <string>

namespace vq {

struct ConvertOptions {
  std::string in, out;
  std::string to;  // bin, csv or allcsv
  int trace = -1;  // 0 to 6, or -1: trace A, or the active trace of an all-trace file
};

// Runs the convert command; returns the exit code (0, or 2 with a one-line error on stderr and no
// output file).
int RunConvert(const ConvertOptions& options);

}  // namespace vq
