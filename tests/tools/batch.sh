#!/usr/bin/env bash
# smfreq-batch over three small generated records, one of them broken by a word in a data row:
# exactly that one is reported as failed, the exit status says so, and the other two have their
# results in their own folders. Also: a record whose path cannot fit the 90 characters smfreq
# reads is refused rather than run on a cut name, and two records that would share a folder are
# a usage error.
#   batch.sh SMFREQ MKRECORD SOURCE_DIR
# shellcheck source=tests/tools/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
smfreq=$1
mkrecord=$2
src=$3
batch=$src/tools/smfreq-batch
template=$src/examples/answers-template.txt

mkdir records
"$mkrecord" -n 300 -r 1 -o records/quiet.csv
"$mkrecord" -n 1000 -r 2 -s blank -o records/strong.txt
"$mkrecord" -n 500 -r 3 -o records/broken.csv
# Row 200 of the broken record: its channel 1 (field 14) becomes a word.
awk -F, -v OFS=, 'NR == 202 { $14 = "N/A" } { print }' records/broken.csv >records/tmp.csv
mv records/tmp.csv records/broken.csv

status=0
bash "$batch" -j 2 -o results -x "$smfreq" "$template" \
  records/quiet.csv records/strong.txt records/broken.csv >summary.txt 2>&1 || status=$?
((status == 1)) || fail "batch exit status $status, expected 1"
grep -c '^FAILED' summary.txt | grep -qx 1 || fail "expected exactly one FAILED line"
grep -q '^FAILED  broken ' summary.txt || fail "the broken record is not the one reported"
grep -q '2 of 3 records succeeded' summary.txt || fail "summary does not count 2 of 3"

# rows | name
for c in "300|quiet" "1000|strong"; do
  IFS='|' read -r nt name <<<"$c"
  [[ $(cat "results/$name/exit-status" 2>/dev/null) == 0 ]] || fail "$name: exit status not 0"
  expect_lines "results/$name/fort.99" "$nt"
  expect_lines "results/$name/amp3.csv" $(($(transform_length "$nt") / 2 + 2))
  expect_lines "results/$name/wave.csv" $((nt + 1))
done
# The broken run stopped at the bad row: rows 1..199 were echoed, and its report is kept.
expect_lines results/broken/fort.99 199
[[ $(cat results/broken/exit-status) != 0 ]] || fail "broken: exit status 0"
[[ -s results/broken/stderr.txt ]] || fail "broken: no error report kept"
if ((failures > 0)); then cat summary.txt >&2; fi

# A path over 90 characters both ways: refused, and reported as failed.
deep=records/$(printf 'd%.0s' {1..100})
mkdir "$deep"
cp records/quiet.csv "$deep/far.csv"
status=0
bash "$batch" -j 1 -o results -x "$smfreq" "$template" records/quiet.csv "$deep/far.csv" \
  >summary2.txt 2>&1 || status=$?
((status == 1)) || fail "long path: exit status $status, expected 1"
grep -q '^FAILED  far .*path-too-long' summary2.txt || fail "long path not reported"
[[ ! -e results/far/fort.99 ]] || fail "long path: smfreq was run anyway"

# Two records named alike would write into the same folder.
mkdir records/other
cp records/quiet.csv records/other/quiet.csv
status=0
bash "$batch" -o results -x "$smfreq" "$template" records/quiet.csv records/other/quiet.csv \
  >/dev/null 2>&1 || status=$?
((status == 2)) || fail "same names: exit status $status, expected 2"

finish
