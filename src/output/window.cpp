#include "output/window.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace smfreq {
namespace {

constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

// Exclusive bounds of the doubles whose truncation fits in 32 bits (both exact doubles).
constexpr double above_int32_max = 2147483648.0;
constexpr double below_int32_min = -2147483649.0;

// Frame sample p of xr, zero outside the stored positions 1..mom.
double frame_sample(const WorkArray<double>& xr, std::int64_t p) {
  if (p < 1 || p > mom) return 0.0;
  return xr[static_cast<std::int32_t>(p)];
}

}  // namespace

std::int32_t trunc_to_int32(double q) {
  // Written so that NaN fails the test; only then is the conversion defined.
  if (q > below_int32_min && q < above_int32_max) return static_cast<std::int32_t>(q);
  return int32_min;
}

void set_window_start(RunState& s) {
  s.nstime = trunc_to_int32(s.stime / s.dt);
}

void set_window_length(RunState& s) {
  std::int32_t samples = trunc_to_int32(s.dur / s.dt);
  if (samples == int32_max) samples = int32_min;  // no room for the + 1
  s.ndur = samples + 1;
}

void cut_window(RunState& s) {
  const std::int32_t stored = std::min(s.ndur, mom);
  for (std::int32_t i = 1; i <= stored; ++i) {
    const std::int64_t p = std::int64_t{i} + s.nstime;
    s.x1[i] = frame_sample(s.xr1, p);
    s.x2[i] = frame_sample(s.xr2, p);
    s.x3[i] = frame_sample(s.xr3, p);
  }
  s.nt = s.ndur;
}

}  // namespace smfreq
