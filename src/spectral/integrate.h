// Integration and differentiation of the one-sided spectra.
#pragma once

#include "run/state.h"

namespace smfreq {

// By `nit`: 1 divides bins 2..`nom` of `fx1`..`fx3` by i*omega (integration), 2 by -omega^2
// (double integration), 3 multiplies them by i*omega (differentiation), where omega is the
// bin's angular frequency (i - 1) * `dom`. Bin 1 (zero frequency) is never changed; any other
// `nit` changes nothing.
void apply_integration(RunState& s);

}  // namespace smfreq
