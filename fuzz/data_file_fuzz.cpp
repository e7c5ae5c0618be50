// Fuzz target of the data file reader: the bytes go through the parser of the file menu's READ of
// DATA, into trace A when they parse, and through the search for the append point of ADD.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "files/data_file.h"
#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "instrument.h"
#include "platform/headless_host.h"

namespace {

// One started instrument for the whole run; a load changes the records and traces, so they are
// put back after it and every input meets the same starting state.
struct Session {
  vq::HeadlessHost host;
  std::unique_ptr<vq::Instrument> context;
  std::unique_ptr<vq::TraceStore> traces;
  std::unique_ptr<vq::ConditionState> conditions;
  std::string home;
};

Session* session = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static Session s;
  session = &s;
  s.home = "/dev/shm/vqfuzz_data_home_" + std::to_string(getpid());
  std::filesystem::create_directories(s.home);
  s.host.realSleep = false;
  s.context = vq::CreateInstrument(s.host);
  vq::StartUp(s.host, {s.home, false});
  vq::PumpUntilIdle(s.host);
  s.traces = std::make_unique<vq::TraceStore>(vq::GInstrument->traces);
  s.conditions = std::make_unique<vq::ConditionState>(vq::GInstrument->conditions);
  std::atexit([] {
    vq::WindowProc(vq::WM_CLOSE, 0, 0);
    vq::DestroyInstrument(session->context);
    std::filesystem::remove_all(session->home);
  });
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
