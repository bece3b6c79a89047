#include "textio/listin.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "textio/ioerror.h"
#include "textio/number.h"
#include "textio/unit.h"

namespace smfreq::textio {
namespace {

constexpr const char* incomprehensible = "incomprehensible list input";

inline bool is_blank(int c) { return c == ' ' || c == '\t'; }
inline bool is_digit(int c) { return c >= '0' && c <= '9'; }
inline void bump(Unit& u) { ++u.ipos; }

// Skips blanks, tabs and line ends; returns the character found (or eof_char).
inline int skip_to_value(Unit& u) {
  for (;;) {
    while (u.ipos < u.iend) {
      char c = u.ibuf[u.ipos];
      if (c != ' ' && c != '\t' && c != '\n') return static_cast<unsigned char>(c);
      ++u.ipos;
    }
    if (!refill(u)) return eof_char;
  }
}

// After a value: blanks and tabs, then one comma, are used up. A line end stays.
inline void after_value(Unit& u) {
  int c = peek(u);
  while (is_blank(c)) {
    bump(u);
    c = peek(u);
  }
  if (c == ',') {
    bump(u);
  } else if (c == eof_char) {
    u.eof = true;
  }
}

// What scanning one value gave.
struct Value {
  enum class Kind : unsigned char { value, null } kind = Kind::value;
  std::uint64_t copies = 1;  // a repeat count r*c or r*
  DecimalNumber num;         // numbers
};

// Scans the form of a number: sign, digits with at most one point, exponent.
// `allow_count` admits a repeat count r* in front.
Value scan_number(Unit& u, bool integer, bool allow_count) {
  Value v;
  DecimalNumber& d = v.num;
  int c = peek(u);
  bool sign = false;
  if (c == '+' || c == '-') {
    sign = true;
    d.neg = (c == '-');
    bump(u);
    c = peek(u);
  }
  bool point = false;
  bool any_digit = false;
  std::uint64_t all_digits = 0;  // every mantissa digit, for the repeat count
  for (;; c = peek(u)) {
    if (is_digit(c)) {
      any_digit = true;
      if (all_digits < std::numeric_limits<std::uint64_t>::max()) ++all_digits;
      d.add_digit(static_cast<char>(c), point);
    } else if (c == '.') {
      if (integer) fail("invalid integer", "read unexpected character");
      if (point) break;
      point = true;
    } else {
      break;
    }
    bump(u);
  }
  if (c == '*' && allow_count && any_digit && !point) {
    // A repeat count r*c or r*.
    if (d.neg || all_digits > 40 || d.is_zero()) fail("bad repetition count", incomprehensible);
    v.copies = d.count_value();
    bump(u);
    c = peek(u);
    if (is_blank(c) || c == ',' || c == '/' || c == '\n' || c == eof_char) {
      v.kind = Value::Kind::null;
      if (c == eof_char) u.eof = true;
      return v;
    }
    std::uint64_t copies = v.copies;
    v = scan_number(u, integer, false);
    v.copies = copies;
    return v;
  }
  if (!any_digit) {
    bool lone = (sign && !point) || (!integer && point && !sign);
    if (lone && (c == ',' || c == '/')) {
      v.kind = Value::Kind::null;
      return v;
    }
    fail("invalid number", incomprehensible);
  }
  if (c == 'e' || c == 'E' || c == 'd' || c == 'D') {
    if (integer) fail("invalid integer", "read unexpected character");
    bump(u);
    c = peek(u);
    if (c == '+' || c == '-') {
      d.exp_neg = (c == '-');
      bump(u);
      c = peek(u);
    }
    if (!is_digit(c)) fail("exponent field", incomprehensible);
  } else if (c == '+' || c == '-') {
    d.exp_neg = (c == '-');
    bump(u);
    c = peek(u);
    if (!is_digit(c)) fail("exponent field", incomprehensible);
  }
  while (is_digit(c)) {
    d.add_exponent_digit(static_cast<char>(c));
    bump(u);
    c = peek(u);
  }
  if (d.exponent_too_large()) fail("exponent field", incomprehensible);
  if (c == eof_char) u.eof = true;
  return v;
}

// Powers of ten that are exact doubles (5^22 < 2^53).
constexpr double exact_pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int max_exact_pow10 = 22;
// Mantissas of at most this many digits are below 2^53, hence exact doubles.
constexpr int max_exact_digits = 15;

// The fast path for a plain double lying wholly in the buffer: [-+]digits[.digits][e[+-]digits].
// Returns false (consuming nothing) for every other form; the general scanner takes those.
// A short mantissa m with a small power of ten p is converted as m * 10^p or m / 10^-p: both
// operands are exact, so the one rounding of that operation gives the nearest double, the same
// bits as a full conversion. Longer mantissas and larger powers go to std::from_chars.
bool fast_double(Unit& u, double* out) {
  const char* const b = u.ibuf + u.ipos;
  const char* const end = u.ibuf + u.iend;
  const char* q = b;
  const bool neg = (*q == '-');
  if (*q == '-' || *q == '+') ++q;
  const char* m = q;
  std::uint64_t digits = 0;  // the mantissa digits as an integer (used only when short)
  while (q < end && is_digit(*q)) digits = digits * 10 + static_cast<unsigned>(*q++ - '0');
  bool point = false;
  std::ptrdiff_t frac = 0;  // digits after the point
  if (q < end && *q == '.') {
    point = true;
    const char* f = ++q;
    while (q < end && is_digit(*q)) digits = digits * 10 + static_cast<unsigned>(*q++ - '0');
    frac = q - f;
  }
  std::ptrdiff_t mant = q - m;  // digits plus at most one point
  if (mant == 0 || mant > 40 || (mant == 1 && *m == '.')) return false;
  const std::ptrdiff_t ndigits = point ? mant - 1 : mant;
  std::int64_t exp = 0;
  if (q < end && (*q == 'e' || *q == 'E')) {
    ++q;
    const bool exp_neg = (q < end && *q == '-');
    if (q < end && (*q == '+' || *q == '-')) ++q;
    const char* ed = q;
    for (; q < end && is_digit(*q); ++q) {
      if (exp < 1000000000) exp = exp * 10 + (*q - '0');  // too long anyway past 8 digits
    }
    if (q == ed || q - ed > 8) return false;
    if (exp_neg) exp = -exp;
  }
  if (q == end) {
    if (!u.src_done) return false;  // the value may go on in the next read
  } else {
    char c = *q;
    if (c == '*' || c == '+' || c == '-' || c == 'd' || c == 'D' || c == 'e' || c == 'E' ||
        c == '.' || is_digit(c))
      return false;
  }
  const std::int64_t p = exp - frac;
  if (ndigits <= max_exact_digits && p >= -max_exact_pow10 && p <= max_exact_pow10) {
    const double v = static_cast<double>(digits);
    const double r = p < 0 ? v / exact_pow10[static_cast<std::size_t>(-p)]
                           : v * exact_pow10[static_cast<std::size_t>(p)];
    // The sign by a product with +-1 (exact) rather than a branch: signs come in no pattern.
    static constexpr double sign[] = {1.0, -1.0};
    *out = r * sign[neg];
  } else {
    const char* first = (*b == '+') ? b + 1 : b;
    auto [ptr, ec] = std::from_chars(first, q, *out);
    if (ptr != q || ec != std::errc()) return false;
  }
  u.ipos = static_cast<std::size_t>(q - u.ibuf);
  if (q == end) u.eof = true;
  return true;
}

// Scans a text value into `dst` (cut or padded to `len`): quoted strings, undelimited
// strings and the repeat count r*. A quoted string still open at the end of the file is
// dropped, and its item keeps its value.
struct TextValue {
  bool null = false;
  bool dropped = false;
  std::uint64_t copies = 1;
};

TextValue scan_text(Unit& u, char* dst, std::size_t len, char* tmp) {
  TextValue t;
  std::size_t n = 0;
  auto keep = [&](char ch) {
    if (n < len) tmp[n] = ch;
    ++n;
  };
  int c = peek(u);
  if (is_digit(c)) {
    // A run of digits with a value above zero followed by * is a repeat count.
    DecimalNumber count;
    while (is_digit(c)) {
      count.add_digit(static_cast<char>(c), false);
      keep(static_cast<char>(c));
      bump(u);
      c = peek(u);
    }
    if (c == '*' && !count.is_zero()) {
      t.copies = count.count_value();
      n = 0;
      bump(u);
      c = peek(u);
      if (is_blank(c) || c == ',' || c == '/' || c == '\n' || c == eof_char) {
        t.null = true;
        if (c == eof_char) u.eof = true;
        return t;
      }
    }
  }
  if (n == 0 && (c == '\'' || c == '"')) {
    const int quote = c;
    bump(u);
    for (;;) {
      c = peek(u);
      if (c == eof_char) {
        u.eof = true;
        t.dropped = true;
        return t;
      }
      bump(u);
      if (c == quote) {
        if (peek(u) == quote) {
          keep(static_cast<char>(quote));
          bump(u);
          continue;
        }
        break;
      }
      if (c == '\n') continue;  // a line end inside quotes is dropped
      if (c == '\\' && peek(u) == '\n') {
        bump(u);
        keep('\n');
        continue;
      }
      keep(static_cast<char>(c));
    }
    if (peek(u) == eof_char) u.eof = true;
  } else {
    while (c != eof_char && !is_blank(c) && c != ',' && c != '/' && c != '\n') {
      keep(static_cast<char>(c));
      bump(u);
      c = peek(u);
    }
    if (c == eof_char) u.eof = true;
  }
  std::size_t used = n < len ? n : len;
  std::memcpy(dst, tmp, used);
  std::memset(dst + used, ' ', len - used);
  return t;
}

// Rule 9: the rest of the record is skipped. Returns false where the end of the file
// comes first and the READ has an end-of-file branch.
bool finish_record(Unit& u, bool eof_branch) {
  if (u.eof) return true;
  for (;;) {
    while (u.ipos < u.iend) {
      if (u.ibuf[u.ipos++] == '\n') return true;
    }
    if (!refill(u)) {
      u.eof = true;
      return !eof_branch;
    }
  }
}

void store_number(const InItem& it, const DecimalNumber& d) {
  if (it.kind == InItem::Kind::integer) {
    *static_cast<std::int32_t*>(it.p) = d.to_int32();
  } else if (it.kind == InItem::Kind::dbl) {
    *static_cast<double*>(it.p) = d.to_double();
  }
}

// The READ itself, over items handed out by `item(k)`.
template <class ItemAt>
bool read_items(int n, std::size_t count, ItemAt item, bool eof_branch) {
  Unit& u = transfer_unit(n);
  if (n == stdin_unit) flush(unit(stdout_unit));
  note_transfer(true, "list io");
  begin_read(u);
  u.rd_where = "list in";
  if (u.eof) {
    if (eof_branch) return false;
    fail("read start", "end of file");
  }
  char tmp[256];
  std::size_t k = 0;
  while (k < count) {
    int c = u.eof ? eof_char : skip_to_value(u);
    if (c == eof_char) {
      u.eof = true;
      if (eof_branch) return false;
      fail("list in", "end of file");
    }
    if (c == ',') {
      bump(u);
      ++k;
      continue;
    }
    if (c == '/') {
      bump(u);
      break;
    }
    const InItem it = item(k);
    if (it.kind == InItem::Kind::text) {
      if (it.len > sizeof tmp) fail("no space", "out of free space");
      char* dst = static_cast<char*>(it.p);
      TextValue t = scan_text(u, dst, it.len, tmp);
      if (t.dropped) {
        ++k;
        continue;
      }
      std::uint64_t left = t.copies;
      for (; left > 0 && k < count; --left, ++k) {
        if (t.null) continue;
        InItem o = item(k);
        if (o.p != dst) std::memcpy(o.p, dst, o.len < it.len ? o.len : it.len);
      }
      if (left == 0) after_value(u);
      continue;
    }
    if (it.kind == InItem::Kind::dbl && fast_double(u, static_cast<double*>(it.p))) {
      ++k;
      after_value(u);
      continue;
    }
    Value v = scan_number(u, it.kind == InItem::Kind::integer, true);
    std::uint64_t left = v.copies;
    for (; left > 0 && k < count; --left, ++k) {
      if (v.kind == Value::Kind::value) store_number(item(k), v.num);
    }
    if (left == 0) after_value(u);
  }
  return finish_record(u, eof_branch);
}

}  // namespace

bool read_list(int n, std::initializer_list<InItem> items, bool eof_branch) {
  const InItem* const first = items.begin();
  return read_items(
      n, items.size(), [first](std::size_t k) { return first[k]; }, eof_branch);
}

bool read_list_doubles(int n, double* v, std::size_t count, bool eof_branch) {
  return read_items(
      n, count, [v](std::size_t k) { return InItem{InItem::Kind::dbl, v + k, 0}; }, eof_branch);
}

}  // namespace smfreq::textio
