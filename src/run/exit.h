// The ways a run ends: the exit action, the stop, and the abort after an I/O failure.
#pragma once

#include "textio/ioerror.h"

namespace smfreq {

// Closes units 0 to 99 in order. Safe to call from a signal handler, and more than once.
void exit_action();

// Closes every unit (a failure there gives the I/O error report) and ends the process
// with exit status 0.
[[noreturn]] void stop();

// Prints the I/O error report on standard error, runs the exit action and aborts
// without running the program's own abort handler.
[[noreturn]] void io_abort(const textio::IoError& e);

}  // namespace smfreq
