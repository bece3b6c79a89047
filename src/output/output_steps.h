// The console steps of the waveform output: the time window, the skip question, the
// waveform file, and the final wait.
#pragma once

#include "run/state.h"

namespace smfreq {

void window_step(RunState& s);
// Skip question, output file name and the waveform file.
void waveform_step(RunState& s);
// Waits for one line on the console; the end of input ends the wait too.
void final_wait();

}  // namespace smfreq
