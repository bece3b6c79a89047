// The console steps of the spectral processing: band-pass filter, integration or
// differentiation, and the amplitude spectrum file.
#pragma once

#include "run/state.h"

namespace smfreq {

void bandpass_step(RunState& s);
void integration_step(RunState& s);
// Writes "amp3.csv" (every run).
void spectrum_file_step(RunState& s);

}  // namespace smfreq
