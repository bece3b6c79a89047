#include "spectral/integrate.h"

#include <cstdint>

namespace smfreq {
namespace {

// Each operation is written out part by part rather than as a general complex division:
// a division through the squared modulus of the divisor would differ in the last bit.

// Divide by (0, omega).
cplx integrate_once(cplx v, double omega) {
  return cplx{v.im / omega, -v.re / omega};
}

// Divide by (-omega^2, 0), with omega^2 rounded once.
cplx integrate_twice(cplx v, double omega) {
  const double w2 = omega * omega;
  return cplx{v.re / -w2, v.im / -w2};
}

// Multiply by (0, omega).
cplx differentiate(cplx v, double omega) {
  return cplx{-(omega * v.im), omega * v.re};
}

template <class Op>
void for_each_bin(RunState& s, Op op) {
  const std::int32_t nom = s.nom;
  for (std::int32_t i = 2; i <= nom; ++i) {
    const double omega = static_cast<double>(i - 1) * s.dom;
    s.fx1[i] = op(s.fx1[i], omega);
    s.fx2[i] = op(s.fx2[i], omega);
    s.fx3[i] = op(s.fx3[i], omega);
  }
}

}  // namespace

void apply_integration(RunState& s) {
  switch (s.nit) {
    case 1:
      for_each_bin(s, integrate_once);
      break;
    case 2:
      for_each_bin(s, integrate_twice);
      break;
    case 3:
      for_each_bin(s, differentiate);
      break;
    default:
      break;
  }
}

}  // namespace smfreq
