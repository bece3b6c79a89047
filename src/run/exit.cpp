#include "run/exit.h"

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "textio/unit.h"

namespace smfreq {
namespace {

void write_stderr(const char* s, std::size_t n) {
  while (n > 0) {
    ssize_t r = ::write(2, s, n);
    if (r <= 0) return;
    s += r;
    n -= static_cast<std::size_t>(r);
  }
}

}  // namespace

void exit_action() {
  const char* where = nullptr;
  textio::close_all_units(&where);
}

void stop() {
  // Closing through the checked path turns a failed flush or cut into the report,
  // so a file that could not be completed never ends with status 0.
  for (int n = 0; n < textio::unit_count; ++n) textio::close_unit(n);
  std::exit(0);
}

void io_abort(const textio::IoError& e) {
  // What the console already holds goes out first, so that on a terminal the report
  // follows the last prompt instead of overtaking it.
  textio::flush_quietly(textio::unit(textio::stdout_unit));
  std::string r = textio::report_text(e);
  write_stderr(r.data(), r.size());
  exit_action();
  std::signal(SIGABRT, SIG_DFL);
  std::abort();
}

}  // namespace smfreq
