// Fuzzes whole runs: arbitrary bytes as the record file, answered by a fixed script that
// takes every branch (sign reversal, filter, integration, window, skip). The program ends
// with exit() or abort(), so each input runs the built program (with its sanitizers) as a
// child in a scratch folder, and the target checks how it ended and what it left:
//   - status 0: nothing on standard error, one echo line per counted row, the spectrum file
//     with its header and nom records, the waveform file with the records the window and
//     the skip call for, every data record 48 characters long;
//   - killed by SIGABRT: standard error holds exactly one I/O error report, about unit 11;
//   - anything else (a sanitizer report, another signal or status, a hang) is a finding.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/lines.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Sign reversal of channels 1 and 3, a band-pass, one integration, a window from 0.02 s
// lasting 0.5 s, every 100000th sample, the waveform file, the final line. The window's
// length in samples depends on the record's `dt` and may reach 2^31 - 1; the skip keeps the
// waveform file small whatever it is.
const char* const answers =
    "rec.txt\n1\n1\n0\n1\n1\n0.5 1 20 30\n1\n1\n0.02\n0.5\n99999\nwave.csv\n\n";
constexpr long long skip_step = 100000;

constexpr int sanitizer_status = 86;
constexpr auto child_limit = std::chrono::seconds(30);

fs::path g_dir;

std::string slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}


struct Child {
  int status = -1;
  int signal = 0;
  bool hung = false;
  std::string out, err;
};

[[noreturn]] void finding(const char* what, const Child& c) {
  std::fprintf(stderr, "FINDING: %s (status %d, signal %d)\n--- stdout\n%s--- stderr\n%s---\n",
               what, c.status, c.signal, c.out.c_str(), c.err.c_str());
  __builtin_trap();
}

Child run_program() {
  std::ofstream(g_dir / ".in", std::ios::binary) << answers;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addchdir_np(&fa, g_dir.c_str());
  posix_spawn_file_actions_addopen(&fa, 0, ".in", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, ".out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, ".err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawnattr_t at;
  posix_spawnattr_init(&at);
  sigset_t none, dflt;
  sigemptyset(&none);
  sigfillset(&dflt);
  posix_spawnattr_setsigmask(&at, &none);
  posix_spawnattr_setsigdefault(&at, &dflt);
  posix_spawnattr_setflags(&at, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  // The child's sanitizers report with a status of their own. The leak check at exit is
  // left to the test suite under the asan preset: here it would cost most of each run.
  std::vector<std::string> env_s;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "ASAN_OPTIONS=", 13) == 0 || std::strncmp(*e, "UBSAN_OPTIONS=", 14) == 0)
      continue;
    env_s.emplace_back(*e);
  }
  const std::string code = std::to_string(sanitizer_status);
  env_s.push_back("ASAN_OPTIONS=exitcode=" + code + ":abort_on_error=0:detect_leaks=0");
  env_s.push_back("UBSAN_OPTIONS=exitcode=" + code + ":halt_on_error=1:print_stacktrace=1");
  std::vector<char*> env;
  for (auto& s : env_s) env.push_back(s.data());
  env.push_back(nullptr);
  std::string exe = SMFREQ_EXE;
  char* argv[] = {exe.data(), nullptr};

  pid_t pid = -1;
  const int rc = posix_spawn(&pid, exe.c_str(), &fa, &at, argv, env.data());
  posix_spawn_file_actions_destroy(&fa);
  posix_spawnattr_destroy(&at);
  Child c;
  if (rc != 0) {
    std::fprintf(stderr, "cannot start %s: %s\n", exe.c_str(), std::strerror(rc));
    std::exit(2);
  }
  const auto deadline = std::chrono::steady_clock::now() + child_limit;
  int ws = 0;
  for (auto pause = std::chrono::microseconds(200);;
       pause = std::min(pause * 2, decltype(pause)(1000))) {
    const pid_t w = ::waitpid(pid, &ws, WNOHANG);
    if (w == pid) break;
    if (w < 0 && errno != EINTR) break;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &ws, 0);
      c.hung = true;
      break;
    }
    std::this_thread::sleep_for(pause);
  }
  if (WIFEXITED(ws)) c.status = WEXITSTATUS(ws);
  if (WIFSIGNALED(ws)) c.signal = WTERMSIG(ws);
  c.out = slurp(g_dir / ".out");
  c.err = slurp(g_dir / ".err");
  return c;
}

