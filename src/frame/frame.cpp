// The application frame: start-up, the window procedure, the idle step and shut-down.
#include "frame/frame.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <new>

#include "analysis/analysis_menus.h"
#include "analysis/markers.h"
#include "calc/calc_menus.h"
#include "calc/template_menus.h"
#include "files/data_file.h"
#include "files/file_menu.h"
#include "files/memory_slots.h"
#include "files/settings_file.h"
#include "files/trace_files.h"
#include "files/user_folders.h"
#include "frame/busy_thread.h"
#include "frame/config.h"
#include "frame/mouse.h"
#include "frame/program.h"
#include "frame/viewer_commands.h"
#include "instrument.h"
#include "link/connection.h"
#include "link/link.h"
#include "link/remote_actions.h"
#include "menu/help.h"
#include "menu/key_commands.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "menu/param_entry.h"
#include "menu/popup_menu.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "platform/image_files.h"
#include "platform/paths.h"
#include "platform/single_instance.h"
#include "screen/colour_sets.h"
#include "screen/marker_layer.h"
#include "screen/renderer.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"
#include "traces/zoom.h"

namespace vq {

namespace {

// Checks the desktop, sizes the window and starts the screen device, three tries at most.
bool SetupWindowAndDevice() {
  Instrument& g = *GInstrument;
  const Size desktop = g.host->DesktopSize();
  if (desktop.width <= kScreenWidth || desktop.height <= kScreenHeight + g.frame.statusBarHeight) {
    g.host->MessageBox("Window Size Error.", "ERROR", BoxButtons::Ok);
    WindowProc(WM_CLOSE, 0, 0);
    return false;
  }
  g.host->FitWindowToClient(kScreenWidth, kScreenHeight);
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) g.host->Sleep(500);
    if (StartDevice()) return true;
    StopDevice();
  }
  g.host->MessageBox("DirectX Init Failed.  \n", "ERROR", BoxButtons::Ok);
  StopDevice();
  WindowProc(WM_CLOSE, 0, 0);
  return false;
}

// The temporary files a killed run left behind in the folders the viewer writes to go at start.
void SweepWrittenFolders() {
  Instrument& g = *GInstrument;
  SweepTemporaryFiles(g.config.home);
  SweepTemporaryFiles(g.files.userFolder);
  for (const std::string& folder : g.config.folders)
    if (!folder.empty()) SweepTemporaryFiles(folder);
}

// Every subsystem binds the handlers of its own soft keys.
void BindMenuHandlers() {
  BindHelpNodes();
  BindCopyNode();
  BindPaletteExportNode();
  BindUserKeyNodes();
  BindUndoNode();
  BindZoomMenu();
  BindConditionMenus();
  BindTraceMenus();
  BindCalcMenus();
  BindMarkerMenus();
  BindSearchMenus();
  BindAnalysisMenus();
  BindFileMenus();
  BindMemoryMenu();
  BindDataFileMenu();
  BindTemplateMenus();
  BindSweepMenu();
}

void TimerStep() {
  Instrument& g = *GInstrument;
  if (GetLocalTime().minute != g.screen.lastClockMinute) g.frame.redrawFlags |= kRedrawClock;
  if (g.link.connected != 1) return;
  // No sweep runs: the analyzer's status is polled once timer 14 has expired.
  if (g.conditions.sweepState == 0 && LinkTimerExpired(kTimerLinkSweepCheck)) LinkStatusPoll();
  // While the menu bar or a dialog runs its own loop, the timer keeps the screen and link alive.
  if (g.frame.menuTracking == 1 || g.frame.modalActive == 1) IdleStep();
}

// The file types a drop reads: trace, data and settings files; an all-trace file only while the
// FILE item list offers ALL TRACE and no analyzer is connected.
bool DropTakes(int type) {
  Instrument& g = *GInstrument;
  const bool allTrace = type == kFileAllTrace &&
                        g.menu.pages[kPageFileItems].target[1] == kNodeAllTrace &&
                        g.link.connected != 1;
  return type == kFileTrace || type == kFileData || type == kFileSettings || allTrace;
}

// Only the last of several dropped files is used. Trace, data and settings files are read as the
// FILE menu reads them, into the active trace; an all-trace file only while the FILE item list
// offers ALL TRACE and no analyzer is connected.
void DropFiles() {
  Instrument& g = *GInstrument;
  if (g.frame.droppedFiles.empty()) return;
  const std::string path = g.frame.droppedFiles.back();
  g.frame.droppedFiles.clear();
  const int type = DetectFileType(path);
  if (DropTakes(type)) {
    ClosePopupMenu(false);
    EndEntry();
    const int code = ReadDroppedFile(path, type);
    if (code == 0) {
      GoToMenu(kNodeFile, 0, 0);
      if (type == kFileData) {
        // The data file's screen is rebuilt: one display, the file read again into trace A.
        ClosePopupMenu(false);
        SetSplitDisplay(false);
        ReadDroppedFile(path, type);
      }
      g.frame.redrawFlags = kRedrawAll;
    } else {
      ShowMessage(code);
    }
  }
  g.host->BringToForeground();
}

