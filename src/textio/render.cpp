#include "textio/render.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace smfreq::textio {
namespace {

// Digits and decimal exponent of |v| rounded to `digits` significant digits
// (ties to even on the exact binary value). Returns the digit count written to `dig`.
int significant_digits(double v, int digits, char* dig, int* exp10) {
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
  auto r = std::to_chars(digits, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, d);
  if (r.ec != std::errc()) {  // wider than any field
    std::memset(out, '*', static_cast<std::size_t>(w));
    return;
  }
  bool all_zero = true;
  for (const char* q = digits; q < r.ptr; ++q) {
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
  std::size_t n = static_cast<std::size_t>(r.ptr - text);
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
