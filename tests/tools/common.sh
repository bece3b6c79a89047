# shellcheck shell=bash
# Helpers shared by the tool tests. Each test runs in a fresh temporary folder, removed at exit.
set -euo pipefail

work=$(mktemp -d "${TMPDIR:-/tmp}/smfreq-tools-test.XXXXXX")
trap 'rm -rf -- "$work"' EXIT
cd "$work"

failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_lines FILE N: FILE exists and has exactly N lines.
expect_lines() {
  local f=$1 want=$2 got
  if [[ ! -f $f ]]; then
    fail "$f was not written"
    return
  fi
  got=$(wc -l <"$f" | tr -d ' ')
  [[ $got == "$want" ]] || fail "$f has $got lines, expected $want"
}

# expect_first_line FILE TEXT
expect_first_line() {
  local got
  got=$(head -n 1 -- "$1" 2>/dev/null || true)
  [[ $got == "$2" ]] || fail "$1 starts with '$got', expected '$2'"
}

# Transform length smfreq uses for nt samples: the least power of two from 4 up that reaches nt.
transform_length() {
  local nt=$1 nf=4
  while ((nf < nt)); do nf=$((nf * 2)); done
  echo "$nf"
}

finish() {
  if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
