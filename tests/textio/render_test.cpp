// Rendering of list-directed doubles and of F and E fields.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "textio/render.h"

namespace smfreq::textio {
namespace {

struct Case {
  double value;
  const char* text;
};

TEST(Render, ListDirectedDoubles) {
  const Case cases[] = {
      {-123.456, " -123.456"},
      {0.0, "  0."},
      {-0.0, "  0."},
      {50.0, "  50."},
      {10.24, "  10.24"},
      {314.7728576651367, "  314.772858"},
      {0.00099, "  0.00099"},
      {0.000015, "  1.5E-005"},
      {1.0e20, "  1.E+020"},
      {123456789012.0, "  1.23456789E+011"},
      {-2.0, " -2."},
      {0.01, "  0.01"},
      {0.0001, "  0.0001"},
      {999999999.0, "  999999999."},
      {999999999.5, "  1.E+009"},  // rounds up into the exponent form
      {50.09765625, "  50.0976562"},  // an exact tie rounds to even
      {0.6135923151367187, "  0.613592315"},
      {1e-300, "  1.E-300"},
      {-1.5e-310, " -1.5E-310"},
      {std::numeric_limits<double>::infinity(), "  Infinity"},
      {-std::numeric_limits<double>::infinity(), " -Infinity"},
      {std::nan(""), "  NaN"},
  };
  for (const Case& c : cases) {
    char buf[max_rendered];
    std::size_t n = render_list_double(c.value, buf);
    EXPECT_EQ(std::string(buf, n), c.text) << c.value;
  }
}

struct FieldCase {
  double value;
  char edit;
  int w, d;
  const char* field;
};

TEST(Render, Fields) {
  const FieldCase cases[] = {
      {0.01, 'F', 8, 3, "   0.010"},
      {12.5, 'F', 8, 3, "  12.500"},
      {-0.5, 'F', 8, 3, "  -0.500"},
      {-0.0004, 'F', 8, 3, "   0.000"},
      {-0.0, 'F', 8, 3, "   0.000"},
      {9999.999, 'F', 8, 3, "9999.999"},
      {-999.999, 'F', 8, 3, "-999.999"},
      {-1000.0, 'F', 8, 3, "********"},
      {10000.0, 'F', 8, 3, "********"},
      {9999.9996, 'F', 8, 3, "********"},  // rounds to 10000.000
      {0.09765625, 'F', 8, 4, "  0.0977"},
      {0.78125, 'F', 8, 4, "  0.7812"},  // an exact tie rounds to even
      {100.0, 'F', 8, 4, "100.0000"},
      {1000.0, 'F', 8, 4, "********"},
      {1e300, 'F', 8, 4, "********"},
      {0.5, 'F', 5, 4, ".5000"},         // the leading zero gives way when that fits
      {-0.5, 'F', 6, 4, "-.5000"},
      {-0.5, 'F', 5, 4, "*****"},
      {1.234, 'E', 12, 4, "  0.1234E+01"},
      {-1.234, 'E', 12, 4, " -0.1234E+01"},
      {0.0, 'E', 12, 4, "  0.0000E+00"},
      {-0.0, 'E', 12, 4, "  0.0000E+00"},
      {0.00012345, 'E', 12, 4, "  0.1234E-03"},
      {123456.0, 'E', 12, 4, "  0.1235E+06"},
      {0.999999, 'E', 12, 4, "  0.1000E+01"},
      {1.0e-100, 'E', 12, 4, "  0.1000E-99"},
      {1.0e-101, 'E', 12, 4, "  0.1000-100"},
      {1.0e100, 'E', 12, 4, "  0.1000+101"},
      {-1.7976931348623157e308, 'E', 12, 4, " -0.1798+309"},
      {4.9406564584124654e-324, 'E', 12, 4, "  0.4941-323"},
      {std::numeric_limits<double>::infinity(), 'E', 12, 4, "         Inf"},
      {std::nan(""), 'F', 8, 3, "     NaN"},
  };
  for (const FieldCase& c : cases) {
    char buf[max_rendered];
    if (c.edit == 'F') {
      render_f(c.value, c.w, c.d, buf);
    } else {
      render_e(c.value, c.w, c.d, buf);
    }
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(c.w)), c.field)
        << c.value << " " << c.edit << c.w << "." << c.d;
  }
}

}  // namespace
}  // namespace smfreq::textio
