// The run: one pass through the fixed list of steps.
#pragma once

#include "run/state.h"

namespace smfreq {

// Runs every step in order; ends the process through stop() (or an I/O failure).
[[noreturn]] void run_sequence(RunState& s);

// The whole program: start-up, the run, and the I/O error report on failure.
int program_main();

}  // namespace smfreq
