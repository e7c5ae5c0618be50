// vqviewer: the instrument screen in a Qt window.
#include <QApplication>
#include <clocale>

#include "frame/frame.h"
#include "instrument.h"
#include "qt_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);  // the core ends the loop itself, through PostQuit
  // Qt takes the user's locale; the instrument writes numbers with a decimal point.
  std::setlocale(LC_NUMERIC, "C");
  vq::QtHost host;
  auto instrument = vq::CreateInstrument(host);
  const vq::StartResult start = vq::StartUp(host, {});
  // A file named on the command line opens as if it were dropped on the window.
  if (start.running && argc > 1) {
    vq::SetDroppedFiles({argv[1]});
    vq::WindowProc(vq::WM_DROPFILES, 0, 0);
  }
  const int exitCode = start.running ? host.RunLoop() : start.exitCode;
  vq::DestroyInstrument(instrument);
  return exitCode;
}
