// Static areas (background, panels, graph frames, clock, soft-key column), overlays and spinner.
#include "screen/screen_areas.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "draw/primitives.h"
#include "files/file_menu.h"
#include "instrument.h"
#include "menu/help.h"
#include "menu/messages.h"
#include "menu/param_entry.h"
#include "menu/popup_menu.h"
#include "menu/softkey_column.h"
#include "platform/clock.h"
#include "resources/colour_tables.h"
#include "screen/analysis_window.h"
#include "screen/file_list_view.h"
#include "screen/marker_layer.h"
#include "screen/memory_list_view.h"
#include "screen/renderer.h"
#include "screen/template_view.h"
#include "screen/waveform.h"

namespace vq {

namespace {

constexpr int kPanelSunken = 1;

void DrawBackground() {
  const ScreenState& screen = GInstrument->screen;
  FillRect(0, 0, kScreenWidth, kScreenHeight, kSlotMainBack);
  DrawLogo(screen.scheme);
  if (GraphCount(screen.screenMode) == 0) return;
  Panel(3, 20, 559, 73, kSlotCalBack, kPanelSunken);          // condition and data area
  Panel(568, 20, 126, 73, kSlotTraceKindBack, kPanelSunken);  // right status panel
  Panel(3, 97, 646, 24, kSlotMeasBack, kPanelSunken);         // marker and label row
}

// A graph's fill and its two-pixel bevel: light on top and left, dark on bottom and right.
void DrawGraphFrame(const GraphRect& r) {
  FillRectAlt(r.x, r.y, r.width, r.height, kSlotWaveBack);
  for (int out = 1; out <= 2; ++out) {
    const int l = r.x - out, t = r.y - out, rr = r.x + r.width - 1 + out,
              b = r.y + r.height - 1 + out;
    Line(l, b, rr, b, kSlotWaveFrame2);
    Line(rr, t, rr, b, kSlotWaveFrame2);
    Line(l, t, rr, t, kSlotWaveFrame1);
    Line(l, t, l, b, kSlotWaveFrame1);
  }
}

void DrawClock() {
  const LocalTime now = GetLocalTime();
  TextNormal(kSlotMainChar, kSlotMainBack, 558, 4, ClockText());
  GInstrument->screen.lastClockMinute = now.minute;
}

}  // namespace

int GraphCount(int screenMode) {
  if (screenMode >= kFirstPageMode || screenMode < 0) return 0;
  return screenMode == 1 ? 2 : 1;
}

GraphRect GraphOf(int screenMode, int graph) {
  assert(graph < GraphCount(screenMode) && "no such graph in this screen mode");
  if (screenMode == 0) return kGraphSingle;
  return graph == 0 ? kGraphUpper : kGraphLower;
}

std::string ClockText() {
  const LocalTime t = GetLocalTime();
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return text;
}

void DrawStaticAreas(uint32_t flags) {
  const int mode = GInstrument->screen.screenMode;
  // The background clears the whole layer: every static area is drawn again on it.
  if (flags & kRedrawBackground) flags |= kRedrawStaticMask;
  if (flags & kRedrawBackground) DrawBackground();
  if (flags & kRedrawClock) DrawClock();
  if (flags & (kRedrawSoftKeys | kRedrawSoftKeyPath)) PaintSoftKeyColumn();
  if (flags & kRedrawGraphFrames) {
    for (int i = 0; i < GraphCount(mode); ++i) DrawGraphFrame(GraphOf(mode, i));
    PlotGraphs(flags);
    if (mode == kScreenModeHelp) DrawHelpPage();
  }
  if (GraphCount(mode) > 0) {
    if (flags & kRedrawConditions) DrawDataArea();
    // The marker row is redrawn with its panel and with the data area (marker changes).
    if (flags & (kRedrawBackground | kRedrawConditions)) DrawMarkerRow();
    if (flags & kRedrawTraceLabels) DrawTraceLabelBoxes();
    if (flags & kRedrawAxisLabels) DrawAxisLabels();
    if (flags & kRedrawLevelLabels) DrawLevelLabels();
    if (flags & kRedrawStatusColumn) DrawTraceStatusColumn();
  }
}

void DrawDynamicLayer() {
  DrawTemplateLayer();
  DrawMarkerLayer();
  DrawZoomOverlays();
  const bool fileList = FileListShown();
  if (fileList) DrawFileList();
  DrawEntryWindow();
  if (GInstrument->messages.currentMessage != 0) DrawMessage();
  if (!fileList) DrawAnalysisWindows();
  DrawMemoryList();
  DrawPopupMenu();
}

bool DrawSpinner() {
  Instrument& g = *GInstrument;
  if (g.link.connected != 1) return false;
  const int angle = g.frame.busyAngle;
  FillRect(1, 580, 15, 18, kSlotMainBack);
  if (angle >= 0) {
    const double a = angle * std::numbers::pi / 180.0, s = 4.0 * std::sin(a), c = 4.0 * std::cos(a);
    Line(static_cast<int>(std::lround(8.5 + s)), static_cast<int>(std::lround(591.5 - c)),
         static_cast<int>(std::lround(8.5 - s)), static_cast<int>(std::lround(591.5 + c)),
         kSlotMainChar);
  }
  if (g.link.zeroing == 1) {
    FillRect(15, 580, 40, 18, kSlotMainBack);
    TextShadow(kSlotMainChar, kSlotMainCharShadow, 16, 590, "ZEROING");
  }
  return true;
}

std::string OverlayText(int id) {
  static const char* const kTexts[] = {
      "Directory searching!",
      "    Reading!",
      "    Writing!",
      "   Deleting!",
      "    Copying!",
      "  Formatting!",
      "Reading update file.",
      nullptr,
      "Optical alignment Step1/3",
      "Configuration!",
      "Calibration now!",
      "Now Update",
  };
  static_assert(std::size(kTexts) == 12, "overlay texts 0 to 11");
  assert(id >= 0 && id < 12 && "no such overlay message");
  if (id == kOverlayShutDown) return std::string(kModelName) + " is shutting down.";
  return kTexts[id];
}

void DrawOverlayMessage(int id) {
  const int x = (id == 7 || id == 8) ? 383 : (id == 0 || id == 6) ? 399 : 415;
  Outline(328, 474, 628, 514, kSlotMainCharShadow);
  Panel(332, 478, 293, 33, kSlotIntWinBack, 3);
  TextNormal(kSlotMiscWinTitle, kSlotMiscWinTitleShadow, x, 481, OverlayText(id));
  TextNormal(kSlotMiscWinTitle, kSlotMiscWinTitleShadow, x, 497, "Please wait.....");
}

}  // namespace vq
