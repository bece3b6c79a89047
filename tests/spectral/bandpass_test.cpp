#include "spectral/bandpass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace smfreq {
namespace {

constexpr double two_pi = 6.283185307;

// Eleven bins at 0, 1, ..., 10 Hz: with dom = 2pi, bin i's angular frequency (i - 1) * dom
// is the same double as a corner of (i - 1) Hz, so bins lie exactly on integer corners.
// The three channels hold different values so that each one's gain shows.
class BandpassTest : public ::testing::Test {
 protected:
  static constexpr std::int32_t nom = 11;
  static constexpr cplx v1{1.0, -1.0};
  static constexpr cplx v2{2.0, 0.5};
  static constexpr cplx v3{-3.0, 4.0};
  static constexpr cplx above{5.0, 6.0};

  void SetUp() override { reset(); }

  // Fresh spectra for the next case of a table.
  void reset() {
    s_->nom = nom;
    s_->dom = two_pi;
    for (std::int32_t i = 1; i <= nom; ++i) {
      s_->fx1[i] = v1;
      s_->fx2[i] = v2;
      s_->fx3[i] = v3;
    }
    s_->fx1[nom + 1] = above;
  }

  // Filters with the given corners (Hz) and returns the gain of each bin, checking that
  // all three channels got the same gain and that the bin above nom was left alone.
  std::vector<double> gains(double fl1, double fl2, double fh1, double fh2) {
    s_->fl1 = fl1;
    s_->fl2 = fl2;
    s_->fh1 = fh1;
    s_->fh2 = fh2;
    apply_bandpass(*s_);
    std::vector<double> g;
    for (std::int32_t i = 1; i <= nom; ++i) {
      const double aa = s_->fx1[i].re;
      EXPECT_EQ(s_->fx1[i].im, -aa) << "bin " << i;
      EXPECT_EQ(s_->fx2[i].re, 2.0 * aa) << "bin " << i;
      EXPECT_EQ(s_->fx2[i].im, 0.5 * aa) << "bin " << i;
      EXPECT_EQ(s_->fx3[i].re, -3.0 * aa) << "bin " << i;
      EXPECT_EQ(s_->fx3[i].im, 4.0 * aa) << "bin " << i;
      g.push_back(aa);
    }
    EXPECT_EQ(s_->fx1[nom + 1].re, above.re);
    EXPECT_EQ(s_->fx1[nom + 1].im, above.im);
    return g;
  }

  std::unique_ptr<RunState> s_ = std::make_unique<RunState>();
};

struct FilterCase {
  std::string name;
  double fl1, fl2, fh1, fh2;
  std::vector<double> expected;  // gain of bins at 0..10 Hz
};

// 0 and 1 are checked exactly; ramp values to rounding.
void expect_gains(const std::vector<double>& got, const FilterCase& c) {
  ASSERT_EQ(got.size(), c.expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    const double want = c.expected[i];
    if (want == 0.0 || want == 1.0) {
      EXPECT_EQ(got[i], want) << c.name << ", bin at " << i << " Hz";
    } else {
      EXPECT_NEAR(got[i], want, 1e-12) << c.name << ", bin at " << i << " Hz";
    }
  }
}

TEST_F(BandpassTest, GainFollowsTheCorners) {
  const FilterCase cases[] = {
      {"0 Hz lower corners keep bin 1", 0, 0, 10, 20, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {"bin 1 on the lower stop corner", 0, 1, 10, 20, {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {"bins on every corner", 2, 4, 6, 8, {0, 0, 0, .5, 1, 1, 1, .5, 0, 0, 0}},
      {"fh2 above the top bin", 0, 0, 6, 14, {1, 1, 1, 1, 1, 1, 1, .875, .75, .625, .5}},
      {"upper corners at the top bin", 0, 0, 10, 10, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
      {"all corners above the top", 20, 21, 22, 23, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"reversed lower pair cuts at fl1", 5, 3, 8, 9, {0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0}},
      {"ramps overlap", 0, 8, 2, 10, {0, .125, .25, .875, .75, .625, .5, .375, .25, .125, 0}},
  };
  for (const FilterCase& c : cases) {
    reset();
    expect_gains(gains(c.fl1, c.fl2, c.fh1, c.fh2), c);
  }
}

// Equal corners would divide by a zero ramp width for the bins beyond them; those bins are
// cut sharply to zero instead of becoming NaN (a NaN fails the comparison with 0).
TEST_F(BandpassTest, ZeroWidthRampsCutSharply) {
  const FilterCase cases[] = {
      {"lower pair equal", 3, 3, 8, 9, {0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0}},
      {"upper pair equal", 0, 1, 6, 6, {0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0}},
      {"both pairs equal", 3, 3, 6, 6, {0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0}},
      {"equal pairs between bins", 2.5, 2.5, 6.5, 6.5, {0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0}},
      {"one band of a single bin", 4, 4, 4, 4, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
      // Corners this large overflow to inf in rad/s: each pair is equal, its width NaN.
      {"pairs equal at inf", 1e308, 1.1e308, 1.2e308, 1.5e308, std::vector<double>(nom, 0.0)},
  };
  for (const FilterCase& c : cases) {
    reset();
    expect_gains(gains(c.fl1, c.fl2, c.fh1, c.fh2), c);
  }
}

TEST_F(BandpassTest, ConvertsCornersWithTheTenDigitTwoPi) {
  gains(0.5, 1.0, 20.0, 25.0);
  EXPECT_EQ(s_->oml1, 0.5 * 6.283185307);
  EXPECT_EQ(s_->oml2, 6.283185307);
  EXPECT_EQ(s_->omh1, 20.0 * 6.283185307);
  EXPECT_EQ(s_->omh2, 25.0 * 6.283185307);
}

}  // namespace
}  // namespace smfreq
