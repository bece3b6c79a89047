#include "transform/wvfast.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace smfreq {
namespace {

// The FFT's value of pi. Every twiddle angle is formed with it, so it must stay this
// ten-digit decimal for results to match to the last bit.
constexpr double pai = 3.141592654;

// Twiddles computed at a time. A block of k values is handled for every group before the
// next block starts: the butterflies of one stage touch disjoint elements, so this order
// gives the same bits as the k-outer order while walking memory contiguously instead of
// with a power-of-two stride (which thrashes the cache for long transforms).
constexpr std::int32_t block = 64;

bool is_power_of_two(std::int32_t n) {
  return n > 0 && (n & (n - 1)) == 0;
}

// Stage 1: reorders a(1..n) into bit-reversed order. Indices are 1-based as in the loop
// that defines the permutation; element i lives at a[i - 1].
void bit_reverse(std::int32_t n, cplx* a) {
  std::int32_t j = 1;
  for (std::int32_t i = 1; i <= n; ++i) {
    if (i < j) std::swap(a[i - 1], a[j - 1]);
    std::int32_t m = n / 2;
    while (j > m) {
      j -= m;
      m /= 2;
      if (m <= 1) break;
    }
    j += m;
  }
}

// Twiddle angle for position k (1-based) of a stage with half-span kmax. The order is
// fixed: the integer (k - 1) * ind as a double, times pai, then divided by kmax. The product
// is formed in 64 bits so that no `ind` can overflow it; for every product that fits in
// 32 bits the value is the same.
double twiddle_angle(std::int32_t k, std::int32_t ind, std::int32_t kmax) {
  const std::int64_t steps = std::int64_t{k - 1} * ind;
  return (static_cast<double>(steps) * pai) / static_cast<double>(kmax);
}

// One stage of butterflies with half-span kmax.
void butterfly_stage(std::int32_t n, cplx* a, std::int32_t ind, std::int32_t kmax) {
  const std::int32_t istep = 2 * kmax;
  double wr[block];
  double wi[block];
  for (std::int32_t k0 = 1; k0 <= kmax; k0 += block) {
    const std::int32_t count = std::min(block, kmax - k0 + 1);
    // w = exp((0, theta)) = (cos theta, sin theta): the same for every group, so it is
    // computed once per k rather than once per butterfly.
    for (std::int32_t b = 0; b < count; ++b) {
      const double theta = twiddle_angle(k0 + b, ind, kmax);
      wr[b] = std::cos(theta);
      wi[b] = std::sin(theta);
    }
    for (std::int32_t i0 = k0; i0 <= n; i0 += istep) {
      cplx* __restrict top = a + (i0 - 1);
      cplx* __restrict bottom = top + kmax;
      for (std::int32_t b = 0; b < count; ++b) {
        // temp = w * a(j): four products, one subtraction and one addition.
        const double tr = bottom[b].re * wr[b] - bottom[b].im * wi[b];
        const double ti = bottom[b].re * wi[b] + bottom[b].im * wr[b];
        const double ar = top[b].re;
        const double ai = top[b].im;
        bottom[b].re = ar - tr;
        bottom[b].im = ai - ti;
        top[b].re = ar + tr;
        top[b].im = ai + ti;
      }
    }
  }
}

}  // namespace

void wvfast(std::int32_t n, cplx* a, std::int32_t ind) {
  if (!is_power_of_two(n)) return;
  bit_reverse(n, a);
  for (std::int32_t kmax = 1; kmax < n; kmax *= 2) butterfly_stage(n, a, ind, kmax);
}

}  // namespace smfreq
