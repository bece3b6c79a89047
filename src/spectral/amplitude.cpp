#include "spectral/amplitude.h"

#include <cmath>
#include <cstdint>

#include "run/state.h"

namespace smfreq {
double bin_frequency(std::int32_t i, double dom) {
  // i - 1 in 64 bits: exact for every i, also the most negative one.
  const double steps = static_cast<double>(std::int64_t{i} - 1);
  return (steps * dom) / twopi;
}

double modulus(cplx z) {
  return std::hypot(z.re, z.im);
}

}  // namespace smfreq
