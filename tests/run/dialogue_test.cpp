// The console dialogue of the optional steps, and answers that end the run.
#include <string>

#include "support/records.h"
#include "support/runner.h"

namespace smfreq::testing {
namespace {

std::string after(const std::string& text, const std::string& marker) {
  std::size_t p = text.find(marker);
  return p == std::string::npos ? std::string("(missing: " + marker + ")") : text.substr(p);
}

TEST(Dialogue, FilterIntegrationAndWindow) {
  RunDir d;
  d.write("rec.csv", plain_record(1000));
  // Corners over two lines, integration, a window from 2.5 s of 5 s.
  RunResult r = d.run("rec.csv\n0\n1\n0.1 0.2\n20 25\n1\n1\n2.5\n5\n0\nwave.csv\n\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(after(r.out, "  Band Pass"),
            "  Band Pass Filter? (YES=1)?? :\n"
            "\n"
            "   TRAPEZOIDAL BAND PATH FILTER\n"  // two blanks of its own
            "   ENTER fL1<fL2<fH1<fH2 (Hz)\n"
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
            " Enter Starting Time (sec)\n"
            " Number of Cutting Data = 250\n"
            " Enter Duration (sec)\n"
            " Number of data = 501\n"
            " New nt = 501\n"
            "\n"
            " Skip Data (no=0; yes=skip number)?\n"
            "\n"
            " Enter output file name of waveform (csv format file)\n");
  auto wave = lines(d.read("wave.csv"));
  ASSERT_EQ(wave.size(), 502u);
  // The window is written beside the input's first time values.
  EXPECT_EQ(wave[1].substr(0, 9), "   0.000,");
  EXPECT_EQ(wave[501].substr(0, 9), "   5.000,");
}

struct WindowCase {
  const char* answers;  // start and duration lines
  const char* lines;    // the three report lines
  std::size_t records;
};

TEST(Dialogue, WindowCounts) {
  const WindowCase cases[] = {
      {"0\n5\n", " Number of Cutting Data = 0\n Enter Duration (sec)\n Number of data = 501\n"
                 " New nt = 501\n", 501},
      {"-0.5\n0.1\n", " Number of Cutting Data = -50\n Enter Duration (sec)\n Number of data = 11\n"
                      " New nt = 11\n", 11},
      {"-0.005\n0\n", " Number of Cutting Data = 0\n Enter Duration (sec)\n Number of data = 1\n"
                      " New nt = 1\n", 1},
      {"0\n-0.02\n", " Number of Cutting Data = 0\n Enter Duration (sec)\n Number of data = -1\n"
                     " New nt = -1\n", 0},
      {"-1e12\n1e9\n", " Number of Cutting Data = -2147483648\n Enter Duration (sec)\n"
                       " Number of data = -2147483647\n New nt = -2147483647\n", 0},
      {",\n,\n", " Number of Cutting Data = 0\n Enter Duration (sec)\n Number of data = 1025\n"
                 " New nt = 1025\n", 1025},  // null answers: start 0, the frame length
  };
  RunDir d;
  d.write("rec.csv", plain_record(1000));
  for (const WindowCase& c : cases) {
    RunResult r = d.run("rec.csv\n0\n0\n0\n1\n" + std::string(c.answers) + "0\nwave.csv\n\n");
    EXPECT_EQ(r.status, 0) << c.answers << r.err;
    EXPECT_NE(r.out.find(" Enter Starting Time (sec)\n" + std::string(c.lines) + "\n"),
              std::string::npos)
        << c.answers << r.out;
    EXPECT_EQ(lines(d.read("wave.csv")).size(), c.records + 1) << c.answers;
  }
}

TEST(Dialogue, WrongAnswerTypesEndTheRun) {
  struct Case {
    const char* answers;
    const char* first_line;
  };
  const Case cases[] = {
      {"rec.csv\nyes\n", "invalid number: incomprehensible list input\n"},
      {"rec.csv\n1.0\n", "invalid integer: read unexpected character\n"},
      {"rec.csv\n0\n1\n0 1 x 3\n", "invalid number: incomprehensible list input\n"},
      {"rec.csv\n0\n0\n1e3\n", "invalid integer: read unexpected character\n"},
      {"rec.csv\n0\n0\n0\n1\n1.5e\n", "exponent field: incomprehensible list input\n"},
      {"rec.csv\n0\n0\n0\n0\n1.5\n", "invalid integer: read unexpected character\n"},
  };
  for (const Case& c : cases) {
    RunDir d;
    d.write("rec.csv", plain_record(20));
    RunResult r = d.run(c.answers);
    EXPECT_TRUE(r.aborted()) << c.answers;
    EXPECT_EQ(r.err, std::string(c.first_line) +
                         "apparent state: unit 5 (unnamed)\nlast format: list io\n"
                         "lately reading sequential formatted external IO\n")
        << c.answers;
    EXPECT_EQ(lines(d.read("fort.99")).size(), 20u) << c.answers;  // complete and closed
  }
}

}  // namespace
}  // namespace smfreq::testing
