// Answers that give no value, and answers at and beyond the 32-bit limits: every count the
// program derives from them is checked on the console and in the files.
#include <string>

#include "support/records.h"
#include "support/runner.h"

namespace smfreq::testing {
namespace {

struct Files {
  std::string echo, spectrum, wave;
};

Files files_of(const RunDir& d) {
  return {d.read("fort.99"), d.read("amp3.csv"), d.read("wave.csv")};
}

// A lone comma, a slash or a bare repeat count leaves an answer at 0: each acts as the
// answer 0 would.
TEST(NullAnswers, ActAsZero) {
  RunDir p;
  p.write("rec.csv", plain_record(1000));
  RunResult plain = p.run(plain_answers("rec.csv"));
  ASSERT_EQ(plain.status, 0);
  const Files expected = files_of(p);

  const char* const scripts[] = {
      "rec.csv\n,\n/\n,\n/\n,\nwave.csv\n\n",
      "rec.csv\n/\n,\n/\n,\n/\nwave.csv\n\n",
      "rec.csv\n , \n2*\n  /  \n3*\n,,\nwave.csv\n\n",
  };
  for (const char* script : scripts) {
    SCOPED_TRACE(script);
    RunDir d;
    d.write("rec.csv", plain_record(1000));
    RunResult r = d.run(script);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, plain.out);
    const Files got = files_of(d);
    EXPECT_EQ(got.echo, expected.echo);
    EXPECT_EQ(got.spectrum, expected.spectrum);
    EXPECT_EQ(got.wave, expected.wave);
  }

