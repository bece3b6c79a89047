// A decimal number as list-directed input reads it: at most 40 significant digits,
// further digits counting only toward the size, and a decimal exponent.
#pragma once

#include <cstdint>

namespace smfreq::textio {

class DecimalNumber {
 public:
  static constexpr int max_digits = 40;
  static constexpr std::int64_t max_exponent = 99999999;

  bool neg = false;
  bool exp_neg = false;

  // One mantissa digit; `after_point` tells whether the decimal point came before it.
  void add_digit(char c, bool after_point) {
    if (nsig_ == 0 && c == '0') {
      if (after_point) ++frac_zeros_;
      return;
    }
    if (nsig_ < max_digits) digits_[nsig_++] = c;
    if (!after_point) ++int_digits_;
  }
  // One digit of the exponent; values above the limit are remembered as too large.
  void add_exponent_digit(char c) {
    if (exp_ <= max_exponent) exp_ = exp_ * 10 + (c - '0');
  }
  bool exponent_too_large() const { return exp_ > max_exponent; }
  bool is_zero() const { return nsig_ == 0; }

  // The value as a repeat count (digits only, no point), saturating.
  std::uint64_t count_value() const;
  // Truncated toward zero; outside the 32-bit range gives the most negative value.
  std::int32_t to_int32() const;
  // The nearest double to the kept digits.
  double to_double() const;

 private:
  // The value is 0.d1d2...dn times ten to the power decimal_exponent().
  std::int64_t decimal_exponent() const {
    return int_digits_ - frac_zeros_ + (exp_neg ? -exp_ : exp_);
  }

  char digits_[max_digits] = {};
  int nsig_ = 0;                 // significant digits kept
  std::int64_t int_digits_ = 0;  // significant digits before the point, all of them
  std::int64_t frac_zeros_ = 0;  // zeros between the point and the first significant digit
  std::int64_t exp_ = 0;
};

}  // namespace smfreq::textio
