#!/usr/bin/env bash
# The bundled example, run the way examples/run-example runs it, with each bundled answers file:
# the three output files exist with the expected headers and line counts.
#   example.sh SMFREQ SOURCE_DIR
# shellcheck source=tests/tools/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
smfreq=$1
src=$2

mkdir examples
cp "$src"/examples/run-example "$src"/examples/record.csv "$src"/examples/answers-*.txt examples/

nt=$(($(wc -l <examples/record.csv) - 2))
nf=$(transform_length "$nt")

# answers file | waveform file | data lines of the waveform file
cases=(
  "answers-plain.txt|wave.csv|$nt"
  "answers-bandpass-velocity.txt|velocity.csv|$nt"
  "answers-displacement-window.txt|displacement.csv|2001" # 20 s at 0.01 s: 2000 steps + 1
)
for c in "${cases[@]}"; do
  IFS='|' read -r answers wave rows <<<"$c"
  rm -rf examples/out
  status=0
  SMFREQ=$smfreq bash examples/run-example "examples/$answers" >report.txt 2>&1 || status=$?
  if ((status != 0)); then
    fail "$answers: run-example exited with $status"
    cat report.txt >&2
    continue
  fi
  expect_lines examples/out/fort.99 "$nt"
  expect_lines examples/out/amp3.csv $((nf / 2 + 2))
  expect_lines "examples/out/$wave" $((rows + 1))
  expect_first_line examples/out/amp3.csv " frequency(Hz),comp1, comp2, comp3"
  expect_first_line "examples/out/$wave" " time(s),comp1, comp2, comp3"
  # The report names each file with its line count.
  for f in fort.99 amp3.csv "$wave"; do
    n=$(wc -l <"examples/out/$f" | tr -d ' ')
    grep -Eq "examples/out/$f +$n lines" report.txt || fail "$answers: report does not list $f with $n lines"
  done
done

# The band-pass run removed everything below 0.1 Hz: the 0 Hz amplitudes are zero. (This run
# names the program by a relative path, which must survive the change into examples/out.)
rm -rf examples/out
SMFREQ=$(realpath --relative-to=. "$smfreq") bash examples/run-example \
  examples/answers-bandpass-velocity.txt >/dev/null 2>&1 || fail "run with a relative SMFREQ failed"
zero_line=$(sed -n 2p examples/out/amp3.csv 2>/dev/null || true)
[[ $zero_line == "  0.0000,  0.0000E+00,  0.0000E+00,  0.0000E+00," ]] ||
  fail "band-pass run: 0 Hz line is '$zero_line'"

finish
