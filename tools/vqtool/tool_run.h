// The instrument a file-reading subcommand runs: started as the viewer starts it in a throw-away
// configuration folder, trace files loaded as a drop loads them, settings applied by label.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/labelled_settings.h"
#include "analysis/result_view.h"
#include "files/trace_files.h"
#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "trace_input.h"
#include "traces/traces.h"

namespace vq {

struct CommonOptions {
  std::string file;
  int trace = -1;  // -1: the active trace after the load
  std::vector<std::string> sets;
  bool json = false;
};

// An instrument started as the viewer starts it, in a configuration folder of its own that goes
// with it, so that automation leaves nothing behind; its failures are one line on stderr and
// exit code 2.
class Run {
 public:
  explicit Run(const char* command) : command_(command), context_(CreateInstrument(host_)) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vqtool_XXXXXX").string();
    if (mkdtemp(pattern.data())) home_ = pattern + "/";
    StartOptions start;
    start.home = home_;
    start.singleInstance = false;  // the tool runs beside a viewer
    start.saveState = false;       // the folder goes with the run
    started_ = !home_.empty() && StartUp(host_, start).running && PumpUntilIdle(host_);
  }
  ~Run() {
    if (started_ && !GInstrument->frame.windowDestroyed) {
      WindowProc(WM_CLOSE, 0, 0);
      PumpUntilIdle(host_);
    }
    DestroyInstrument(context_);
    std::error_code ignored;
    if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  int Fail(const std::string& why) const {
    std::fprintf(stderr, "vqtool %s: %s\n", command_, why.c_str());
    return 2;
  }
  // Loads FILE as a drop on the window does, into the active trace or --trace (and FILE B into
  // trace B); the trace to work on, or -1 after printing the error.
  int Load(const CommonOptions& o, const std::string& fileB = "") {
    if (!started_) {
      Fail("the instrument did not start");
      return -1;
    }
    const int trace = o.trace >= 0 ? o.trace : GInstrument->traces.state.activeTrace;
    if (!fileB.empty() && !Drop(fileB, 1)) return -1;
    if (!Drop(o.file, trace)) return -1;
    return GInstrument->traces.state.activeTrace;
  }
  bool Started() const { return started_; }
  HeadlessHost& Host() { return host_; }
  // The --set values: an item's settings by the labels of its setting window, the search range
  // (and, for the searches, their own settings) by the labels of their keys.
  bool Apply(int item, const std::vector<std::string>& sets) const {
    for (const std::string& set : sets) {
      const size_t eq = set.find('=');
      if (eq == std::string::npos) {
        Fail("--set takes LABEL=VALUE, not " + set);
        return false;
      }
      const std::string label = set.substr(0, eq), value = set.substr(eq + 1);
      std::string error;
      const bool done = item < 0 || IsSearchRangeLabel(label)
                            ? SetSearchSettingByLabel(label, value, error)
                            : SetSettingByLabel(item, label, value, error);
      if (!done) {
        Fail(error);
        return false;
      }
    }
    return true;
  }
  // Drops a trace file (or, when asked, a settings file) on the window with `trace` active;
  // false after printing the error.
  bool Drop(const std::string& path, int trace, bool settingsToo = false) {
    Instrument& g = *GInstrument;
    std::vector<uint8_t> bytes;
    int code = ReadFileBytes(path, bytes);
    const int type = code == 0 ? DetectFileType(path) : -1;
    const bool accepted =
        type == kFileTrace || type == kFileAllTrace || (settingsToo && type == kFileSettings);
    if (code == 0 && !accepted) code = kMsgNotTraceFile;
    if (code == 0) {
      SetActiveTrace(trace);
      g.messages.currentMessage = 0;
      SetDroppedFiles({path});
      WindowProc(WM_DROPFILES, 0, 0);
      PumpUntilIdle(host_);
      code = g.messages.currentMessage;
    }
    if (code != 0) Fail("cannot read " + path + ": " + MessageCodeText(code));
    return code == 0;
  }

 private:
  const char* command_;
  HeadlessHost host_;
  std::unique_ptr<Instrument> context_;
  std::string home_;
  bool started_ = false;
};

}  // namespace vq
