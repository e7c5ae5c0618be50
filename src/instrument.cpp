// The context: creation, the current-context pointer, and orderly teardown.
#include "instrument.h"

#include <cassert>

namespace vq {

Instrument* GInstrument = nullptr;

Instrument::~Instrument() {
  // The busy thread reads this context: stop it before any member goes away.
  if (busyThread.joinable()) {
    busyThread.request_stop();
    busyThread.join();
  }
}

std::unique_ptr<Instrument> CreateInstrument(Host& host) {
  auto instrument = std::make_unique<Instrument>();
  instrument->host = &host;
  GInstrument = instrument.get();
  return instrument;
}

void DestroyInstrument(std::unique_ptr<Instrument>& instrument) {
  assert(instrument && "DestroyInstrument needs a context");
  // The busy thread reaches its context through GInstrument: stop it before the pointer goes.
  if (instrument->busyThread.joinable()) {
    instrument->busyThread.request_stop();
    instrument->busyThread.join();
  }
  if (GInstrument == instrument.get()) GInstrument = nullptr;
  instrument.reset();
}

void RedrawNow() {
  if (GInstrument->frame.calls.redrawNow) GInstrument->frame.calls.redrawNow();
}

void CloseWindowNow() {
  if (GInstrument->frame.calls.closeWindow) GInstrument->frame.calls.closeWindow();
}

}  // namespace vq
