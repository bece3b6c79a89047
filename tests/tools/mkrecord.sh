#!/usr/bin/env bash
# smfreq-mkrecord: the record layout smfreq expects (two header lines, rows of 43 numbers), the
# same bytes for the same seed, realistic channels (zero mean, peaks of a few hundred gal, UD
# smaller), and comma- and blank-separated records that smfreq reads alike.
#   mkrecord.sh SMFREQ MKRECORD
# shellcheck source=tests/tools/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
smfreq=$1
mkrecord=$2

"$mkrecord" -n 2000 -r 7 -o a.csv
"$mkrecord" -n 2000 -r 7 -o b.csv
"$mkrecord" -n 2000 -r 8 -o c.csv
cmp -s a.csv b.csv || fail "same seed, different records"
cmp -s a.csv c.csv && fail "different seeds, same record"
"$mkrecord" -n 2000 -r 7 | cmp -s - a.csv || fail "standard output differs from the file"

expect_lines a.csv 2002
awk -F, 'NR == 1 && NF < 4 { print "title line has " NF " words"; bad = 1 }
         NR > 2 && NF != 43 { print "row " NR - 2 " has " NF " values"; bad = 1 }
         NR > 2 { for (k = 1; k <= NF; ++k) if ($k !~ /^-?[0-9]+(\.[0-9]+)?$/) {
                    print "row " NR - 2 " value " k " is not a plain number: " $k; bad = 1 } }
         END { exit bad }' a.csv | head -5 >layout.txt || true
if [[ -s layout.txt ]]; then fail "layout: $(cat layout.txt)"; fi
# The time column steps by dt from 0.
[[ $(sed -n '3p;4p;2002p' a.csv | cut -d, -f1 | tr '\n' ' ') == "0.000 0.010 19.990 " ]] ||
  fail "time column: $(sed -n '3p;4p;2002p' a.csv | cut -d, -f1 | tr '\n' ' ')"
"$mkrecord" -n 3 -d 0.005 | sed -n 5p | cut -d, -f1 | grep -qx '0.010' || fail "dt 0.005 times"

# Channels 13, 14 and 16 after the time: fields 14, 15 and 17.
awk -F, 'NR > 2 { for (c = 14; c <= 17; ++c) { s[c] += $c; a = $c < 0 ? -$c : $c
                                              if (a > m[c]) m[c] = a } ; n++ }
         END { printf "%.6f %.6f %.6f %.4f %.4f %.4f\n", s[14]/n, s[15]/n, s[17]/n, m[14], m[15], m[17] }' \
  a.csv >stats.txt
read -r mean1 mean2 mean3 peak1 peak2 peak3 <stats.txt
awk -v m1="$mean1" -v m2="$mean2" -v m3="$mean3" -v p1="$peak1" -v p2="$peak2" -v p3="$peak3" '
  function abs(x) { return x < 0 ? -x : x }
  BEGIN { ok = abs(m1) < 0.01 && abs(m2) < 0.01 && abs(m3) < 0.01 &&
               p1 >= 100 && p1 <= 500 && p2 >= 70 && p2 <= 500 && p3 > 10 && p3 < p1
          exit !ok }' || fail "channels: means $mean1 $mean2 $mean3, peaks $peak1 $peak2 $peak3"

# Blank-separated: the same numbers, and smfreq gives the same echo, spectrum and waveform.
"$mkrecord" -n 2000 -r 7 -s blank -o a.txt
[[ $(tr ' ' ',' <a.txt) == "$(cat a.csv)" ]] || fail "blank and comma records hold different values"
for f in a.csv a.txt; do
  mkdir "run-$f"
  printf '%s\n' "../$f" 0 0 0 0 0 wave.csv '' >"run-$f/answers.txt"
  (cd "run-$f" && "$smfreq" <answers.txt >console.txt 2>&1) || fail "smfreq failed on $f"
done
for out in fort.99 amp3.csv wave.csv console.txt; do
  cmp -s "run-a.csv/$out" "run-a.txt/$out" || fail "$out differs between the comma and blank records"
done
expect_lines run-a.csv/wave.csv 2001

# Bad options are refused with status 2.
for args in "-n -5" "-n 12x" "-d 0" "-s tab" "--bogus" "-r"; do
  status=0
  # shellcheck disable=SC2086
  "$mkrecord" $args -o /dev/null >/dev/null 2>&1 || status=$?
  ((status == 2)) || fail "options '$args': exit status $status, expected 2"
done

finish
