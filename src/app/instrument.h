// The one context that holds all state of the instrument, grouped by subsystem.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/menu_engine.h"
#include "app/messages.h"
#include "app/mouse.h"
#include "app/param_entry.h"
#include "app/popup_menu.h"
#include "app/waveform.h"
#include "platform/host.h"
#include "platform/surface.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

constexpr const char* kModelName = "VQ7000B";
constexpr uint32_t kRedrawAll = 0xFFFFFFFFu;  // RedrawFlags value -1: the whole screen
constexpr size_t kWorkBufferBytes = 6422528;  // shared work buffer of the file operations

// Switches of debug.ini, with their built-in values.
struct DebugSwitches {
  bool alpha = false;
  bool newResolutionSetting = false;
  bool palette = false;
  bool testMode = false;
  bool zoom = true;
  bool altQ = false;
  int gpibPort = -1;  // "GP-IB": "1" gives index 0, "2" index 1; -1 = not set
  bool help = true;
  std::string helpFont;  // empty = the built-in help font
  bool zeroOrderDebug = false;
  bool sweepKeyLock = true;  // "SWEEP_KEY" = "ON" clears it
  bool syncWidthSet = false;
  double syncWidth = 0.0;
  bool cpuFanAlarm = true;
};

// Folders named by the "FOLDER" section of the viewer ini file, in key order.
enum FolderKind {
  kFolderCalData,
  kFolderMemory,
  kFolderProgram,
  kFolderPresetWord,
  kFolderIni,
  kFolderSetting,
  kFolderTrace,
  kFolderHelp,
  kFolderCalDataD,
  kFolderCab,
  kFolderCount
};

struct ConfigState {
  std::string home;  // the configuration folder, with a trailing '/'
  std::array<std::string, kFolderCount> folders;
  DebugSwitches debug;
  int captureCounter = 0;      // next number of "test%03d.bmp"
  std::string productVersion;  // kept for the About dialog (8 characters get a blank)
  std::string revisionText;    // "(Rxx.xx)"
};

struct FrameState {
  std::atomic<int32_t> appState{0};  // 0 = screen not yet confirmed usable, 1 = running
  std::atomic<uint32_t> redrawFlags{0};
  int32_t exitRequest = 0;
  int32_t mouseHeldElement = 0;
  int32_t appActive = 0;
  int32_t startupComplete = 0;
  int16_t modalActive = 0;
  int16_t menuTracking = 0;
  int16_t minimized = 0;
  int lastViewerCommand = 0;
  std::atomic<int32_t> busyAngle{-1};  // spinner angle in degrees; -1 = hidden
  std::atomic<int16_t> busyShown{0};
  // Held for a whole drawing pass, by whichever thread draws; recursive because a pass that finds
  // the device unrecoverable closes the window, whose shut-down shows an overlay.
  std::recursive_mutex screenLock;
  std::string title;
  int statusBarHeight = 0;
  std::vector<uint8_t> workBuffer;
  std::vector<std::string> droppedFiles;  // the paths of the last WM_DROPFILES
  bool windowDestroyed = false;
  bool shutDownDone = false;
};

// Flags of the instrument link that the frame and the busy thread read.
struct LinkFlags {
  std::atomic<int16_t> connected{0};
  std::atomic<int16_t> syncPending{0};
  std::atomic<int16_t> wake{0};  // 0 nothing, 1 the link asks to be woken, 2 wake-up posted
  std::atomic<int16_t> zeroing{0};
  std::atomic<int16_t> statusPollInFlight{0};
  std::atomic<int16_t> syncInFlight{0};
  std::atomic<int32_t> analyzerSweeping{0};  // mirrored sweep word of the connected analyzer
};

// The stored-program function: only what the frame needs of it.
struct ProgramState {
  std::atomic<int32_t> running{0};
  int steps = 0;
};

struct ScreenState {
  Device device;
  Surface staticLayer;
  Surface frameCopy;
  Surface backBuffer;
  std::array<Surface, 3> logos;
  Surface* target = nullptr;           // surface the primitives draw on during a pass
  bool blending = false;               // alpha blending of translucent slots (dynamic layer)
  std::array<uint32_t, 88> colours{};  // slot colours, 0xAARRGGBB
  std::array<std::array<uint8_t, 86>, 7> schemes{};  // palette indices per colour scheme
  int scheme = 0;
  std::atomic<int32_t> overlayId{-1};
  bool wasNotReady = false;       // a check reported not ready: the next ready one redraws all
  int screenMode = 0;             // 0 single graph, 1 split, 2 and 3 other graph modes, 4+ pages
  bool altFill = false;           // the display's alternate background option
  bool hardCopySoftKeys = false;  // captures include the soft-key column (width 800)
  int lastClockMinute = -1;
  bool presentSuppressed = false;  // set while a capture redraws without presenting
  int passesDrawn = 0;             // counters for tests and benchmarks
};

struct Instrument {
  Host* host = nullptr;
  ConfigState config;
  FrameState frame;
  ScreenState screen;
  LinkFlags link;
  ProgramState program;
  MenuState menu;
  PopupState popup;
  MouseState mouse;
  ConditionState conditions;
  TraceStore traces;
  MessageState messages;
  EntryState entry;
  WaveformState waveform;
  std::jthread busyThread;  // last: stopped and joined before the rest goes away

  Instrument() = default;
  Instrument(const Instrument&) = delete;
  Instrument& operator=(const Instrument&) = delete;
  ~Instrument();
};

extern Instrument* GInstrument;

// Makes a fresh context current (tests: one per test) and drops it.
std::unique_ptr<Instrument> CreateInstrument(Host& host);
void DestroyInstrument(std::unique_ptr<Instrument>& instrument);

}  // namespace vq
