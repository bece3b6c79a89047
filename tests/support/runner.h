// Runs the built program in a fresh temporary folder with a given standard input and
// collects what it printed, how it ended and the files it left.
#pragma once

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace smfreq::testing {

namespace fs = std::filesystem;

struct RunResult {
  std::string out;   // standard output (the console transcript)
  std::string err;   // standard error
  int status = -1;   // exit status, or -1 when ended by a signal
  int signal = 0;    // the signal that ended it
  bool aborted() const { return signal == SIGABRT; }
};

class RunDir {
 public:
  RunDir() {
    static int serial = 0;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string tag = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
                                      : std::string("run");
    dir_ = fs::temp_directory_path() /
           ("smfreq-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + "-" + tag);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~RunDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  RunDir(const RunDir&) = delete;
  RunDir& operator=(const RunDir&) = delete;

  const fs::path& path() const { return dir_; }
  std::string file(const std::string& name) const { return (dir_ / name).string(); }

  void write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream f(dir_ / name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }
  bool exists(const std::string& name) const { return fs::exists(dir_ / name); }

  // Runs the program here with `input` on standard input. `setup` may change the
  // child's signal dispositions before exec (through posix_spawnattr).
  RunResult run(const std::string& input, const std::vector<std::string>& args = {},
                bool ignore_sigint = false) const {
    write(".stdin", input);
    const pid_t pid = start(args, ignore_sigint, -1);
    if (pid < 0) return RunResult{};
    if (hook_) hook_(pid);
    return finish(pid);
  }

  // A run whose standard input is a pipe that stays open: `answers` go into it, then the
  // test waits until standard output ends with `prompt` and the program sleeps in a READ
  // with nothing left to read, and sends `sig`. `after` is written once the signal has been
  // sent (for a program that ignores it), then the pipe is closed.
  RunResult run_interrupted(const std::string& answers, const std::string& prompt, int sig,
                            const std::string& after = "", bool ignore_sigint = false) const {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
      ADD_FAILURE() << "pipe failed";
      return RunResult{};
    }
    // Writes to a program that has already ended must not end the test.
    struct sigaction ign{}, old_pipe{};
    ign.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ign, &old_pipe);
    const pid_t pid = start({}, ignore_sigint, fds[0]);
    ::close(fds[0]);
    RunResult r;
    if (pid >= 0) {
      send(fds[1], answers);
      if (wait_until_waiting(pid, fds[1], prompt)) {
        ::kill(pid, sig);
        send(fds[1], after);
      } else {
        ADD_FAILURE() << "the program never waited after \"" << prompt << "\"";
        ::kill(pid, SIGKILL);
      }
      ::close(fds[1]);
      r = finish(pid);
    } else {
      ::close(fds[1]);
    }
    sigaction(SIGPIPE, &old_pipe, nullptr);
    return r;
  }

  // Called with the child's pid right after it starts (for signal tests).
  void on_start(void (*hook)(pid_t)) { hook_ = hook; }

  // Runs the program in the subfolder `sub` from now on; the runner's own files (.stdin,
  // .stdout, .stderr) stay here, so the program's folder may refuse new files.
  void work_in(const std::string& sub) { work_ = sub; }

 private:
  // Starts the program here. Standard input is the file .stdin, or the pipe end `stdin_fd`
  // when it is not negative; standard output and error go to .stdout and .stderr.
  pid_t start(const std::vector<std::string>& args, bool ignore_sigint, int stdin_fd) const {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    const std::string work = (dir_ / work_).string();
    posix_spawn_file_actions_addchdir_np(&fa, work.c_str());
    if (stdin_fd >= 0) {
      posix_spawn_file_actions_adddup2(&fa, stdin_fd, 0);
    } else {
      posix_spawn_file_actions_addopen(&fa, 0, file(".stdin").c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&fa, 1, file(".stdout").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, file(".stderr").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t at;
    posix_spawnattr_init(&at);
    sigset_t none, dflt;
    sigemptyset(&none);
    sigemptyset(&dflt);
    sigaddset(&dflt, SIGINT);
    sigaddset(&dflt, SIGTERM);
    sigaddset(&dflt, SIGABRT);
    sigaddset(&dflt, SIGPIPE);
    posix_spawnattr_setsigmask(&at, &none);
    posix_spawnattr_setsigdefault(&at, &dflt);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    posix_spawnattr_setflags(&at, flags);
    struct sigaction old{};
    if (ignore_sigint) {
      // A disposition of "ignore" survives exec: set it in the parent around the spawn.
      struct sigaction ign{};
      ign.sa_handler = SIG_IGN;
      sigaction(SIGINT, &ign, &old);
      sigdelset(&dflt, SIGINT);
      posix_spawnattr_setsigdefault(&at, &dflt);
    }
    std::vector<std::string> argv_s{SMFREQ_EXE};
    argv_s.insert(argv_s.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_s) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, SMFREQ_EXE, &fa, &at, argv.data(), environ);
    if (ignore_sigint) sigaction(SIGINT, &old, nullptr);
    posix_spawn_file_actions_destroy(&fa);
    posix_spawnattr_destroy(&at);
    if (rc != 0) {
      ADD_FAILURE() << "spawn failed: " << rc;
      return -1;
    }
    last_pid_ = pid;
    return pid;
  }

  // Waits for the program to end and collects what it left.
  RunResult finish(pid_t pid) const {
    RunResult r;
    int ws = 0;
    while (waitpid(pid, &ws, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(ws)) r.status = WEXITSTATUS(ws);
    if (WIFSIGNALED(ws)) r.signal = WTERMSIG(ws);
    r.out = read(".stdout");
    r.err = read(".stderr");
    fs::remove(dir_ / ".stdin");
    fs::remove(dir_ / ".stdout");
    fs::remove(dir_ / ".stderr");
    return r;
  }

  static void send(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
      ssize_t w = ::write(fd, text.data() + done, text.size() - done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return;
      done += static_cast<std::size_t>(w);
    }
  }

  // True once standard output ends with `prompt`, the pipe holds nothing unread and the
  // program sleeps (state S in /proc: blocked in its read of the empty pipe). False after
  // a minute, or when the program has ended.
  bool wait_until_waiting(pid_t pid, int pipe_fd, const std::string& prompt) const {
    const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
    for (int tries = 0; tries < 60000; ++tries) {
      std::ifstream f(stat);
      std::string line;
      std::getline(f, line);
      const std::size_t p = line.rfind(") ");
      if (p == std::string::npos || p + 2 >= line.size() || line[p + 2] == 'Z') return false;
      const std::string out = read(".stdout");
      int unread = -1;
      if (line[p + 2] == 'S' && out.size() >= prompt.size() &&
          out.compare(out.size() - prompt.size(), prompt.size(), prompt) == 0 &&
          ::ioctl(pipe_fd, FIONREAD, &unread) == 0 && unread == 0)
        return true;
      ::usleep(1000);
    }
    return false;
  }

  fs::path dir_;
  std::string work_;
  mutable pid_t last_pid_ = -1;
  void (*hook_)(pid_t) = nullptr;
};

// The console transcript of a complete plain run up to the file-name prompt, for a
// record of `nt` samples at `dt` with the given grid lines.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t e = text.find('\n', p);
    if (e == std::string::npos) e = text.size();
    v.push_back(text.substr(p, e - p));
    p = e + 1;
  }
  return v;
}

}  // namespace smfreq::testing
