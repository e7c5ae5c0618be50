// `vqtool convert`: read a trace file of any accepted form and write it in another.
#include "convert.h"

#include <cstdio>

#include "files/trace_files.h"
#include "instrument.h"
#include "menu/messages.h"
#include "platform/headless_host.h"

namespace vq {

const char* const kConvertHelp =
    "usage: vqtool convert IN OUT --to bin|csv|allcsv [--trace A..G]\n"
    "Reads a trace file (binary, backup, CSV or all-trace CSV) and writes it as a binary\n"
    "trace file (bin), a single-trace CSV file (csv) or an all-trace CSV file (allcsv).\n"
    "  --trace T  the trace to write or to load a single-trace file into (default: A, or the\n"
    "             active trace of an all-trace file)\n";

namespace {

struct ConvertOptions {
  std::string in, out, to;
  int trace = -1;
};

bool Parse(const std::vector<std::string>& args, ConvertOptions& o, std::string& error) {
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--to" || a == "--trace") {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      const std::string& v = args[++i];
      if (a == "--to") {
        if (v != "bin" && v != "csv" && v != "allcsv") {
          error = "--to must be bin, csv or allcsv, not " + v;
          return false;
        }
        o.to = v;
      } else {
        if (v.size() != 1 || v[0] < 'A' || v[0] > 'G') {
          error = "--trace must be a letter A to G, not " + v;
          return false;
        }
        o.trace = v[0] - 'A';
      }
    } else if (a.starts_with("--")) {
      error = "unknown argument " + a;
      return false;
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2 || o.to.empty()) {
    error = "needs IN, OUT and --to (vqtool convert --help)";
    return false;
  }
  o.in = files[0];
  o.out = files[1];
  return true;
}

std::string CodeText(int code) {
  const std::string text = MessageText(code);
  return "message " + std::to_string(code) + (text.empty() ? "" : " \"" + text + "\"");
}

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
  ConvertOptions o;
  std::string error;
  if (!Parse(args, o, error)) {
    std::fprintf(stderr, "vqtool convert: %s\n", error.c_str());
    return 2;
  }
  HeadlessHost host;
  auto context = CreateInstrument(host);
  Instrument& g = *context;
  InitConditions();
  // Traces the file does not fill keep the fresh window, so an all-trace file written from
  // them can be read back.
  for (Trace& t : g.traces.traces) t.condition = g.conditions.setting;
  // The identifier decides the reader; anything else is not a trace file.
  std::vector<uint8_t> head;
  int code = ReadFileBytes(o.in, head);
  if (code == 0 && AllTraceFormatIndex(head.data(), head.size()) >= 0) {
    code = LoadAllTraceFile(o.in);
  } else if (code == 0 && TraceFormatIndex(head.data(), head.size()) >= 0) {
    code = LoadTraceFile(o.in, o.trace < 0 ? 0 : o.trace);
    if (code == 0) SetActiveTrace(o.trace < 0 ? 0 : o.trace);
  } else if (code == 0) {
    code = kMsgNotTraceFile;
  }
  const int trace = o.trace < 0 ? g.traces.state.activeTrace : o.trace;
  if (code != 0) {
    std::fprintf(stderr, "vqtool convert: cannot read %s: %s\n", o.in.c_str(),
                 CodeText(code).c_str());
  } else {
    code = o.to == "bin"   ? WriteTraceBinary(o.out, trace)
           : o.to == "csv" ? WriteTraceCsv(o.out, trace)
                           : WriteAllTraceCsv(o.out);
    if (code != 0) {
      std::fprintf(stderr, "vqtool convert: cannot write %s: %s\n", o.out.c_str(),
                   CodeText(code).c_str());
    }
  }
  DestroyInstrument(context);
  return code == 0 ? 0 : 2;
}

}  // namespace vq
