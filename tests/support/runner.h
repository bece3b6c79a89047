// Runs the built program in a fresh temporary folder with a given standard input and
// collects what it printed, how it ended and the files it left.
#pragma once

#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/lines.h"

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

  // Runs the program here with `input` on standard input; with `ignore_sigint` it starts
  // with the interrupt signal ignored.
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
        if (after_signal_) after_signal_();
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

  // A run whose console output goes into a pipe that the test reads until it ends with
  // `prompt` and the program waits for its next answer; the test then closes its end of
  // that pipe, as a pager or `head` does when it quits, writes `after` and closes standard
  // input. `answers` go in first. The output read is returned in `out`.
  RunResult run_reader_gone(const std::string& answers, const std::string& prompt,
                            const std::string& after) const {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
      ADD_FAILURE() << "pipe failed";
      return RunResult{};
    }
    struct sigaction ign{}, old_pipe{};
    ign.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ign, &old_pipe);
    const pid_t pid = start({}, false, in[0], out[1]);
    ::close(in[0]);
    ::close(out[1]);
    std::string seen;
    RunResult r;
    if (pid >= 0) {
      send(in[1], answers);
      const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
      bool waiting = false;
      for (int tries = 0; tries < 60000 && !waiting; ++tries) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 1) > 0) {
          char buf[4096];
          const ssize_t n = ::read(out[0], buf, sizeof buf);
          if (n > 0) seen.append(buf, static_cast<std::size_t>(n));
          if (n == 0) break;
        }
        std::ifstream f(stat);
        std::string line;
        std::getline(f, line);
        const std::size_t q = line.rfind(") ");
        waiting = q != std::string::npos && q + 2 < line.size() && line[q + 2] == 'S' &&
                  seen.size() >= prompt.size() &&
                  seen.compare(seen.size() - prompt.size(), prompt.size(), prompt) == 0;
      }
      if (!waiting) ADD_FAILURE() << "the program never waited after \"" << prompt << "\"";
      ::close(out[0]);
      send(in[1], after);
      ::close(in[1]);
      r = finish(pid);
      r.out = seen;
    } else {
      ::close(in[1]);
      ::close(out[0]);
    }
    sigaction(SIGPIPE, &old_pipe, nullptr);
    return r;
  }

  // Called with the child's pid right after it starts (for signal tests).
  void on_start(void (*hook)(pid_t)) { hook_ = hook; }

  // Called by run_interrupted right after the signal has been sent.
  void after_signal(std::function<void()> f) { after_signal_ = std::move(f); }

  // Starts the program from now on with standard stream `fd` (0, 1 or 2) closed.
  void start_without(int fd) { closed_ |= 1 << fd; }

  // Runs the program in the subfolder `sub` from now on; the runner's own files (.stdin,
  // .stdout, .stderr) stay here, so the program's folder may refuse new files.
  void work_in(const std::string& sub) { work_ = sub; }

 private:
  // Starts the program here. Standard input is the file .stdin, or the pipe end `stdin_fd`
  // when it is not negative; standard output goes to .stdout or the pipe end `stdout_fd`,
  // standard error to .stderr.
  pid_t start(const std::vector<std::string>& args, bool ignore_sigint, int stdin_fd,
              int stdout_fd = -1) const {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    const std::string work = (dir_ / work_).string();
    posix_spawn_file_actions_addchdir_np(&fa, work.c_str());
    if (closed_ & 1) {
      posix_spawn_file_actions_addclose(&fa, 0);
    } else if (stdin_fd >= 0) {
      posix_spawn_file_actions_adddup2(&fa, stdin_fd, 0);
    } else {
      posix_spawn_file_actions_addopen(&fa, 0, file(".stdin").c_str(), O_RDONLY, 0);
    }
    const char* const outs[] = {nullptr, ".stdout", ".stderr"};
    for (int fd : {1, 2}) {
      if (closed_ & (1 << fd)) {
        posix_spawn_file_actions_addclose(&fa, fd);
      } else if (fd == 1 && stdout_fd >= 0) {
        posix_spawn_file_actions_adddup2(&fa, stdout_fd, 1);
      } else {
        posix_spawn_file_actions_addopen(&fa, fd, file(outs[fd]).c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
      }
    }
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
  int closed_ = 0;  // bit n: standard stream n closed
  std::function<void()> after_signal_;
  mutable pid_t last_pid_ = -1;
  void (*hook_)(pid_t) = nullptr;
};

}  // namespace smfreq::testing
