// Trapezoidal band-pass filter on the one-sided spectra.
#pragma once

#include "run/state.h"

namespace smfreq {

// Converts the corners `fl1`, `fl2`, `fh1`, `fh2` (Hz) to `oml1`, `oml2`, `omh1`, `omh2`
// (rad/s) and multiplies bins 1..`nom` of `fx1`..`fx3` by the trapezoid gain: 0 below `oml1`,
// rising to 1 at `oml2`, 1 up to `omh1`, falling to 0 at `omh2`, 0 above it. The corners are
// not checked; unordered corners give whatever the bin rules below produce.
//
// A zero-width ramp (`oml1` == `oml2`, or `omh1` == `omh2`) is a sharp cut: bins beyond the
// corner get gain 0 instead of a division by zero that would turn them into NaN.
void apply_bandpass(RunState& s);

}  // namespace smfreq
