#include "run/startup.h"

#include <fenv.h>
#include <unistd.h>

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

  textio::connect_standard_units();
  std::atexit(exit_action);
}

}  // namespace smfreq
