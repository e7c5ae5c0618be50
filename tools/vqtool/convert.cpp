// `vqtool convert`: read a trace file of any accepted form and write it in another.
#include "convert.h"

#include <cstdio>
#include <memory>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "files/trace_files.h"
#include "instrument.h"
#include "platform/headless_host.h"
#include "trace_input.h"

namespace vq {

int RunConvert(const ConvertOptions& o) {
  HeadlessHost host;
  auto context = CreateInstrument(host);
  Instrument& g = *context;
  PrepareFreshTraces();
  int code = LoadTraceInput(o.in, o.trace);
  const int trace = o.trace < 0 ? g.traces.state.activeTrace : o.trace;
  if (code != 0) {
    std::fprintf(stderr, "vqtool convert: cannot read %s: %s\n", o.in.c_str(),
                 MessageCodeText(code).c_str());
  } else {
    code = o.to == "bin"   ? WriteTraceBinary(o.out, trace)
           : o.to == "csv" ? WriteTraceCsv(o.out, trace)
                           : WriteAllTraceCsv(o.out);
    if (code != 0) {
      std::fprintf(stderr, "vqtool convert: cannot write %s: %s\n", o.out.c_str(),
                   MessageCodeText(code).c_str());
    }
  }
  DestroyInstrument(context);
  return code == 0 ? 0 : 2;
}

void AddConvertCommand(CLI::App& app) {
  auto o = std::make_shared<ConvertOptions>();
  CLI::App* convert = app.add_subcommand("convert", "Convert a trace file to another form");
  convert->footer(
      "Reads a trace file (binary, backup, CSV or all-trace CSV) and writes it as a binary\n"
      "trace file (bin), a single-trace CSV file (csv) or an all-trace CSV file (allcsv).\n"
      "Example: vqtool convert samples/dfb_laser.csv dfb_laser.wav --to bin");
  convert->add_option("IN", o->in, "the trace file to read")->required();
  convert->add_option("OUT", o->out, "the file to write")->required();
  convert->add_option("--to", o->to, "the form to write")
      ->required()
      ->type_name("bin|csv|allcsv")
      ->check(CLI::IsMember({"bin", "csv", "allcsv"}).description(""));
  convert
      ->add_option_function<std::string>(
          "--trace", [o](const std::string& letter) { o->trace = letter[0] - 'A'; },
          "the trace to write, or to load a single-trace file into (default: A, or the active "
          "trace of an all-trace file)")
      ->type_name("A..G")
      ->check(CLI::IsMember({"A", "B", "C", "D", "E", "F", "G"}).description(""));
  convert->callback([o] {
    if (const int code = RunConvert(*o)) throw CLI::RuntimeError(code);
  });
}

}  // namespace vq
