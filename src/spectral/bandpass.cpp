#include "spectral/bandpass.h"

#include <cstdint>

namespace smfreq {
namespace {

struct Corners {
  double oml1, oml2, omh1, omh2;
};

// Gain of a bin at angular frequency omega, before the bin rules that zero it outright.
// Where both ramps apply, the falling one is computed last and wins.
//
// Each ramp divides by the width of its pair of corners. That width is zero only when the
// two corners are equal, and the ramp then applies only to bins strictly beyond the corner,
// bins that have already been set to zero: those get gain 0 (a sharp cut) rather than an
// infinite gain that would make 0 * inf = NaN. Every other bin keeps the ramp value exactly.
double gain(double omega, const Corners& c) {
  double aa = 1.0;
  if (omega < c.oml2) aa = (c.oml2 == c.oml1) ? 0.0 : (omega - c.oml1) / (c.oml2 - c.oml1);
  if (omega > c.omh1) aa = (c.omh2 == c.omh1) ? 0.0 : (c.omh2 - omega) / (c.omh2 - c.omh1);
  return aa;
}

void set_zero(RunState& s, std::int32_t i) {
  s.fx1[i] = cplx{0.0, 0.0};
  s.fx2[i] = cplx{0.0, 0.0};
  s.fx3[i] = cplx{0.0, 0.0};
}

cplx scaled(cplx v, double aa) {
  return cplx{v.re * aa, v.im * aa};
}

}  // namespace

void apply_bandpass(RunState& s) {
  s.oml1 = s.fl1 * twopi;
  s.oml2 = s.fl2 * twopi;
  s.omh1 = s.fh1 * twopi;
  s.omh2 = s.fh2 * twopi;
  const Corners c{s.oml1, s.oml2, s.omh1, s.omh2};

  const std::int32_t nom = s.nom;
  for (std::int32_t i = 1; i <= nom; ++i) {
    const double omega = static_cast<double>(i - 1) * s.dom;
    if (omega < c.oml1) set_zero(s, i);
    if (omega > c.omh2) set_zero(s, i);
    // The gain is applied to every bin, zeroed ones included (they stay zero).
    const double aa = gain(omega, c);
    s.fx1[i] = scaled(s.fx1[i], aa);
    s.fx2[i] = scaled(s.fx2[i], aa);
    s.fx3[i] = scaled(s.fx3[i], aa);
  }
}

}  // namespace smfreq
