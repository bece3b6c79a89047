#include "spectral/integrate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>

namespace smfreq {
namespace {

constexpr std::int32_t nom = 9;

std::unique_ptr<RunState> spectrum(double dom, std::uint64_t seed) {
  auto s = std::make_unique<RunState>();
  s->nom = nom;
  s->dom = dom;
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-10.0, 10.0);
  for (std::int32_t i = 1; i <= nom + 1; ++i) {
    s->fx1[i] = cplx{u(gen), u(gen)};
    s->fx2[i] = cplx{u(gen), u(gen)};
    s->fx3[i] = cplx{u(gen), u(gen)};
  }
  return s;
}

bool same_bits(const cplx& x, const cplx& y) {
  return std::signbit(x.re) == std::signbit(y.re) && std::signbit(x.im) == std::signbit(y.im) &&
         x.re == y.re && x.im == y.im;
}

struct OneBinCase {
  std::int32_t nit;
  cplx expected;
};

TEST(Integration, OneAtTwoRadiansPerSecond) {
  const OneBinCase cases[] = {{1, {0.0, -0.5}}, {2, {-0.25, 0.0}}, {3, {0.0, 2.0}}};
  for (const OneBinCase& c : cases) {
    auto s = spectrum(2.0, 1);  // bin 2 at omega = 2
    s->fx1[2] = cplx{1.0, 0.0};
    s->fx2[2] = cplx{-1.0, 0.0};
    s->nit = c.nit;
    apply_integration(*s);
    EXPECT_EQ(s->fx1[2].re, c.expected.re) << c.nit;
    EXPECT_EQ(s->fx1[2].im, c.expected.im) << c.nit;
    EXPECT_EQ(s->fx2[2].re, -c.expected.re) << c.nit;
    EXPECT_EQ(s->fx2[2].im, -c.expected.im) << c.nit;
  }
}

// Bin 1 is never changed, every bin from 2 to nom is (the top one included), and nothing
// above nom is touched.
TEST(Integration, ProcessesBinsTwoToNomOnly) {
  for (std::int32_t nit : {1, 2, 3}) {
    auto s = spectrum(0.75, 2);
    auto before = spectrum(0.75, 2);
    s->nit = nit;
    apply_integration(*s);
    EXPECT_TRUE(same_bits(s->fx1[1], before->fx1[1])) << nit;
    EXPECT_TRUE(same_bits(s->fx2[1], before->fx2[1])) << nit;
    EXPECT_TRUE(same_bits(s->fx3[1], before->fx3[1])) << nit;
    for (std::int32_t i = 2; i <= nom; ++i) {
      EXPECT_FALSE(same_bits(s->fx1[i], before->fx1[i])) << nit << " bin " << i;
      EXPECT_FALSE(same_bits(s->fx3[i], before->fx3[i])) << nit << " bin " << i;
    }
    EXPECT_TRUE(same_bits(s->fx1[nom + 1], before->fx1[nom + 1])) << nit;
  }
}

TEST(Integration, OtherChoicesChangeNothing) {
  for (std::int32_t nit : {0, 4, 7, -1}) {
    auto s = spectrum(0.75, 3);
    auto before = spectrum(0.75, 3);
    s->nit = nit;
    apply_integration(*s);
    for (std::int32_t i = 1; i <= nom; ++i) {
      ASSERT_TRUE(same_bits(s->fx1[i], before->fx1[i])) << nit;
      ASSERT_TRUE(same_bits(s->fx2[i], before->fx2[i])) << nit;
      ASSERT_TRUE(same_bits(s->fx3[i], before->fx3[i])) << nit;
    }
  }
}

TEST(Integration, DoubleIntegrationIsIntegrationTwice) {
  auto twice = spectrum(0.6135923151367187, 4);
  auto once = spectrum(0.6135923151367187, 4);
  twice->nit = 2;
  apply_integration(*twice);
  once->nit = 1;
  apply_integration(*once);
  apply_integration(*once);
  for (std::int32_t i = 1; i <= nom; ++i) {
    const double size = std::hypot(twice->fx2[i].re, twice->fx2[i].im);
    EXPECT_NEAR(once->fx2[i].re, twice->fx2[i].re, 1e-15 * size) << i;
    EXPECT_NEAR(once->fx2[i].im, twice->fx2[i].im, 1e-15 * size) << i;
  }
}

TEST(Integration, ZeroBinStaysZero) {
  for (std::int32_t nit : {1, 2, 3}) {
    auto s = spectrum(0.75, 5);
    s->fx3[4] = cplx{0.0, 0.0};
    s->nit = nit;
    apply_integration(*s);
    EXPECT_EQ(s->fx3[4].re, 0.0) << nit;
    EXPECT_EQ(s->fx3[4].im, 0.0) << nit;
  }
}

}  // namespace
}  // namespace smfreq
