// `vqtool render`: start the instrument headless, capture the screen and report its state.
#include "render.h"

#include <cstdio>

#include "app/frame.h"
#include "app/headless_loop.h"
#include "app/instrument.h"
#include "app/renderer.h"
#include "platform/headless_host.h"
#include "platform/image_files.h"
#include "platform/paths.h"

namespace vq {

const char* const kRenderHelp =
    "usage: vqtool render [--home DIR] [--drop FILE]... [--out FILE.bmp|FILE.png]\n"
    "                     [--width 800|700] [--state FILE.json]\n"
    "Starts the instrument as the viewer does, without a window: drops each file on the\n"
    "window, runs until nothing is pending, captures the screen to FILE (BMP or PNG, the\n"
    "whole 800 pixels or 700 without the soft-key column) and writes the state as JSON.\n"
    "  --home DIR   configuration folder (default: $VQ_HOME or ~/.config/VQ7000B)\n";

namespace {

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& o,
                        std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--home" || a == "--drop" || a == "--out" || a == "--width" || a == "--state") {
      if (!hasValue) {
        error = a + " needs a value";
        return false;
      }
      const std::string& v = args[++i];
      if (a == "--home") o.home = v;
      if (a == "--drop") o.drops.push_back(v);
      if (a == "--state") o.state = v;
      if (a == "--out") {
        if (!EndsWith(v, ".bmp") && !EndsWith(v, ".png")) {
          error = "--out must name a .bmp or .png file: " + v;
          return false;
        }
        o.out = v;
      }
      if (a == "--width") {
        if (v != "800" && v != "700") {
          error = "--width must be 800 or 700, not " + v;
          return false;
        }
        o.width = std::stoi(v);
      }
    } else {
      error = "unknown argument " + a;
      return false;
    }
  }
  for (const std::string& d : o.drops) {
    if (!FileExists(d)) {
      error = "cannot read " + d;
      return false;
    }
  }
  return true;
}

nlohmann::json StateJson() {
  const Instrument& g = *GInstrument;
  nlohmann::json j;
  j["title"] = g.frame.title;
  j["appState"] = g.frame.appState.load();
  j["redrawFlags"] = Hex(g.frame.redrawFlags);
  j["exitRequest"] = g.frame.exitRequest;
  j["screenMode"] = g.screen.screenMode;
  j["colourScheme"] = g.screen.scheme;
  j["overlayId"] = g.screen.overlayId.load();
  j["busyAngle"] = g.frame.busyAngle.load();
  j["linkConnected"] = g.link.connected.load();
  j["captureCounter"] = g.config.captureCounter;
  j["productVersion"] = g.config.productVersion;
  j["revision"] = g.config.revisionText;
  nlohmann::json slots = nlohmann::json::array();
  for (uint32_t c : g.screen.colours) slots.push_back(Hex(c));
  j["colourSlots"] = slots;
  return j;
}

int RunRender(const RenderOptions& o) {
  HeadlessHost host;
  auto context = CreateInstrument(host);
  StartOptions start;
  start.home = o.home;
  start.singleInstance = false;  // the tool runs beside a viewer
  const StartResult started = StartUp(host, start);
  if (!started.running) {
    const std::string why = host.boxes.empty() ? "start-up failed" : host.boxes.back().text;
    std::fprintf(stderr, "vqtool render: %s\n", why.c_str());
    DestroyInstrument(context);
    return 2;
  }
  int code = 0;
  if (!PumpUntilIdle(host)) {
    std::fprintf(stderr, "vqtool render: the screen did not settle\n");
    code = 2;
  }
  for (const std::string& file : o.drops) {
    SetDroppedFiles({file});
    WindowProc(WM_DROPFILES, 0, 0);
    PumpUntilIdle(host);
  }
  if (code == 0 && !o.out.empty()) {
    const bool ok =
        EndsWith(o.out, ".png") ? CaptureToPngFile(o.out, o.width) : CaptureToFile(o.out, o.width);
    if (!ok) {
      std::fprintf(stderr, "vqtool render: cannot write %s\n", o.out.c_str());
      code = 2;
    }
    PumpUntilIdle(host);
  }
  if (code == 0 && !o.state.empty()) {
    // Written whole or not at all: a failed write keeps the file that was there.
    const std::string text = StateJson().dump(2) + "\n";
    if (!WriteFileAtomic(o.state, std::vector<uint8_t>(text.begin(), text.end()))) {
      std::fprintf(stderr, "vqtool render: cannot write %s\n", o.state.c_str());
      code = 2;
    }
  }
  WindowProc(WM_CLOSE, 0, 0);
  PumpUntilIdle(host);
  DestroyInstrument(context);
  return code;
}

}  // namespace vq
