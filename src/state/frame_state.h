// State of the frame: configuration, the loop's flags, the stored program's running flag and the
// mouse; the redraw bits of RedrawFlags.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace vq {

constexpr const char* kModelName = "VQ7000B";
constexpr uint32_t kRedrawAll = 0xFFFFFFFFu;  // RedrawFlags value -1: the whole screen
constexpr size_t kWorkBufferBytes = 6422528;  // shared work buffer of the file operations

// RedrawFlags bits.
constexpr uint32_t kRedrawBackground = 0x1;   // background, logo, top panels, marker row
constexpr uint32_t kRedrawGraphFrames = 0x6;  // graph frames and scales
constexpr uint32_t kRedrawDynamic = 0x8;      // dynamic layer, set after any static change
constexpr uint32_t kRedrawConditions = 0x10;  // condition and data area
constexpr uint32_t kRedrawClock = 0x20;
constexpr uint32_t kRedrawTraceLabels = 0x40;   // trace label boxes beside the graphs
constexpr uint32_t kRedrawDynamicOnly = 0x100;  // sweeps, markers, pop-up menu, spinner
constexpr uint32_t kRedrawSoftKeys = 0x1000;
constexpr uint32_t kRedrawSoftKeyPath = 0x2000;
constexpr uint32_t kRedrawGraphLabels = 0x7F0000;  // labels around the graphs, status column
constexpr uint32_t kRedrawAxisLabels = 0x10000;
constexpr uint32_t kRedrawLevelLabels = 0x20000;
constexpr uint32_t kRedrawStatusColumn = 0x180000;  // the whole column, or one changed entry
constexpr uint32_t kRedrawStaticMask = 0x7F3077;
static_assert(kRedrawStaticMask ==
                  (kRedrawBackground | kRedrawGraphFrames | kRedrawConditions | kRedrawClock |
                   kRedrawTraceLabels | kRedrawSoftKeys | kRedrawSoftKeyPath | kRedrawGraphLabels),
              "the static mask is the union of the static areas");

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

// Calls up into the screen and the frame, set at start-up, so that the menu and the renderer need
// not include the layers above them: a pressed soft key is shown at once, and a device that
// cannot be restored closes the window.
struct FrameCalls {
  void (*redrawNow)() = nullptr;
  void (*closeWindow)() = nullptr;
  // The FILE menu's GRAPHICS item: the screen image as BMP or TIFF; 0 or a message code.
  int (*writeScreenImage)(const std::string& path, bool tiff) = nullptr;
  // The notice of a file operation over the screen ("Directory searching!", "    Reading!", ...).
  void (*showOverlay)(int id) = nullptr;
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
  bool stateRestored = false;  // start-up got as far as restoring the state backup
  bool saveStateAtExit = true;
  FrameCalls calls;
};

// The stored-program function: the running flag the frame needs, and the program records that
// the FILE menu's PROGRAM item reads and writes (empty: no program under that number).
constexpr int kProgramCount = 20;
constexpr size_t kProgramRecordBytes = 12872;
struct ProgramState {
  std::atomic<int32_t> running{0};
  int steps = 0;
  std::array<std::vector<uint8_t>, kProgramCount> records;
};

struct MouseState {
  int x = 400;  // last pointer position
  int y = 300;
  bool moved = false;             // the first move away from the centre happened
  int64_t nextRepeatMs = 0;       // when the held element repeats next
  int64_t lastReleaseMs = -1000;  // for the double click
  int32_t lastReleaseElement = 0;
  bool doubleClick = false;  // the last release was a double click
  uint32_t stateWord = 0;    // bits 28 and 29: direct-entry flags of the soft keys
};

}  // namespace vq
