// Record shapes the reader accepts, and the rows, counts and interval it derives.
#include <string>
#include <vector>

#include "support/records.h"
#include "support/runner.h"

namespace smfreq::testing {
namespace {

// One data row: time t, channels 1..3 at values 13, 14 and 16, other values k/10.
std::string row(double t, double c1, double c2, double c3, const char* sep = ",",
                const char* end = "\n") {
  std::string s = std::to_string(t);
  for (int k = 1; k <= 42; ++k) {
    double v = k == 13 ? c1 : k == 14 ? c2 : k == 16 ? c3 : k / 10.0;
    s += sep + std::to_string(v);
  }
  return s + end;
}

std::string rows(int n, const char* sep = ",") {
  std::string s;
  for (int i = 0; i < n; ++i) s += row(i * 0.01, i, -i, 2 * i, sep);
  return s;
}

struct ShapeCase {
  const char* what;
  std::string record;
  const char* report;  // the "NT and DT=" line
  int echo_lines;      // -1: no echo file
};

TEST(RecordShapes, RowsCountsAndInterval) {
  const std::string head = "TIME NS EW UD and more\nsec gal gal gal\n";
  const std::string r3 = row(0.0, 1, 2, 3) + row(0.01, 4, 5, 6) + row(0.02, 7, 8, 9);
  const std::string spread = [] {
    std::string a = row(0.0, 1, 2, 3, " ");
    std::size_t cut = 0;
    for (int blanks = 0; blanks < 20; ++cut)
      if (a[cut] == ' ') ++blanks;
    a[cut - 1] = '\n';  // 20 numbers on the first line, 23 on the second
    return a + row(0.01, 4, 5, 6, " ");
  }();
  const ShapeCase cases[] = {
      {"four words, a units line", head + r3, " NT and DT= 3  0.01", 3},
      {"blank separated", head + rows(3, " "), " NT and DT= 3  0.01", 3},
      {"tabs and CRLF", head + row(0, 1, 2, 3, "\t", "\r\n") + row(0.01, 1, 2, 3, " \t", "\r\n"),
       " NT and DT= 2  0.01", 2},
      {"two words: the header spreads over two lines", "TIME NS\nEW UD\nskipped\n" + r3,
       " NT and DT= 3  0.01", 3},
      {"quoted header values", "'time (s)' \"NS, EW\" x\n'UD'\nskipped\n" + r3,
       " NT and DT= 3  0.01", 3},
      {"a slash in the header", "2011/03/11 12:00 a b\nunits\n" + r3, " NT and DT= 3  0.01", 3},
      {"header and one line only", head, " NT and DT= 0  0.", -1},
      {"ends right after the header line", "a b c d\n", " NT and DT= 0  0.", -1},
      {"ends inside the skipped line", "a b c d\nsec gal", " NT and DT= 0  0.", -1},
      {"one data row", head + row(0.5, 1, 2, 3), " NT and DT= 1 -0.5", 1},
      {"last row without a line end", head + row(0.0, 1, 2, 3) + row(0.01, 1, 2, 3, ",", ""),
       " NT and DT= 2  0.01", 2},
      {"last row with blanks and no line end",
       head + row(0.0, 1, 2, 3) + row(0.01, 1, 2, 3, ",", "  "), " NT and DT= 2  0.01", 2},
      {"last row with a trailing comma and no line end",
       head + row(0.0, 1, 2, 3) + row(0.01, 1, 2, 3, ",", ","), " NT and DT= 1  0.01", 1},
      {"last row ended by a slash and no line end",
       head + row(0.0, 1, 2, 3) + "0.01,1,2/", " NT and DT= 1  0.01", 1},
      {"a row spread over two lines", head + spread, " NT and DT= 2  0.01", 2},
      {"45 values on a row", head + row(0.0, 1, 2, 3, ",", ",98,99\n") + row(0.01, 1, 2, 3),
       " NT and DT= 2  0.01", 2},
      {"empty lines at the end", head + r3 + "\n\n   \n", " NT and DT= 3  0.01", 3},
      {"a short last row", head + r3 + "0.03,1,2,3\n", " NT and DT= 3  0.01", 3},
  };
  for (const ShapeCase& c : cases) {
    RunDir d;
    d.write("rec.csv", c.record);
    RunResult r = d.run(plain_answers("rec.csv"));
    EXPECT_EQ(r.status, 0) << c.what << "\n" << r.err;
    EXPECT_NE(r.out.find(std::string("\n") + c.report + "\n"), std::string::npos)
        << c.what << "\n" << r.out;
    if (c.echo_lines < 0) {
      EXPECT_FALSE(d.exists("fort.99")) << c.what;
    } else {
      EXPECT_EQ(static_cast<int>(lines(d.read("fort.99")).size()), c.echo_lines) << c.what;
    }
    EXPECT_EQ(d.read("rec.csv"), c.record) << c.what;  // the input is never changed
  }
}

// Null values and a slash leave values at zero; the echo shows the channels as read.
TEST(RecordShapes, NullValuesAndSlashes) {
  std::string r = "h1 h2 h3 h4\nunits\n";
  std::string nulls = "0.0";
  for (int k = 1; k <= 42; ++k) nulls += (k == 13 || k == 16) ? "," : ",7";
  r += nulls + "\n";
  r += "0.01," + std::string("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15/ignored\n");
  // A comma at the start is a null value; one at the end of a line only separates.
  r += ",1" + std::string(41, ',') + "5\n";
  RunDir d;
  d.write("rec.csv", r);
  RunResult res = d.run(plain_answers("rec.csv"));
  EXPECT_EQ(res.status, 0) << res.err;
  auto echo = lines(d.read("fort.99"));
  ASSERT_EQ(echo.size(), 3u);
  EXPECT_EQ(echo[0], "  0.  0.  7.  0.");
  EXPECT_EQ(echo[1], "  0.01  13.  14.  0.");
  EXPECT_EQ(echo[2], "  0.  0.  0.  0.");
}

// The echo file keeps an older longer file's name but only this run's rows; a run
// that accepts no row leaves an old echo file alone.
TEST(RecordShapes, EchoFileOfEarlierRuns) {
  RunDir d;
  d.write("fort.99", std::string(5000, '#') + "\n");
  d.write("rec.csv", "a b c d\nunits\n" + rows(2));
  EXPECT_EQ(d.run(plain_answers("rec.csv")).status, 0);
  EXPECT_EQ(lines(d.read("fort.99")).size(), 2u);
  d.write("fort.99", "old\n");
  d.write("none.csv", "a b c d\nunits\n");
  EXPECT_EQ(d.run(plain_answers("none.csv")).status, 0);
  EXPECT_EQ(d.read("fort.99"), "old\n");
}

// A row the reader did not accept may still have left its time value: the interval
// reads it, and so does a window reaching past the last row.
TEST(RecordShapes, TimeOfARowNotAccepted) {
  RunDir d;
  d.write("rec.csv", "a b c d\nunits\n" + row(0.0, 1, 2, 3) + row(0.25, 1, 2, 3, ",", ","));
  RunResult r = d.run("rec.csv\n0\n0\n0\n1\n0\n0.02\n0\nwave.csv\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(" NT and DT= 1  0.25\n"), std::string::npos) << r.out;
  auto wave = lines(d.read("wave.csv"));
  ASSERT_EQ(wave.size(), 2u);  // 0.02 / 0.25 truncates to 0: one sample
}

struct FailCase {
  const char* what;
  std::string record;
  std::string report;
  int echo_lines;
};

TEST(RecordShapes, FailuresEndTheRunWithTheReport) {
  const std::string head = "a b c d\nunits\n";
  const FailCase cases[] = {
      {"an empty file", "",
       "list in: end of file\napparent state: unit 11 named rec.csv\nlast format: list io\n"
       "lately reading sequential formatted external IO\n",
       -1},
      {"fewer than four header values", "a b\nc\n",
       "list in: end of file\napparent state: unit 11 named rec.csv\nlast format: list io\n"
       "lately reading sequential formatted external IO\n",
       -1},
      {"an unclosed quote in the header", "a 'b c d\nunits\n",
       "list in: end of file\napparent state: unit 11 named rec.csv\nlast format: list io\n"
       "lately reading sequential formatted external IO\n",
       -1},
      {"the header ends the file without a line end", "a b c d",
       "read start: end of file\napparent state: unit 11 named rec.csv\nlast format: list io\n"
       "lately reading sequential formatted external IO\n",
       -1},
      {"a word in a data row", head + rows(2) + "0.02,N/A" + std::string(41, ',') + "\n",
       "invalid number: incomprehensible list input\napparent state: unit 11 named rec.csv\n"
       "last format: list io\nlately reading sequential formatted external IO\n",
       2},
      {"a quoted value in a data row", head + rows(1) + "0.02,'1'\n",
       "invalid number: incomprehensible list input\napparent state: unit 11 named rec.csv\n"
       "last format: list io\nlately reading sequential formatted external IO\n",
       1},
      {"nan in a data row", head + rows(3) + "nan\n",
       "invalid number: incomprehensible list input\napparent state: unit 11 named rec.csv\n"
       "last format: list io\nlately reading sequential formatted external IO\n",
       3},
  };
  for (const FailCase& c : cases) {
    RunDir d;
    d.write("rec.csv", c.record);
    RunResult r = d.run(plain_answers("rec.csv"));
    EXPECT_TRUE(r.aborted()) << c.what;
    EXPECT_EQ(r.err, c.report) << c.what;
    if (c.echo_lines < 0) {
      EXPECT_FALSE(d.exists("fort.99")) << c.what;
    } else {
      EXPECT_EQ(static_cast<int>(lines(d.read("fort.99")).size()), c.echo_lines) << c.what;
    }
  }
}

TEST(RecordShapes, AMissingFileIsCreatedEmpty) {
  RunDir d;
  RunResult r = d.run(plain_answers("no such.csv"));
  EXPECT_TRUE(r.aborted());
  EXPECT_EQ(r.err,
            "list in: end of file\napparent state: unit 11 named no such.csv\n"
            "last format: list io\nlately reading sequential formatted external IO\n");
  EXPECT_TRUE(d.exists("no such.csv"));
  EXPECT_EQ(r.out, "\nEnter input file of waveform data\n");
}

TEST(RecordShapes, FileNamesThatCannotBeOpened) {
  RunDir d;
  std::filesystem::create_directory(d.path() / "folder");
  RunResult r = d.run(plain_answers(""));
  EXPECT_TRUE(r.aborted());
  EXPECT_EQ(r.err,
            "open: null file name\napparent state: unit 11 named \n"
            "lately reading sequential formatted external IO\n");
  r = d.run(plain_answers("folder"));
  EXPECT_TRUE(r.aborted());
  EXPECT_EQ(r.err,
            "open: Is a directory\napparent state: unit 11 named folder\n"
            "lately reading sequential formatted external IO\n");
}

// A name line longer than 90 characters names the file by its first 90.
TEST(RecordShapes, LongNameLine) {
  RunDir d;
  const std::string name(90, 'n');
  d.write(name, "a b c d\nunits\n" + rows(4));
  RunResult r = d.run(plain_answers(name + "IGNORED"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lines(d.read("fort.99")).size(), 4u);
}

// A record longer than the longest transform stops after the report and the
// sign-reversal dialogue, with the echo file complete.
TEST(RecordShapes, LengthStop) {
  RunDir d;
  std::string r = "t a b c\nunits\n";
  r.reserve(131073u * 90u);
  std::string tail = ",0,0,0,0,0,0,0,0,0,0,0,0,1,2,0,3";
  for (int k = 17; k <= 42; ++k) tail += ",0";
  tail += "\n";
  for (int i = 0; i < 131073; ++i) r += std::to_string(i) + tail;
  d.write("big.csv", r);
  RunResult res = d.run("big.csv\n1\n1\n1\n1\n");
  EXPECT_EQ(res.status, 0) << res.err;
  EXPECT_EQ(res.err, "");
  const std::string end =
      " NT and DT= 131073  1.\n\n  Change +/-? (YES=1)?? :\n\n"
      "  Change from + to - of FILE 1 ? (YES=1)?? :\n"
      "  Change from + to - of FILE 2 ? (YES=1)?? :\n"
      "  Change from + to - of FILE 3 ? (YES=1)?? :\n"
      "  NT>2**17 !!!!!\n";
  ASSERT_GE(res.out.size(), end.size());
  EXPECT_EQ(res.out.substr(res.out.size() - end.size()), end);
  auto echo = lines(d.read("fort.99"));
  ASSERT_EQ(echo.size(), 131073u);
  EXPECT_EQ(echo.back(), "  131072.  1.  2.  3.");
  EXPECT_FALSE(d.exists("amp3.csv"));
}

}  // namespace
}  // namespace smfreq::testing
