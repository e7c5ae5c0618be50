// A started instrument on a headless host in a throw-away configuration folder, for benchmarks.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "instrument.h"
#include "platform/headless_host.h"

namespace vq {

struct StartedInstrument {
  HeadlessHost host;
  std::unique_ptr<Instrument> context;
  std::filesystem::path home;

  explicit StartedInstrument(const std::string& folderName) {
    home = std::filesystem::temp_directory_path() / folderName;
    std::filesystem::create_directories(home);
    host.realSleep = false;
    context = CreateInstrument(host);
    StartUp(host, {home.string(), false});
    PumpUntilIdle(host);
  }
  ~StartedInstrument() {
    WindowProc(WM_CLOSE, 0, 0);
    DestroyInstrument(context);
    std::filesystem::remove_all(home);
  }
  StartedInstrument(const StartedInstrument&) = delete;
  StartedInstrument& operator=(const StartedInstrument&) = delete;
};

}  // namespace vq
