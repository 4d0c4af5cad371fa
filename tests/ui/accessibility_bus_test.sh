#!/usr/bin/env bash
# The real kelvo as a screen reader sees it: on its own virtual X display
# (Xvfb) with its own D-Bus session and accessibility bus, a Python client of
# that bus (pyatspi) chooses a model, reads the results browser's grid, sets
# a number in the table editor and ends the program; see
# accessibility_client.py for what it checks. Exits 77 (skipped) only when
# the X server, D-Bus, the accessibility bus or pyatspi is not installed.
# Usage: accessibility_bus_test.sh PATH/TO/kelvo PATH/TO/kelvo-cli
set -euo pipefail

kelvo="$(realpath "$1")"
cli="$(realpath "$2")"
here="$(cd "$(dirname "$0")" && pwd)"
python=/usr/bin/python3  # the system's Python, which has the Debian modules

launcher=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  if [ -x "$candidate" ]; then launcher="$candidate"; break; fi
done
missing=()
command -v Xvfb >/dev/null || missing+=("Xvfb (xvfb)")
command -v dbus-daemon >/dev/null || missing+=("dbus-daemon (dbus-daemon)")
[ -n "$launcher" ] || missing+=("at-spi-bus-launcher (at-spi2-core)")
{ [ -x "$python" ] && "$python" -c 'import pyatspi' 2>/dev/null; } || missing+=("pyatspi (python3-pyatspi)")
if [ ${#missing[@]} -gt 0 ]; then
  echo "skipped: not installed: ${missing[*]}; run scripts/install-deps" >&2
  exit 77
fi

work="$(mktemp -d)"
pids=()
cleanup() {
  # Last started, first stopped: the program, the accessibility bus, the
  # session bus (the registry daemon ends with it), the X server.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Waits until FILE has a line and prints it.
first_line() {
  for _ in $(seq 100); do
    if [ -s "$1" ]; then head -n 1 "$1"; return; fi
    sleep 0.1
  done
  echo "FAIL: nothing in $1" >&2
  exit 1
}

# Nothing of a desktop this may run in: its accessibility bus, its Wayland.
unset AT_SPI_BUS_ADDRESS WAYLAND_DISPLAY
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state"
export XDG_CONFIG_HOME="$work/config"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
export DISPLAY=":$(first_line "$work/display")"

dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>"$work/dbus.log" &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="$(first_line "$work/bus")"

# The accessibility bus is there before the program starts, as on a desktop.
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
pids+=($!)

cp "$here/../../examples/titanic.tbl" "$work/titanic.tbl"
cd "$work"
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$kelvo" titanic.tbl >kelvo.log 2>&1 &
kelvo_pid=$!
pids+=("$kelvo_pid")

status=0
timeout 150 "$python" "$here/accessibility_client.py" "$kelvo_pid" "$work/titanic.tbl" "$cli" || status=1
if [ "$status" -eq 0 ]; then
  # The client saw kelvo end after File > Exit: it ended well.
  kelvo_status=0
  wait "$kelvo_pid" || kelvo_status=$?
  if [ "$kelvo_status" -ne 0 ]; then
    echo "FAIL: kelvo ended with status $kelvo_status after File > Exit" >&2
    status=1
  fi
fi
if [ "$status" -ne 0 ]; then
  echo "--- kelvo's output:" >&2
  cat kelvo.log >&2
fi
exit "$status"
