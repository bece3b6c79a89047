// Start-up of the process: floating-point environment, signal handlers, standard
// units and the exit action.
#pragma once

namespace smfreq {

void startup();

}  // namespace smfreq
