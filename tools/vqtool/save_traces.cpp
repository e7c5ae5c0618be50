// render --save-traces: the traces that hold data at the end of the run, as binary trace files.
#include <cstdio>
#include <string>

#include "files/trace_files.h"
#include "render.h"
#include "trace_input.h"
#include "traces/traces.h"

namespace vq {

bool SaveTraces(const std::string& folder) {
  const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (int t = 0; t < kTraceCount; ++t) {
    if (!TraceHasData(t)) continue;
    const std::string path = base + static_cast<char>('A' + t) + ".wv8";
    if (const int code = WriteTraceBinary(path, t); code != 0) {
      std::fprintf(stderr, "vqtool render: cannot write %s: %s\n", path.c_str(),
                   MessageCodeText(code).c_str());
      return false;
    }
  }
  return true;
}

}  // namespace vq
