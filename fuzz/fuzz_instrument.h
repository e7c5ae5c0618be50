// The instrument a fuzz target runs against: started once for the whole run as the tools start it
// (no single-instance lock, no state backup at exit), in a folder of its own under /dev/shm that
// goes with the process.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "instrument.h"
#include "platform/headless_host.h"

namespace vq {

struct FuzzInstrument {
  HeadlessHost host;
  std::unique_ptr<Instrument> context;
  std::string home;
};

inline FuzzInstrument& StartFuzzInstrument(const char* name) {
  static FuzzInstrument f;
  f.home = "/dev/shm/vqfuzz_" + std::string(name) + "_" + std::to_string(getpid());
  std::filesystem::create_directories(f.home);
  f.host.realSleep = false;
  f.context = CreateInstrument(f.host);
  StartOptions start;
  start.home = f.home;
  start.singleInstance = false;
  start.saveState = false;
  StartUp(f.host, start);
  PumpUntilIdle(f.host);
  std::atexit([] {
    WindowProc(WM_CLOSE, 0, 0);
    DestroyInstrument(f.context);
    std::error_code ignored;
    std::filesystem::remove_all(f.home, ignored);
  });
  return f;
}

}  // namespace vq
