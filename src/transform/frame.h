// The spectrum frame: carries the three channels into the frequency domain and back.
#pragma once

#include "run/state.h"

namespace smfreq {

// Chooses the transform length: `nf` = the least power of two not below `nt`, never below 4,
// and `if1` = log2 `nf`. Returns false when `nt` > `max_nf` (131072); `nf` is then left at
// 131072, `if1` is not set and the run must stop. `nt` <= 0 gives `nf` = 4.
bool choose_length(RunState& s);

// Fills `fx1`..`fx3` from `xr1`..`xr3` (samples 1..`nt`) and zeros (up to `nf`), transforms
// them forward, scales them by `dt` and sets `dur`, `dom`, `nom` and `eom`.
// Requires a successful choose_length.
void forward_half(RunState& s);

// Rebuilds bins `nom` + 1..`nf` as conjugates of bins 2..`nf`/2, transforms back and divides
// by `dur`: `xr1`..`xr3` get samples 1..`nf`, `x1`..`x3` samples 1..`nt`.
void return_half(RunState& s);

}  // namespace smfreq
