// `vqtool calc`: trace files loaded into A, B, C, ... in order, one calculation run into its
// destination trace, and that trace written as a binary or CSV trace file.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "analysis/labelled_settings.h"
#include "calc/calc_menus.h"
#include "calc/trace_calc.h"
#include "commands.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "resources/trace_attributes.h"
#include "trace_input.h"

namespace vq {

namespace {

struct CalcOptions {
  std::vector<std::string> files;
  std::string op;
  std::vector<std::string> sets;
  std::string out;
  bool json = false;
};

constexpr int kMsgNoDataInTrace = 103;  // an operation that stopped: nothing to normalise or fit
constexpr const char* kLetters[] = {"A", "B", "C", "D", "E", "F", "G"};

int Fail(const std::string& why) {
  std::fprintf(stderr, "vqtool calc: %s\n", why.c_str());
  return 2;
}

// The output's form by its extension: 1 binary, 2 CSV, 0 neither.
int OutputForm(const std::string& path) {
  std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : "";
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return ext == ".wv8" ? 1 : ext == ".csv" ? 2 : 0;
}

int RunCalc(const CalcOptions& o) {
  const int code = CalcCodeByName(o.op);
  if (code < 0) return Fail("unknown operation " + o.op);
  const CalcOperation& op = *FindCalcOperation(code);
  const int needed = std::max<int>(op.first, op.second) + 1;
  if (static_cast<int>(o.files.size()) < needed) {
    return Fail(o.op + " needs trace " + kLetters[needed - 1] + ": give " + std::to_string(needed) +
                " files");
  }
  if (o.files.size() > static_cast<size_t>(kTraceCount)) return Fail("at most 7 files (A to G)");
  const int form = OutputForm(o.out);
  if (form == 0) return Fail("--out must end in .wv8 or .csv: " + o.out);

  HeadlessHost host;
  auto context = CreateInstrument(host);
  Instrument& g = *context;
  PrepareFreshTraces();
  int result = 0;
  for (size_t i = 0; i < o.files.size() && result == 0; ++i) {
    const int read = LoadTraceInput(o.files[i], static_cast<int>(i));
    if (read != 0) result = Fail("cannot read " + o.files[i] + ": " + MessageCodeText(read));
  }
  for (size_t i = 0; i < o.sets.size() && result == 0; ++i) {
    const std::string& set = o.sets[i];
    const size_t eq = set.find('=');
    std::string error = "--set takes LABEL=VALUE, not " + set;
    if (eq == std::string::npos) {
      result = Fail(error);
      continue;
    }
    // The line markers bound the operation areas; they and the search range are set as the
    // searches set them.
    const std::string label = set.substr(0, eq), value = set.substr(eq + 1);
    const bool done = IsSearchRangeLabel(label) ? SetSearchSettingByLabel(label, value, error)
                                                : SetCalcSettingByLabel(label, value, code, error);
    if (!done) result = Fail(error);
  }
  if (result == 0) {
    int done = ApplyCalculation(code);
    if (done < 0) done = kMsgNoDataInTrace;
    const int dest = op.destination;
    if (done == 0) {
      const int written = form == 1 ? WriteTraceBinary(o.out, dest) : WriteTraceCsv(o.out, dest);
      if (written != 0) {
        result = Fail("cannot write " + o.out + ": " + MessageCodeText(written));
      }
    }
    if (result == 0) {
      const int points = std::clamp(g.traces.traces[dest].condition.samplingPoints, 0, kMaxPoints);
      nlohmann::json j = {{"code", done}, {"trace", kLetters[dest]}, {"points", points}};
      std::string line = std::string("TRACE: ") + kLetters[dest] +
                         "  OPERATION: " + AttributeCalcName(code) +
                         "  CODE: " + std::to_string(done) + "  POINTS: " + std::to_string(points);
      if (op.kind == CalcKind::CurveFit || op.kind == CalcKind::PeakCurveFit ||
          op.kind == CalcKind::MarkerFit) {
        const CalcState& s = g.calc;
        nlohmann::json c = nlohmann::json::array();
        line += "\nCOEFFICIENTS:";
        for (int k = 0; k < s.coefficientCount; ++k) {
          c.push_back(s.coefficients[k]);
          char text[32];
          std::snprintf(text, sizeof text, " %.10g", s.coefficients[k]);
          line += text;
        }
        j["coefficients"] = c;
        j["algorithm"] = FitAlgorithmName(s.fitAlgorithm);
        j["reference_nm"] = s.referenceWavelength;
        j["fitted"] = s.fitted;
      }
      if (done != 0) line += "\nFAILED: " + MessageCodeText(done);
      std::printf("%s\n", o.json ? j.dump().c_str() : line.c_str());
      result = done == 0 ? 0 : 1;
    }
  }
  DestroyInstrument(context);
  return result;
}

}  // namespace

void AddCalcCommand(CLI::App& app) {
  auto o = std::make_shared<CalcOptions>();
  CLI::App* c = app.add_subcommand("calc", "Run a trace calculation on trace files");
  c->footer(
      "Loads the files into traces A, B, C, ... in order, as the FILE menu loads them (the\n"
      "last file's conditions become the measured conditions), runs the operation into its\n"
      "destination trace and writes that trace: .wv8 a binary trace file (for a normalised or\n"
      "fitted G, its source levels), .csv a CSV trace file of the computed levels.\n"
      "Operations by their names: A-B(LOG), B-A(LOG), A+B(LOG), A-B(LIN), A+B(LIN),\n"
      "1-K(A/B), 1-K(B/A), C-D(LOG), ..., NORMA, CVFTA, PKCVFTA, MKRFT, ...\n"
      "Labels: K, THRESH, FITTING ALGO (GAUSS, LORENZ, 3RD POLY, 4TH POLY, 5TH POLY),\n"
      "OPERATION AREA (ALL, L1-L2, OUT L1-L2 or 0 to 2), MODE DIFF, and the line markers\n"
      "LINE MARKER 1, LINE MARKER 2 (nm) and SEARCH/ANA L1-L2 (OFF/ON) as the searches take them.\n"
      "Coefficients: ascending powers of d = wavelength - reference (nm): the dB parabola for\n"
      "GAUSS, the parabola of 1/level for LORENZ, the polynomial in mW for the others.\n"
      "Exit code 0, 1 when the operation stopped or failed, 2 for bad input.\n"
      "Example: vqtool calc a.wv8 b.wv8 --op \"A-B(LOG)\" --out c.csv --json");
  c->add_option("FILES", o->files, "trace files for A, B, C, ... in order")->required();
  c->add_option("--op", o->op, "the operation, by its calculation name")->required();
  c->add_option("--set", o->sets, "a setting by its key label (repeatable)")
      ->type_name("\"LABEL=VALUE\"");
  c->add_option("--out", o->out, "the destination trace's file (.wv8 or .csv)")->required();
  c->add_flag("--json", o->json, "print one JSON object");
  c->callback([o] {
    if (const int code = RunCalc(*o)) throw CLI::RuntimeError(code);
  });
}

}  // namespace vq
