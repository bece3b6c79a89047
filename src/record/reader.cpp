#include "record/reader.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "textio/fmtin.h"
#include "textio/fmtout.h"
#include "textio/listin.h"
#include "textio/listout.h"
#include "textio/unit.h"

namespace smfreq::record {
namespace {

using textio::in;

constexpr int record_unit = 11;
constexpr int echo_unit = 99;

// A data row: the time value, then values 1..42.
constexpr int row_values = 43;
// Where the three channels stand in a row (value 13, 14 and 16 after the time).
constexpr int channel1 = 13, channel2 = 14, channel3 = 16;

std::string_view text(const Text90& t) { return {t.c, sizeof t.c}; }

void negate(WorkArray<double>& x, std::int32_t nt) {
  const std::int32_t n = nt < mom ? nt : mom;
  for (std::int32_t k = 1; k <= n; ++k) x[k] = -x[k];
}

// One yes/no question answered by an integer; only exactly 1 means yes.
void ask(const char* question, std::int32_t& answer) {
  textio::write_list(textio::stdout_unit, {question});
  textio::read_list(textio::stdin_unit, {in(answer)});
}

}  // namespace

void ask_input_file(RunState& s) {
  static const textio::Format prompt("(1X,/,'Enter input file of waveform data')");
  textio::write_formatted(textio::stdout_unit, prompt, {});
  textio::read_a(textio::stdin_unit, s.infile.c, "(A90)");
}

void read_record(RunState& s) {
  textio::open_unit(record_unit, text(s.infile));
  textio::read_list(record_unit,
                    {in(s.head1.c), in(s.head2.c), in(s.head3.c), in(s.head4.c)});
  textio::read_list(record_unit, {});

  // Each row goes straight into its place; rows beyond the capacity are counted and
  // echoed but not stored (such a record stops the run at the length check anyway).
  std::int64_t i = 1;
  double row[row_values];
  for (;;) {
    for (double& v : row) v = 0.0;
    const bool accepted = textio::read_list_doubles(record_unit, row, row_values, true);
    // The READ stores the time value even for a row it does not accept.
    if (i <= mom) s.time[static_cast<std::int32_t>(i)] = row[0];
    if (!accepted) break;
    if (i <= mom) {
      const auto k = static_cast<std::int32_t>(i);
      s.xr1[k] = row[channel1];
      s.xr2[k] = row[channel2];
      s.xr3[k] = row[channel3];
    }
    textio::write_list(echo_unit, {row[0], row[channel1], row[channel2], row[channel3]});
    ++i;
  }
  textio::close_unit(record_unit);

  constexpr std::int64_t top = std::numeric_limits<std::int32_t>::max();
  s.nt = static_cast<std::int32_t>(i - 1 < top ? i - 1 : top);
  s.dt = s.time[2] - s.time[1];
}

void report_record(RunState& s) {
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {"NT and DT=", s.nt, s.dt});
}

void sign_reversal(RunState& s) {
  textio::write_list(textio::stdout_unit, {});
  ask(" Change +/-? (YES=1)?? :", s.myes);
  if (s.myes != 1) return;
  textio::write_list(textio::stdout_unit, {});
  ask(" Change from + to - of FILE 1 ? (YES=1)?? :", s.my1);
  if (s.my1 == 1) negate(s.xr1, s.nt);
  ask(" Change from + to - of FILE 2 ? (YES=1)?? :", s.my2);
  if (s.my2 == 1) negate(s.xr2, s.nt);
  ask(" Change from + to - of FILE 3 ? (YES=1)?? :", s.my3);
  if (s.my3 == 1) negate(s.xr3, s.nt);
}

}  // namespace smfreq::record
