// Markers and analysis results of the render state; levels in dBm, wavelengths in nm.
#include "marker_state.h"

#include <cmath>
#include <string>

#include "analysis/marker_texts.h"
#include "analysis/result_view.h"
#include "analysis/result_window.h"
#include "analysis/spectral_width.h"
#include "instrument.h"
#include "screen/marker_layer.h"
#include "traces/meas_condition.h"

namespace vq {

namespace {

std::string TraceLetter(int trace) {
  return std::string(1, static_cast<char>('A' + trace % kTraceCount));
}

}  // namespace

nlohmann::json MarkersJson() {
  const AnalysisState& a = GInstrument->analysis;
  const MarkerSlot& m = a.markers[kMovingMarker];
  nlohmann::json moving = nullptr;
  if (m.on == 1) {
    moving = {{"on", m.on},
              {"trace", TraceLetter(m.trace)},
              {"index", m.index},
              {"wavelength_nm", m.wavelength},
              {"level_dbm", LinearToDbm(m.level)},
              {"x", m.x},
              {"y", m.y}};
  }
  nlohmann::json fixed = nlohmann::json::array();
  for (int n = 1; n <= kFixedMarkers; ++n) {
    const MarkerSlot& f = a.markers[n];
    if (f.on != 1) continue;
    fixed.push_back({{"number", n},
                     {"trace", TraceLetter(f.trace)},
                     {"index", f.index},
                     {"wavelength_nm", f.wavelength},
                     {"level_dbm", LinearToDbm(f.level)}});
  }
  nlohmann::json line = nlohmann::json::array();
  for (int i = 0; i < kLineMarkers; ++i) {
    const LineMarker& l = a.lineMarkers[i];
    line.push_back(
        {{"number", i + 1}, {"on", l.on}, {"value", i < 2 ? l.value : LinearToDbm(l.value)}});
  }
  return {{"moving", moving}, {"fixed", fixed}, {"line", line}};
}

namespace {

nlohmann::json FieldValue(const ResultField& f) {
  const bool whole = f.name.ends_with("_count") || f.name == "number" || f.name == "channel";
  if (whole && std::isfinite(f.value)) return static_cast<long long>(std::llround(f.value));
  return f.value;
}

}  // namespace

void AddResultRecord(const ResultRecord& record, nlohmann::json& j) {
  for (const ResultField& f : record.fields) j[f.name] = FieldValue(f);
  if (!record.multichannel) return;
  nlohmann::json channels = nlohmann::json::array();
  for (const auto& channel : record.channels) {
    nlohmann::json c = nlohmann::json::object();
    for (const ResultField& f : channel) c[f.name] = FieldValue(f);
    channels.push_back(c);
  }
  j["channels"] = channels;
}

nlohmann::json AnalysisJson() {
  const AnalysisState& a = GInstrument->analysis;
  nlohmann::json j = {{"item", a.item},
                      {"itemName", AnalysisItemName(a.item)},
                      {"resultKind", a.resultKind},
                      {"autoAnalysis", a.autoAnalysis}};
  const SettingWindowView setting = SettingWindowLayout();
  if (setting.shown) {
    j["settingWindow"] = {{"title", setting.title},
                          {"lines", setting.lines},
                          {"cursor", setting.cursor},
                          {"page", setting.pageLine}};
  }
  if (a.resultKind == kResultNone) return j;
  j["trace"] = TraceLetter(a.resultTrace);
  const ResultRecord record = CurrentResultRecord();
  AddResultRecord(record, j);
  if (a.resultKind == kResultSpectralWidth) {
    j["ref_level_dbm"] = LinearToDbm(a.width.refLevel);
    j["thresh_level_dbm"] = LinearToDbm(a.width.threshLevel);
    nlohmann::json markers = nlohmann::json::array();
    for (const AnalysisMarker& m : a.analysisMarkers) {
      markers.push_back({{"index", m.index},
                         {"wavelength_nm", m.wavelength},
                         {"level_dbm", LinearToDbm(m.level)},
                         {"position_nm", m.positionNm}});
    }
    j["markers"] = markers;  // centre, left edge, right edge
  }
  j["lines"] = ResultBlockLines();
  const ResultWindowView table = ResultWindowLayout();
  if (table.shown) j["table"] = {{"lines", table.lines}, {"page", table.pageLine}};
  return j;
}

nlohmann::json MarkerRowJson() {
  const auto lines = MarkerRowLines(DisplayedLevelFormats());
  return nlohmann::json(std::vector<std::string>(lines.begin(), lines.end()));
}

nlohmann::json DataAreaJson() {
  const char* shows = "conditions";
  switch (DataAreaShows()) {
    case DataAreaContent::ResultBlock:
      shows = "result";
      break;
    case DataAreaContent::MarkerList:
      shows = "markerList";
      break;
    case DataAreaContent::Conditions:
      break;
  }
  return {{"shows", shows}, {"lines", DataAreaLines()}};
}

}  // namespace vq