intptr_t RouteCommand(uint32_t message, uintptr_t wParam) {
  Instrument& g = *GInstrument;
  FrameState& frame = g.frame;
  const int command = static_cast<int>(wParam & 0xFFFF);
  if (frame.minimized || frame.appState == 0) return 0;
  if (message == WM_COMMAND && command == kCmdWake) return 0;
  if (message == WM_COMMAND && command >= kCmdViewerFirst && command <= kCmdViewerLast) {
    ViewerMenuCommand(wParam);
    frame.menuTracking = 0;
    return 0;
  }
  if (frame.mouseHeldElement != 0) return 0;
  KeyCommand(kKeySourceKeyboard, static_cast<int>(wParam));
  RefreshCursor();
  frame.menuTracking = 0;
  return 0;
}

}  // namespace

StartResult StartUp(Host& host, const StartOptions& options) {
  Instrument& g = *GInstrument;
  g.host = &host;
  g.frame.title = std::string(kModelName) + " OPTICAL SPECTRUM ANALYZER";

  // A second copy ends at once, silently.
  static SingleInstanceLock instanceLock;
  if (options.singleInstance && !instanceLock.Held() && !instanceLock.Acquire(g.frame.title)) {
    return {false, 0};
  }
  if (!host.CreateMainWindow(g.frame.title)) return {false, 0};

  g.frame.appState = 0;
  g.frame.exitRequest = 0;
  g.frame.redrawFlags = 0;
  g.link.connected = 0;
  g.link.syncPending = 0;
  g.link.wake = 0;

  g.frame.calls.redrawNow = [] { RedrawScreen(true, false); };
  g.frame.calls.closeWindow = [] { WindowProc(WM_CLOSE, 0, 0); };
  g.frame.calls.writeScreenImage = WriteScreenImage;
  g.frame.calls.showOverlay = ShowOverlay;
  SetDataFileLevelFormats(DisplayedLevelFormats);

  g.config.home = WithTrailingSlash(options.home.empty() ? ConfigFolder() : options.home);
  ReadConfiguration(g.config);
  ReadUserFolders();
  SweepWrittenFolders();
  ScanMemorySlots();
  LogRunStart();

  SetUpViewerMenu();
  host.SetStatusParts(kStatusPartEdges);
  g.frame.statusBarHeight = host.StatusBarHeight();
  // The link starts closed: the menu in its disconnected state and "DISCONNECT" shown.
  StartConnection();
  InstallRemoteCalls();
  if (!SetupWindowAndDevice()) return {false, 0};
  // The colour schemes come from the built-in tables and color.ini; scheme 0 is shown first.
  BuildColourSchemes();
  LoadColourIni();

  InitMenus();
  BindMenuHandlers();
  ApplyStartupPatches();
  InitConditions();
  // The analyzer state of the last run, silently; a missing or damaged backup leaves the start
  // state.
  RestoreStateBackup(g.config.folders[kFolderSetting]);
  g.frame.stateRestored = true;
  g.frame.saveStateAtExit = options.saveState;
  StartMenus();
  try {
    g.frame.workBuffer.assign(kWorkBufferBytes, 0);
  } catch (const std::bad_alloc&) {
    g.frame.workBuffer.clear();  // file operations check for the missing buffer
  }

  host.ShowMainWindow();
  host.StartTimer(kTimerClock, 50);
  host.SetCursorShape(CursorShape::Arrow);
  g.frame.startupComplete = 1;
  StartBusyThread();
  return {true, 0};
}

bool LoopMayBlock() {
  const Instrument& g = *GInstrument;
  if (g.frame.windowDestroyed) return true;
  return g.frame.appState == 1 && g.frame.redrawFlags == 0 && g.frame.exitRequest == 0 &&
         g.frame.mouseHeldElement == 0 && g.program.running != 1 && g.link.syncPending == 0 &&
         g.link.wake != 2;
}

