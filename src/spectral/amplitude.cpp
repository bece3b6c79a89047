#include "spectral/amplitude.h"

#include <cmath>
#include <cstdint>

namespace smfreq {
namespace {

// The program's value of 2*pi, the same as for the frequency step `dom`.
constexpr double two_pi = 6.283185307;

}  // namespace

double bin_frequency(std::int32_t i, double dom) {
  // i - 1 in 64 bits: exact for every i, also the most negative one.
  const double steps = static_cast<double>(std::int64_t{i} - 1);
  return (steps * dom) / two_pi;
}

double modulus(cplx z) { return std::hypot(z.re, z.im); }

}  // namespace smfreq
