#include "textio/ioerror.h"

#include <cstring>

#include "textio/unit.h"

namespace smfreq::textio {
namespace {

// State of the most recent statement, as the report shows it.
// The unit's name is looked up only when a report is made; an OPEN keeps the name it
// tries, since a failed OPEN leaves the unit without one.
struct StatementState {
  int unit = 0;
  bool opening = false;  // the statement is an OPEN of `open_name`
  std::string open_name;
  const char* format = nullptr;  // nullptr: no "last format" line
  bool reading = true;
};

StatementState& state() {
  static StatementState s;
  return s;
}

}  // namespace

std::string report_text(const IoError& e) {
  std::string r;
  r.reserve(160 + e.name.size() + e.format.size());
  r += e.where;
  r += ": ";
  r += e.message;
  r += "\napparent state: unit ";
  r += std::to_string(e.unit);
  r += ' ';
  if (e.named) {
    r += "named ";
    r += e.name;
  } else {
    r += "(unnamed)";
  }
  r += '\n';
  if (!e.format.empty()) {
    r += "last format: ";
    r += e.format;
    r += '\n';
  }
  r += "lately ";
  r += e.reading ? "reading" : "writing";
  r += " sequential formatted external IO\n";
  return r;
}

void note_unit(int n) {
  StatementState& s = state();
  s.unit = n;
  s.opening = false;
}

void note_open(int n, std::string_view name) {
  StatementState& s = state();
  s.unit = n;
  s.opening = true;
  s.open_name.assign(name);
}

void note_transfer(bool reading, const char* format) {
  state().reading = reading;
  state().format = format;
}

void note_format_done() { state().format = nullptr; }

void fail(std::string_view where, std::string_view message) {
  const StatementState& s = state();
  IoError e;
  e.where.assign(where);
  e.message.assign(message);
  e.unit = s.unit;
  if (s.opening) {
    e.named = true;
    e.name = s.open_name;
  } else {
    const Unit& u = unit(s.unit);
    e.named = u.connected && u.named;
    if (e.named) e.name = u.name;
  }
  if (s.format != nullptr) e.format = s.format;
  e.reading = s.reading;
  throw e;
}

void fail_os(std::string_view where, int err) { fail(where, std::strerror(err)); }

}  // namespace smfreq::textio
