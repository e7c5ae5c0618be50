// The application frame: start-up, the window procedure, the idle step and shut-down.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host.h"

namespace vq {

struct StartOptions {
  std::string home;            // configuration folder; empty = ConfigFolder()
  bool singleInstance = true;  // the viewer refuses a second copy; the tools do not ask
  bool saveState = true;       // save the state backup at exit
};

// What StartUp found. Running: the window is up and the caller runs the message loop (the host's).
// Otherwise the program ends with exitCode.
struct StartResult {
  bool running = false;
  int exitCode = 0;
};

// Starts the instrument on the host; the context GInstrument must exist.
StartResult StartUp(Host& host, const StartOptions& options);

// The window procedure over the message codes of platform/messages.h.
intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

// The loop's rule: true when it may block until the next message, false when IdleStep must run.
bool LoopMayBlock();

// One pass of pending work.
void IdleStep();

// Files dropped on the window (WM_DROPFILES carries them through this list).
void SetDroppedFiles(std::vector<std::string> paths);

// Opens the file named on the command line as a drop would; one that cannot be opened, or is of
// no type a drop reads, shows its message instead.
void OpenFileAtStart(const std::string& path);

// Run from WM_CLOSE before the window goes away.
void ShutDown();

}  // namespace vq
