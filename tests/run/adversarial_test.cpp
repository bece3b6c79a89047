// Whole runs on hostile input and a hostile file system: huge lines, stray bytes, records
// longer than the arrays, names that cannot be opened or written, a full device, a folder
// that takes no new files, and the end of input at every question. Each run must end with
// its report or a sound result, and leave every file complete.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/readonly.h"
#include "support/records.h"
#include "support/runner.h"

namespace smfreq::testing {
namespace {

namespace fs = std::filesystem;

const char* const reading = "lately reading sequential formatted external IO\n";
const char* const writing = "lately writing sequential formatted external IO\n";

// The I/O error report: where-text and message, the unit (named or a standard stream),
// the format line when there is one, and the direction line.
std::string report(const std::string& first, int unit, const std::string& name, const char* format,
                   const char* lately) {
  std::string r = first + "\napparent state: unit " + std::to_string(unit) + " ";
  r += name.empty() ? std::string("(unnamed)") : "named " + name;
  r += "\n";
  if (format != nullptr) r += std::string("last format: ") + format + "\n";
  return r + lately;
}

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The rows of plain_record(rows), without its two header lines.
std::string plain_rows(int rows) {
  std::string r = plain_record(rows);
  return r.substr(r.find('\n', r.find('\n') + 1) + 1);
}

// Everything a run leaves: the transcript and the three files.
struct Outputs {
  std::string out, echo, spectrum, wave;
};

Outputs outputs(const RunDir& d, const RunResult& r, const std::string& wave = "wave.csv") {
  return {r.out, d.read("fort.99"), d.read("amp3.csv"), d.read(wave)};
}

void expect_same(const Outputs& a, const Outputs& b) {
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(a.echo, b.echo);
  EXPECT_EQ(a.spectrum, b.spectrum);
  EXPECT_EQ(a.wave, b.wave);
}

// The files of an undisturbed run of plain_record(rows).
Outputs plain_outputs(int rows) {
  RunDir d;
  d.write("rec.csv", plain_record(rows));
  RunResult r = d.run(plain_answers("rec.csv"));
  EXPECT_EQ(r.status, 0);
  return outputs(d, r);
}

constexpr std::size_t mb50 = 50u << 20;

// Records holding one 50 MB line that list-directed input must take in its stride: they
// read as the plain record of 100 rows.
TEST(Adversarial, FiftyMegabyteLinesReadAsThePlainRecord) {
  const Outputs plain = plain_outputs(100);
  const std::string rows = plain_rows(100);
  const std::size_t row2 = rows.find('\n') + 1;  // start of the second row
  const std::size_t row3 = rows.find('\n', row2) + 1;
  struct Case {
    const char* what;
    std::string record;
  };
  const Case cases[] = {
      {"title word", std::string(mb50, 'x') + " a b c\nunits\n" + rows},
      {"quoted title value", "'" + std::string(mb50, 'q') + "' a b c\nunits\n" + rows},
      {"skipped line", "time a b c\n" + std::string(mb50, '9') + "\n" + rows},
      {"leading zeros of a time value",
       "time a b c\nunits\n" + rows.substr(0, row2) + std::string(mb50, '0') + rows.substr(row2)},
      {"blanks after a row", "time a b c\nunits\n" + rows.substr(0, row3 - 1) +
                                 std::string(mb50, ' ') + rows.substr(row3 - 1)},
      {"values after the 43rd", "time a b c\nunits\n" + rows.substr(0, row3 - 1) +
                                    std::string(mb50, ',') + rows.substr(row3 - 1)},
      {"blanks after the last row, no line end",
       "time a b c\nunits\n" + rows.substr(0, rows.size() - 1) + std::string(mb50, ' ')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunDir d;
    d.write("rec.csv", c.record);
    RunResult r = d.run(plain_answers("rec.csv"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    expect_same(outputs(d, r), plain);
  }
}

// A file that is a single 50 MB line: the header takes its first four words and the skip
// READ then starts at the end of the file.
TEST(Adversarial, FiftyMegabyteSingleLineFile) {
  RunDir d;
  std::string line = "a b c d ";
  line.resize(mb50, 'z');
  d.write("rec.csv", line);
  RunResult r = d.run(plain_answers("rec.csv"));
  EXPECT_TRUE(r.aborted());
  EXPECT_EQ(r.err, report("read start: end of file", 11, "rec.csv", "list io", reading));
  EXPECT_FALSE(d.exists("fort.99"));
  EXPECT_EQ(d.read("rec.csv").size(), mb50);
}

// NUL bytes and invalid UTF-8: in header text they are characters like any other; in a
// data row they are no number; in a file name NUL cannot be passed to the system, while any
// other byte is part of the name.
TEST(Adversarial, StrayBytesInRecordsAndNames) {
  const Outputs plain = plain_outputs(100);
  const std::string rows = plain_rows(100);
  const std::size_t row3 = rows.find('\n', rows.find('\n') + 1) + 1;
  const std::string nul(1, '\0');
  for (const std::string& bad : {nul, std::string("\xc3\x28\xff")}) {
    SCOPED_TRACE(bad == nul ? "NUL" : "invalid UTF-8");
    {
      RunDir d;  // in a title word
      d.write("rec.csv", "ti" + bad + "tle a b c\nunits" + bad + "\n" + rows);
      RunResult r = d.run(plain_answers("rec.csv"));
      EXPECT_EQ(r.status, 0);
      expect_same(outputs(d, r), plain);
    }
    {
      RunDir d;  // in the third row, after its first value
      const std::string head = "time a b c\nunits\n";
      std::string rec = head + rows;
      rec.insert(rec.find(',', head.size() + row3), bad);
      d.write("rec.csv", rec);
      RunResult r = d.run(plain_answers("rec.csv"));
      EXPECT_TRUE(r.aborted());
      EXPECT_EQ(r.err, report("invalid number: incomprehensible list input", 11, "rec.csv",
                              "list io", reading));
      EXPECT_EQ(lines(d.read("fort.99")).size(), 2u);
    }
    const std::string odd_name = "re" + bad + "c.csv";
    if (bad == nul) {
      RunDir d;  // as the input name: refused, and no file of a shortened name is made
      d.write("re", "a b c d\n");
      RunResult r = d.run(plain_answers(odd_name));
      EXPECT_TRUE(r.aborted());
      EXPECT_EQ(r.err, report("open: Invalid argument", 11, odd_name, nullptr, reading));
      EXPECT_FALSE(d.exists("fort.99"));
      EXPECT_EQ(d.read("re"), "a b c d\n");

      RunDir o;  // as the output name
      o.write("rec.csv", plain_record(100));
      r = o.run(plain_answers("rec.csv", odd_name));
      EXPECT_TRUE(r.aborted());
      EXPECT_EQ(r.err, report("open: Invalid argument", 11, odd_name, nullptr, reading));
      EXPECT_EQ(o.read("fort.99"), plain.echo);
      EXPECT_EQ(o.read("amp3.csv"), plain.spectrum);
      EXPECT_FALSE(o.exists("re"));
    } else {
      RunDir d;  // as the input name and the output name
      d.write(odd_name, plain_record(100));
      RunResult r = d.run(plain_answers(odd_name, odd_name + ".out"));
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(r.err, "");
      expect_same(outputs(d, r, odd_name + ".out"), plain);
    }
  }
}

// Started without a standard stream. Without standard error, the report of a bad row goes
// nowhere, and above all not into the record file, which would otherwise have taken
// descriptor 2. Without standard input or output, the first console READ fails before any
// file is opened.
TEST(Adversarial, StandardStreamsClosed) {
  std::string bad_record = plain_record(10);
  bad_record.replace(bad_record.rfind('\n', bad_record.size() - 2) + 1, 4, "word");
  struct Case {
    int fd;
    const std::string record;
    int status;  // -1: aborted
    std::size_t echoed;
    const char* first_line;  // of standard error
  };
  const Case cases[] = {
      {2, bad_record, -1, 9, ""},
      {2, plain_record(10), 0, 10, ""},
      {1, plain_record(10), -1, 0, "write: Bad file descriptor\n"},
      {0, plain_record(10), -1, 0, "fmt: Bad file descriptor\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fd);
    RunDir d;
    d.write("rec.csv", c.record);
    d.start_without(c.fd);
    RunResult r = d.run(plain_answers("rec.csv"));
    if (c.status < 0) {
      EXPECT_TRUE(r.aborted());
    } else {
      EXPECT_EQ(r.status, c.status);
    }
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), c.first_line);
    EXPECT_EQ(d.read("rec.csv"), c.record);
    EXPECT_EQ(lines(d.read("fort.99")).size(), c.echoed);
  }
}

// The console goes into a pipe whose reader quits mid-run (a pager, `head`): the next
// console write fails, and the run ends with the report after the exit action has
// completed and cut the echo file, instead of dying with the file half-written.
TEST(Adversarial, ConsoleReaderGoneMidRun) {
  RunDir d;
  d.write("rec.csv", plain_record(5000));  // more echo records than one buffer holds
  std::string old;
  for (int i = 0; i < 20000; ++i) old += "an older and longer echo file\n";
  d.write("fort.99", old);
  RunResult r =
      d.run_reader_gone("rec.csv\n", "  Change +/-? (YES=1)?? :\n", "0\n0\n0\n0\n0\nwave.csv\n\n");
  EXPECT_TRUE(r.aborted()) << "status " << r.status << ", signal " << r.signal;
  EXPECT_EQ(r.err, report("write: Broken pipe", 5, "", "list io", writing));
  auto echo = lines(d.read("fort.99"));
  ASSERT_EQ(echo.size(), 5000u);
  EXPECT_EQ(echo[4999], "  49.99  5000. -1250.  10.");
  EXPECT_FALSE(d.exists("amp3.csv"));
}

// A record of `rows` rows whose channel 1 is the row number, quick to make in bulk.
std::string bulk_record(int rows) {
  std::string s = "time a b c\nunits\n";
  s.reserve(static_cast<std::size_t>(rows) * 110);
  const std::string before = std::string(",0") + ",0,0,0,0,0,0,0,0,0,0,0";  // values 1..12
  const std::string after = ",2,0,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n";
  char t[32];
  for (int i = 0; i < rows; ++i) {
    std::snprintf(t, sizeof t, "%d.%02d", i / 100, i % 100);
    s += t;
    s += before;
    s += ',';
    s += std::to_string(i + 1);
    s += after;
  }
  return s;
}

// More rows than any transform takes, and more than the arrays hold: every row is echoed,
// the sign questions are asked, and the run stops with the length message and status 0.
TEST(Adversarial, RecordsLongerThanTheLongestTransform) {
  for (int rows : {131073, 200000}) {
    SCOPED_TRACE(rows);
    RunDir d;
    d.write("rec.csv", bulk_record(rows));
    RunResult r = d.run("rec.csv\n1\n1\n1\n1\nwave.csv\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "\nEnter input file of waveform data\n\n NT and DT= " + std::to_string(rows) +
                         "  0.01\n\n  Change +/-? (YES=1)?? :\n\n"
                         "  Change from + to - of FILE 1 ? (YES=1)?? :\n"
                         "  Change from + to - of FILE 2 ? (YES=1)?? :\n"
                         "  Change from + to - of FILE 3 ? (YES=1)?? :\n"
                         "  NT>2**17 !!!!!\n");
    auto echo = lines(d.read("fort.99"));
    ASSERT_EQ(echo.size(), static_cast<std::size_t>(rows));
    EXPECT_EQ(echo[0], "  0.  1.  2.  3.");
    if (rows > 132000) {
      EXPECT_EQ(echo[131999], "  1319.99  132000.  2.  3.");  // the last row the arrays hold
    }
    EXPECT_EQ(echo.back(),
              rows == 131073 ? "  1310.72  131073.  2.  3." : "  1999.99  200000.  2.  3.");
    EXPECT_FALSE(d.exists("amp3.csv"));
    EXPECT_FALSE(d.exists("wave.csv"));
  }
}

// Names that cannot be opened as a file, or written: the report of the OPEN or of the first
// WRITE, an abnormal end, the files before it complete, the named thing untouched.
TEST(Adversarial, NamesThatCannotTakeTheOutput) {
  const Outputs plain = plain_outputs(1000);
  {
    RunDir d;  // a folder as the input name
    fs::create_directory(d.path() / "sub");
    RunResult r = d.run(plain_answers("sub"));
    EXPECT_TRUE(r.aborted());
    EXPECT_EQ(r.err, report("open: Is a directory", 11, "sub", nullptr, reading));
    EXPECT_FALSE(d.exists("fort.99"));
  }
  struct Case {
    const char* name;
    std::string err;
  };
  const Case cases[] = {
      {"sub", report("open: Is a directory", 11, "sub", nullptr, reading)},
      {"nodir/wave.csv",
       report("open: No such file or directory", 11, "nodir/wave.csv", nullptr, reading)},
      {"ro.csv", report("list output start: can't write file", 11, "ro.csv", "list io", writing)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunDir d;
    d.write("rec.csv", plain_record(1000));
    fs::create_directory(d.path() / "sub");
    d.write("ro.csv", "old contents\n");
    const bool read_only = make_read_only(d.file("ro.csv"));
    if (std::string(c.name) == "ro.csv" && !read_only) {
      make_writable(d.file("ro.csv"));
      GTEST_SKIP() << "no read-only file here";
    }
    RunResult r = d.run(plain_answers("rec.csv", c.name));
    make_writable(d.file("ro.csv"));
    EXPECT_TRUE(r.aborted());
    EXPECT_EQ(r.err, c.err);
    EXPECT_TRUE(ends_with(r.out, " Enter output file name of waveform (csv format file)\n"));
    EXPECT_EQ(d.read("fort.99"), plain.echo);
    EXPECT_EQ(d.read("amp3.csv"), plain.spectrum);
    EXPECT_EQ(d.read("ro.csv"), "old contents\n");
    EXPECT_TRUE(fs::is_empty(d.path() / "sub"));
    EXPECT_FALSE(d.exists("nodir"));
  }
}

// Writes that the device refuses: the waveform file, the spectrum file or the echo file on
// a full device. Whether the refusal comes with a full buffer or at the close, the run ends
// with the report and an abnormal end, never with status 0.
TEST(Adversarial, WritesToAFullDevice) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  const char* const full = "write: No space left on device";
  const char* const wave_format = "(F8.3,4(',',E12.4))";
  struct Case {
    const char* what;
    int rows;
    const char* link;  // the file name made a link to /dev/full ("" for none)
    const char* out;   // the output name typed
    std::string err;
  };
  const Case cases[] = {
      // 1000 records fit the unit's buffer: the write fails at the close.
      {"waveform, at the close", 1000, "", "/dev/full",
       report(full, 11, "/dev/full", nullptr, writing)},
      // 3000 records do not: the write fails while a record is being written.
      {"waveform, with a full buffer", 3000, "", "/dev/full",
       report(full, 11, "/dev/full", wave_format, writing)},
      {"spectrum file", 1000, "amp3.csv", "wave.csv",
       report(full, 10, "amp3.csv", nullptr, writing)},
      // The echo file is closed at the stop; the waveform file is complete by then.
      {"echo file, at the stop", 1000, "fort.99", "wave.csv",
       report(full, 99, "fort.99", "list io", reading)},
      {"echo file, with a full buffer", 5000, "fort.99", "wave.csv",
       report(full, 99, "fort.99", "list io", writing)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunDir d;
    d.write("rec.csv", plain_record(c.rows));
    if (*c.link != '\0') fs::create_symlink("/dev/full", d.path() / c.link);
    RunResult r = d.run(plain_answers("rec.csv", c.out));
    EXPECT_TRUE(r.aborted()) << "status " << r.status;
    EXPECT_EQ(r.err, c.err);
    if (std::string(c.link) != "fort.99") {
      EXPECT_EQ(lines(d.read("fort.99")).size(), static_cast<std::size_t>(c.rows));
    }
    if (std::string(c.link) == "fort.99" && c.rows == 1000) {
      EXPECT_EQ(lines(d.read("wave.csv")).size(), 1001u);
    }
  }
}

// Makes a folder refuse new entries, also for root (the immutable attribute). False when
// the host does not allow it.
bool freeze(const fs::path& dir) {
  if (::geteuid() == 0) {
    if (!set_immutable(dir.string(), true)) return false;
  } else {
    ::chmod(dir.c_str(), 0555);
  }
  const fs::path probe = dir / "probe";
  int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT, 0644);
  if (fd < 0) return true;
  ::close(fd);
  ::unlink(probe.c_str());
  return false;
}

void thaw(const fs::path& dir) {
  set_immutable(dir.string(), false);
  ::chmod(dir.c_str(), 0755);
}

// A working folder that takes no new file: the echo file cannot be made at the first echo.
TEST(Adversarial, WorkingFolderNotWritable) {
  RunDir d;
  const fs::path work = d.path() / "work";
  fs::create_directory(work);
  std::ofstream(work / "rec.csv") << plain_record(10);
  const bool frozen = freeze(work);
  if (!frozen) {
    thaw(work);
    GTEST_SKIP() << "no folder here refuses new files";
  }
  d.work_in("work");
  RunResult r = d.run(plain_answers("rec.csv"));
  const bool echo_made = fs::exists(work / "fort.99");
  thaw(work);
  EXPECT_TRUE(r.aborted());
  EXPECT_EQ(r.err, report("lio: formatted io not allowed", 99, "fort.99", "list io", reading));
  EXPECT_EQ(r.out, "\nEnter input file of waveform data\n");
  EXPECT_FALSE(echo_made);
}

// The end of standard input at each question ends the run with the end-of-file report; the
// files written up to then are complete and the waveform file is never begun.
TEST(Adversarial, EndOfInputAtEveryQuestion) {
  const std::string list_eof = report("list in: end of file", 5, "", "list io", reading);
  struct Case {
    const char* input;
    const char* prompt;  // the last console line
    std::string err;
    bool spectrum;  // "amp3.csv" written by then
  };
  const Case cases[] = {
      {"", "Enter input file of waveform data\n",
       report("fmt: end of file", 5, "", "(A90)", reading), false},
      {"rec.c", "Enter input file of waveform data\n",
       report("fmt: end of file", 5, "", "(A90)", reading), false},
      {"rec.csv\n", "  Change +/-? (YES=1)?? :\n", list_eof, false},
      {"rec.csv\n1\n", "  Change from + to - of FILE 1 ? (YES=1)?? :\n", list_eof, false},
      {"rec.csv\n1\n1\n", "  Change from + to - of FILE 2 ? (YES=1)?? :\n", list_eof, false},
      {"rec.csv\n1\n1\n1\n", "  Change from + to - of FILE 3 ? (YES=1)?? :\n", list_eof, false},
      {"rec.csv\n0\n", "  Band Pass Filter? (YES=1)?? :\n", list_eof, false},
      {"rec.csv\n0\n1\n", "  ENTER fL1<fL2<fH1<fH2 (Hz)\n", list_eof, false},
      {"rec.csv\n0\n1\n0.5 1\n\n", "  ENTER fL1<fL2<fH1<fH2 (Hz)\n", list_eof, false},
      {"rec.csv\n0\n0\n", " Differentiation:  : Ex.) Vel -> acc (Enter=3)\n", list_eof, false},
      {"rec.csv\n0\n0\n0\n", " Cutting data? (No=0,Yes=1)\n", list_eof, true},
      {"rec.csv\n0\n0\n0\n1\n", " Enter Starting Time (sec)\n", list_eof, true},
      {"rec.csv\n0\n0\n0\n1\n1\n", " Enter Duration (sec)\n", list_eof, true},
      {"rec.csv\n0\n0\n0\n0\n", " Skip Data (no=0; yes=skip number)?\n", list_eof, true},
      {"rec.csv\n0\n0\n0\n0\n0\n", " Enter output file name of waveform (csv format file)\n",
       report("fmt: end of file", 5, "", "(A90)", reading), true},
      // An answer without a line end is read; the next question then starts at the end.
      {"rec.csv\n0", "  Band Pass Filter? (YES=1)?? :\n",
       report("read start: end of file", 5, "", "list io", reading), false},
      {"rec.csv\n0\n0\n0\n0\n0", " Enter output file name of waveform (csv format file)\n",
       report("read start: end of file", 5, "", "(A90)", reading), true},
  };
  RunDir d;
  d.write("rec.csv", plain_record(1000));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    std::error_code ec;
    fs::remove(d.path() / "fort.99", ec);
    fs::remove(d.path() / "amp3.csv", ec);
    RunResult r = d.run(c.input);
    EXPECT_TRUE(r.aborted());
    EXPECT_EQ(r.err, c.err);
    EXPECT_TRUE(ends_with(r.out, c.prompt)) << r.out;
    const bool record_read = std::string(c.input).find('\n') != std::string::npos;
    EXPECT_EQ(lines(d.read("fort.99")).size(), record_read ? 1000u : 0u);
    EXPECT_EQ(d.exists("amp3.csv"), c.spectrum);
    if (c.spectrum) {
      EXPECT_EQ(lines(d.read("amp3.csv")).size(), 514u);
    }
    EXPECT_FALSE(d.exists("wave.csv"));
  }
}

}  // namespace
}  // namespace smfreq::testing
