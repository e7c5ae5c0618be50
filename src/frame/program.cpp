// The stored-program function, as far as the frame needs it.
#include "frame/program.h"

#include "instrument.h"

namespace vq {

void ProgramStep() {
  Instrument& g = *GInstrument;
  if (g.program.running != 1) return;
  // No program editor exists in this viewer, so no program has lines to execute: a run that was
  // started ends at its first step.
  ++g.program.steps;
  g.program.running = 0;
}

void ReleaseProgram() {
  Instrument& g = *GInstrument;
  g.program.running = 0;
  g.program.steps = 0;
}

}  // namespace vq
