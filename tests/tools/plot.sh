#!/usr/bin/env bash
# smfreq-plot on the outputs of the bundled example (a plain run, and a band-pass run whose
# spectra hold zero amplitudes that a log axis cannot show): every chart comes out as a real PNG
# and SVG with the data drawn. Skipped (77) where gnuplot is not installed.
#   plot.sh SMFREQ SOURCE_DIR
# shellcheck source=tests/tools/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
smfreq=$1
src=$2
plot=$src/tools/smfreq-plot

if ! command -v gnuplot >/dev/null 2>&1; then
  echo "gnuplot is not installed: skipped"
  exit 77
fi

# png_ok FILE: a PNG image of at least 20 kB (an empty frame with axes is smaller).
png_ok() {
  [[ -f $1 ]] || { fail "$1 was not written"; return; }
  [[ $(head -c 8 "$1" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || fail "$1 is not a PNG"
  (($(stat -c %s "$1") > 20000)) || fail "$1 is only $(stat -c %s "$1") bytes"
}
# svg_ok FILE MIN: an SVG document whose drawing has at least MIN line segments.
svg_ok() {
  [[ -f $1 ]] || { fail "$1 was not written"; return; }
  grep -q '<svg' "$1" || fail "$1 is not an SVG document"
  local segs
  segs=$(grep -o 'L[0-9.-]*,[0-9.-]*' "$1" | wc -l)
  ((segs >= $2)) || fail "$1 has $segs line segments, expected at least $2"
}

nt=$(($(wc -l <"$src/examples/record.csv") - 2))
nf=$(transform_length "$nt")

# The answers files name the record as ../record.csv.
cp "$src/examples/record.csv" record.csv
for run in plain bandpass-velocity; do
  mkdir "$run"
  (cd "$run" && "$smfreq" <"$src/examples/answers-$run.txt" >console.txt 2>&1) ||
    fail "$run: smfreq failed"
done

if ! bash "$plot" plain bandpass-velocity/amp3.csv bandpass-velocity/velocity.csv >plot.txt 2>&1
then
  fail "smfreq-plot failed"
  cat plot.txt >&2
fi
for stem in plain/amp3 plain/wave bandpass-velocity/amp3 bandpass-velocity/velocity; do
  png_ok "$stem.png"
done
# Spectra: three curves over most of nf/2 bins; waveforms: three panels over most of nt samples.
svg_ok plain/amp3.svg $((3 * nf * 9 / 20))
svg_ok plain/wave.svg $((3 * nt * 9 / 10))
svg_ok bandpass-velocity/velocity.svg $((3 * nt * 9 / 10))
# The band-pass spectra are zero outside 0.1..25 Hz: what remains is still drawn.
svg_ok bandpass-velocity/amp3.svg $((3 * (25 * nf / 100) * 9 / 10))

# Something that is not an output of smfreq is refused.
if bash "$plot" plain/console.txt >/dev/null 2>&1; then
  fail "smfreq-plot accepted a file that is neither amp3.csv nor a waveform file"
fi

finish
