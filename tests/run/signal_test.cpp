// Interrupt and termination requests while the program waits for an answer: the message,
// status 1, and every file complete and cut by the exit action.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "support/records.h"
#include "support/runner.h"

namespace smfreq::testing {
namespace {

const char* const name_prompt = "Enter input file of waveform data\n";
const char* const sign_prompt = "  Change +/-? (YES=1)?? :\n";
const char* const output_prompt = " Enter output file name of waveform (csv format file)\n";

// An older echo file, longer than this run's, whose rest must not survive.
std::string old_echo() {
  std::string s;
  for (int i = 0; i < 5000; ++i)
    s += " an older and much longer echo record " + std::to_string(i) + "\n";
  return s;
}

struct Stop {
  const char* where;
  const char* answers;  // written before the signal
  const char* prompt;   // the program waits after this
  bool spectrum;        // "amp3.csv" has been written by then
  bool waveform;        // and the waveform file
};

const Stop stops[] = {
    {"file name", "", name_prompt, false, false},
    {"sign reversal", "rec.csv\n", sign_prompt, false, false},
    {"output file name", "rec.csv\n0\n0\n0\n0\n0\n", output_prompt, true, false},
    {"final wait", "rec.csv\n0\n0\n0\n0\n0\nwave.csv\n", output_prompt, true, true},
};

struct Signal {
  int sig;
  const char* message;
};

TEST(Signals, InterruptAndTerminationCloseEveryFile) {
  const Signal signals[] = {{SIGINT, "Interrupt\n"}, {SIGTERM, "Killed\n"}};
  const std::string record = plain_record(1000);
  for (const Signal& g : signals) {
    for (const Stop& s : stops) {
      SCOPED_TRACE(std::string(g.message) + " at the " + s.where);
      RunDir d;
      d.write("rec.csv", record);
      d.write("fort.99", old_echo());
      d.write("amp3.csv", old_echo());
      RunResult r = d.run_interrupted(s.answers, s.prompt, g.sig);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.signal, 0);
      EXPECT_EQ(r.err, g.message);
      EXPECT_EQ(d.read("rec.csv"), record);

      auto echo = lines(d.read("fort.99"));
      if (s.prompt == name_prompt) {
        // Nothing was read: the older echo file is left as it was.
        EXPECT_EQ(d.read("fort.99"), old_echo());
        continue;
      }
      ASSERT_EQ(echo.size(), 1000u);
      EXPECT_EQ(echo[0], "  0.  1. -0.25  0.");
      EXPECT_EQ(echo[999], "  9.99  1000. -250.  0.");

      auto amp = lines(d.read("amp3.csv"));
      if (s.spectrum) {
        ASSERT_EQ(amp.size(), 514u);
        EXPECT_EQ(amp[513].substr(0, 9), " 50.0000,");
      } else {
        EXPECT_EQ(d.read("amp3.csv"), old_echo());
      }
      EXPECT_EQ(d.exists("wave.csv"), s.waveform);
      if (s.waveform) {
        EXPECT_EQ(lines(d.read("wave.csv")).size(), 1001u);
      }
    }
  }
}

// Started with the interrupt signal ignored, the program keeps ignoring it; a termination
// request still ends it.
TEST(Signals, IgnoredInterruptStaysIgnored) {
  RunDir d;
  d.write("rec.csv", plain_record(100));
  RunResult r = d.run_interrupted("rec.csv\n", sign_prompt, SIGINT, "0\n0\n0\n0\n0\nwave.csv\n\n",
                                  /*ignore_sigint=*/true);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.substr(r.out.size() - std::string(output_prompt).size()), output_prompt);
  EXPECT_EQ(lines(d.read("fort.99")).size(), 100u);
  EXPECT_EQ(lines(d.read("wave.csv")).size(), 101u);

  RunDir t;
  t.write("rec.csv", plain_record(100));
  RunResult k = t.run_interrupted("rec.csv\n", sign_prompt, SIGTERM, "", /*ignore_sigint=*/true);
  EXPECT_EQ(k.status, 1);
  EXPECT_EQ(k.err, "Killed\n");
  EXPECT_EQ(lines(t.read("fort.99")).size(), 100u);
}

// A floating-point exception or abort signal: its message, every file complete and cut,
// then a real abort (the handler does not run a second time).
TEST(Signals, FatalSignalsCloseEveryFileAndAbort) {
  const Signal signals[] = {{SIGFPE, "Floating Exception\n"}, {SIGABRT, "IOT Trap\n"}};
  for (const Signal& g : signals) {
    SCOPED_TRACE(g.message);
    RunDir d;
    d.write("rec.csv", plain_record(300));
    d.write("fort.99", old_echo());
    RunResult r = d.run_interrupted("rec.csv\n0\n0\n0\n0\n0\n", output_prompt, g.sig);
    EXPECT_TRUE(r.aborted());
    EXPECT_EQ(r.err, g.message);
    EXPECT_EQ(lines(d.read("fort.99")).size(), 300u);
    EXPECT_EQ(lines(d.read("amp3.csv")).size(), 258u);
  }
}

// The exit action run by a handler must not write again what the program had begun to
// write when the signal came. The echo file is a FIFO of one page here, so the program's
// first buffer write stops after that page and the interrupt arrives in the middle of it.
TEST(Signals, ExitActionWritesNothingTwice) {
  RunDir d;
  d.write("rec.csv", plain_record(5000));  // about 110 KB of echo records
  RunDir plain;
  plain.write("rec.csv", plain_record(5000));
  ASSERT_EQ(plain.run(plain_answers("rec.csv")).status, 0);
  const std::string echo = plain.read("fort.99");

  ASSERT_EQ(::mkfifo(d.file("fort.99").c_str(), 0644), 0);
  const int fifo = ::open(d.file("fort.99").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fifo, 0);
  if (::fcntl(fifo, F_SETPIPE_SZ, 4096) < 0) {
    ::close(fifo);
    GTEST_SKIP() << "pipe size cannot be set";
  }
  // Read the FIFO only once the signal is sent, until the program has closed it.
  std::atomic<bool> signalled{false};
  std::string got;
  std::thread drain([&] {
    while (!signalled) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    char buf[65536];
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{fifo, POLLIN, 0};
      ::poll(&p, 1, 100);
      const ssize_t n = ::read(fifo, buf, sizeof buf);
      if (n == 0) break;  // no writer left
      if (n > 0) got.append(buf, static_cast<std::size_t>(n));
    }
  });
  d.after_signal([&] { signalled = true; });
  RunResult r = d.run_interrupted("rec.csv\n", name_prompt, SIGINT);
  signalled = true;
  drain.join();
  ::close(fifo);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Interrupt\n");
  EXPECT_GE(got.size(), 4096u);
  EXPECT_EQ(got, echo.substr(0, got.size())) << "the echo file repeats what was written";
}

}  // namespace
}  // namespace smfreq::testing
