#!/usr/bin/env bash
# Starts the real kelvo program on a virtual X display (Xvfb), as a user would
# start it, waits until its main window is on the screen and closes it the
# normal way. Catches what the offscreen window tests cannot: a missing
# platform plugin, library or built-in resource at start-up.
# Usage: smoke_test.sh PATH/TO/kelvo
set -euo pipefail
kelvo="$(realpath "$1")"
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing: run scripts/install-deps" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
# The real platform plugin (xcb), not the offscreen one of the window tests.
status=0
env -u QT_QPA_PLATFORM KELVO_SMOKE_TEST=1 timeout 60 \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$kelvo" >output.txt 2>&1 || status=$?
cat output.txt
if [ "$status" -ne 0 ]; then
  echo "kelvo ended with status $status" >&2
  exit 1
fi
if ! grep -q "^shown: KELVO - Quendar - Version 7.0 592x" output.txt; then
  echo "the main window did not appear" >&2
  exit 1
fi
