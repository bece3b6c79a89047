#include "run/sequence.h"

#include <memory>
#include <new>

#include "output/output_steps.h"
#include "record/reader.h"
#include "run/exit.h"
#include "run/startup.h"
#include "spectral/spectral_steps.h"
#include "textio/ioerror.h"
#include "transform/frame.h"
#include "transform/frame_step.h"

namespace smfreq {

void run_sequence(RunState& s) {
  record::ask_input_file(s);
  record::read_record(s);
  record::report_record(s);
  record::sign_reversal(s);
  transform_length_step(s);
  forward_step(s);
  bandpass_step(s);
  integration_step(s);
  spectrum_file_step(s);
  return_half(s);
  window_step(s);
  waveform_step(s);
  final_wait();
  stop();
}

int program_main() {
  startup();
  try {
    // The working arrays are allocated once, at full capacity, before the first step.
    auto s = std::make_unique<RunState>();
    run_sequence(*s);
  } catch (const textio::IoError& e) {
    io_abort(e);
  } catch (const std::bad_alloc&) {
    try {
      textio::fail("malloc failure", "out of free space");
    } catch (const textio::IoError& e) {
      io_abort(e);
    }
  }
}

}  // namespace smfreq
