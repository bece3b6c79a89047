// Values of the amplitude spectrum: the frequency of a bin and the modulus of its value.
#pragma once

#include <cstdint>

#include "run/state.h"

namespace smfreq {

// Frequency in Hz of bin i: ((i - 1) * dom) / 6.283185307, in that order.
double bin_frequency(std::int32_t i, double dom);

// |z| without overflow or underflow of intermediate squares; exactly +0 for a zero value.
// A value with an infinite part gives +inf (even when the other part is NaN); otherwise a
// NaN part gives NaN.
double modulus(cplx z);

}  // namespace smfreq
