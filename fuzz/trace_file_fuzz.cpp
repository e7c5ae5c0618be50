// Fuzz target of the trace file readers: the bytes go through the file-type detection and the
// single-trace and all-trace loaders, as a file dropped on the viewer does.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "files/trace_files.h"
#include "fuzz_instrument.h"

namespace {

// One started instrument for the whole run; a load that succeeds changes the records and traces,
// so they are put back after it and every input meets the same starting state.
struct Session {
  std::unique_ptr<vq::TraceStore> traces;
  std::unique_ptr<vq::ConditionState> conditions;
  std::string input;
};

Session* session = nullptr;

void Restore() {
  vq::GInstrument->traces = *session->traces;
  vq::GInstrument->conditions = *session->conditions;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static Session s;
  session = &s;
  const vq::FuzzInstrument& f = vq::StartFuzzInstrument("trace");
  s.input = f.home + "/input";
  s.traces = std::make_unique<vq::TraceStore>(vq::GInstrument->traces);
  s.conditions = std::make_unique<vq::ConditionState>(vq::GInstrument->conditions);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vq::MeasCondition& base = vq::GInstrument->conditions.setting;
  // One way in per input, chosen by its length: the parsers over the bytes are cheap; the
  // loaders, which go through a file and change the traces, are the slow third.
  switch (size % 3) {
    case 0: {
      std::FILE* file = std::fopen(session->input.c_str(), "wb");
      if (!file) return 0;
      const bool written = std::fwrite(data, 1, size, file) == size;
      if (std::fclose(file) != 0 || !written) return 0;
      int format = -1;
      vq::DetectFileType(session->input, &format);
      if (vq::LoadTraceFile(session->input, vq::GInstrument->traces.state.activeTrace) == 0) {
        Restore();
      }
      if (vq::LoadAllTraceFile(session->input) == 0) Restore();
      break;
    }
    case 1: {
      // Every single-trace parser, whatever format the identifier names.
      vq::TraceFileData trace;
      const int format = vq::TraceFormatIndex(data, size);
      if (format >= 0) {
        vq::ParseBinaryTrace(data, size, format, base, trace);
        vq::ParseCsvTrace(data, size, format, base, trace);
      }
      break;
    }
    default: {
      vq::AllTraceFileData all;
      vq::ParseAllTraceCsv(data, size, base, all);
      break;
    }
  }
  return 0;
}
