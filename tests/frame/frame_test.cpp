// Tests of the application frame: start-up, the loop's rule, window messages, shut-down, config.
#include "frame/frame.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "frame/config.h"
#include "platform/clock.h"
#include "platform/single_instance.h"
#include "support/instrument_fixture.h"

namespace vq {
namespace {

constexpr char kTitle[] = "VQ7000B OPTICAL SPECTRUM ANALYZER";

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Everything a start-up on a host and context of its own leaves behind.
struct Outcome {
  StartResult result;
  HeadlessHost host;
  int starts = 0;
  bool deviceLeft = false;
};

void StartOn(Outcome& o, const std::function<void(HeadlessHost&, Instrument&)>& prepare,
             bool singleInstance = false) {
  TempFolder home;
  o.host.realSleep = false;
  auto context = CreateInstrument(o.host);
  prepare(o.host, *context);
  o.result = StartUp(o.host, {home.Path(), singleInstance});
  o.starts = context->screen.device.starts;
  o.deviceLeft = context->screen.device.created;
  if (o.result.running) WindowProc(WM_CLOSE, 0, 0);
  DestroyInstrument(context);
}

class FrameTest : public InstrumentTest {};

TEST_F(FrameTest, StartUpMakesTheWindowMenuTimerAndFirstFrame) {
  WriteText(home.Path() + "test000.bmp", "");
  WriteText(home.Path() + "test041.bmp", "");
  Start();
  ASSERT_TRUE(result.running);
  EXPECT_EQ(host.title, kTitle);
  EXPECT_EQ(host.statusParts, (std::array<int, 4>{23, 182, 362, 472}));
  EXPECT_EQ(std::pair(host.clientSize.width, host.clientSize.height), std::pair(800, 600));
  EXPECT_TRUE(host.shown);
  ASSERT_EQ(host.timers.count(kTimerClock), 1u);
  EXPECT_EQ(host.timers[kTimerClock], 50);
  EXPECT_FALSE(host.menu[kCmdColourSetting].present);
  // The link starts disconnected: of its items only Connect and FileTransfer can be chosen.
  EXPECT_FALSE(host.menu[kCmdDisconnect].enabled);
  EXPECT_EQ(host.statusTexts[1], "Status: DISCONNECT");
  for (int c : {kCmdConnect, kCmdFileTransfer, kCmdAbout, kCmdExit, kCmdPrint, kCmdFolderSetting}) {
    EXPECT_TRUE(host.menu[c].present && host.menu[c].enabled) << c;
  }
  EXPECT_EQ(g().frame.appState, 1);
  EXPECT_EQ(host.presents, 1);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(g().config.captureCounter, 42);
}

// Writes a killed run left half done in the folders the viewer writes to go at the next start.
TEST_F(FrameTest, StartUpSweepsTheTemporariesOfAKilledRun) {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  const std::string suffix = ".vqtmp-" + std::to_string(child) + "-Ab12Cd";
  std::filesystem::create_directories(home.Path() + "UserData");
  const std::string left[] = {home.Path() + ".Setting.prm" + suffix,
                              home.Path() + "UserData/.W0000.WV8" + suffix};
  for (const std::string& path : left) WriteText(path, "half");
  Start();
  ASSERT_TRUE(result.running);
  for (const std::string& path : left) EXPECT_FALSE(std::filesystem::exists(path)) << path;
}

TEST(FrameStartUpTest, TooSmallDesktopRefusesToStart) {
  // The window needs more than 800 by 600 besides a 22-pixel status bar.
  for (Size desktop : {Size{800, 1024}, Size{1280, 622}, Size{801, 623}}) {
    SCOPED_TRACE(std::to_string(desktop.width) + "x" + std::to_string(desktop.height));
    const bool fits = desktop.width == 801;
    Outcome o;
    StartOn(o, [&](HeadlessHost& h, Instrument&) {
      h.desktop = desktop;
      h.statusBarHeight = 22;
    });
    EXPECT_EQ(o.result.running, fits);
    ASSERT_EQ(o.host.boxes.size(), fits ? 0u : 1u);
    if (fits) continue;
    EXPECT_EQ(o.result.exitCode, 0);
    EXPECT_EQ(o.host.boxes[0].text, "Window Size Error.");
    EXPECT_EQ(o.starts, 0);
    EXPECT_TRUE(o.host.destroyed && o.host.quit);
  }
}

TEST(FrameStartUpTest, DeviceStartIsTriedThreeTimes) {
  // Two failures: a wait of 500 ms before each further try, then a normal start.
  Outcome late;
  StartOn(late, [](HeadlessHost&, Instrument& i) { i.screen.device.failNextStarts = 2; });
  EXPECT_TRUE(late.result.running);
  EXPECT_EQ(late.starts, 3);
  EXPECT_EQ(late.host.sleptMs, 1000 + 100);  // and the shut-down notice at the end
  EXPECT_TRUE(late.host.boxes.empty());

  Outcome failing;
  StartOn(failing, [](HeadlessHost&, Instrument& i) { i.screen.device.failNextStarts = 3; });
  EXPECT_FALSE(failing.result.running);
  EXPECT_EQ(failing.result.exitCode, 0);
  EXPECT_EQ(failing.starts, 3);
  EXPECT_GE(failing.host.sleptMs, 1000);
  EXPECT_LE(failing.host.sleptMs, 1100);  // at most a shut-down notice besides the waits
  ASSERT_EQ(failing.host.boxes.size(), 1u);
  EXPECT_EQ(failing.host.boxes[0].text, "DirectX Init Failed.  \n");
  EXPECT_EQ(failing.host.boxes[0].caption, "ERROR");
  EXPECT_TRUE(failing.host.destroyed && failing.host.quit);
  EXPECT_FALSE(failing.deviceLeft);
}

TEST(FrameStartUpTest, NoWindowOrASecondCopyEndsSilentlyWithZero) {
  Outcome noWindow;
  StartOn(noWindow, [](HeadlessHost& h, Instrument&) { h.failWindowCreation = true; });
  EXPECT_FALSE(noWindow.result.running);
  EXPECT_EQ(noWindow.result.exitCode, 0);
  EXPECT_TRUE(noWindow.host.boxes.empty());

  // The first copy holds the lock in a runtime folder of this test's own.
  TempFolder runtime;
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedValue = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  SingleInstanceLock first;
  ASSERT_TRUE(first.Acquire(kTitle));
  Outcome second;
  StartOn(
      second, [](HeadlessHost&, Instrument&) {}, true);
  if (saved) {
    setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
  EXPECT_FALSE(second.result.running);
  EXPECT_EQ(second.result.exitCode, 0);
  EXPECT_FALSE(second.host.created);
  EXPECT_TRUE(second.host.boxes.empty());
}

TEST_F(FrameTest, ExitWaitsForThePendingPassThenShutsDown) {
  Start();
  const int presents = host.presents;
  g().frame.redrawFlags = kRedrawDynamicOnly;
  g().frame.exitRequest = 3;
  IdleStep();
  EXPECT_EQ(host.presents, presents + 1);
  EXPECT_FALSE(host.destroyed);
  const int64_t slept = host.sleptMs;
  IdleStep();
  EXPECT_TRUE(host.destroyed && host.quit);
  EXPECT_EQ(host.exitCode, 0);
  // The shut-down notice was shown for 100 ms, then the device and the timer went.
  EXPECT_EQ(host.presents, presents + 2);
  EXPECT_EQ(host.sleptMs, slept + 100);
  EXPECT_FALSE(g().screen.device.created);
  EXPECT_EQ(host.timers.count(kTimerClock), 0u);
  EXPECT_EQ(g().frame.appActive, 0);
}

TEST_F(FrameTest, MinimisedWindowIgnoresPaintAndCommands) {
  Start();
  const int presents = host.presents;
  WindowProc(WM_SIZE, SIZE_MINIMIZED, 0);
  WindowProc(WM_PAINT, 0, 0);
  WindowProc(WM_SETTINGCHANGE, 0, 0);
  WindowProc(WM_COMMAND, kCmdAbout, 0);
  g().frame.menuTracking = 1;
  WindowProc(WM_CHAR, 'a', 0);
  EXPECT_EQ(g().frame.menuTracking, 1);
  EXPECT_EQ(g().frame.redrawFlags, 0u);
  EXPECT_EQ(host.presents, presents);
  EXPECT_TRUE(host.aboutDialogs.empty());

  host.statusParts = {};
  WindowProc(WM_SIZE, SIZE_RESTORED, 0);
  EXPECT_EQ(host.statusParts, kStatusPartEdges);
  WindowProc(WM_PAINT, 0, 0);
  EXPECT_EQ(host.presents, presents + 1);
  WindowProc(WM_COMMAND, kCmdAbout, 0);
  EXPECT_EQ(host.aboutDialogs.size(), 1u);
}

TEST_F(FrameTest, ActivationMenuTrackingAndTimer) {
  Start();
  WindowProc(WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(g().frame.redrawFlags, 0u);
  WindowProc(WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(g().frame.appActive, 1);
  EXPECT_EQ(g().frame.redrawFlags, kRedrawAll);
  ASSERT_TRUE(PumpUntilIdle(host));

  WindowProc(WM_MENUSELECT, 0x0010u << 16 | 5, 0);
  EXPECT_EQ(g().frame.menuTracking, 1);
  WindowProc(WM_MENUSELECT, 0xFFFFu << 16, 0);
  EXPECT_EQ(g().frame.menuTracking, 0);
  WindowProc(WM_MENUSELECT, 0, 0);
  EXPECT_EQ(g().frame.menuTracking, 1);
  WindowProc(WM_CHAR, 'a', 0);
  EXPECT_EQ(g().frame.menuTracking, 0);
  // While a mouse button holds an element, only the viewer's menu commands get through.
  g().frame.mouseHeldElement = 7;
  WindowProc(WM_MENUSELECT, 0, 0);
  WindowProc(WM_CHAR, 'a', 0);
  EXPECT_EQ(g().frame.menuTracking, 1);
  WindowProc(WM_COMMAND, kCmdAbout, 0);
  EXPECT_EQ(g().frame.menuTracking, 0);
  EXPECT_EQ(host.aboutDialogs.size(), 1u);
  g().frame.mouseHeldElement = 0;

  // The clock bit follows the minute.
  const int minute = GetLocalTime().minute;
  g().screen.lastClockMinute = (minute + 1) % 60;
  WindowProc(WM_TIMER, kTimerClock, 0);
  EXPECT_NE(g().frame.redrawFlags & kRedrawClock, 0u);
  ASSERT_TRUE(PumpUntilIdle(host));
  g().screen.lastClockMinute = GetLocalTime().minute;
  WindowProc(WM_TIMER, kTimerClock, 0);
  if (GetLocalTime().minute == g().screen.lastClockMinute) {
    EXPECT_EQ(g().frame.redrawFlags, 0u);
  }

  // With the menu bar open, the timer keeps the screen going only while the link is up.
  const int presents = host.presents;
  WindowProc(WM_MENUSELECT, 0, 0);
  g().frame.redrawFlags = kRedrawDynamicOnly;
  WindowProc(WM_TIMER, kTimerClock, 0);
  EXPECT_EQ(host.presents, presents);
  g().link.connected = 1;
  WindowProc(WM_TIMER, kTimerClock, 0);
  EXPECT_EQ(host.presents, presents + 1);
  EXPECT_EQ(g().frame.redrawFlags & kRedrawDynamicOnly, 0u);
}

TEST_F(FrameTest, ExitAsksFirstAndAboutShowsTheVersion) {
  Start();
  host.boxAnswers = {BoxAnswer::Cancel};
  WindowProc(WM_COMMAND, kCmdExit, 0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Are you sure?");
  EXPECT_EQ(host.boxes[0].caption, "Exit");
  EXPECT_EQ(g().frame.exitRequest, 0);
  EXPECT_TRUE(LoopMayBlock());

  WindowProc(WM_COMMAND, kCmdAbout, 0);
  ASSERT_EQ(host.aboutDialogs.size(), 1u);
  EXPECT_EQ(host.aboutDialogs[0],
            (std::vector<std::string>{"About VQ7000B Viewer Software", "VQ7000B Viewer",
                                      "Version 01.00", "(R01.00)"}));
  EXPECT_EQ(g().frame.modalActive, 0);

  host.boxAnswers = {BoxAnswer::Ok};
  WindowProc(WM_COMMAND, kCmdExit, 0);
  EXPECT_FALSE(host.destroyed);
  ASSERT_TRUE(PumpUntilIdle(host));
  EXPECT_TRUE(host.destroyed && host.quit);
}

TEST_F(FrameTest, GreyedCommandsWakeUpsAndDroppedFilesChangeNothing) {
  Start();
  const int presents = host.presents;
  const auto screen = g().screen.backBuffer.pixels;
  for (int c : {kCmdDisconnect, kCmdColourSetting, kCmdWake}) {
    WindowProc(WM_COMMAND, c, 0);
  }
  WriteText(home.Path() + "a.trc", "not a trace");
  WriteText(home.Path() + "b.csv", "1,2\n");
  SetDroppedFiles({home.Path() + "none.dat", home.Path() + "b.csv", home.Path() + "a.trc"});
  WindowProc(WM_DROPFILES, 0, 0);
  ASSERT_TRUE(PumpUntilIdle(host));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(host.aboutDialogs.empty());
  EXPECT_EQ(g().frame.lastViewerCommand, 0);
  EXPECT_EQ(g().frame.redrawFlags, 0u);
  EXPECT_EQ(g().screen.screenMode, 0);
  EXPECT_EQ(host.presents, presents);
  EXPECT_TRUE(g().screen.backBuffer.pixels == screen);
  EXPECT_FALSE(host.quit);
}

// A file named on the command line opens as a drop; unlike a drop, one that cannot be opened says
// why on the message line.
TEST_F(FrameTest, FileAtStartOpensAsADropOrShowsItsMessage) {
  Start();
  WriteText(home.Path() + "a.trc", "not a trace");
  const std::pair<std::string, int> failures[] = {
      {home.Path() + "none.wv8", 123}, {home.Path() + "a.trc", 132}, {home.Path(), 132}};
  for (const auto& [path, code] : failures) {
    SCOPED_TRACE(path);
    OpenFileAtStart(path);
    EXPECT_EQ(g().messages.currentMessage, code);
    EXPECT_NE(g().menu.currentMenu, kNodeFile);
    g().messages.currentMessage = 0;
  }
  OpenFileAtStart(VQ_TEST_DATA "/../../samples/dfb_laser.wv8");
  EXPECT_EQ(g().messages.currentMessage, 0);
  EXPECT_EQ(g().menu.currentMenu, kNodeFile);
  ASSERT_TRUE(PumpUntilIdle(host));
  EXPECT_EQ(g().frame.redrawFlags, 0u);
}

TEST_F(FrameTest, DisplayChangeRestartsTheDeviceAndRedraws) {
  Start();
  const int starts = g().screen.device.starts, presents = host.presents;
  WindowProc(WM_DISPLAYCHANGE, 0, 0);
  EXPECT_EQ(g().screen.device.starts, starts + 1);
  EXPECT_EQ(host.presents, presents + 1);
  EXPECT_EQ(g().screen.backBuffer.At(720, 295), 0xFF333366u);
  host.desktop = {800, 600};
  WindowProc(WM_DISPLAYCHANGE, 0, 0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Window Size Error.");
  EXPECT_TRUE(host.destroyed);
}

TEST_F(FrameTest, AProgramRunEndsAndTheLoopMayBlockAgain) {
  Start();
  g().program.running = 1;
  EXPECT_FALSE(LoopMayBlock());
  ASSERT_TRUE(PumpUntilIdle(host, 100));
  EXPECT_EQ(g().program.running, 0);
  EXPECT_TRUE(LoopMayBlock());
}

TEST(DebugSwitchesTest, BuiltInValuesAndSwitches) {
  TempFolder home;
  const DebugSwitches none = ReadDebugSwitches(home.Path() + "debug.ini");
  EXPECT_TRUE(none.zoom && none.help && none.cpuFanAlarm && none.sweepKeyLock);
  EXPECT_FALSE(none.palette || none.altQ || none.alpha || none.testMode || none.syncWidthSet);
  EXPECT_EQ(none.gpibPort, -1);
  EXPECT_EQ(none.helpFont, "");

  const std::string path = home.Path() + "debug.ini";
  WriteText(path,
            "[DEBUG]\r\nSWEEP_KEY=ON\r\nGP-IB=2\r\nHELP_FONT=Courier New\r\nSYNC_WIDTH=0.25\r\n"
            "alt+q=on\r\n");
  const DebugSwitches a = ReadDebugSwitches(path);
  EXPECT_TRUE(a.zoom);  // missing key in an existing file
  EXPECT_FALSE(a.sweepKeyLock);
  EXPECT_EQ(a.gpibPort, 1);
  EXPECT_EQ(a.helpFont, "Courier New");
  EXPECT_TRUE(a.syncWidthSet);
  EXPECT_DOUBLE_EQ(a.syncWidth, 0.25);
  EXPECT_TRUE(a.altQ);

  WriteText(path, "[DEBUG]\nZOOM=OFF\nHELP=off\nCPU_FAN_ALARM=OFF\nGP-IB=1\nHELP_FONT=" +
                      std::string(31, 'f') + "\nSYNC_WIDTH=\n");
  const DebugSwitches b = ReadDebugSwitches(path);
  EXPECT_FALSE(b.zoom || b.help || b.cpuFanAlarm);
  EXPECT_EQ(b.gpibPort, 0);
  EXPECT_EQ(b.helpFont, std::string(31, 'f'));
  EXPECT_FALSE(b.syncWidthSet);

  WriteText(path, "[DEBUG]\nGP-IB=3\nHELP_FONT=" + std::string(32, 'f') + "\n");
  const DebugSwitches c = ReadDebugSwitches(path);
  EXPECT_EQ(c.gpibPort, -1);
  EXPECT_EQ(c.helpFont, "");
}

TEST(CaptureCounterTest, OneMoreThanTheHighestNumberUpTo998) {
  TempFolder home;
  EXPECT_EQ(FindCaptureCounter(home.Path()), 0);
  WriteText(home.Path() + "test999.bmp", "");  // beyond the numbers searched
  WriteText(home.Path() + "test41.bmp", "");   // not three digits
  EXPECT_EQ(FindCaptureCounter(home.Path()), 0);
  WriteText(home.Path() + "test000.bmp", "");
  EXPECT_EQ(FindCaptureCounter(home.Path()), 1);
  WriteText(home.Path() + "test998.bmp", "");
  EXPECT_EQ(FindCaptureCounter(home.Path()), 999);
}

}  // namespace
}  // namespace vq
