#include "textio/render.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace smfreq::textio {
namespace {

// Powers of ten that are exact doubles (5^22 < 2^53).
constexpr double exact_pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int max_exact_pow10 = 22;

// "00" to "99", for writing digits two at a time.
constexpr char digit_pairs[] =
    "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546"
    "4748495051525354555657585960616263646566676869707172737475767778798081828384858687888990919293"
    "949596979899";

// Writes the last `count` decimal digits of m, with leading zeros, at `out`.
void write_digits(std::uint32_t m, int count, char* out) {
  for (; count >= 2; count -= 2, m /= 100) {
    std::memcpy(out + count - 2, digit_pairs + 2 * (m % 100), 2);
  }
  if (count == 1) out[0] = static_cast<char>('0' + m % 10);
}

// Rounds y, 0 <= y < 2^31, to the nearest integer *m. The callers' y is a product rounded once,
// so it lies within 2^-22 of the exact product, which rounds to the same integer unless y is near
// a midpoint n + 0.5: there (within 1e-6) it returns false and leaves the rounding to the caller.
bool round_clear(double y, std::uint32_t* m) {
  const auto n = static_cast<std::uint32_t>(y);  // truncation; y - n is then exact
  const double frac = y - n;
  if (std::fabs(frac - 0.5) <= 1e-6) return false;
  *m = n + (frac > 0.5 ? 1 : 0);
  return true;
}

// The quick way to what significant_digits computes, for a > 0 and 1 to 9 digits: scale a
// by an exact power of ten so that `digits` digits stand before the point, and round to an
// integer. The scaling is one correctly rounded operation, so the scaled y lies within
// y * 2^-53 (below 1.2e-7 here) of the exact product t. A rounded y in [10^(digits-1), 10^digits)
// means t lies there too (rounding is monotone and both ends are doubles; for y at the lower end
// a t just below it rounds up to the same digits). Where y is farther than 1e-6 from a
// midpoint n + 0.5, t rounds to the same integer as y. Returns 0 where either test fails or the
// power of ten is not exact; the caller then takes the full conversion.
int significant_digits_quick(double a, int digits, char* dig, int* exp10) {
  if (digits < 1 || digits > 9) return 0;
  const double lo = exact_pow10[digits - 1];
  const double hi = exact_pow10[digits];
  // A first guess of the decimal exponent, floor(log10(2) * binary exponent) (78913 / 2^18 is
  // log10(2) to six digits), corrected below.
  const int binary_exp = static_cast<int>(std::bit_cast<std::uint64_t>(a) >> 52) - 1023;
  int e = (binary_exp * 78913) >> 18;
  for (int tries = 0; tries < 3; ++tries) {
    const int k = digits - 1 - e;
    if (k < -max_exact_pow10 || k > max_exact_pow10) return 0;
    const double y = k >= 0 ? a * exact_pow10[k] : a / exact_pow10[-k];
    if (y < lo) {
      --e;
      continue;
    }
    if (y >= hi) {
      ++e;
      continue;
    }
    std::uint32_t m = 0;
    if (!round_clear(y, &m)) return 0;
    if (m == static_cast<std::uint32_t>(hi)) {  // 9.9996 to four digits is 1.000 of the next decade
      m = static_cast<std::uint32_t>(lo);
      ++e;
    }
    write_digits(m, digits, dig);
    *exp10 = e;
    return digits;
  }
  return 0;
}

// The quick way to std::to_chars(a, fixed, d) for a >= 0 and d from 1 to 9, by the same reasoning
// as significant_digits_quick: a * 10^d is rounded once, and below 2^31 it lies within 2^-22 of
// the exact product. Writes the text at `out` and returns its end, or nullptr where the product
// is too large or too near a midpoint (the caller then takes std::to_chars).
char* fixed_quick(double a, int d, char* out) {
  if (d < 1 || d > 9) return nullptr;  // Fw.0 has no decimal point: left to std::to_chars
  const double y = a * exact_pow10[d];
  std::uint32_t m = 0;
  if (!(y < 2147483648.0) || !round_clear(y, &m)) return nullptr;
  const auto scale = static_cast<std::uint32_t>(exact_pow10[d]);
  char* p = std::to_chars(out, out + 16, m / scale).ptr;
  *p++ = '.';
  write_digits(m % scale, d, p);
  return p + d;
}

// Digits and decimal exponent of |v| rounded to `digits` significant digits
// (ties to even on the exact binary value). Returns the digit count written to `dig`.
int significant_digits(double v, int digits, char* dig, int* exp10) {
  if (int n = significant_digits_quick(std::fabs(v), digits, dig, exp10)) return n;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific,
                         digits - 1);
  const char* p = buf;
  int n = 0;
  for (; p < r.ptr && *p != 'e'; ++p) {
    if (*p != '.') dig[n++] = *p;
  }
  int e = 0;
  std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), r.ptr, e);
  *exp10 = e;
  return n;
}

