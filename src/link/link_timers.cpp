// The link's one-shot timers 11 to 14 on the host's timers, and the busy icon of status part 0.
#include <cassert>

#include "instrument.h"
#include "link/link.h"

namespace vq {
namespace {

LinkTimer& Slot(int id) {
  assert(id >= kLinkTimerFirst && id < kLinkTimerFirst + kLinkTimerCount && "not a link timer");
  return GInstrument->link.timers[static_cast<size_t>(id - kLinkTimerFirst)];
}

}  // namespace

void StartLinkTimer(int id, int periodMs) {
  StopLinkTimer(id);
  LinkTimer& timer = Slot(id);
  GInstrument->host->StartTimer(id, periodMs);
  timer.running = true;
}

void StopLinkTimer(int id) {
  LinkTimer& timer = Slot(id);
  if (timer.running) GInstrument->host->StopTimer(id);
  timer.running = false;
  timer.expired = 0;
}

bool LinkTimerExpired(int id) {
  return Slot(id).expired == -1;
}

void LinkTimerFired(int id) {
  LinkTimer& timer = Slot(id);
  // A tick already queued when the timer was stopped is stale.
  if (!timer.running) return;
  GInstrument->host->StopTimer(id);
  timer.running = false;
  timer.expired = -1;
  // The loop may be blocked in a long operation: the icon returns now, not at the next idle step.
  if (id == kTimerLinkBusy) BusyIndicatorStep();
  // A polling timer wakes the loop (through the busy thread) so that the poll step runs.
  if (id != kTimerLinkBusy && GInstrument->link.connected == 1) GInstrument->link.wake = 1;
}

void ShowBusyIndicator() {
  Instrument& g = *GInstrument;
  g.host->SetStatusIcon(StatusIcon::Busy);
  StartLinkTimer(kTimerLinkBusy, 50);
  g.link.busy = 1;
}

void BusyIndicatorStep() {
  Instrument& g = *GInstrument;
  if (g.link.busy == 0 || !LinkTimerExpired(kTimerLinkBusy)) return;
  // The normal icon is the link icon while a connection is open, none after it closed.
  g.host->SetStatusIcon(g.link.open == 1 ? StatusIcon::Link : StatusIcon::None);
  StopLinkTimer(kTimerLinkBusy);
  g.link.busy = 0;
}

}  // namespace vq
