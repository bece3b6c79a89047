#include "transform/frame_step.h"

#include "run/exit.h"
#include "textio/listout.h"
#include "transform/frame.h"

namespace smfreq {

namespace {
constexpr int console_out = 6;
}

void transform_length_step(RunState& s) {
  if (!choose_length(s)) {
    textio::write_list(console_out, {" NT>2**17 !!!!!"});
    stop();
  }
  textio::write_list(console_out, {});
  textio::write_list(console_out, {" IF1,NF=", s.if1, s.nf});
}

void forward_step(RunState& s) {
  forward_half(s);
  textio::write_list(console_out, {});
  textio::write_list(console_out, {" DUR,DOM,NOM,EOM=", s.dur, s.dom, s.nom, s.eom});
  textio::write_list(console_out, {" Highest Frequency (hz)=", s.eom / twopi});
}

}  // namespace smfreq
