#include "output/skip.h"

#include <algorithm>
#include <cstdint>

namespace smfreq {

SampleSteps sample_steps(std::int32_t answer, std::int32_t nt) {
  // 64 bits: an answer of INT32_MAX gives a step of 2^31.
  std::int64_t k = std::int64_t{answer} + 1;
  // A zero step would divide by zero; it means "skip nothing", like an answer of 0.
  if (k == 0) k = 1;
  // Without samples there is nothing to write. (With a negative step the count formula would
  // be positive here and point at indices 0 and below.)
  if (nt <= 0) return SampleSteps{k, 0};
  const std::int64_t c = (k - 1 + nt) / k;
  return SampleSteps{k, std::max<std::int64_t>(c, 0)};
}

}  // namespace smfreq
