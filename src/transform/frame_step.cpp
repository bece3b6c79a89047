#include "transform/frame_step.h"

#include "run/exit.h"
#include "textio/listout.h"
#include "textio/unit.h"
#include "transform/frame.h"

namespace smfreq {

void transform_length_step(RunState& s) {
  if (!choose_length(s)) {
    textio::write_list(textio::stdout_unit, {" NT>2**17 !!!!!"});
    stop();
  }
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {" IF1,NF=", s.if1, s.nf});
}

void forward_step(RunState& s) {
  forward_half(s);
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {" DUR,DOM,NOM,EOM=", s.dur, s.dom, s.nom, s.eom});
  textio::write_list(textio::stdout_unit, {" Highest Frequency (hz)=", s.eom / twopi});
}

}  // namespace smfreq
