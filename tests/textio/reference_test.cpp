// The quick paths of the number reader and renderer against the C library, on many
// random values: every result must be the correctly rounded one, bit for bit.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "textio/listin.h"
#include "textio/render.h"
#include "textio_fixture.h"

namespace smfreq::textio {
namespace {

// A random decimal in the forms records hold: up to 17 digits, a point anywhere,
// sometimes an exponent.
std::string random_decimal(std::mt19937_64& g) {
  std::string s;
  if (g() % 2) s += '-';
  const int digits = 1 + static_cast<int>(g() % 17);
  const int point = static_cast<int>(g() % (digits + 1));
  for (int i = 0; i < digits; ++i) {
    if (i == point) s += '.';
    s += static_cast<char>('0' + g() % 10);
  }
  if (g() % 4 == 0) {
    s += (g() % 2) ? 'e' : 'E';
    const int e = static_cast<int>(g() % 60) - 30;
    s += std::to_string(e);
  }
  return s;
}

TEST_F(TextIoTest, ReadingAgreesWithStrtod) {
  std::mt19937_64 g(20261211);
  for (int block = 0; block < 200; ++block) {
    std::string text;
    std::vector<double> want;
    for (int i = 0; i < 430; ++i) {
      std::string d = random_decimal(g);
      want.push_back(std::strtod(d.c_str(), nullptr));
      text += d;
      text += (i % 43 == 42) ? "\n" : (g() % 2 ? "," : " ");
    }
    input(text);
    std::vector<double> got(want.size());
    for (std::size_t r = 0; r < 10; ++r) ASSERT_TRUE(read_list_doubles(5, &got[r * 43], 43, true));
    for (std::size_t i = 0; i < want.size(); ++i) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(got[i]), std::bit_cast<std::uint64_t>(want[i]))
          << "value " << i << " of block " << block;
    }
  }
}

// A random double: raw bit patterns, ratios of integers and values with few digits.
double random_double(std::mt19937_64& g, int kind) {
  switch (kind) {
    case 0:
      return std::bit_cast<double>(g());
    case 1:
      return static_cast<double>(g() % 2000000000) / static_cast<double>(1 + g() % 100000);
    case 2:
      return std::ldexp(static_cast<double>(g() >> 11), static_cast<int>(g() % 200) - 150);
    default:
      return static_cast<double>(g() % 100000000) * 1e-5 + 5e-6;  // near rounding ties
  }
}

TEST(Render, AgreesWithPrintf) {
  std::mt19937_64 g(7);
  for (int i = 0; i < 400000; ++i) {
    const double v = random_double(g, i % 4);
    if (!std::isfinite(v)) continue;
    char buf[max_rendered];
    char ref[64];

    // E12.4: the four digits and exponent of %.3e.
    render_e(v, 12, 4, buf);
    if (v != 0) {
      std::snprintf(ref, sizeof ref, "%.3e", std::fabs(v));
      const std::string r(ref);
      const int e = std::atoi(r.c_str() + r.find('e') + 1) + 1;
      std::string want = std::string(v < 0 ? "-" : "") + "0." + r.substr(0, 1) + r.substr(2, 3);
      char tail[16];
      if (std::abs(e) <= 99) {
        std::snprintf(tail, sizeof tail, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
      } else {
        std::snprintf(tail, sizeof tail, "%c%03d", e < 0 ? '-' : '+', std::abs(e));
      }
      want = std::string(12 - want.size() - std::string(tail).size(), ' ') + want + tail;
      ASSERT_EQ(std::string(buf, 12), want) << v;
    }

    // List-directed: the nine significant digits of %.8e, trailing zeros dropped.
    const std::size_t n = render_list_double(v, buf);
    std::snprintf(ref, sizeof ref, "%.8e", std::fabs(v));
    std::string want_digits;
    for (const char* p = ref; *p != 'e'; ++p) {
      if (*p != '.') want_digits += *p;
    }
    while (want_digits.size() > 1 && want_digits.back() == '0') want_digits.pop_back();
    std::string got_digits;
    for (std::size_t k = 0; k < n && buf[k] != 'E'; ++k) {
      if (buf[k] >= '0' && buf[k] <= '9') got_digits += buf[k];
    }
    got_digits.erase(0, got_digits.find_first_not_of('0'));
    while (got_digits.size() > 1 && got_digits.back() == '0') got_digits.pop_back();
    if (v != 0) {
      ASSERT_EQ(got_digits, want_digits) << v;
    }

    // F8.3: %8.3f where it fits.
    render_f(v, 8, 3, buf);
    std::snprintf(ref, sizeof ref, "%8.3f", v);
    std::string fr(ref);
    if (fr == "  -0.000") fr = "   0.000";
    if (fr.size() == 8) {
      ASSERT_EQ(std::string(buf, 8), fr) << v;
    }
  }
}

}  // namespace
}  // namespace smfreq::textio
