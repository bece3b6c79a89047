#include "transform/wvfast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace smfreq {
namespace {

constexpr double pai = 3.141592654;
constexpr std::int32_t forward = -1;
constexpr std::int32_t inverse = 1;

std::vector<cplx> reals(std::initializer_list<double> values) {
  std::vector<cplx> a;
  for (double v : values) a.push_back(cplx{v, 0.0});
  return a;
}

std::vector<cplx> random_data(std::int32_t n, std::uint64_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<cplx> a(static_cast<std::size_t>(n));
  for (cplx& c : a) c = cplx{u(gen), u(gen)};
  return a;
}

// Plain DFT with the true pi and the exponent index reduced modulo n, computed in long double.
std::vector<std::complex<long double>> naive_dft(const std::vector<cplx>& a, std::int32_t ind) {
  const auto n = static_cast<std::int64_t>(a.size());
  std::vector<std::complex<long double>> out(a.size());
  for (std::int64_t p = 0; p < n; ++p) {
    std::complex<long double> sum = 0;
    for (std::int64_t q = 0; q < n; ++q) {
      const long double angle =
          ind * 2.0L * std::numbers::pi_v<long double> * static_cast<long double>((p * q) % n) / n;
      sum += std::complex<long double>(a[q].re, a[q].im) * std::polar(1.0L, angle);
    }
    out[p] = sum;
  }
  return out;
}

// The transform exactly as first written: k outer, groups inner, the twiddle evaluated anew
// for every butterfly. The optimised routine must reproduce it bit for bit.
void literal_fft(std::int32_t n, cplx* a, std::int32_t ind) {
  std::int32_t j = 1;
  for (std::int32_t i = 1; i <= n; ++i) {
    if (i < j) {
      const cplx temp = a[j - 1];
      a[j - 1] = a[i - 1];
      a[i - 1] = temp;
    }
    std::int32_t m = n / 2;
    while (j > m) {
      j = j - m;
      m = m / 2;
      if (m <= 1) break;
    }
    j = j + m;
  }
  for (std::int32_t kmax = 1; kmax < n; kmax = 2 * kmax) {
    const std::int32_t istep = 2 * kmax;
    for (std::int32_t k = 1; k <= kmax; ++k) {
      const double theta = static_cast<double>((k - 1) * ind) * pai / kmax;
      for (std::int32_t i = k; i <= n; i += istep) {
        const std::int32_t jj = i + kmax;
        const cplx w{std::cos(theta), std::sin(theta)};
        const cplx aj = a[jj - 1];
        const cplx temp{aj.re * w.re - aj.im * w.im, aj.re * w.im + aj.im * w.re};
        const cplx ai = a[i - 1];
        a[jj - 1] = cplx{ai.re - temp.re, ai.im - temp.im};
        a[i - 1] = cplx{ai.re + temp.re, ai.im + temp.im};
      }
    }
  }
}

bool same_bits(const cplx& x, const cplx& y) {
  return std::signbit(x.re) == std::signbit(y.re) && std::signbit(x.im) == std::signbit(y.im) &&
         x.re == y.re && x.im == y.im;
}

TEST(Wvfast, LengthOneIsUnchanged) {
  for (std::int32_t ind : {forward, inverse}) {
    std::vector<cplx> a{{1.25, -3.5}};
    wvfast(1, a.data(), ind);
    EXPECT_TRUE(same_bits(a[0], cplx{1.25, -3.5}));
  }
}

TEST(Wvfast, LengthTwoIsSumAndDifference) {
  for (std::int32_t ind : {forward, inverse}) {
    std::vector<cplx> a{{0.1, 0.7}, {0.2, -0.3}};
    wvfast(2, a.data(), ind);
    EXPECT_TRUE(same_bits(a[0], cplx{0.1 + 0.2, 0.7 + -0.3}));
    EXPECT_TRUE(same_bits(a[1], cplx{0.1 - 0.2, 0.7 - -0.3}));
  }
}

// The k = 2 twiddle of a length-4 forward transform is (cos(pai/2), -sin(pai/2)), about
// (-2.05e-10, -1) rather than (0, -1); it shows in the real parts of bins 2 and 4.
TEST(Wvfast, LengthFourCarriesThePaiOffset) {
  const double c = std::cos(pai / 2);
  ASSERT_NEAR(c, -2.05e-10, 0.01e-10);

  std::vector<cplx> a = reals({1, 2, 3, 4});
  wvfast(4, a.data(), forward);
  EXPECT_TRUE(same_bits(a[0], cplx{10, 0}));
  EXPECT_TRUE(same_bits(a[1], cplx{-2.0 + -2.0 * c, 2}));
  EXPECT_TRUE(same_bits(a[2], cplx{-2, 0}));
  EXPECT_TRUE(same_bits(a[3], cplx{-2.0 - -2.0 * c, -2}));
  EXPECT_NEAR(a[1].re + 2.0, 4.10e-10, 0.01e-10);
  EXPECT_NEAR(a[3].re + 2.0, -4.10e-10, 0.01e-10);

  // The inverse direction gives the complex conjugates.
  std::vector<cplx> b = reals({1, 2, 3, 4});
  wvfast(4, b.data(), inverse);
  for (std::size_t p = 0; p < 4; ++p) {
    EXPECT_EQ(b[p].re, a[p].re) << p;
    EXPECT_EQ(b[p].im, -a[p].im) << p;
  }

  // Impulse at element 2: (1, -i, -1, i), the zero real parts of bins 2 and 4 coming out
  // as c and -c.
  std::vector<cplx> d = reals({0, 1, 0, 0});
  wvfast(4, d.data(), forward);
  EXPECT_TRUE(same_bits(d[0], cplx{1, 0}));
  EXPECT_EQ(d[1].re, c);
  EXPECT_EQ(d[1].im, -1.0);
  EXPECT_EQ(d[2].re, -1.0);
  EXPECT_EQ(d[2].im, 0.0);
  EXPECT_EQ(d[3].re, -c);
  EXPECT_EQ(d[3].im, 1.0);
}

TEST(Wvfast, ConstantInputGivesExactZerosOutsideBinOne) {
  for (std::int32_t n : {4, 8, 64, 1024}) {
    for (std::int32_t ind : {forward, inverse}) {
      std::vector<cplx> a(static_cast<std::size_t>(n), cplx{0.3, 0.0});
      wvfast(n, a.data(), ind);
      EXPECT_EQ(a[0].re, n * 0.3) << n;
      EXPECT_EQ(a[0].im, 0.0) << n;
      for (std::int32_t p = 1; p < n; ++p) {
        ASSERT_EQ(a[p].re, 0.0) << "n=" << n << " bin " << p + 1;
        ASSERT_EQ(a[p].im, 0.0) << "n=" << n << " bin " << p + 1;
      }
    }
  }
}

TEST(Wvfast, ImpulseAtElementOneGivesExactOnes) {
  for (std::int32_t n : {4, 32, 4096}) {
    for (std::int32_t ind : {forward, inverse}) {
      std::vector<cplx> a(static_cast<std::size_t>(n), cplx{0.0, 0.0});
      a[0] = cplx{1.0, 0.0};
      wvfast(n, a.data(), ind);
      for (std::int32_t p = 0; p < n; ++p) {
        ASSERT_EQ(a[p].re, 1.0) << "n=" << n << " bin " << p + 1;
        ASSERT_EQ(a[p].im, 0.0) << "n=" << n << " bin " << p + 1;
      }
    }
  }
}

// An impulse at element q must come out as exp(ind * i * 2pi (p-1)(q-1) / 8) in bin p: a
// wrong exchange in the bit-reversal stage (pairs (2,5) and (4,7) for n = 8) moves a phase.
TEST(Wvfast, ImpulsesOfLengthEightLandInTheirBins) {
  constexpr std::int32_t n = 8;
  for (std::int32_t ind : {forward, inverse}) {
    for (std::int32_t q = 0; q < n; ++q) {
      std::vector<cplx> a(n, cplx{0.0, 0.0});
      a[q] = cplx{1.0, 0.0};
      wvfast(n, a.data(), ind);
      for (std::int32_t p = 0; p < n; ++p) {
        const double angle = ind * 2.0 * std::numbers::pi * ((p * q) % n) / n;
        EXPECT_NEAR(a[p].re, std::cos(angle), 2e-9) << "q=" << q + 1 << " p=" << p + 1;
        EXPECT_NEAR(a[p].im, std::sin(angle), 2e-9) << "q=" << q + 1 << " p=" << p + 1;
      }
    }
  }
}

TEST(Wvfast, MatchesTheDftToTheTenthDigit) {
  for (std::int32_t n : {16, 256}) {
    for (std::int32_t ind : {forward, inverse}) {
      const std::vector<cplx> input = random_data(n, 7 + n);
      std::vector<cplx> a = input;
      wvfast(n, a.data(), ind);
      const auto expected = naive_dft(input, ind);
      double scale = 0;
      for (const cplx& c : input) scale += std::hypot(c.re, c.im);
      for (std::int32_t p = 0; p < n; ++p) {
        ASSERT_NEAR(a[p].re, static_cast<double>(expected[p].real()), 1e-9 * scale) << p;
        ASSERT_NEAR(a[p].im, static_cast<double>(expected[p].imag()), 1e-9 * scale) << p;
      }
    }
  }
}

TEST(Wvfast, IsBitIdenticalToTheLiteralLoop) {
  for (std::int32_t n : {2, 4, 8, 64, 128, 1024, 131072}) {
    for (std::int32_t ind : {forward, inverse}) {
      std::vector<cplx> a = random_data(n, 100 + n);
      std::vector<cplx> b = a;
      wvfast(n, a.data(), ind);
      literal_fft(n, b.data(), ind);
      for (std::int32_t p = 0; p < n; ++p) {
        ASSERT_TRUE(same_bits(a[p], b[p])) << "n=" << n << " ind=" << ind << " bin " << p + 1;
      }
    }
  }
}

TEST(Wvfast, ForwardThenInverseReturnsNTimesTheInput) {
  constexpr std::int32_t n = 1024;
  const std::vector<cplx> input = random_data(n, 42);
  std::vector<cplx> a = input;
  wvfast(n, a.data(), forward);
  wvfast(n, a.data(), inverse);
  for (std::int32_t i = 0; i < n; ++i) {
    ASSERT_NEAR(a[i].re / n, input[i].re, 2e-15) << i;
    ASSERT_NEAR(a[i].im / n, input[i].im, 2e-15) << i;
  }
}

TEST(Wvfast, TouchesNothingBeyondN) {
  std::vector<cplx> a = random_data(20, 3);
  const std::vector<cplx> before = a;
  wvfast(16, a.data(), forward);
  for (std::size_t i = 16; i < 20; ++i) EXPECT_TRUE(same_bits(a[i], before[i])) << i;
}

TEST(Wvfast, LengthsThatAreNotPowersOfTwoLeaveTheDataAlone) {
  for (std::int32_t n : {0, -4, 3, 6, 12, 1000}) {
    std::vector<cplx> a = random_data(1024, 5);
    const std::vector<cplx> before = a;
    wvfast(n, a.data(), forward);
    for (std::size_t i = 0; i < a.size(); ++i) ASSERT_TRUE(same_bits(a[i], before[i])) << n;
  }
}

}  // namespace
}  // namespace smfreq
