// The busy thread: animates the spinner and wakes the loop while the analyzer works.
#include "frame/busy_thread.h"

#include <condition_variable>
#include <mutex>

#include "instrument.h"
#include "platform/messages.h"
#include "screen/renderer.h"

namespace vq {

namespace {

void AdvanceAngle(FrameState& frame) {
  const int angle = frame.busyAngle;
  if (angle >= 0) frame.busyAngle = (angle + 15) % 360;
}

}  // namespace

int BusyThreadRound() {
  Instrument& g = *GInstrument;
  FrameState& frame = g.frame;
  LinkState& link = g.link;
  if (link.analyzerSweeping != 0) {
    if (frame.busyShown == 1) frame.busyShown = 0;
    frame.redrawFlags |= kRedrawDynamicOnly;
    AdvanceAngle(frame);
    if (link.zeroing == 1 || link.statusPollInFlight == 1) DrawSpinnerNow();
    g.host->PostWake();
    return 50;
  }
  if (link.zeroing == 1) {
    // The GUI thread waits in a synchronous exchange: the spinner is drawn from here.
    frame.busyAngle = (frame.busyAngle < 0 ? 0 : frame.busyAngle + 15) % 360;
    DrawSpinnerNow();
    frame.busyShown = 1;
    frame.redrawFlags |= kRedrawDynamicOnly;
    return 50;
  }
  if (frame.busyShown == 1) {
    frame.busyShown = 0;
    frame.busyAngle = -1;
    frame.redrawFlags |= kRedrawDynamicOnly;
  }
  if (link.wake == 1) {
    link.wake = 2;
    g.host->PostWake();
    return 50;
  }
  return 100;
}

void StartBusyThread() {
  Instrument& g = *GInstrument;
  // The thread lives as long as the context: the context's destruction stops and joins it.
  g.busyThread = std::jthread([](std::stop_token stop) {
    std::mutex m;
    std::condition_variable_any cv;
    while (!stop.stop_requested()) {
      const int waitMs = BusyThreadRound();
      std::unique_lock lock(m);
      cv.wait_for(lock, stop, std::chrono::milliseconds(waitMs), [] { return false; });
    }
  });
}

}  // namespace vq
