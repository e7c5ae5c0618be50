// vqviewer: the instrument screen in a Qt window.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <string>

#include "frame/frame.h"
#include "instrument.h"
#include "qt_host.h"

namespace {

constexpr const char* kHelp =
    "Usage: vqviewer [FILE]\n"
    "The VQ7000B optical spectrum analyzer's screen in a window.\n"
    "FILE, a trace, data or settings file, opens as if dropped on the window.\n"
    "\n"
    "  -h, --help     show this text and exit\n"
    "      --version  show the version and exit\n";

struct CommandLine {
  enum { Run, Help, Version, Error } action = Run;
  std::string file;
  std::string error;
};

// Read before Qt starts, so --help and --version work without a display. Qt's own options are
// not taken: its environment variables (QT_QPA_PLATFORM, ...) set the same things.
CommandLine ParseCommandLine(int argc, char** argv) {
  CommandLine line;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!optionsEnd && arg == "--") {
      optionsEnd = true;
    } else if (!optionsEnd && (arg == "--help" || arg == "-h")) {
      return {CommandLine::Help, {}, {}};
    } else if (!optionsEnd && arg == "--version") {
      return {CommandLine::Version, {}, {}};
    } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
      return {CommandLine::Error, {}, "unknown option: " + arg + " (vqviewer --help)"};
    } else if (!line.file.empty()) {
      return {CommandLine::Error, {}, "one file at most: " + arg + " (vqviewer --help)"};
    } else {
      line.file = arg;
    }
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine line = ParseCommandLine(argc, argv);
  switch (line.action) {
    case CommandLine::Help:
      std::fputs(kHelp, stdout);
      return 0;
    case CommandLine::Version:
      std::printf("vqviewer %s\n", VQ_PRODUCT_VERSION);
      return 0;
    case CommandLine::Error:
      std::fprintf(stderr, "vqviewer: %s\n", line.error.c_str());
      return 2;
    case CommandLine::Run:
      break;
  }
  int qtArgc = 1;  // the arguments are ours: Qt sees the program's name only
  QApplication app(qtArgc, argv);
  app.setQuitOnLastWindowClosed(false);  // the core ends the loop itself, through PostQuit
  // Qt takes the user's locale; the instrument writes numbers with a decimal point.
  std::setlocale(LC_NUMERIC, "C");
  vq::QtHost host;
  auto instrument = vq::CreateInstrument(host);
  const vq::StartResult start = vq::StartUp(host, {});
  if (start.running && !line.file.empty()) vq::OpenFileAtStart(line.file);
  const int exitCode = start.running ? host.RunLoop() : start.exitCode;
  vq::DestroyInstrument(instrument);
  return exitCode;
}
