// The console steps around the spectrum frame.
#pragma once

#include "run/state.h"

namespace smfreq {

// Chooses the transform length and reports it; a record longer than the longest
// transform stops the run here.
void transform_length_step(RunState& s);

// Forward transforms and the report of the spectral grid.
void forward_step(RunState& s);

}  // namespace smfreq
