#include "run/startup.h"

#include <fcntl.h>
#include <fenv.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "run/exit.h"
#include "textio/unit.h"

namespace smfreq {
namespace {

void say(const char* msg) {
  // write(2) only: the handlers may interrupt anything, stdio included.
  std::size_t n = std::strlen(msg);
  while (n > 0) {
    ssize_t r = ::write(2, msg, n);
    if (r <= 0) return;
    msg += r;
    n -= static_cast<std::size_t>(r);
  }
}

// Floating-point exception and abort: close every unit, then abort for real.
void on_fatal_signal(int sig) {
  say(sig == SIGFPE ? "Floating Exception\n" : "IOT Trap\n");
  exit_action();
  std::signal(SIGABRT, SIG_DFL);
  std::abort();
}

// Interrupt and termination: close every unit, exit with status 1.
void on_stop_signal(int sig) {
  say(sig == SIGINT ? "Interrupt\n" : "Killed\n");
  exit_action();
  ::_exit(1);
}

// Started without standard error, the program gives descriptor 2 to /dev/null. Otherwise
// the first file opened would take that descriptor, and an error report or a signal
// message would be written into it: into the input record, for a bad row. (Without
// standard input or output the first console READ fails before any file is opened.)
void fill_closed_standard_error() {
  if (::fcntl(2, F_GETFD) != -1 || errno != EBADF) return;
  const int fd = ::open("/dev/null", O_WRONLY);
  if (fd >= 0 && fd != 2) {
    ::dup2(fd, 2);
    ::close(fd);
  }
}

void install(int sig, void (*handler)(int)) {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = handler;
  // While any handler closes the units, a further interrupt or termination request waits:
  // a second exit action started on top of the first would flush and cut the same units.
  sigemptyset(&sa.sa_mask);
  sigaddset(&sa.sa_mask, SIGINT);
  sigaddset(&sa.sa_mask, SIGTERM);
  sa.sa_flags = SA_RESTART;
  ::sigaction(sig, &sa, nullptr);
}

}  // namespace

void startup() {
  fill_closed_standard_error();

  // IEEE arithmetic with every exception masked: a division by zero gives an
  // infinity or NaN and the run goes on.
  std::feclearexcept(FE_ALL_EXCEPT);
  ::fedisableexcept(FE_ALL_EXCEPT);

  install(SIGFPE, on_fatal_signal);
  install(SIGABRT, on_fatal_signal);
  struct sigaction old;
  if (::sigaction(SIGINT, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
    install(SIGINT, on_stop_signal);
  install(SIGTERM, on_stop_signal);
  // A console whose reader has gone (a pager that quit, `head`) makes the next write fail
  // with EPIPE instead of ending the process on the spot: the failure then takes the path
  // of every failed WRITE, the report and the exit action, and no file is left half-written.
  struct sigaction ign;
  std::memset(&ign, 0, sizeof ign);
  ign.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ign, nullptr);

  textio::connect_standard_units();
  std::atexit(exit_action);
}

}  // namespace smfreq
