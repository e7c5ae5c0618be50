// `vqtool convert`: read a trace file of any accepted form and write it in another.
#pragma once

#include <string>
#include <vector>

namespace vq {

extern const char* const kConvertHelp;

// Runs the convert command on the arguments after "convert"; returns the exit code (0, or 2 with a
// one-line error on stderr and no output file).
int RunConvert(const std::vector<std::string>& args);

}  // namespace vq
