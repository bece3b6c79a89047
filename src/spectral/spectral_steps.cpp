#include "spectral/spectral_steps.h"

#include "spectral/amplitude.h"
#include "spectral/bandpass.h"
#include "spectral/integrate.h"
#include "textio/fmtout.h"
#include "textio/listin.h"
#include "textio/listout.h"
#include "textio/unit.h"

namespace smfreq {
namespace {

using textio::in;
constexpr int spectrum_unit = 10;

}  // namespace

void bandpass_step(RunState& s) {
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {" Band Pass Filter? (YES=1)?? :"});
  textio::read_list(textio::stdin_unit, {in(s.nbd)});
  if (s.nbd != 1) return;
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {"  TRAPEZOIDAL BAND PATH FILTER"});
  textio::write_list(textio::stdout_unit, {"  ENTER fL1<fL2<fH1<fH2 (Hz)"});
  textio::read_list(textio::stdin_unit, {in(s.fl1), in(s.fl2), in(s.fh1), in(s.fh2)});
  apply_bandpass(s);
}

void integration_step(RunState& s) {
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {" Integration/Differentiation:"});
  textio::write_list(textio::stdout_unit, {" NO Change         :                 (Enter=0)"});
  textio::write_list(textio::stdout_unit, {" Integration       : Ex.) acc -> vel (Enter=1)"});
  textio::write_list(textio::stdout_unit, {" Double Integration: Ex.) acc -> dis (Enter=2)"});
  textio::write_list(textio::stdout_unit, {" Differentiation:  : Ex.) Vel -> acc (Enter=3)"});
  textio::read_list(textio::stdin_unit, {in(s.nit)});
  apply_integration(s);
}

void spectrum_file_step(RunState& s) {
  static const textio::Format record("(F8.4,6(',',E12.4))");
  textio::write_list(textio::stdout_unit, {});
  textio::write_list(textio::stdout_unit, {"Fourier Spectrum data are stored in \"amp3.csv\""});
  textio::open_unit(spectrum_unit, "amp3.csv");
  textio::write_list(spectrum_unit, {"frequency(Hz),comp1, comp2, comp3"});
  const std::int32_t nom = s.nom;
  for (std::int32_t i = 1; i <= nom; ++i) {
    const double f = bin_frequency(i, s.dom);
    textio::write_formatted(spectrum_unit, record,
                            {f, modulus(s.fx1[i]), modulus(s.fx2[i]), modulus(s.fx3[i])});
  }
  textio::close_unit(spectrum_unit);
}

}  // namespace smfreq
