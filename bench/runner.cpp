// runner: times whole runs of a program, as a user would start it.
//
//   runner [-n RUNS] [-w WARMUPS] [-p CPU] [-C DIR] [-i STDIN] [-o STDOUT] -- PROGRAM [ARGS...]
//
// Runs PROGRAM WARMUPS times untimed (default 1), then RUNS times (default 5), each in folder DIR
// (default: the current one) with standard input from STDIN and standard output to STDOUT
// (default: /dev/null for both), on processor CPU only when -p is given. Wall time is taken around
// fork/exec/wait with the monotonic clock; the peak resident set of each run comes from wait4(2),
// which reports the child's own maximum (in KiB), so it is that run's figure and not a maximum over
// earlier children.
//
// Prints one line:  runs=R median_s=... min_s=... max_s=... cpu_median_s=... maxrss_kib=...
// (cpu: user plus system time of the child, less disturbed by other load than the wall time;
// maxrss_kib is the largest over the timed runs). Exits with status 1 when any run fails.
// PROGRAM is started with execv: give its path, absolute when -C is used.
#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
  int runs = 5;
  int warmups = 1;
  int cpu = -1;  // no pinning
  std::string dir;
  std::string in = "/dev/null";
  std::string out = "/dev/null";
  std::vector<char*> argv;
};

[[noreturn]] void usage() {
  std::fprintf(stderr,
               "usage: runner [-n RUNS] [-w WARMUPS] [-p CPU] [-C DIR] [-i STDIN] [-o STDOUT] -- "
               "PROGRAM [ARGS...]\n");
  std::exit(2);
}

int to_count(const char* s) {
  char* end = nullptr;
  long v = std::strtol(s, &end, 10);
  if (end == s || *end != '\0' || v < 0 || v > 100000) usage();
  return static_cast<int>(v);
}

Options parse(int argc, char** argv) {
  Options o;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) usage();
    if (a == "-n") {
      o.runs = to_count(argv[++i]);
    } else if (a == "-w") {
      o.warmups = to_count(argv[++i]);
    } else if (a == "-p") {
      o.cpu = to_count(argv[++i]);
    } else if (a == "-C") {
      o.dir = argv[++i];
    } else if (a == "-i") {
      o.in = argv[++i];
    } else if (a == "-o") {
      o.out = argv[++i];
    } else {
      usage();
    }
  }
  if (i >= argc || o.runs < 1) usage();
  for (; i < argc; ++i) o.argv.push_back(argv[i]);
  o.argv.push_back(nullptr);
  return o;
}

// In the child: nothing but async-signal-safe calls between fork and exec.
[[noreturn]] void child(const Options& o, int in_fd, int out_fd) {
  if (o.cpu >= 0) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(o.cpu, &set);
    if (::sched_setaffinity(0, sizeof set, &set) != 0) ::_exit(125);
  }
  if (!o.dir.empty() && ::chdir(o.dir.c_str()) != 0) ::_exit(126);
  if (::dup2(in_fd, 0) < 0 || ::dup2(out_fd, 1) < 0) ::_exit(126);
  ::execv(o.argv[0], o.argv.data());
  ::_exit(127);
}

struct Sample {
  double seconds;
  double cpu_seconds;
  long maxrss_kib;
};

double to_seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

Sample run_once(const Options& o) {
  // Opened afresh for each run so that every run reads its input from the start.
  int in_fd = ::open(o.in.c_str(), O_RDONLY | O_CLOEXEC);
  int out_fd = ::open(o.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (in_fd < 0 || out_fd < 0) {
    std::fprintf(stderr, "runner: cannot open %s or %s: %s\n", o.in.c_str(), o.out.c_str(),
                 std::strerror(errno));
    std::exit(1);
  }
  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid < 0) {
    std::perror("runner: fork");
    std::exit(1);
  }
  if (pid == 0) child(o, in_fd, out_fd);
  int status = 0;
  struct rusage ru;
  std::memset(&ru, 0, sizeof ru);
  while (::wait4(pid, &status, 0, &ru) < 0) {
    if (errno != EINTR) {
      std::perror("runner: wait4");
      std::exit(1);
    }
  }
  const auto t1 = std::chrono::steady_clock::now();
  ::close(in_fd);
  ::close(out_fd);
  if (WIFSIGNALED(status)) {
    std::fprintf(stderr, "runner: %s ended by signal %d\n", o.argv[0], WTERMSIG(status));
    std::exit(1);
  }
  if (WEXITSTATUS(status) != 0) {
    // 125, 126, 127: the child could not be pinned, enter the folder, or start the program.
    std::fprintf(stderr, "runner: %s ended with exit status %d\n", o.argv[0], WEXITSTATUS(status));
    std::exit(1);
  }
  return {std::chrono::duration<double>(t1 - t0).count(),
          to_seconds(ru.ru_utime) + to_seconds(ru.ru_stime), ru.ru_maxrss};
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse(argc, argv);
  for (int i = 0; i < o.warmups; ++i) run_once(o);
  std::vector<double> times;
  std::vector<double> cpu;
  long maxrss = 0;
  for (int i = 0; i < o.runs; ++i) {
    Sample s = run_once(o);
    times.push_back(s.seconds);
    cpu.push_back(s.cpu_seconds);
    maxrss = std::max(maxrss, s.maxrss_kib);
  }
  std::printf("runs=%zu median_s=%.6f min_s=%.6f max_s=%.6f cpu_median_s=%.6f maxrss_kib=%ld\n",
              times.size(), median(times), *std::min_element(times.begin(), times.end()),
              *std::max_element(times.begin(), times.end()), median(cpu), maxrss);
  return 0;
}
