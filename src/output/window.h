// Time window cutting: start and length in samples, and the cut itself.
#pragma once

#include <cstdint>

#include "run/state.h"

namespace smfreq {

// Truncates q toward zero. A value whose truncation does not fit in 32 bits, an infinity
// or a NaN gives INT32_MIN.
std::int32_t trunc_to_int32(double q);

// `nstime` = trunc_to_int32(`stime` / `dt`).
void set_window_start(RunState& s);

// `ndur` = trunc_to_int32(`dur` / `dt`) + 1. A quotient whose truncation is INT32_MAX or
// beyond is out of range like any larger one: `ndur` becomes INT32_MIN + 1 (as for `dt` = 0)
// instead of overflowing.
void set_window_length(RunState& s);

// Window sample i (1..`ndur`) becomes frame sample i + `nstime` of `xr1`..`xr3`, or zero when
// that position is below 1 or beyond the capacity `mom`. Window samples beyond `mom` are not
// stored (readers treat them as zeros). Then `nt` = `ndur`, whatever its sign.
void cut_window(RunState& s);

}  // namespace smfreq
