#include "output/window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

namespace smfreq {
namespace {

constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();
constexpr double inf = std::numeric_limits<double>::infinity();

struct TruncCase {
  double q;
  std::int32_t expected;
};

TEST(TruncToInt32, TruncatesTowardZeroAndFlagsOutOfRange) {
  const TruncCase cases[] = {
      {0.0, 0},
      {-0.0, 0},
      {2.9999999999999996, 2},
      {-0.5, 0},
      {-2.9, -2},
      {250.0, 250},
      {2147483647.0, int32_max},
      {2147483647.9, int32_max},
      {2147483648.0, int32_min},
      {-2147483648.0, int32_min},
      {-2147483648.9, int32_min},
      {-2147483649.0, int32_min},
      {1e300, int32_min},
      {-1e300, int32_min},
      {inf, int32_min},
      {-inf, int32_min},
      {std::numeric_limits<double>::quiet_NaN(), int32_min},
  };
  for (const TruncCase& c : cases) EXPECT_EQ(trunc_to_int32(c.q), c.expected) << c.q;
}

struct WindowCase {
  double stime, dur, dt;
  std::int32_t nstime, ndur;
};

TEST(WindowLimits, StartAndLengthInSamples) {
  const WindowCase cases[] = {
      {0.0, 5.0, 0.01, 0, 501},
      {2.5, 5.0, 0.01, 250, 501},
      {-0.5, 0.0, 0.01, -50, 1},
      {-0.005, -0.02, 0.01, 0, -1},
      {0.3, 0.3, 0.1, 2, 3},  // 0.3 / 0.1 is 2.9999999999999996
      {0.0, 0.0, 0.0, int32_min, int32_min + 1},
      {-1e12, 1e9, 0.01, int32_min, int32_min + 1},
      // A quotient that truncates to INT32_MAX has no room for the + 1.
      {0.0, 2147483646.0, 1.0, 0, int32_max},
      {0.0, 2147483647.0, 1.0, 0, int32_min + 1},
      {0.0, -2147483649.0, 1.0, 0, int32_min + 1},
  };
  for (const WindowCase& c : cases) {
    auto s = std::make_unique<RunState>();
    s->stime = c.stime;
    s->dur = c.dur;
    s->dt = c.dt;
    set_window_start(*s);
    set_window_length(*s);
    EXPECT_EQ(s->nstime, c.nstime) << c.stime << " / " << c.dt;
    EXPECT_EQ(s->ndur, c.ndur) << c.dur << " / " << c.dt;
  }
}

// A frame of 16 reconstructed samples (zeros after them), the last two stored positions of
// the arrays holding values too, and x1..x3 pre-filled with a marker.
class CutWindowTest : public ::testing::Test {
 protected:
  static constexpr double marker = -999.0;

  void SetUp() override {
    for (std::int32_t i = 1; i <= 16; ++i) {
      s_->xr1[i] = i;
      s_->xr2[i] = 100 + i;
      s_->xr3[i] = -i;
    }
    s_->xr1[mom - 1] = 1e6;
    s_->xr1[mom] = 2e6;
    s_->xr3[mom] = 3e6;
    for (std::int32_t i = 1; i <= 32; ++i) s_->x1[i] = s_->x2[i] = s_->x3[i] = marker;
    s_->x1[mom] = marker;
  }

  void cut(std::int32_t nstime, std::int32_t ndur) {
    s_->nstime = nstime;
    s_->ndur = ndur;
    cut_window(*s_);
    EXPECT_EQ(s_->nt, ndur);
  }

  std::unique_ptr<RunState> s_ = std::make_unique<RunState>();
};

TEST_F(CutWindowTest, TakesFrameSamplesAfterTheStart) {
  cut(3, 5);
  for (std::int32_t i = 1; i <= 5; ++i) {
    EXPECT_EQ(s_->x1[i], 3 + i);
    EXPECT_EQ(s_->x2[i], 103 + i);
    EXPECT_EQ(s_->x3[i], -(3 + i));
  }
  EXPECT_EQ(s_->x1[6], marker) << "samples after the window keep their values";
}

TEST_F(CutWindowTest, NegativeStartPutsZerosInFront) {
  cut(-2, 5);
  const double expected[] = {0, 0, 1, 2, 3};
  for (std::int32_t i = 1; i <= 5; ++i) {
    EXPECT_EQ(s_->x1[i], expected[i - 1]) << i;
    EXPECT_EQ(s_->x3[i], -expected[i - 1]) << i;
  }
  cut(-10, 5);
  for (std::int32_t i = 1; i <= 5; ++i) EXPECT_EQ(s_->x2[i], 0.0) << i;
  cut(int32_min, 5);
  for (std::int32_t i = 1; i <= 5; ++i) EXPECT_EQ(s_->x2[i], 0.0) << i;
}

TEST_F(CutWindowTest, PastTheFrameReadsZeros) {
  cut(14, 5);
  const double expected[] = {15, 16, 0, 0, 0};
  for (std::int32_t i = 1; i <= 5; ++i) EXPECT_EQ(s_->x1[i], expected[i - 1]) << i;
}

TEST_F(CutWindowTest, PastTheCapacityReadsZeros) {
  cut(mom - 2, 5);
  const double expected[] = {1e6, 2e6, 0, 0, 0};
  for (std::int32_t i = 1; i <= 5; ++i) EXPECT_EQ(s_->x1[i], expected[i - 1]) << i;
  EXPECT_EQ(s_->x3[2], 3e6);

  cut(int32_max, 5);  // i + nstime beyond 32 bits
  for (std::int32_t i = 1; i <= 5; ++i) EXPECT_EQ(s_->x1[i], 0.0) << i;
}

TEST_F(CutWindowTest, LongerThanTheCapacityStoresUpToIt) {
  cut(0, mom + 10);
  EXPECT_EQ(s_->x1[16], 16.0);
  EXPECT_EQ(s_->x1[17], 0.0);
  EXPECT_EQ(s_->x1[mom], 2e6);

  cut(5, int32_max);
  EXPECT_EQ(s_->x1[1], 6.0);
  EXPECT_EQ(s_->x1[mom], 0.0);
}

TEST_F(CutWindowTest, EmptyWindowOnlySetsNt) {
  for (std::int32_t ndur : {0, -1, int32_min + 1}) {
    cut(0, ndur);
    EXPECT_EQ(s_->x1[1], marker) << ndur;
  }
}

}  // namespace
}  // namespace smfreq