// Writes `text` right-justified in w columns, or w asterisks when it is longer.
void justify(const char* text, std::size_t n, int w, char* out) {
  const std::size_t width = static_cast<std::size_t>(w);
  if (n > width) {
    std::memset(out, '*', width);
    return;
  }
  std::memset(out, ' ', width - n);
  std::memcpy(out + (width - n), text, n);
}

// Infinity and not-a-number in a field.
void render_special(double v, int w, char* out) {
  const char* t = std::isnan(v) ? "NaN" : (v < 0 ? "-Inf" : "Inf");
  justify(t, std::strlen(t), w, out);
}

}  // namespace

std::size_t render_list_double(double v, char* out) {
  char* p = out;
  *p++ = ' ';
  *p++ = (v < 0) ? '-' : ' ';
  if (v == 0) {
    out[1] = ' ';
    std::memcpy(p, "0.", 2);
    return 4;
  }
  if (!std::isfinite(v)) {
    const char* t = std::isnan(v) ? "NaN" : "Infinity";
    std::size_t n = std::strlen(t);
    std::memcpy(p, t, n);
    return 2 + n;
  }
  char dig[16];
  int e = 0;
  int n = significant_digits(v, 9, dig, &e);
  while (n > 1 && dig[n - 1] == '0') --n;  // trailing zeros of the fraction are dropped
  if (e >= -4 && e <= 8) {
    if (e >= 0) {
      for (int i = 0; i <= e; ++i) *p++ = i < n ? dig[i] : '0';
      *p++ = '.';
      for (int i = e + 1; i < n; ++i) *p++ = dig[i];
    } else {
      *p++ = '0';
      *p++ = '.';
      for (int i = -1; i > e; --i) *p++ = '0';
      for (int i = 0; i < n; ++i) *p++ = dig[i];
    }
  } else {
    *p++ = dig[0];
    *p++ = '.';
    for (int i = 1; i < n; ++i) *p++ = dig[i];
    *p++ = 'E';
    *p++ = e < 0 ? '-' : '+';
    int a = e < 0 ? -e : e;
    char ed[8];
    auto r = std::to_chars(ed, ed + sizeof ed, a);
    for (std::ptrdiff_t z = r.ptr - ed; z < 3; ++z) *p++ = '0';
    std::memcpy(p, ed, static_cast<std::size_t>(r.ptr - ed));
    p += r.ptr - ed;
  }
  return static_cast<std::size_t>(p - out);
}

std::size_t render_integer(std::int32_t v, char* out) {
  return static_cast<std::size_t>(std::to_chars(out, out + 16, v).ptr - out);
}

void render_f(double v, int w, int d, char* out) {
  if (!std::isfinite(v)) return render_special(v, w, out);
  char buf[max_rendered];
  char* digits = buf + 1;
  char* end = fixed_quick(std::fabs(v), d, digits);
  if (end == nullptr) {
    auto r = std::to_chars(digits, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, d);
    if (r.ec != std::errc()) {  // wider than any field
      std::memset(out, '*', static_cast<std::size_t>(w));
      return;
    }
    end = r.ptr;
  }
  bool all_zero = true;
  for (const char* q = digits; q < end; ++q) {
    if (*q >= '1' && *q <= '9') {
      all_zero = false;
      break;
    }
  }
  char* text = digits;
  if (v < 0 && !all_zero) {
    --text;
    *text = '-';
  }
  std::size_t n = static_cast<std::size_t>(end - text);
  if (n == static_cast<std::size_t>(w) + 1 && digits[0] == '0' && digits[1] == '.') {
    // Dropping the leading zero of 0.xxx makes the text fit exactly.
    if (text != digits) digits[0] = '-';
    text = (text != digits) ? digits : digits + 1;
    --n;
  }
  justify(text, n, w, out);
}

void render_e(double v, int w, int d, char* out) {
  if (!std::isfinite(v)) return render_special(v, w, out);
  char text[64];
  char* p = text;
  if (v == 0) {
    *p++ = '0';
    *p++ = '.';
    for (int i = 0; i < d; ++i) *p++ = '0';
    std::memcpy(p, "E+00", 4);
    p += 4;
    return justify(text, static_cast<std::size_t>(p - text), w, out);
  }
  char dig[48];
  int e = 0;
  int n = significant_digits(v, d, dig, &e);
  int shown = e + 1;  // the point stands before the first digit
  if (v < 0) *p++ = '-';
  *p++ = '0';
  *p++ = '.';
  for (int i = 0; i < n; ++i) *p++ = dig[i];
  int a = shown < 0 ? -shown : shown;
  if (a <= 99) {
    *p++ = 'E';
    *p++ = shown < 0 ? '-' : '+';
    *p++ = static_cast<char>('0' + a / 10);
    *p++ = static_cast<char>('0' + a % 10);
  } else {
    *p++ = shown < 0 ? '-' : '+';
    *p++ = static_cast<char>('0' + a / 100);
    *p++ = static_cast<char>('0' + a / 10 % 10);
    *p++ = static_cast<char>('0' + a % 10);
  }
  justify(text, static_cast<std::size_t>(p - text), w, out);
}

}  // namespace smfreq::textio