// The integer after `label` in the console transcript, or `missing`.
long long console_value(const std::string& out, const std::string& label, int token = 0,
                        long long missing = -1) {
  const std::size_t p = out.find(label);
  if (p == std::string::npos) return missing;
  std::istringstream in(out.substr(p + label.size(), out.find('\n', p) - p - label.size()));
  std::string t;
  for (int i = 0; i <= token; ++i) in >> t;
  return std::strtoll(t.c_str(), nullptr, 10);
}

std::size_t line_count(const fs::path& p) {
  const std::string s = slurp(p);
  std::size_t n = 0;
  for (char ch : s) n += ch == '\n';
  return n;
}

void check_records(const fs::path& file, std::size_t expected, const Child& c) {
  const auto v = smfreq::testing::lines(slurp(file));
  if (v.size() != expected + 1) finding("wrong number of records", c);
  for (std::size_t i = 1; i < v.size(); ++i) {
    if (v[i].size() != 48 || v[i].back() != ',') finding("malformed data record", c);
  }
}

void check(const Child& c) {
  if (c.hung) finding("the run did not end", c);
  if (c.signal == SIGABRT) {
    // One I/O error report, about the record file, and nothing else.
    const auto v = smfreq::testing::lines(c.err);
    if (v.size() < 3 || v.size() > 4) finding("not an I/O error report", c);
    if (v[1] != "apparent state: unit 11 named rec.txt") finding("report about another unit", c);
    if (v.size() == 4 && v[2] != "last format: list io") finding("unexpected format line", c);
    if (v.back() != "lately reading sequential formatted external IO")
      finding("unexpected last report line", c);
    if (v[0].find(": ") == std::string::npos) finding("no where-text", c);
    return;
  }
  if (c.status == sanitizer_status) finding("sanitizer report", c);
  if (c.signal != 0 || c.status != 0) finding("abnormal end", c);
  if (!c.err.empty()) finding("standard error written in a normal run", c);

  const long long nt = console_value(c.out, " NT and DT=");
  if (nt < 0) finding("no record report", c);
  const std::size_t echoed = fs::exists(g_dir / "fort.99") ? line_count(g_dir / "fort.99") : 0;
  if (echoed != static_cast<std::size_t>(nt)) finding("echo lines differ from nt", c);

  if (c.out.size() >= 17 && c.out.compare(c.out.size() - 17, 17, " NT>2**17 !!!!!\n") == 0) {
    if (nt <= 131072) finding("length stop for a short record", c);
    return;
  }
  const long long nom = console_value(c.out, " DUR,DOM,NOM,EOM=", 2);
  if (nom < 3) finding("no spectral grid", c);
  check_records(g_dir / "amp3.csv", static_cast<std::size_t>(nom), c);
  const long long new_nt = console_value(c.out, "New nt =", 0, -1LL << 40);
  if (new_nt == (-1LL << 40)) finding("no window report", c);
  const long long records = new_nt <= 0 ? 0 : (new_nt + skip_step - 1) / skip_step;
  check_records(g_dir / "wave.csv", static_cast<std::size_t>(records), c);
}

void remove_scratch() {
  std::error_code ec;
  if (!g_dir.empty()) fs::remove_all(g_dir, ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string tmpl = (fs::temp_directory_path() / "smfreq-fuzz-run-XXXXXX").string();
  if (::mkdtemp(tmpl.data()) == nullptr) {
    std::perror("mkdtemp");
    std::exit(2);
  }
  g_dir = tmpl;
  std::atexit(remove_scratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const char* f : {"rec.txt", "fort.99", "amp3.csv", "wave.csv"}) {
    std::error_code ec;
    fs::remove(g_dir / f, ec);
  }
  std::ofstream(g_dir / "rec.txt", std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  check(run_program());
  return 0;
}
