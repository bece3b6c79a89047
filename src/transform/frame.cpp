#include "transform/frame.h"

#include <algorithm>
#include <cstdint>

#include "transform/wvfast.h"

namespace smfreq {
namespace {

// Longest doubling search: 2 doubled 16 times is `max_nf`.
constexpr std::int32_t max_if1 = 17;

constexpr std::int32_t forward = -1;
constexpr std::int32_t inverse = 1;

// Samples 1..nt as real values, then zeros up to nf. A non-positive `nt` fills zeros only.
void fill(const WorkArray<double>& xr, WorkArray<cplx>& fx, std::int32_t nt, std::int32_t nf) {
  const std::int32_t filled = std::min(std::max(nt, 0), nf);
  for (std::int32_t i = 1; i <= filled; ++i) fx[i] = cplx{xr[i], 0.0};
  for (std::int32_t i = filled + 1; i <= nf; ++i) fx[i] = cplx{0.0, 0.0};
}

// Multiplies bins 1..nf by the complex (dt, 0), written out as the full complex product.
// For finite bins this is a plain scaling of both parts, but an infinite or NaN part also
// meets the zero imaginary part of the factor (inf * 0 is NaN), and the result must keep
// that: the product is not simplified to re * dt, im * dt.
void scale_by_dt(WorkArray<cplx>& fx, std::int32_t nf, double dt) {
  constexpr double zero = 0.0;
  for (std::int32_t i = 1; i <= nf; ++i) {
    const cplx v = fx[i];
    fx[i] = cplx{v.re * dt - v.im * zero, v.re * zero + v.im * dt};
  }
}

// Bins nf/2 + 2..nf become the conjugates of bins nf/2..2. Bins 1 and nom are left alone:
// their imaginary parts reach only the imaginary parts of the inverse transform.
void mirror_conjugates(WorkArray<cplx>& fx, std::int32_t nf) {
  for (std::int32_t i = 2; i <= nf / 2; ++i) fx[nf - i + 2] = cplx{fx[i].re, -fx[i].im};
}

// Real parts divided by dur (not multiplied by its reciprocal: the quotient is what
// reproduces the input to the last bit).
void take_real_parts(const WorkArray<cplx>& fx, WorkArray<double>& xr, std::int32_t nf,
                     double dur) {
  for (std::int32_t i = 1; i <= nf; ++i) xr[i] = fx[i].re / dur;
}

void copy_samples(const WorkArray<double>& xr, WorkArray<double>& x, std::int32_t count) {
  for (std::int32_t i = 1; i <= count; ++i) x[i] = xr[i];
}

}  // namespace

bool choose_length(RunState& s) {
  std::int32_t nf = 2;
  for (std::int32_t i = 2; i <= max_if1; ++i) {
    nf += nf;
    if (nf >= s.nt) {
      s.nf = nf;
      s.if1 = i;
      return true;
    }
  }
  s.nf = nf;
  return false;
}

void forward_half(RunState& s) {
  fill(s.xr1, s.fx1, s.nt, s.nf);
  fill(s.xr2, s.fx2, s.nt, s.nf);
  fill(s.xr3, s.fx3, s.nt, s.nf);

  wvfast(s.nf, s.fx1.data(), forward);
  wvfast(s.nf, s.fx2.data(), forward);
  wvfast(s.nf, s.fx3.data(), forward);

  // Scaling the transformed bins (not the samples) by dt is part of the bit-exact result.
  s.dur = static_cast<double>(s.nf) * s.dt;
  scale_by_dt(s.fx1, s.nf, s.dt);
  scale_by_dt(s.fx2, s.nf, s.dt);
  scale_by_dt(s.fx3, s.nf, s.dt);

  s.dom = twopi / s.dur;
  s.nom = s.nf / 2 + 1;
  s.eom = static_cast<double>(s.nom) * s.dom;
}

void return_half(RunState& s) {
  mirror_conjugates(s.fx1, s.nf);
  mirror_conjugates(s.fx2, s.nf);
  mirror_conjugates(s.fx3, s.nf);

  wvfast(s.nf, s.fx1.data(), inverse);
  wvfast(s.nf, s.fx2.data(), inverse);
  wvfast(s.nf, s.fx3.data(), inverse);

  take_real_parts(s.fx1, s.xr1, s.nf, s.dur);
  take_real_parts(s.fx2, s.xr2, s.nf, s.dur);
  take_real_parts(s.fx3, s.xr3, s.nf, s.dur);

  const std::int32_t count = std::min(std::max(s.nt, 0), s.nf);
  copy_samples(s.xr1, s.x1, count);
  copy_samples(s.xr2, s.x2, count);
  copy_samples(s.xr3, s.x3, count);
}

}  // namespace smfreq
