#!/usr/bin/env bash
# Starts the real kelvo program on a virtual X display (Xvfb), as a user would
# start it, waits until its main window is on the screen and closes it the
# normal way. Catches what the offscreen window tests cannot: a missing
# platform plugin, library or built-in resource at start-up, and the command
# line as the real program sees it.
# Usage: smoke_test.sh PATH/TO/kelvo
set -euo pipefail
kelvo="$(realpath "$1")"
examples="$(realpath "$(dirname "$0")/../../examples")"
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing: run scripts/install-deps" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
# Runs kelvo with the given arguments on the real platform plugin (xcb), not
# the offscreen one of the window tests; its output goes to output.txt.
run() {
  local status=0
  env -u QT_QPA_PLATFORM KELVO_SMOKE_TEST=1 XDG_STATE_HOME="$work/state" timeout 60 \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$kelvo" "$@" >output.txt 2>&1 || status=$?
  cat output.txt
  return "$status"
}
expect() {
  if ! grep -q "$1" output.txt; then
    echo "expected in the output: $1" >&2
    exit 1
  fi
}

run || { echo "kelvo ended with status $?" >&2; exit 1; }
expect "^shown: KELVO - Quendar - Version 7.0 592x"
expect "^file: -, variables: -$"
# The estimation log goes to the state folder, not to the current folder.
expect "^estimation log: $work/state/kelvo/log$"

# A file named on the command line is read at start-up; Qt's own options
# still work beside it.
cp "$examples/titanic.tbl" .
run -platform xcb titanic.tbl || { echo "kelvo titanic.tbl ended with status $?" >&2; exit 1; }
expect "^file: $(pwd -P)/titanic.tbl, variables: 4$"

# Two files are refused with a message and status 2, before any window.
status=0
run first.tbl second.tbl || status=$?
if [ "$status" -ne 2 ]; then
  echo "kelvo with two files ended with status $status, not 2" >&2
  exit 1
fi
expect "^kelvo: only one table-set file can be opened, 2 were given$"
if grep -q "^shown:" output.txt; then
  echo "kelvo with two files showed its window" >&2
  exit 1
fi

# --version needs no display.
version="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kelvo" --version)"
if [ "$version" != "kelvo 7.0" ]; then
  echo "kelvo --version printed: $version" >&2
  exit 1
fi
