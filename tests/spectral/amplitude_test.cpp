#include "spectral/amplitude.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace smfreq {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(BinFrequency, RunsFromZeroToNyquist) {
  const double dom = 6.283185307 / 10.24;  // nf = 1024 at dt = 0.01
  EXPECT_EQ(bin_frequency(1, dom), 0.0);
  EXPECT_DOUBLE_EQ(bin_frequency(2, dom), 1.0 / 10.24);
  EXPECT_DOUBLE_EQ(bin_frequency(513, dom), 50.0);
  // Multiplication first, then the division by the constant.
  EXPECT_EQ(bin_frequency(300, 0.1), (299 * 0.1) / 6.283185307);
  EXPECT_TRUE(std::isfinite(bin_frequency(std::numeric_limits<std::int32_t>::min(), dom)));
}

struct ModulusCase {
  cplx z;
  double expected;
};

TEST(Modulus, IsSafeFromOverflowAndUnderflow) {
  const ModulusCase cases[] = {
      {{3.0, 4.0}, 5.0},
      {{-3.0, -4.0}, 5.0},
      {{0.0, -2.5}, 2.5},
      {{1e300, 1e300}, 1.4142135623730951e300},
      {{1e-300, -1e-300}, 1.4142135623730951e-300},
      {{5e-324, 0.0}, 5e-324},
      {{std::numeric_limits<double>::max(), 1.0}, std::numeric_limits<double>::max()},
      {{-inf, 0.0}, inf},
      {{1.0, inf}, inf},
      {{inf, nan}, inf},
  };
  for (const ModulusCase& c : cases) {
    EXPECT_DOUBLE_EQ(modulus(c.z), c.expected) << c.z.re << ", " << c.z.im;
  }
}

TEST(Modulus, ZeroIsExactlyPositiveZero) {
  for (cplx z : {cplx{0.0, 0.0}, cplx{-0.0, 0.0}, cplx{0.0, -0.0}, cplx{-0.0, -0.0}}) {
    EXPECT_EQ(modulus(z), 0.0);
    EXPECT_FALSE(std::signbit(modulus(z)));
  }
}

TEST(Modulus, NanWithoutInfinityIsNan) {
  EXPECT_TRUE(std::isnan(modulus(cplx{nan, 1.0})));
  EXPECT_TRUE(std::isnan(modulus(cplx{0.0, nan})));
}

}  // namespace
}  // namespace smfreq
