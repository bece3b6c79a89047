// The four lines of the I/O error report.
#include <cstdint>
#include <string>

#include "textio/fmtin.h"
#include "textio/listin.h"
#include "textio/listout.h"
#include "textio_fixture.h"

namespace smfreq::textio {
namespace {

template <class F>
std::string report_of(F f) {
  try {
    f();
  } catch (const IoError& e) {
    return report_text(e);
  }
  return "(no failure)";
}

TEST_F(TextIoTest, ReportOfAWordTypedForAnInteger) {
  input("yes\n");
  std::int32_t v = 0;
  EXPECT_EQ(report_of([&] { read_list(5, {in(v)}); }),
            "invalid number: incomprehensible list input\n"
            "apparent state: unit 5 (unnamed)\n"
            "last format: list io\n"
            "lately reading sequential formatted external IO\n");
}

TEST_F(TextIoTest, ReportOfAFileNameCutByTheEndOfInput) {
  input("record.cs");
  char name[90];
  EXPECT_EQ(report_of([&] { read_a(5, name, "(A90)"); }),
            "fmt: end of file\n"
            "apparent state: unit 5 (unnamed)\n"
            "last format: (A90)\n"
            "lately reading sequential formatted external IO\n");
}

// An OPEN after the "(A90)" READ: no format line, the name as given.
TEST_F(TextIoTest, ReportOfABlankFileName) {
  input("\n");
  char name[90];
  read_a(5, name, "(A90)");
  EXPECT_EQ(report_of([&] { open_unit(11, std::string_view(name, 90)); }),
            "open: null file name\n"
            "apparent state: unit 11 named \n"
            "lately reading sequential formatted external IO\n");
}

TEST_F(TextIoTest, ReportAfterAListDirectedWrite) {
  capture();
  write_list(6, {"Fourier Spectrum data are stored in \"amp3.csv\""});
  EXPECT_EQ(report_of([&] { open_unit(10, "/nonexistent-dir/amp3.csv"); }),
            "open: No such file or directory\n"
            "apparent state: unit 10 named /nonexistent-dir/amp3.csv\n"
            "last format: list io\n"
            "lately writing sequential formatted external IO\n");
}

}  // namespace
}  // namespace smfreq::textio
