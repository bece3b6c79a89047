// Record selection of the waveform file: which samples get a data record.
#pragma once

#include <cstdint>

namespace smfreq {

// Records are written for i = 1 + j * step, j = 0..count - 1.
struct SampleSteps {
  std::int64_t step;
  std::int64_t count;
};

// Step and record count for the skip `answer` (samples skipped after each written one) and
// `nt` samples: step k = answer + 1, count (k - 1 + nt) / k truncated toward zero, no records
// for a count below 1. An answer of -1 (a zero step) counts as 0. `nt` <= 0 gives no records.
// A negative step writes sample 1 alone when `nt` = 1 and nothing for a larger `nt`.
SampleSteps sample_steps(std::int32_t answer, std::int32_t nt);

}  // namespace smfreq
