// Fuzz target of the data file reader: the bytes go through the parser of the file menu's READ of
// DATA, into trace A when they parse, and through the search for the append point of ADD.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "files/data_file.h"
#include "fuzz_instrument.h"

namespace {

// One started instrument for the whole run; a load changes the records and traces, so they are
// put back after it and every input meets the same starting state.
struct Session {
  std::unique_ptr<vq::TraceStore> traces;
  std::unique_ptr<vq::ConditionState> conditions;
};

Session* session = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static Session s;
  session = &s;
  vq::StartFuzzInstrument("data");
  s.traces = std::make_unique<vq::TraceStore>(vq::GInstrument->traces);
  s.conditions = std::make_unique<vq::ConditionState>(vq::GInstrument->conditions);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vq::TraceFileData parsed;
  if (vq::ParseDataFile(data, size, vq::GInstrument->conditions.setting, parsed) == 0) {
    vq::LoadTraceData(parsed, 0);
    vq::GInstrument->traces = *session->traces;
    vq::GInstrument->conditions = *session->conditions;
  }
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const long dt6 = vq::AppendPoint("D0000.DT8", bytes);
  const long csv = vq::AppendPoint("D0000.CSV", bytes);
  if (dt6 >= static_cast<long>(size) || csv > static_cast<long>(size)) std::abort();
  return 0;
}
