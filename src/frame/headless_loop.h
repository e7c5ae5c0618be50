// The message loop of the headless host: the same blocking rule as the viewer's.
#pragma once

#include "platform/headless_host.h"

namespace vq {

// Handles posted messages and runs idle steps until the loop would block or the program quits.
// False when it did not settle within maxSteps (something keeps asking for work).
bool PumpUntilIdle(HeadlessHost& host, int maxSteps = 100000);

// The whole loop with the timers, until the quit message; returns the exit code.
int RunHeadlessLoop(HeadlessHost& host);
// The same loop for `ms` of real time (or until the quit message).
void RunHeadlessLoopFor(HeadlessHost& host, int ms);

}  // namespace vq
