// `vqtool analyze` and `vqtool search`: a trace file loaded as a drop loads it, the settings
// applied by their screen labels, one analysis or search run, and its result printed.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "analysis/analysis_execute.h"
#include "analysis/labelled_settings.h"
#include "analysis/light_source.h"
#include "analysis/markers.h"
#include "analysis/result_view.h"
#include "analysis/search.h"
#include "analysis/spectral_width.h"
#include "commands.h"
#include "files/trace_files.h"
#include "frame/frame.h"
#include "frame/headless_loop.h"
#include "instrument.h"
#include "marker_state.h"
#include "menu/menu_engine.h"
#include "menu/messages.h"
#include "platform/headless_host.h"
#include "platform/image_files.h"
#include "platform/text.h"
#include "screen/renderer.h"
#include "tool_run.h"
#include "trace_input.h"
#include "traces/meas_condition.h"
#include "traces/traces.h"

namespace vq {

namespace {

struct AnalyzeOptions : CommonOptions {
  std::string fileB;
  std::string item;
  std::string csv;  // the CSV text of a multichannel result
  std::string out;  // a screenshot of the result screen (.png or .bmp)
};

enum class SearchAction { Single, NextLevel, NextLeft, NextRight, Multi };
struct SearchOptions : CommonOptions {
  SearchAction action = SearchAction::Single;
  bool peak = false;  // the default anyway; excludes --bottom
  bool bottom = false;
  int from = -1;  // -1: from the PEAK (BOTTOM) SEARCH result
};

constexpr const char* kTraceLetters[] = {"A", "B", "C", "D", "E", "F", "G"};

int ItemNumber(const std::string& name) {
  for (int item = 0; item < kItemCount; ++item) {
    if (name == AnalysisItemName(item)) return item;
  }
  // COLOR has no item number (and no key): it runs by its name alone.
  if (name == AnalysisItemName(kItemColor)) return kItemColor;
  return -1;
}

void Print(const nlohmann::json& j, bool asJson, const std::vector<std::string>& lines) {
  if (asJson) {
    std::printf("%s\n", j.dump().c_str());
  } else {
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  }
}

// The message of a failure code, "" for success.
std::string CodeMessage(int code) {
  return code == 0 ? "" : InstrumentTextToUtf8(MessageText(code));
}

std::string Format(const char* format, double v) {
  char text[64];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

int RunAnalyze(const AnalyzeOptions& o) {
  Run run("analyze");
  const int item = ItemNumber(o.item);
  if (item < 0) return run.Fail("unknown item " + o.item);
  if (!AnalysisItemAvailable(item)) return run.Fail("the item " + o.item + " is not available");
  const bool multichannel =
      item == kItemWdm || item == kItemEdfaNf || item == kItemWdmFilPk || item == kItemWdmFilBtm;
  if (!o.csv.empty() && !multichannel) return run.Fail("the item " + o.item + " has no CSV text");
  const int trace = run.Load(o, o.fileB);
  if (trace < 0 || !run.Apply(item, o.sets)) return 2;
  const int code = ExecuteAnalysis(item);
  // The result screen: the ANALYSIS menu beside the result, as after ANALYSIS EXECUTE.
  GoToMenu(kNodeAnalysis, 0, 0);
  PumpUntilIdle(run.Host());
  if (!o.out.empty()) {
    const bool png = o.out.size() > 4 && o.out.compare(o.out.size() - 4, 4, ".png") == 0;
    if (!(png ? CaptureToPngFile(o.out, 800) : CaptureToFile(o.out, 800))) {
      return run.Fail("cannot write " + o.out);
    }
  }
  if (!o.csv.empty() && code == 0) {
    std::string text;
    for (const std::string& line : ResultCsvLines()) text += line + "\r\n";
    if (!WriteFileAtomic(o.csv, std::vector<uint8_t>(text.begin(), text.end()))) {
      return run.Fail("cannot write " + o.csv);
    }
  }
  nlohmann::json j = {{"item", o.item}, {"code", code}, {"message", CodeMessage(code)}};
  std::vector<std::string> lines = {"ITEM: " + o.item + "  TRACE: " + kTraceLetters[trace]};
  if (code == 0) {
    const ResultRecord record = CurrentResultRecord();
    AddResultRecord(record, j);
    // The readable form is the instrument's own result text.
    for (const std::string& line : ResultBlockLines()) lines.push_back(InstrumentTextToUtf8(line));
    const ResultTable table = ResultTableLines();
    for (const auto* part : {&table.header, &table.columns, &table.rows}) {
      for (const std::string& line : *part) lines.push_back(InstrumentTextToUtf8(line));
    }
  } else {
    lines.push_back("FAILED: " + MessageCodeText(code));
  }
  Print(j, o.json, lines);
  return code == 0 ? 0 : 1;
}

// A marker as the search left it: its data index, wavelength and level.
nlohmann::json MarkerJson(const MarkerSlot& m, std::string& line) {
  const double dbm = LinearToDbm(m.level);
  line += "INDEX: " + std::to_string(m.index) + Format("  WAVELENGTH: %.4f nm", m.wavelength) +
          Format("  LEVEL: %.3f dBm", dbm);
  return {{"index", m.index}, {"wavelength_nm", m.wavelength}, {"level_dbm", dbm}};
}

int RunSearch(const SearchOptions& o) {
  Run run("search");
  const int trace = run.Load(o);
  if (trace < 0 || !run.Apply(-1, o.sets)) return 2;
  AnalysisState& a = GInstrument->analysis;
  const bool peak = !o.bottom;
  // As the keys run them: PEAK (BOTTOM) SEARCH, in MULTI mode with its fixed markers, then the
  // next searches from the moving marker, which --from places.
  a.search.searchMode = o.action == SearchAction::Multi ? 1 : 0;
  int code = PeakSearchAction(peak);
  if (code == 0 && o.action != SearchAction::Single && o.action != SearchAction::Multi) {
    if (o.from >= 0) MoveMarker(trace, o.from);
    code = NextSearchAction(o.action == SearchAction::NextLevel  ? NextDirection::Level
                            : o.action == SearchAction::NextLeft ? NextDirection::Left
                                                                 : NextDirection::Right);
  }
  nlohmann::json j = {{"code", code}, {"message", CodeMessage(code)}};
  std::vector<std::string> lines;
  if (code == 0) {
    lines.emplace_back();
    j.update(MarkerJson(a.markers[kMovingMarker], lines.back()));
    if (o.action == SearchAction::Multi) {
      nlohmann::json markers = nlohmann::json::array();
      for (int n = 1; n <= FixedMarkerCount(); ++n) {
        lines.push_back(Format("MKR%04.0f: ", n));
        markers.push_back(MarkerJson(a.markers[n], lines.back()));
      }
      j["markers"] = markers;
    }
  } else {
    lines.push_back("FAILED: " + MessageCodeText(code));
  }
  Print(j, o.json, lines);
  return code == 0 ? 0 : 1;
}

// The options both commands take.
void AddCommon(CLI::App* c, CommonOptions& o) {
  c->add_option("FILE", o.file, "the trace file to load, as a drop loads it")->required();
  c->add_option_function<std::string>(
       "--trace", [&o](const std::string& letter) { o.trace = letter[0] - 'A'; },
       "the trace to load the file into and to work on (default: the active trace)")
      ->type_name("A..G")
      ->check(CLI::IsMember({"A", "B", "C", "D", "E", "F", "G"}).description(""));
  c->add_option("--set", o.sets, "a setting by its screen label (repeatable)")
      ->type_name("\"LABEL=VALUE\"");
  c->add_flag("--json", o.json, "print one JSON object");
}

}  // namespace

void AddAnalyzeCommand(CLI::App& app) {
  auto o = std::make_shared<AnalyzeOptions>();
  CLI::App* c = app.add_subcommand("analyze", "Run an analysis on a trace file");
  c->footer(
      "Loads FILE as a drop would, applies the settings, runs the item as ANALYSIS EXECUTE\n"
      "does and prints the result. Items as their keys write them (THRESH, ENVELOPE, RMS,\n"
      "PEAK RMS, NOTCH, ...). Labels as the item's setting window shows them (THRESH LEVEL, K,\n"
      "MODE FIT, MODE DIFF, TYPE, ...), and the search range: LINE MARKER 1, LINE MARKER 2,\n"
      "SEARCH/ANA L1-L2 (OFF/ON).\n"
      "Exit code 0, 1 when the analysis fails (code 103 or 110), 2 for bad input.\n"
      "Example: vqtool analyze samples/dfb_laser.csv --item THRESH --set \"K=2\" --json");
  AddCommon(c, *o);
  c->add_option("--item", o->item, "the analysis item, as its key writes it")->required();
  c->add_option("--file-b", o->fileB, "a second trace file, loaded into trace B");
  c->add_option("--csv", o->csv, "write the CSV text of a multichannel result to this file");
  c->add_option("--out", o->out, "write a screenshot of the result screen (.png or .bmp)");
  c->callback([o] {
    if (const int code = RunAnalyze(*o)) throw CLI::RuntimeError(code);
  });
}

void AddSearchCommand(CLI::App& app) {
  auto o = std::make_shared<SearchOptions>();
  CLI::App* c = app.add_subcommand("search", "Run a peak search on a trace file");
  c->footer(
      "Loads FILE as a drop would, applies the settings and runs PEAK SEARCH (--peak),\n"
      "BOTTOM SEARCH (--bottom), a next search from the peak (or, with --bottom, the bottom)\n"
      "or from --from INDEX, or the multi search (--multi, of bottoms with --bottom). Labels:\n"
      "MODE DIFF, THRESH, SORT BY (WL/LVL), LINE MARKER 1, LINE MARKER 2, SEARCH/ANA L1-L2.\n"
      "Exit code 0, 1 when the search fails (code 103 or 110), 2 for bad input.\n"
      "Example: vqtool search samples/fp_laser.csv --multi --set \"THRESH=10\" --json");
  AddCommon(c, *o);
  CLI::Option* peakFlag = c->add_flag("--peak", o->peak, "PEAK SEARCH (the default)");
  c->add_flag("--bottom", o->bottom, "BOTTOM SEARCH, or the next searches after it");
  auto action = [o](SearchAction a) { return [o, a](int64_t) { o->action = a; }; };
  auto* level =
      c->add_flag_function("--next-level", action(SearchAction::NextLevel), "NEXT LEVEL SEARCH");
  auto* left =
      c->add_flag_function("--next-left", action(SearchAction::NextLeft), "NEXT SEARCH LEFT");
  auto* right =
      c->add_flag_function("--next-right", action(SearchAction::NextRight), "NEXT SEARCH RIGHT");
  auto* multi = c->add_flag_function("--multi", action(SearchAction::Multi), "the multi search");
  for (CLI::Option* one : {level, left, right, multi}) {
    for (CLI::Option* other : {level, left, right, multi}) {
      if (one != other) one->excludes(other);
    }
  }
  peakFlag->excludes("--bottom");
  c->add_option("--from", o->from, "start the next searches at this data index")
      ->check(CLI::Range(0, 50000));
  c->callback([o] {
    if (const int code = RunSearch(*o)) throw CLI::RuntimeError(code);
  });
}

}  // namespace vq
