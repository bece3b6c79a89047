// The waveform record reader: input file name, header, data rows, echo file,
// sample count and interval, and the sign-reversal dialogue.
#pragma once

#include "run/state.h"

namespace smfreq::record {

// Prompt and "(A90)" answer for the input file name, into `infile`.
void ask_input_file(RunState& s);

// Reads the record named by `infile`: channels into `xr1`..`xr3`, time values into
// `time`, each accepted row echoed to unit 99; sets `nt` and `dt`.
void read_record(RunState& s);

// "NT and DT=" report.
void report_record(RunState& s);

// Offers to negate each channel.
void sign_reversal(RunState& s);

}  // namespace smfreq::record
