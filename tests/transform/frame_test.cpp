#include "transform/frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>
#include <random>

#include "spectral/integrate.h"

namespace smfreq {
namespace {

constexpr double two_pi = 6.283185307;

struct LengthCase {
  std::int32_t nt;
  bool ok;
  std::int32_t nf;
  std::int32_t if1;
};

TEST(ChooseLength, PicksTheLeastPowerOfTwoFromFourTo131072) {
  const LengthCase cases[] = {
      {std::numeric_limits<std::int32_t>::min(), true, 4, 2},
      {-5, true, 4, 2},
      {0, true, 4, 2},
      {1, true, 4, 2},
      {2, true, 4, 2},
      {3, true, 4, 2},
      {4, true, 4, 2},
      {5, true, 8, 3},
      {1000, true, 1024, 10},
      {1024, true, 1024, 10},
      {1025, true, 2048, 11},
      {131072, true, 131072, 17},
      {131073, false, 131072, -1},
      {132000, false, 131072, -1},
      {std::numeric_limits<std::int32_t>::max(), false, 131072, -1},
  };
  for (const LengthCase& c : cases) {
    auto s = std::make_unique<RunState>();
    s->nt = c.nt;
    s->if1 = -1;
    EXPECT_EQ(choose_length(*s), c.ok) << "nt=" << c.nt;
    EXPECT_EQ(s->nf, c.nf) << "nt=" << c.nt;
    EXPECT_EQ(s->if1, c.if1) << "nt=" << c.nt;
  }
}

// A state holding nt samples of three different random channels, with the length chosen.
std::unique_ptr<RunState> random_record(std::int32_t nt, double dt, std::uint64_t seed) {
  auto s = std::make_unique<RunState>();
  s->nt = nt;
  s->dt = dt;
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-100.0, 100.0);
  for (std::int32_t i = 1; i <= nt; ++i) {
    s->xr1[i] = u(gen);
    s->xr2[i] = u(gen) * 1e-6;
    s->xr3[i] = u(gen) * 1e6;
  }
  EXPECT_TRUE(choose_length(*s));
  return s;
}

TEST(ForwardHalf, SetsTheSpectralGrid) {
  auto s = random_record(1000, 0.01, 1);
  forward_half(*s);
  EXPECT_EQ(s->if1, 10);
  EXPECT_EQ(s->nf, 1024);
  EXPECT_EQ(s->dur, 10.24);
  EXPECT_EQ(s->dom, 0.6135923151367187);
  EXPECT_EQ(s->nom, 513);
  EXPECT_EQ(s->eom, 314.7728576651367);
  EXPECT_EQ(s->eom / two_pi, 50.09765625);
}

TEST(ForwardHalf, PadsWithZerosWhateverTheSpectraHeld) {
  for (std::int32_t nt : {-3, 0, 3}) {
    auto s = std::make_unique<RunState>();
    s->nt = nt;
    s->dt = 0.5;
    for (std::int32_t i = 1; i <= 3; ++i) s->xr1[i] = s->xr2[i] = s->xr3[i] = i;
    for (std::int32_t i = 1; i <= 8; ++i) s->fx1[i] = s->fx2[i] = s->fx3[i] = cplx{9, 9};
    ASSERT_TRUE(choose_length(*s));
    forward_half(*s);
    // Bin 1 is dt times the sum of the filled samples; bins past nf are not written.
    const double sum = nt > 0 ? 6.0 * 0.5 : 0.0;
    EXPECT_EQ(s->fx1[1].re, sum) << nt;
    EXPECT_EQ(s->fx3[1].re, sum) << nt;
    EXPECT_EQ(s->fx2[5].re, 9.0) << nt;
    if (nt <= 0) {
      for (std::int32_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(s->fx1[i].re, 0.0) << nt;
        EXPECT_EQ(s->fx1[i].im, 0.0) << nt;
      }
    }
  }
}

// The bins are multiplied by the complex (dt, 0), not part by part: an infinite sample
// makes every bin (inf, 0) after the transform, and inf * 0 turns the imaginary parts NaN.
TEST(ForwardHalf, ScalesAsTheComplexProductWithDt) {
  auto s = std::make_unique<RunState>();
  s->nt = 1;
  s->dt = 0.5;
  s->xr1[1] = std::numeric_limits<double>::infinity();
  s->xr2[1] = 3.0;
  ASSERT_TRUE(choose_length(*s));
  forward_half(*s);
  for (std::int32_t i = 1; i <= 4; ++i) {
    EXPECT_EQ(s->fx1[i].re, std::numeric_limits<double>::infinity()) << i;
    EXPECT_TRUE(std::isnan(s->fx1[i].im)) << i;
    EXPECT_EQ(s->fx2[i].re, 1.5) << i;
    EXPECT_EQ(s->fx2[i].im, 0.0) << i;
  }
}

// The transformed bins are scaled, not the samples: for these values the two orders give
// different bits in bin 1.
TEST(ForwardHalf, ScalesTheTransformedBins) {
  auto s = std::make_unique<RunState>();
  s->nt = 2;
  s->dt = 0.01;
  s->xr1[1] = 0.3;
  s->xr1[2] = 0.6;
  ASSERT_NE((0.3 + 0.6) * 0.01, 0.3 * 0.01 + 0.6 * 0.01);
  ASSERT_TRUE(choose_length(*s));
  forward_half(*s);
  EXPECT_EQ(s->fx1[1].re, (0.3 + 0.6) * 0.01);
}

// The inverse transform of bin 1 alone is that value in every sample; the division by dur
// (not a product with its reciprocal) decides the last bit here.
TEST(ReturnHalf, DividesByTheFrameLength) {
  auto s = std::make_unique<RunState>();
  s->nt = 4;
  s->nf = 4;
  s->dur = 4 * 0.01;
  s->fx2[1] = cplx{1.1, 0.0};
  ASSERT_NE(1.1 / s->dur, 1.1 * (1.0 / s->dur));
  return_half(*s);
  for (std::int32_t i = 1; i <= 4; ++i) {
    EXPECT_EQ(s->xr2[i], 1.1 / s->dur) << i;
    EXPECT_EQ(s->x2[i], 1.1 / s->dur) << i;
  }
}

TEST(ForwardHalf, ZeroIntervalGivesZeroBinsAndAnInfiniteStep) {
  auto s = random_record(10, 0.0, 2);
  forward_half(*s);
  EXPECT_EQ(s->dur, 0.0);
  EXPECT_EQ(s->dom, std::numeric_limits<double>::infinity());
  EXPECT_EQ(s->nom, 9);
  for (std::int32_t i = 1; i <= s->nf; ++i) EXPECT_EQ(std::abs(s->fx1[i].re), 0.0) << i;
}

TEST(FrameRoundTrip, ReturnsTheInputWithoutProcessing) {
  for (std::int32_t nt : {1, 4, 1000, 1024, 1025}) {
    auto s = random_record(nt, 0.01, 10 + nt);
    double top1 = 0, top2 = 0, top3 = 0;
    for (std::int32_t i = 1; i <= nt; ++i) {
      top1 = std::max(top1, std::abs(s->xr1[i]));
      top2 = std::max(top2, std::abs(s->xr2[i]));
      top3 = std::max(top3, std::abs(s->xr3[i]));
    }
    auto copy = std::make_unique<RunState>();
    for (std::int32_t i = 1; i <= nt; ++i) {
      copy->xr1[i] = s->xr1[i];
      copy->xr2[i] = s->xr2[i];
      copy->xr3[i] = s->xr3[i];
    }
    s->xr1[s->nf + 1] = 77.0;  // beyond the frame: never written
    s->fx1[s->nf + 1] = cplx{77.0, 77.0};
    forward_half(*s);
    return_half(*s);
    for (std::int32_t i = 1; i <= nt; ++i) {
      ASSERT_NEAR(s->x1[i], copy->xr1[i], 5e-9 * top1) << "nt=" << nt << " i=" << i;
      ASSERT_NEAR(s->x2[i], copy->xr2[i], 5e-9 * top2) << "nt=" << nt << " i=" << i;
      ASSERT_NEAR(s->x3[i], copy->xr3[i], 5e-9 * top3) << "nt=" << nt << " i=" << i;
      ASSERT_EQ(s->x1[i], s->xr1[i]);
    }
    for (std::int32_t i = nt + 1; i <= s->nf; ++i) {
      ASSERT_LT(std::abs(s->xr1[i]), 1e-9 * top1) << "nt=" << nt << " i=" << i;
      ASSERT_EQ(s->x1[i], 0.0) << "x past nt is not written";
    }
    EXPECT_EQ(s->xr1[s->nf + 1], 77.0);
    EXPECT_EQ(s->fx1[s->nf + 1].re, 77.0);
    EXPECT_EQ(s->fx1[s->nf + 1].im, 77.0);
  }
}

// Only bins 1..nom and their real parts at 1 and nom decide the result: the imaginary parts
// of bins 1 and nom and whatever the upper bins held must not change a single bit.
TEST(ReturnHalf, IgnoresUpperBinsAndImaginaryPartsOfBinsOneAndNom) {
  auto clean = random_record(64, 0.02, 3);
  auto noisy = random_record(64, 0.02, 3);
  forward_half(*clean);
  forward_half(*noisy);
  const std::int32_t nf = clean->nf;
  const std::int32_t nom = clean->nom;
  for (auto* s : {clean.get(), noisy.get()}) {
    for (auto* fx : {&s->fx1, &s->fx2, &s->fx3}) {
      (*fx)[1].im = 0.0;
      (*fx)[nom].im = 0.0;
    }
  }
  for (auto* fx : {&noisy->fx1, &noisy->fx2, &noisy->fx3}) {
    (*fx)[1].im = 123.456;
    (*fx)[nom].im = -7.5e3;
    for (std::int32_t i = nom + 1; i <= nf; ++i) (*fx)[i] = cplx{1e5, -1e5};
  }
  return_half(*clean);
  return_half(*noisy);
  for (std::int32_t i = 1; i <= nf; ++i) {
    ASSERT_EQ(clean->xr1[i], noisy->xr1[i]) << i;
    ASSERT_EQ(clean->xr2[i], noisy->xr2[i]) << i;
    ASSERT_EQ(clean->xr3[i], noisy->xr3[i]) << i;
  }
}

// A sine acceleration with a whole number of periods in the frame, integrated or
// differentiated in the frequency domain, against the analytic result. The transform's
// value of pi leaks about 1e-10 of the sine into every other bin; differentiation weights
// that leak by up to (Nyquist / sine frequency), about 40 here, hence its wider tolerance.
struct SineCase {
  std::int32_t nit;
  double (*expected)(double amplitude, double w, double t);
  double tolerance;  // relative to the peak of the expected signal
};

TEST(FrameRoundTrip, SineIntegratesAndDifferentiatesAnalytically) {
  constexpr std::int32_t nf = 1024;
  constexpr double dt = 0.01;
  constexpr double amplitude = 3.0;
  const double w = 2.0 * std::numbers::pi * 12.0 / (nf * dt);  // 12 periods in the frame
  const SineCase cases[] = {
      {1, [](double a, double w, double t) { return -a / w * std::cos(w * t); }, 5e-9},
      {2, [](double a, double w, double t) { return -a / (w * w) * std::sin(w * t); }, 5e-9},
      {3, [](double a, double w, double t) { return a * w * std::cos(w * t); }, 5e-8},
  };
  for (const SineCase& c : cases) {
    auto s = std::make_unique<RunState>();
    s->nt = nf;
    s->dt = dt;
    for (std::int32_t i = 1; i <= nf; ++i) {
      const double t = (i - 1) * dt;
      s->xr1[i] = amplitude * std::sin(w * t);
      s->xr2[i] = -s->xr1[i];
    }
    ASSERT_TRUE(choose_length(*s));
    forward_half(*s);
    s->nit = c.nit;
    apply_integration(*s);
    return_half(*s);
    double peak = 0;
    double worst = 0;
    for (std::int32_t i = 1; i <= nf; ++i) {
      const double want = c.expected(amplitude, w, (i - 1) * dt);
      peak = std::max(peak, std::abs(want));
      worst = std::max(worst, std::abs(s->x1[i] - want));
      ASSERT_EQ(s->x2[i], -s->x1[i]) << i;
      ASSERT_EQ(s->x3[i], 0.0) << i;
    }
    EXPECT_LT(worst, c.tolerance * peak) << "nit=" << c.nit;
  }
}

}  // namespace
}  // namespace smfreq
