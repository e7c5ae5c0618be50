// `vqtool judge`: a trace file loaded as a drop loads it, the upper (and lower) line read from
// template files, the go/no-go judgement of the active trace, and its result printed. Exit code
// 0 pass, 1 fail, 2 error (or no judgement).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "analysis/search.h"
#include "calc/template_lines.h"
#include "commands.h"
#include "files/template_file.h"
#include "instrument.h"
#include "menu/param_entry.h"
#include "tool_run.h"
#include "trace_input.h"

namespace vq {

namespace {

struct JudgeOptions : CommonOptions {
  std::string upper, lower;
  std::string type = "UPPER&LOWER";
};

constexpr const char* kTypes[] = {"UPPER&LOWER", "UPPER", "LOWER"};

// WL SHIFT and LEVEL SHIFT by their key labels; other labels go to the search range.
bool ApplySets(const Run& run, const std::vector<std::string>& sets) {
  std::vector<std::string> others;
  for (const std::string& set : sets) {
    const size_t eq = set.find('=');
    const std::string label = set.substr(0, eq);
    if (eq == std::string::npos || (label != "WL SHIFT" && label != "LEVEL SHIFT")) {
      others.push_back(set);
      continue;
    }
    const bool wl = label == "WL SHIFT";
    const std::string text = set.substr(eq + 1);
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    const int parameter = wl ? kParTemplateWlShift : kParTemplateLevelShift;
    if (text.empty() || *end != '\0' || Clamp(value, parameter) != 1) {
      run.Fail(label + " takes a number within its limits, not " + text);
      return false;
    }
    (wl ? GInstrument->templates.wlShift : GInstrument->templates.levelShift) = value;
  }
  return run.Apply(-1, others);
}

int RunJudge(const JudgeOptions& o) {
  Run run("judge");
  int type = -1;
  for (int i = 0; i < 3; ++i) {
    if (o.type == kTypes[i]) type = i;
  }
  if (type < 0) return run.Fail("--type takes UPPER&LOWER, UPPER or LOWER, not " + o.type);
  if (type == kJudgeLower && o.lower.empty()) return run.Fail("--type LOWER needs --lower");
  const int trace = run.Load(o);
  if (trace < 0) return 2;
  const std::pair<const std::string*, int> lines[] = {{&o.upper, kLineUpper},
                                                      {&o.lower, kLineLower}};
  for (const auto& [path, line] : lines) {
    if (path->empty()) continue;
    if (const int code = ReadTemplateFile(*path, line)) {
      return run.Fail("cannot read " + *path + ": " + MessageCodeText(code));
    }
  }
  if (!ApplySets(run, o.sets)) return 2;
  TemplateState& t = GInstrument->templates;
  t.type = static_cast<int16_t>(type);
  RenderTemplateLines(true);
  SetGoNoGo(true);
  const int result = t.result;
  const char* text = result == 1 ? "PASS" : result == 0 ? "FAIL" : "NONE";
  nlohmann::json j = {{"result", text}, {"code", result < 0 ? 131 : 0}};
  std::string line = text;
  if (result == 0) {
    const double nm = IndexToWavelength(AxisOfTrace(trace), t.firstFailIndex);
    j["first_fail_index"] = t.firstFailIndex;
    j["first_fail_nm"] = nm;
    char at[64];
    std::snprintf(at, sizeof at, " at index %d (%.4f nm)", t.firstFailIndex, nm);
    line += at;
  }
  std::printf("%s\n", o.json ? j.dump().c_str() : line.c_str());
  return result == 1 ? 0 : result == 0 ? 1 : 2;
}

}  // namespace

void AddJudgeCommand(CLI::App& app) {
  auto o = std::make_shared<JudgeOptions>();
  CLI::App* c = app.add_subcommand("judge", "Judge a trace file against template lines");
  c->add_option("FILE", o->file, "the trace file to judge, loaded as a drop loads it")->required();
  c->add_option("--upper", o->upper, "the upper line's template file")->required();
  c->add_option("--lower", o->lower, "the lower line's template file");
  c->add_option("--type", o->type, "the lines judged: UPPER&LOWER (default), UPPER or LOWER");
  c->add_option("--set", o->sets, "\"WL SHIFT=nm\", \"LEVEL SHIFT=dB\" or a search-range label")
      ->type_name("\"LABEL=VALUE\"");
  c->add_flag("--json", o->json, "print one JSON object");
  c->footer(
      "Prints PASS, FAIL (with the first failing point) or NONE; exit code 0 pass, 1 fail, 2 "
      "error.\nExample: vqtool judge trace.wv8 --upper upper.csv --lower lower.csv --json");
  c->callback([o] {
    if (const int code = RunJudge(*o)) throw CLI::RuntimeError(code);
  });
}

}  // namespace vq
