#include "output/output_steps.h"

#include <string_view>

#include "output/skip.h"
#include "output/window.h"
#include "textio/fmtin.h"
#include "textio/fmtout.h"
#include "textio/listin.h"
#include "textio/listout.h"
#include "textio/unit.h"

namespace smfreq {
namespace {

using textio::in;
constexpr int waveform_unit = 11;

// Element i of a working array, or zero for positions beyond its capacity (a window
// longer than the arrays holds zeros there).
double at(const WorkArray<double>& x, std::int64_t i) {
  return i >= 1 && i <= mom ? x[static_cast<std::int32_t>(i)] : 0.0;
}

}  // namespace

void window_step(RunState& s) {
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {"Cutting data? (No=0,Yes=1)"});
  textio::read_list(textio::stdin_unit, {in(s.icut)});
  if (s.icut != 1) return;
  textio::write_list(textio::stdout_unit, {"Enter Starting Time (sec)"});
  textio::read_list(textio::stdin_unit, {in(s.stime)});
  set_window_start(s);
  textio::write_list(textio::stdout_unit, {"Number of Cutting Data =", s.nstime});
  textio::write_list(textio::stdout_unit, {"Enter Duration (sec)"});
  textio::read_list(textio::stdin_unit, {in(s.dur)});
  set_window_length(s);
  textio::write_list(textio::stdout_unit, {"Number of data =", s.ndur});
  cut_window(s);
  textio::write_list(textio::stdout_unit, {"New nt =", s.nt});
}

void waveform_step(RunState& s) {
  static const textio::Format prompt("(/,1X,'Enter output file name of waveform (csv format file)')");
  static const textio::Format record("(F8.3,4(',',E12.4))");
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {"Skip Data (no=0; yes=skip number)?"});
  textio::read_list(textio::stdin_unit, {in(s.iskip)});
  const SampleSteps steps = sample_steps(s.iskip, s.nt);
  textio::write_formatted(textio::stdout_unit, prompt, {});
  textio::read_a(textio::stdin_unit, s.infile.c, "(A90)");
  textio::open_unit(waveform_unit, std::string_view(s.infile.c, sizeof s.infile.c));
  textio::write_list(waveform_unit, {"time(s),comp1, comp2, comp3"});
  for (std::int64_t j = 0; j < steps.count; ++j) {
    const std::int64_t i = 1 + j * steps.step;
    textio::write_formatted(waveform_unit, record,
                            {at(s.time, i), at(s.x1, i), at(s.x2, i), at(s.x3, i)});
  }
  textio::close_unit(waveform_unit);
}

void final_wait() { textio::read_list(textio::stdin_unit, {}); }

}  // namespace smfreq
