// Number forms of list-directed input: doubles and integers, their errors, and the
// buffer boundaries the scanner must not notice.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "textio/listin.h"
#include "textio_fixture.h"

namespace smfreq::textio {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

struct DoubleCase {
  const char* text;
  double expected;
};

// Every chunk size must give the same value: the fast path and the streaming path
// read the same forms.
TEST_F(TextIoTest, DoubleFormsReadToTheNearestDouble) {
  const DoubleCase cases[] = {
      {"150\n", 150.0},
      {"1.5D2\n", 150.0},
      {"1.5d2\n", 150.0},
      {"1.5E2\n", 150.0},
      {"1.5e2\n", 150.0},
      {"1.5+2\n", 150.0},
      {"1.5-3\n", 1.5e-3},
      {"1.5e+2\n", 150.0},
      {"-1.5E-2\n", -0.015},
      {"+7\n", 7.0},
      {".5\n", 0.5},
      {"-.5\n", -0.5},
      {"5.\n", 5.0},
      {"0.1\n", 0.1},
      {"0.01\n", 0.01},
      {"1.5Q2\n", 1.5},  // Q is no exponent letter: the number ends before it
      {"12abc\n", 12.0},
      {"1.5.3\n", 1.5},
      {"00000000000000000000000000000000000000000000000012.5\n", 12.5},
      {"1e00000000000000003\n", 1000.0},
      {"1e400\n", inf},
      {"-1e400\n", -inf},
      {"1e-400\n", 0.0},
      {"4.9406564584124654e-324\n", 4.9406564584124654e-324},
      {"2.2250738585072011e-308\n", 2.2250738585072011e-308},
      {"1.7976931348623157e308\n", 1.7976931348623157e308},
      {"1e99999999\n", inf},
      {"0.000000000000000000000000000000000000000000000000001\n", 1e-51},
      {"1.5d+2,\n", 150.0},
      {"3.25\t\n", 3.25},
      {"-0\n", -0.0},
  };
  for (const DoubleCase& c : cases) {
    for (std::size_t chunk : {0u, 1u, 2u, 5u}) {
      input(c.text, chunk);
      double v = -99.0;
      read_list(5, {in(v)});
      EXPECT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(c.expected))
          << c.text << " chunk " << chunk << " gave " << v;
    }
  }
}

// Only the first 40 significant digits count: the 41st and later digits change the
// size but not the value, even where a correctly rounded reading of all digits differs.
TEST_F(TextIoTest, FortyDigitRule) {
  // 1 + 2^-53 is a tie between 1 and its successor. Its 40 leading digits fall just
  // below the tie (rounds to 1); all 54 digits are exactly the tie plus a bit more.
  const char* text = "1.00000000000000011102230246251565404236316680908203126\n";
  input(text);
  double v = 0;
  read_list(5, {in(v)});
  EXPECT_EQ(v, 1.0);
  // Digits before the point still count toward the size.
  input("12345678901234567890123456789012345678901234567890\n");
  read_list(5, {in(v)});
  EXPECT_EQ(v, 1.234567890123456789012345678901234567890e49);
}

struct IntCase {
  const char* text;
  std::int32_t expected;
};

TEST_F(TextIoTest, IntegerForms) {
  const IntCase cases[] = {
      {"7\n", 7},
      {"-5\n", -5},
      {"+5\n", 5},
      {"007\n", 7},
      {"12-3\n", 0},      // a sign exponent truncates toward zero
      {"12+3\n", 12000},
      {"125-1\n", 12},
      {"-125-1\n", -12},
      {"2147483647\n", 2147483647},
      {"-2147483648\n", std::numeric_limits<std::int32_t>::min()},
      {"2147483648\n", std::numeric_limits<std::int32_t>::min()},
      {"123456789012\n", std::numeric_limits<std::int32_t>::min()},
      {"-99999999999999999999999999999999999999999999\n",
       std::numeric_limits<std::int32_t>::min()},
      {"1,2,3\n", 1},
      {"3*7\n", 7},
      {"12abc\n", 12},
      {"\n\n  4\n", 4},  // empty lines are skipped
      {"1 0 0\n", 1},
  };
  for (const IntCase& c : cases) {
    for (std::size_t chunk : {0u, 1u, 3u}) {
      input(c.text, chunk);
      std::int32_t v = -99;
      read_list(5, {in(v)});
      EXPECT_EQ(v, c.expected) << c.text << " chunk " << chunk;
    }
  }
}

struct ErrorCase {
  const char* text;
  bool integer;
  const char* where;
};

TEST_F(TextIoTest, NumberErrorsNameTheirCause) {
  const ErrorCase cases[] = {
      {"yes\n", true, "invalid number"},
      {"yes\n", false, "invalid number"},
      {"N/A\n", false, "invalid number"},
      {"'1'\n", false, "invalid number"},
      {"-\n", true, "invalid number"},
      {"- 5\n", false, "invalid number"},
      {".\n", false, "invalid number"},
      {"+.,\n", false, "invalid number"},
      {"1.0\n", true, "invalid integer"},
      {"1e3\n", true, "invalid integer"},
      {"1D3\n", true, "invalid integer"},
      {".,\n", true, "invalid integer"},
      {"1.5e\n", false, "exponent field"},
      {"1.5e+\n", false, "exponent field"},
      {"1.5+\n", false, "exponent field"},
      {"12-\n", true, "exponent field"},
      {"1e100000000\n", false, "exponent field"},
      {"0*5\n", true, "bad repetition count"},
      {"-3*5\n", true, "bad repetition count"},
      {"00000000000000000000000000000000000000003*5\n", false, "bad repetition count"},
      {"2*1.5\n", true, "invalid integer"},
      {"2*x\n", false, "invalid number"},
  };
  for (const ErrorCase& c : cases) {
    input(c.text);
    std::int32_t i = 0;
    double d = 0;
    std::string where = c.integer ? where_of([&] { read_list(5, {in(i)}); })
                                  : where_of([&] { read_list(5, {in(d)}); });
    EXPECT_EQ(where, c.where) << c.text;
  }
}

TEST_F(TextIoTest, MessagesOfNumberErrors) {
  input("1.0\n");
  std::int32_t i = 0;
  try {
    read_list(5, {in(i)});
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.message, "read unexpected character");
  }
  input("yes\n");
  try {
    read_list(5, {in(i)});
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.message, "incomprehensible list input");
  }
}

// A value ends where a character cannot continue it; the next item starts there.
TEST_F(TextIoTest, ValueFollowingWithoutSeparator) {
  input("12abc\n");
  std::int32_t a = 0, b = 0;
  EXPECT_EQ(where_of([&] { read_list(5, {in(a), in(b)}); }), "invalid number");
  EXPECT_EQ(a, 12);
  input("1.5.25\n");
  double x = 0, y = 0;
  read_list(5, {in(x), in(y)});
  EXPECT_EQ(x, 1.5);
  EXPECT_EQ(y, 0.25);
}

// Long values cross every buffer boundary.
TEST_F(TextIoTest, VeryLongNumbers) {
  std::string digits(300000, '0');
  input("0." + digits + "25e300002 " + std::string(200000, '9') + "\n", 4096);
  double x = 0, y = 0;
  read_list(5, {in(x), in(y)});
  EXPECT_EQ(x, 25.0);
  EXPECT_EQ(y, inf);
}

}  // namespace
}  // namespace smfreq::textio
