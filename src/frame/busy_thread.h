// The busy thread: animates the spinner and wakes the loop while the analyzer works.
#pragma once

#include <stop_token>

namespace vq {

void StartBusyThread();
// One round of the thread's loop; returns the time to wait before the next round in ms.
int BusyThreadRound();

}  // namespace vq
