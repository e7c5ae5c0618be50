// `vqtool settings dump` and `vqtool settings write`: what a settings file holds, and the
// settings file of a start-up state or of the state after a file was loaded as a drop.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "files/settings_file.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "platform/text.h"
#include "tool_run.h"
#include "trace_input.h"

namespace vq {

namespace {

int Fail(const std::string& why) {
  std::fprintf(stderr, "vqtool settings: %s\n", why.c_str());
  return 2;
}

std::string Text(const char* text, size_t size) {
  std::string s(text, strnlen(text, size));
  const size_t last = s.find_last_not_of(' ');
  return InstrumentTextToUtf8(last == std::string::npos ? "" : s.substr(0, last + 1));
}

nlohmann::json RecordJson(const MeasCondition& c) {
  return {{"label", Text(c.label, sizeof c.label)},
          {"centre", c.centre},
          {"span", c.span},
          {"start", c.start},
          {"stop", c.stop},
          {"resolution", c.resolution},
          {"points", c.samplingPoints},
          {"refLevel", c.refLevel},
          {"logScale", c.logScale},
          {"sensitivity", c.sensitivity},
          {"frequencyMode", c.frequencyMode},
          {"firmwareVersion", Text(c.firmwareVersion, sizeof c.firmwareVersion)}};
}

// What the loaded file put into the state: the setting record and the trace state.
nlohmann::json DumpJson() {
  const Instrument& g = *GInstrument;
  const TraceStateBlock& s = g.traces.state;
  nlohmann::json traces = nlohmann::json::array();
  for (int t = 0; t < kTraceCount; ++t) {
    traces.push_back({{"trace", std::string(1, static_cast<char>('A' + t))},
                      {"attribute", s.attribute[t]},
                      {"attributeName", Text(AttributeListName(s.attribute[t]), 16)},
                      {"fixedFrom", s.fixedFrom[t]},
                      {"display", s.display[t] == 0 ? "DSP" : "BLK"},
                      {"pane", s.pane[t]}});
  }
  const FileSettings& f = g.files.settings;
  return {{"setting", RecordJson(g.conditions.setting)},
          {"activeTrace", std::string(1, static_cast<char>('A' + s.activeTrace))},
          {"splitMode", s.splitMode},
          {"traces", traces},
          {"curveFitThreshold", s.curveFitThreshold},
          {"peakCurveFitThreshold", s.peakCurveFitThreshold},
          {"measWavelength", s.measWavelengthChoice == 0 ? "AIR" : "VACUUM"},
          {"fileItem", f.item},
          {"traceFileType", f.traceFileType == 0 ? "BIN" : "CSV"},
          {"graphicsFileType", f.graphicsFileType == 0 ? "BMP" : "TIFF"},
          {"sortKey", f.sortKey},
          {"dataItems", f.dataItems},
          {"dataWriteMode", f.dataWriteMode == 0 ? "OVER" : "ADD"},
          {"dataFileType", f.dataFileType == 0 ? "CSV" : "DT6"}};
}

std::string DumpText(const nlohmann::json& j) {
  const nlohmann::json& r = j["setting"];
  char text[512];
  std::snprintf(text, sizeof text,
                "label \"%s\"\ncentre %.4f nm  span %.4f nm  (%.4f to %.4f)\nresolution %g nm  "
                "points %d  reference level %.1f dBm\nactive trace %s\n",
                r["label"].get<std::string>().c_str(), r["centre"].get<double>(),
                r["span"].get<double>(), r["start"].get<double>(), r["stop"].get<double>(),
                r["resolution"].get<double>(), r["points"].get<int>(), r["refLevel"].get<double>(),
                j["activeTrace"].get<std::string>().c_str());
  std::string out = text;
  for (const nlohmann::json& t : j["traces"]) {
    out += "trace " + t["trace"].get<std::string>() + " " + t["attributeName"].get<std::string>() +
           "/" + t["display"].get<std::string>() + "\n";
  }
  return out;
}

int RunDump(const std::string& file, bool json) {
  Run run("settings");
  if (!run.Started()) return Fail("the instrument did not start");
  if (const int code = LoadSettingsFile(file)) {
    return Fail("cannot read " + file + ": " + MessageCodeText(code));
  }
  const nlohmann::json j = DumpJson();
  const std::string text = json ? j.dump(2) + "\n" : DumpText(j);
  std::fputs(text.c_str(), stdout);
  return 0;
}

int RunWrite(const std::string& out, const std::string& from) {
  Run run("settings");
  if (!run.Started()) return Fail("the instrument did not start");
  if (!from.empty() && !run.Drop(from, GInstrument->traces.state.activeTrace, true)) return 2;
  if (const int code = WriteSettingsFile(out)) {
    return Fail("cannot write " + out + ": " + MessageCodeText(code));
  }
  return 0;
}

}  // namespace

void AddSettingsCommand(CLI::App& app) {
  CLI::App* settings =
      app.add_subcommand("settings", "Read and write settings files (.ST8)")->require_subcommand(1);
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  CLI::App* dump = settings->add_subcommand(
      "dump", "Load a settings file and print its setting record and trace state");
  dump->add_option("FILE", *file, "settings file")->required();
  dump->add_flag("--json", *json, "print JSON");
  dump->callback([file, json] {
    if (const int code = RunDump(*file, *json)) throw CLI::RuntimeError(code);
  });
  auto out = std::make_shared<std::string>();
  auto from = std::make_shared<std::string>();
  CLI::App* write = settings->add_subcommand(
      "write", "Write the settings file of the start-up state, or of the state after FILE");
  write->add_option("OUT", *out, "settings file to write")->required();
  write->add_option("--from", *from, "load FILE first, as a drop on the window does")
      ->type_name("FILE");
  write->callback([out, from] {
    if (const int code = RunWrite(*out, *from)) throw CLI::RuntimeError(code);
  });
}

}  // namespace vq
