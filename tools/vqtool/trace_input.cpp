// A fresh context and a trace file loaded into it, for the file-reading subcommands.
#include "trace_input.h"

#include <cstdint>
#include <vector>

#include "files/trace_files.h"
#include "instrument.h"
#include "menu/messages.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

void PrepareFreshTraces() {
  Instrument& g = *GInstrument;
  InitConditions();
  for (Trace& t : g.traces.traces) t.condition = g.conditions.setting;
}

int LoadTraceInput(const std::string& path, int trace) {
  // The identifier decides the reader; anything else is not a trace file.
  std::vector<uint8_t> head;
  if (const int code = ReadFileBytes(path, head); code != 0) return code;
  if (AllTraceFormatIndex(head.data(), head.size()) >= 0) {
    const int code = LoadAllTraceFile(path);
    if (code == 0 && trace >= 0) SetActiveTrace(trace);
    return code;
  }
  if (TraceFormatIndex(head.data(), head.size()) < 0) return kMsgNotTraceFile;
  const int code = LoadTraceFile(path, trace < 0 ? 0 : trace);
  if (code == 0) SetActiveTrace(trace < 0 ? 0 : trace);
  return code;
}

std::string MessageCodeText(int code) {
  const std::string text = MessageText(code);
  return "message " + std::to_string(code) + (text.empty() ? "" : " \"" + text + "\"");
}

}  // namespace vq
