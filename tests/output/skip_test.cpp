#include "output/skip.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace smfreq {
namespace {

constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

struct SkipCase {
  std::int32_t answer;
  std::int32_t nt;
  std::int64_t step;
  std::int64_t count;
};

TEST(SampleSteps, StepAndRecordCount) {
  const SkipCase cases[] = {
      {0, 1000, 1, 1000},
      {1, 1000, 2, 500},
      {2, 1000, 3, 334},
      {999, 1000, 1000, 1},
      {5000, 1000, 5001, 1},
      {int32_max, 1000, 2147483648LL, 1},
      {int32_max, int32_max, 2147483648LL, 1},
      {0, int32_max, 1, int32_max},
      {-1, 1000, 1, 1000},  // a zero step counts as no skipping
      {0, 1, 1, 1},
      {7, 1, 8, 1},
      // Negative steps: sample 1 alone for nt = 1, nothing for more samples.
      {-2, 1, -1, 1},
      {-5, 1, -4, 1},
      {int32_min, 1, int32_min + 1, 1},
      {-2, 2, -1, 0},
      {-2, 1000, -1, 0},
      {-3, 5, -2, 0},
      {int32_min, int32_max, int32_min + 1, 0},
      // No samples: no records, whatever the step.
      {0, 0, 1, 0},
      {3, -7, 4, 0},
      {-2, 0, -1, 0},
      {-3, -5, -2, 0},
      {int32_min, int32_min, int32_min + 1, 0},
  };
  for (const SkipCase& c : cases) {
    const SampleSteps got = sample_steps(c.answer, c.nt);
    EXPECT_EQ(got.step, c.step) << "answer " << c.answer << ", nt " << c.nt;
    EXPECT_EQ(got.count, c.count) << "answer " << c.answer << ", nt " << c.nt;
  }
}

// For a positive step the records are exactly the samples 1, 1 + k, ... up to nt.
TEST(SampleSteps, PositiveStepsCoverOneToNt) {
  for (std::int32_t nt : {1, 2, 3, 10, 999, 1000, 1001}) {
    for (std::int32_t answer : {0, 1, 2, 3, 9, 998, 999, 1000}) {
      const SampleSteps got = sample_steps(answer, nt);
      ASSERT_GE(got.count, 1);
      const std::int64_t last = 1 + (got.count - 1) * got.step;
      EXPECT_LE(last, nt) << answer << " " << nt;
      EXPECT_GT(last + got.step, nt) << answer << " " << nt;
    }
  }
}

}  // namespace
}  // namespace smfreq
