// Radix-2 decimation-in-time FFT, in place and unnormalised.
#pragma once

#include <cstdint>

#include "run/state.h"

namespace smfreq {

// Transforms elements 1..n of `a` in place; a[0] is element 1 (pass `fx1.data()`).
// On return element p holds
//   A(p) = sum over q = 1..n of a(q) * exp(ind * 2 * pai * i * (p - 1)(q - 1) / n)
// with pai = 3.141592654 (not pi to full precision; results depend on it in the tenth digit).
// `ind` = -1 is the forward transform, +1 the inverse; neither applies a 1/n factor.
// `n` must be a power of two. Any other `n` (0, negative, or not a power of two) leaves `a`
// untouched: the butterflies would otherwise address elements beyond `n`.
void wvfast(std::int32_t n, cplx* a, std::int32_t ind);

}  // namespace smfreq