void IdleStep() {
  Instrument& g = *GInstrument;
  FrameState& frame = g.frame;
  if (frame.windowDestroyed) return;
  if (frame.appState == 0) {
    bool restored = false;
    if (DeviceCheck(&restored) != 0) {
      frame.redrawFlags = kRedrawAll;
      frame.appState = 1;
      RedrawScreen(true, false);
    }
    return;
  }
  if (frame.appState != 1) return;
  if (frame.exitRequest == 0) {
    if (g.link.connected == 1) LinkPollStep();
    ProgramStep();
  }
  if (frame.redrawFlags == 0) {
    if (frame.exitRequest != 0) {
      WindowProc(WM_CLOSE, 0, 0);
    } else if (frame.modalActive != 1) {
      MouseAutoRepeat();
    }
  } else {
    RedrawScreen(true, false);
  }
  // A value changed outside the key engine (the wheel, the entry window) is mirrored now.
  if (g.link.syncPending == 1 && g.link.syncInFlight == 0) {
    g.link.syncPending = 0;
    const int parameter = g.entry.parameter;
    const int action = parameter == kParSensMode ? 70
                       : parameter == kParResolution || parameter == kParResolution - 1
                           ? 69
                           : g.menu.currentMenu;
    if (g.link.connected == 1 && MirrorsAction(action)) RemoteAction(action);
  }
}

void SetDroppedFiles(std::vector<std::string> paths) {
  GInstrument->frame.droppedFiles = std::move(paths);
}

void OpenFileAtStart(const std::string& path) {
  // A file that is missing or unreadable shows the system's code, one of another type 132: a
  // drop would ignore both, but a named file that shows nothing looks like a blank viewer.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ShowMessage(FileErrorCode(errno));
    return;
  }
  close(fd);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) || !DropTakes(DetectFileType(path))) {
    ShowMessage(kMsgNotTraceFile);
    return;
  }
  SetDroppedFiles({path});
  WindowProc(WM_DROPFILES, 0, 0);
}

intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Instrument& g = *GInstrument;
  FrameState& frame = g.frame;
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      g.host->PostQuit(0);
      return 0;
    case WM_CLOSE:
      if (frame.windowDestroyed) return 0;
      ShutDown();
      frame.windowDestroyed = true;
      g.host->DestroyMainWindow();
      return WindowProc(WM_DESTROY, 0, 0);
    case WM_SIZE:
      g.host->SetStatusParts(kStatusPartEdges);
      frame.minimized = wParam == SIZE_MINIMIZED ? 1 : 0;
      return 0;
    case WM_PAINT:
      if (frame.appState == 1 && !frame.minimized) {
        frame.redrawFlags |= kRedrawDynamicOnly;
        IdleStep();
      }
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
      StopDevice();
      if (SetupWindowAndDevice()) {
        frame.redrawFlags = kRedrawAll;
        IdleStep();
      }
      return 0;
    case WM_SETTINGCHANGE:
      if (!frame.minimized) frame.redrawFlags = kRedrawAll;
      return 0;
    case WM_ACTIVATEAPP:
      frame.appActive = static_cast<int32_t>(wParam);
      if (wParam == 1) frame.redrawFlags = kRedrawAll;
      return 0;
    case WM_MENUSELECT:
      frame.menuTracking = ((wParam >> 16) & 0xFFFF) != kMenuClosedHighWord ? 1 : 0;
      return 0;
    case WM_TIMER:
      // The link's one-shot timers only note their expiry; the frame's timer runs the step.
      if (wParam >= kLinkTimerFirst && wParam < kLinkTimerFirst + kLinkTimerCount) {
        LinkTimerFired(static_cast<int>(wParam));
      } else {
        TimerStep();
      }
      return 0;
    case WM_POWERBROADCAST:
      PowerEvent();
      return 0;
    case WM_DROPFILES:
      DropFiles();
      return 0;
    case WM_COMMAND:
    case WM_CHAR:
      return RouteCommand(message, wParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
      if (frame.appState == 1 && frame.modalActive == 0) MouseMessage(message, wParam, lParam);
      return 0;
    default:
      return 0;
  }
}

void ShutDown() {
  Instrument& g = *GInstrument;
  if (g.frame.shutDownDone) return;
  g.frame.appActive = 0;
  ShowOverlay(kOverlayShutDown);
  LogRunEnd();
  // Only a run that restored the backup saves it: a start that failed earlier must not replace
  // the last good state with the start state.
  if (g.frame.stateRestored && g.frame.saveStateAtExit) {
    SaveStateBackup(g.config.folders[kFolderSetting]);
  }
  g.host->StopTimer(kTimerClock);
  ReleaseProgram();
  g.frame.workBuffer = {};
  // A connected analyzer is left in its own control; the viewer's version text comes back.
  EndConnection();
  g.frame.redrawFlags = 0;
  StopDevice();
  g.frame.shutDownDone = true;
}

}  // namespace vq