  // The three channel questions after a yes: null answers reverse nothing.
  RunDir d;
  d.write("rec.csv", plain_record(1000));
  RunResult r = d.run("rec.csv\n1\n,\n/\n2*\n0\n0\n0\n0\nwave.csv\n\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("  Change from + to - of FILE 3 ? (YES=1)?? :\n"), std::string::npos);
  EXPECT_EQ(files_of(d).wave, expected.wave);
}

// Null filter corners are all 0 Hz: the zero-frequency bin passes and every other bin is cut.
TEST(NullAnswers, FilterCornersAreZero) {
  for (const char* corners : {"/", ",,,,", "0 /"}) {
    SCOPED_TRACE(corners);
    RunDir d;
    d.write("rec.csv", plain_record(1000));
    RunResult r = d.run("rec.csv\n0\n1\n" + std::string(corners) + "\n0\n0\n0\nwave.csv\n\n");
    EXPECT_EQ(r.status, 0);
    auto amp = lines(d.read("amp3.csv"));
    ASSERT_EQ(amp.size(), 514u);
    EXPECT_EQ(amp[1], "  0.0000,  0.5005E+04,  0.1251E+04,  0.9990E+02,");
    for (std::size_t i = 2; i < amp.size(); ++i) {
      EXPECT_EQ(amp[i].substr(8), ",  0.0000E+00,  0.0000E+00,  0.0000E+00,") << i;
    }
    // Only the mean is left: 500.5, -125.125 and 9.99 spread over the frame of 1024.
    auto wave = lines(d.read("wave.csv"));
    ASSERT_EQ(wave.size(), 1001u);
    EXPECT_EQ(wave[1], "   0.000,  0.4888E+03, -0.1222E+03,  0.9756E+01,");
    EXPECT_EQ(wave[1000], "   9.990,  0.4888E+03, -0.1222E+03,  0.9756E+01,");
  }
}

// A null start time is 0; a null duration keeps the frame length nf * dt, so the window is
// the whole frame and one sample more.
TEST(NullAnswers, WindowStartIsZeroAndDurationTheFrame) {
  struct Case {
    const char* answers;  // start, duration
    const char* console;
    std::size_t records;
  };
  const Case cases[] = {
      {",\n/\n",
       " Number of Cutting Data = 0\n Enter Duration (sec)\n Number of data = 1025\n"
       " New nt = 1025\n",
       1025},
      {"/\n5\n",
       " Number of Cutting Data = 0\n Enter Duration (sec)\n Number of data = 501\n"
       " New nt = 501\n",
       501},
      {"2.5\n,\n",
       " Number of Cutting Data = 250\n Enter Duration (sec)\n Number of data = 1025\n"
       " New nt = 1025\n",
       1025},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    RunDir d;
    d.write("rec.csv", plain_record(1000));
    RunResult r = d.run("rec.csv\n0\n0\n0\n1\n" + std::string(c.answers) + "0\nwave.csv\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find(std::string(" Enter Starting Time (sec)\n") + c.console),
              std::string::npos)
        << r.out;
    auto wave = lines(d.read("wave.csv"));
    ASSERT_EQ(wave.size(), c.records + 1);
    // Past the frame of 1024 samples the window holds zeros, beside the zero times that
    // follow the rows read.
    if (c.records == 1025) {
      EXPECT_EQ(wave[1025], "   0.000,  0.0000E+00,  0.0000E+00,  0.0000E+00,");
    }
  }
}

// Integer answers outside 32 bits read as -2^31; none of them wraps to a yes or to a menu
// choice, and none makes a count overflow.
TEST(AnswerLimits, IntegersBeyond32BitsAreNo) {
  RunDir p;
  p.write("rec.csv", plain_record(200));
  RunResult plain = p.run(plain_answers("rec.csv"));
  const Files expected = files_of(p);
  // 2^32 + 1 and 2^32 + 2 would be 1 and 2 if cut to 32 bits.
  RunDir d;
  d.write("rec.csv", plain_record(200));
  RunResult r = d.run("rec.csv\n4294967297\n-4294967295\n4294967298\n4294967297\n0\nwave.csv\n\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, plain.out);
  const Files got = files_of(d);
  EXPECT_EQ(got.spectrum, expected.spectrum);
  EXPECT_EQ(got.wave, expected.wave);
}

TEST(AnswerLimits, SkipAnswersAtThe32BitLimits) {
  struct Case {
    const char* answer;
    std::size_t records;  // for nt = 1000
  };
  const Case cases[] = {
      {"2147483646", 1},  {"2147483647", 1},  {"2147483648", 0},
      {"-2147483647", 0}, {"-2147483648", 0}, {"99999999999999999999", 0},
  };
  RunDir d;
  d.write("rec.csv", plain_record(1000));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    RunResult r = d.run("rec.csv\n0\n0\n0\n0\n" + std::string(c.answer) + "\nwave.csv\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(lines(d.read("wave.csv")).size(), c.records + 1);
  }
}

// Windows whose start or length in samples lies at or beyond the 32-bit range, at
// dt = 0.01: the console shows the counts, the file holds the records they call for, and
// positions beyond the arrays read as zeros.
TEST(AnswerLimits, WindowsNearThe32BitLimits) {
  struct Case {
    const char* start;
    const char* duration;
    const char* skip;
    const char* nstime;
    const char* ndur;
    std::size_t records;
    const char* first;  // first data record, when there is one
  };
  const char* const zeros = "   0.000,  0.0000E+00,  0.0000E+00,  0.0000E+00,";
  const char* const first_sample = "   0.000,  0.1000E+01, -0.2500E+00,";  // a prefix
  const Case cases[] = {
      // 21474836.47 / 0.01 is 2147483646.9999998: the start is still in range.
      {"21474836.47", "0.05", "0", "2147483646", "6", 6, zeros},
      // 21474836.48 / 0.01 is 2^31 exactly: out of range.
      {"21474836.48", "0.05", "0", "-2147483648", "6", 6, zeros},
      {"-21474836.48", "0.05", "0", "-2147483648", "6", 6, zeros},
      {"-21474836.49", "0.05", "0", "-2147483648", "6", 6, zeros},
      {"1e300", "0.05", "0", "-2147483648", "6", 6, zeros},
      // The longest window: 2^31 - 1 samples, written every 10^8th.
      {"0", "21474836.46", "99999999", "0", "2147483647", 22, first_sample},
      // One more sample would not fit in 32 bits.
      {"0", "21474836.475", "0", "0", "-2147483647", 0, nullptr},
      {"0", "1e300", "0", "0", "-2147483647", 0, nullptr},
      {"0", "-1e300", "0", "0", "-2147483647", 0, nullptr},
      {"0", "-0.02", "0", "0", "-1", 0, nullptr},
  };
  RunDir d;
  d.write("rec.csv", plain_record(1000));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " " + c.duration);
    RunResult r = d.run("rec.csv\n0\n0\n0\n1\n" + std::string(c.start) + "\n" + c.duration + "\n" +
                        c.skip + "\nwave.csv\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string console = std::string(" Number of Cutting Data = ") + c.nstime +
                                "\n Enter Duration (sec)\n Number of data = " + c.ndur +
                                "\n New nt = " + c.ndur + "\n";
    EXPECT_NE(r.out.find(console), std::string::npos) << r.out;
    auto wave = lines(d.read("wave.csv"));
    ASSERT_EQ(wave.size(), c.records + 1);
    if (c.first != nullptr) {
      EXPECT_EQ(wave[1].substr(0, std::string(c.first).size()), c.first);
    }
    if (c.records == 22) {
      // Samples 10^8 + 1 onward lie beyond the arrays: zeros, with zero times.
      for (std::size_t i = 2; i < wave.size(); ++i) EXPECT_EQ(wave[i], zeros) << i;
    }
  }
}

}  // namespace
}  // namespace smfreq::testing
