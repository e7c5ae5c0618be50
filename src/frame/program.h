// The stored-program function, as far as the frame needs it.
#pragma once

namespace vq {

// One step of a running program; nothing happens when no program runs.
void ProgramStep();
// Frees what the program function holds; run at shut-down.
void ReleaseProgram();

}  // namespace vq
