// Settings files: the 73147-byte image of the current state, its reader for the current,
// sibling and predecessor layouts, and the load that a file menu READ or a drop runs.
#include "files/settings_file.h"

#include <cstring>
#include <memory>

#include "analysis/markers.h"
#include "files/settings_blocks.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

struct LayoutId {
  const char* id;  // with its CR LF: ten bytes
  SettingsLayout layout;
  size_t bytes;
};
constexpr LayoutId kLayouts[] = {
    {"\"QXBSET\"\r\n", SettingsLayout::Current, kSettingsFileBytes},
    {"'\"QYSET\"\r\n", SettingsLayout::Sibling, kSettingsFileBytes},
    {"'\"QXSET\"\r\n", SettingsLayout::Predecessor, kOldSettingsFileBytes},
};

}  // namespace

bool SettingsLayoutOf(const uint8_t* bytes, size_t size, SettingsLayout& layout) {
  for (const LayoutId& l : kLayouts) {
    if (size == l.bytes && std::memcmp(bytes, l.id, kSettingsIdBytes) == 0) {
      layout = l.layout;
      return true;
    }
  }
  return false;
}

void FixUpLoaded(SettingsState& s) {
  const ConditionState& c = GInstrument->conditions;
  s.traces.paneHold[0] = s.traces.paneHold[1] = 0;
  s.sweepRunning = 0;
  // What the instrument does not offer is off.
  if (!c.smoothingAvailable) s.setting.smoothing = 0;
  if (!c.correctionTableAvailable) s.setting.resolutionCorrection = 0;
  // The trace state's fit thresholds rule; the record's limits then apply to both.
  s.setting.curveFitThreshold = s.traces.curveFitThreshold;
  s.setting.peakCurveFitThreshold = s.traces.peakCurveFitThreshold;
  if (s.setting.frequencyMode != 1) s.setting.frequencyMode = 0;
  NormaliseCondition(s.setting);
  for (MeasCondition& pane : s.panes) NormaliseCondition(pane);
  for (MeasCondition& record : s.traceRecords) NormaliseCondition(record);
  s.traces.curveFitThreshold = s.setting.curveFitThreshold;
  s.traces.peakCurveFitThreshold = s.setting.peakCurveFitThreshold;
  // A zoom window lies within the measured window.
  if (s.zoomed && (s.zoomStart < s.setting.start || s.zoomStop > s.setting.stop)) s.zoomed = 0;
}

std::vector<uint8_t> BuildSettingsImage() {
  std::vector<uint8_t> image(kSettingsFileBytes, 0);
  std::memcpy(image.data(), kLayouts[0].id, kSettingsIdBytes);
  auto s = std::make_unique<SettingsState>();
  CaptureSettingsState(*s);
  // A split-display mode above 1 is stored as the mode of the display shown.
  if (s->traces.splitMode > 1) s->traces.splitMode = GInstrument->screen.screenMode == 1 ? 1 : 0;
  EncodeSettingsBlocks(*s, image.data());
  return image;
}

int WriteSettingsFile(const std::string& path) {
  return WriteFileBytes(path, BuildSettingsImage());
}

int ReadSettingsImage(const uint8_t* bytes, size_t size) {
  SettingsLayout layout;
  if (bytes == nullptr || !SettingsLayoutOf(bytes, size, layout)) return kMsgNotSettingsFile;
  auto s = std::make_unique<SettingsState>();
  CaptureSettingsState(*s);
  if (!DecodeSettingsBlocks(bytes, layout, *s)) return kMsgNotSettingsFile;
  FixUpLoaded(*s);
  ApplySettingsState(*s);
  return 0;
}

int LoadSettingsFile(const std::string& path) {
  Instrument& g = *GInstrument;
  std::vector<uint8_t> bytes;
  if (const int code = ReadFileBytes(path, bytes)) {
    return code == kMsgNotTraceFile ? kMsgNotSettingsFile : code;  // a file far too large
  }
  if (const int code = ReadSettingsImage(bytes.data(), bytes.size())) return code;
  ClearAllTraces();
  for (Trace& t : g.traces.traces) t.condition = g.conditions.setting;
  g.conditions.panes[0] = g.conditions.panes[1] = g.conditions.measured = g.conditions.setting;
  // The results belonged to the old data; the markers re-read the cleared traces.
  g.analysis.resultKind = kResultNone;
  for (int t = 0; t < kTraceCount; ++t) MarkerRefresh(t);
  g.frame.redrawFlags = kRedrawAll;
  return 0;
}

}  // namespace vq
