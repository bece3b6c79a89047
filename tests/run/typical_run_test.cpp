// A whole run from record to waveform file, checked on its transcript and its files.
#include <string>

#include "support/records.h"
#include "support/runner.h"

namespace smfreq::testing {
namespace {

const char* const plain_transcript_1000 =
    "\n"
    "Enter input file of waveform data\n"
    "\n"
    " NT and DT= 1000  0.01\n"
    "\n"
    "  Change +/-? (YES=1)?? :\n"
    "\n"
    "  IF1,NF= 10 1024\n"
    "\n"
    "  DUR,DOM,NOM,EOM=  10.24  0.613592315 513  314.772858\n"
    "  Highest Frequency (hz)=  50.0976562\n"
    "\n"
    "  Band Pass Filter? (YES=1)?? :\n"
    "\n"
    "  Integration/Differentiation:\n"
    "  NO Change         :                 (Enter=0)\n"
    "  Integration       : Ex.) acc -> vel (Enter=1)\n"
    "  Double Integration: Ex.) acc -> dis (Enter=2)\n"
    "  Differentiation:  : Ex.) Vel -> acc (Enter=3)\n"
    "\n"
    " Fourier Spectrum data are stored in \"amp3.csv\"\n"
    "\n"
    " Cutting data? (No=0,Yes=1)\n"
    "\n"
    " Skip Data (no=0; yes=skip number)?\n"
    "\n"
    " Enter output file name of waveform (csv format file)\n";

TEST(TypicalRun, ThousandRowsAtTenMilliseconds) {
  RunDir d;
  d.write("rec.csv", plain_record(1000));
  RunResult r = d.run(plain_answers("rec.csv"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, plain_transcript_1000);

  auto echo = lines(d.read("fort.99"));
  ASSERT_EQ(echo.size(), 1000u);
  EXPECT_EQ(echo[0], "  0.  1. -0.25  0.");
  EXPECT_EQ(echo[1], "  0.01  2. -0.5  10.");
  EXPECT_EQ(echo[999], "  9.99  1000. -250.  0.");

  auto amp = lines(d.read("amp3.csv"));
  ASSERT_EQ(amp.size(), 514u);
  EXPECT_EQ(amp[0], " frequency(Hz),comp1, comp2, comp3");
  // Bin 1 is dt times the sum of the samples: 0.01 * 500500, 0.01 * -125125, 0.01 * 9990.
  EXPECT_EQ(amp[1], "  0.0000,  0.5005E+04,  0.1251E+04,  0.9990E+02,");
  EXPECT_EQ(amp[513].substr(0, 9), " 50.0000,");
  for (std::size_t i = 1; i < amp.size(); ++i) EXPECT_EQ(amp[i].size(), 48u) << amp[i];

  auto wave = lines(d.read("wave.csv"));
  ASSERT_EQ(wave.size(), 1001u);
  EXPECT_EQ(wave[0], " time(s),comp1, comp2, comp3");
  // No processing: the input comes back to within a few parts in 1e9 of its largest
  // value, so the zeros of channel 3 come back as tiny values.
  EXPECT_EQ(wave[1].substr(0, 35), "   0.000,  0.1000E+01, -0.2500E+00,");
  EXPECT_EQ(wave[2], "   0.010,  0.2000E+01, -0.5000E+00,  0.1000E+02,");
  EXPECT_EQ(wave[1000].substr(0, 35), "   9.990,  0.1000E+04, -0.2500E+03,");
  EXPECT_EQ(wave[1000].substr(43), "E-07,");
}

TEST(TypicalRun, CommaAndBlankSeparatedRecordsGiveTheSameFiles) {
  RunDir a, b;
  a.write("rec.csv", plain_record(300, 0.005, ","));
  b.write("rec.csv", plain_record(300, 0.005, " "));
  RunResult ra = a.run(plain_answers("rec.csv"));
  RunResult rb = b.run(plain_answers("rec.csv"));
  EXPECT_EQ(ra.status, 0);
  EXPECT_EQ(ra.out, rb.out);
  for (const char* f : {"fort.99", "amp3.csv", "wave.csv"}) EXPECT_EQ(a.read(f), b.read(f)) << f;
}

// Answers other than exactly 1 are a no; empty lines before an answer are skipped;
// text after an answer on its line is never seen; arguments change nothing.
TEST(TypicalRun, AnswerVariantsThatChangeNothing) {
  RunDir a, b;
  a.write("rec.csv", plain_record(64));
  b.write("rec.csv", plain_record(64));
  RunResult ra = a.run(plain_answers("rec.csv"));
  RunResult rb = b.run("rec.csv\n\n\n2\n-1 1 1\n10\n4,1\n0 1\nwave.csv\n\n", {"-x", "1"});
  EXPECT_EQ(rb.status, 0);
  EXPECT_EQ(ra.out, rb.out);
  for (const char* f : {"fort.99", "amp3.csv", "wave.csv"}) EXPECT_EQ(a.read(f), b.read(f)) << f;
}

TEST(TypicalRun, SignReversalNegatesTheChosenChannels) {
  RunDir d;
  d.write("rec.csv", plain_record(16));
  RunResult r = d.run("rec.csv\n1 0 0\n1\n0\n1\n0\n0\n0\n0\nwave.csv\n\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("  Change +/-? (YES=1)?? :\n\n"
                       "  Change from + to - of FILE 1 ? (YES=1)?? :\n"
                       "  Change from + to - of FILE 2 ? (YES=1)?? :\n"
                       "  Change from + to - of FILE 3 ? (YES=1)?? :\n\n  IF1,NF= 4 16\n"),
            std::string::npos)
      << r.out;
  auto wave = lines(d.read("wave.csv"));
  EXPECT_EQ(wave[2], "   0.010, -0.2000E+01, -0.5000E+00, -0.1000E+02,");
  EXPECT_EQ(wave[1].substr(0, 35), "   0.000, -0.1000E+01, -0.2500E+00,");
  EXPECT_EQ(lines(d.read("fort.99"))[1], "  0.01  2. -0.5  10.");  // the echo shows them as read
}

TEST(TypicalRun, SkipAnswers) {
  struct Case {
    const char* answer;
    std::size_t lines;  // data lines for nt = 1000
    const char* last_time;
  };
  const Case cases[] = {
      {"0", 1000, "   9.990"}, {"1", 500, "   9.980"}, {"2", 334, "   9.990"},
      {"999", 1, "   0.000"}, {"5000", 1, "   0.000"}, {"-1", 1000, "   9.990"},
      {"-2", 0, nullptr},      {"2147483647", 1, "   0.000"},
  };
  RunDir d;
  d.write("rec.csv", plain_record(1000));
  for (const Case& c : cases) {
    RunResult r = d.run("rec.csv\n0\n0\n0\n0\n" + std::string(c.answer) + "\nwave.csv\n\n");
    EXPECT_EQ(r.status, 0) << c.answer;
    auto wave = lines(d.read("wave.csv"));
    ASSERT_EQ(wave.size(), c.lines + 1) << c.answer;
    if (c.last_time != nullptr) {
      EXPECT_EQ(wave.back().substr(0, 8), c.last_time) << c.answer;
    }
  }
}

// A second run over the files of a longer first run leaves only its own contents.
TEST(TypicalRun, OutputsOfALongerEarlierRunAreCut) {
  RunDir d;
  d.write("long.csv", plain_record(2000));
  d.write("short.csv", plain_record(10));
  ASSERT_EQ(d.run(plain_answers("long.csv")).status, 0);
  ASSERT_EQ(d.run(plain_answers("short.csv")).status, 0);
  EXPECT_EQ(lines(d.read("fort.99")).size(), 10u);
  EXPECT_EQ(lines(d.read("amp3.csv")).size(), 10u);  // nf = 16: nom = 9 bins + header
  EXPECT_EQ(lines(d.read("wave.csv")).size(), 11u);
}

// The waveform may overwrite its own input, which is closed by then.
TEST(TypicalRun, OutputOverTheInputFile) {
  RunDir d;
  d.write("rec.csv", plain_record(8));
  RunResult r = d.run(plain_answers("rec.csv", "rec.csv   "));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(lines(d.read("rec.csv")).size(), 9u);
  EXPECT_EQ(lines(d.read("rec.csv"))[0], " time(s),comp1, comp2, comp3");
}

TEST(TypicalRun, EndOfInputAtTheFinalWaitStopsNormally) {
  RunDir d;
  d.write("rec.csv", plain_record(8));
  RunResult r = d.run("rec.csv\n0\n0\n0\n0\n0\nwave.csv\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(lines(d.read("wave.csv")).size(), 9u);
}

}  // namespace
}  // namespace smfreq::testing
