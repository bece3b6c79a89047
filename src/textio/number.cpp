#include "textio/number.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <limits>

namespace smfreq::textio {

std::uint64_t DecimalNumber::count_value() const {
  constexpr std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t v = 0;
  for (std::int64_t i = 0; i < int_digits_; ++i) {
    std::uint64_t d = i < nsig_ ? static_cast<std::uint64_t>(digits_[i] - '0') : 0;
    if (v > (top - d) / 10) return top;
    v = v * 10 + d;
  }
  return v;
}

std::int32_t DecimalNumber::to_int32() const {
  constexpr std::int32_t out_of_range = std::numeric_limits<std::int32_t>::min();
  if (nsig_ == 0) return 0;
  const std::int64_t e = decimal_exponent();
  if (e <= 0) return 0;  // below one: truncates to zero
  if (e > 10) return out_of_range;
  std::int64_t v = 0;
  for (std::int64_t i = 0; i < e; ++i) v = v * 10 + (i < nsig_ ? digits_[i] - '0' : 0);
  if (neg) v = -v;
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    return out_of_range;
  return static_cast<std::int32_t>(v);
}

double DecimalNumber::to_double() const {
  if (nsig_ == 0) return neg ? -0.0 : 0.0;
  const std::int64_t e = decimal_exponent();
  // d1.d2...d40 lies in [1, 10): beyond these exponents the result is certainly
  // infinite or zero, and the text below stays short.
  if (e > 400) return neg ? -std::numeric_limits<double>::infinity()
                          : std::numeric_limits<double>::infinity();
  if (e < -400) return neg ? -0.0 : 0.0;
  char text[64];
  char* p = text;
  if (neg) *p++ = '-';
  *p++ = digits_[0];
  *p++ = '.';
  for (int i = 1; i < nsig_; ++i) *p++ = digits_[i];
  *p++ = 'e';
  p = std::to_chars(p, text + sizeof text - 1, e - 1).ptr;
  double v = 0.0;
  auto [ptr, ec] = std::from_chars(text, p, v);
  if (ec == std::errc() && ptr == p) return v;
  // Overflow, underflow and subnormals: strtod rounds them correctly too.
  *p = '\0';
  return std::strtod(text, nullptr);
}

}  // namespace smfreq::textio
