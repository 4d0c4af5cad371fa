#!/usr/bin/env bash
# Typed work survives a killed program: the real kelvo on a virtual X display
# (Xvfb), driven from the keyboard with xdotool. It reads a table set, a
# number is typed into the table editor, and after 3 seconds the program is
# killed with SIGKILL. Started again, it offers the unsaved changes:
#   Recover  -> the typed number is in the table set, and Save writes it;
#   Discard  -> the file keeps its number and the journal is gone;
#   damaged  -> a journal that cannot be read is reported and kept as it is.
# Usage: crash_recovery_test.sh PATH/TO/kelvo
set -euo pipefail

if [ "${1:-}" != "--on-display" ]; then
  kelvo="$(realpath "$1")"
  for tool in xvfb-run xdotool; do
    if ! command -v "$tool" >/dev/null; then
      echo "$tool is missing: run scripts/install-deps" >&2
      exit 1
    fi
  done
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  cp "$(dirname "$0")/../../examples/titanic.tbl" "$work/original.tbl"
  env -u QT_QPA_PLATFORM timeout 170 \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --on-display "$kelvo" "$work"
  exit $?
fi

kelvo="$2"
work="$3"
cd "$work"
export XDG_STATE_HOME="$work/state"
journals="$XDG_STATE_HOME/kelvo/recovery"
pid=""
cleanup() { [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true; }
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits for a window whose title matches the pattern and gives it the
# keyboard (there is no window manager on the display).
window() {
  local id
  id="$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1)" || fail "no window \"$1\""
  xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
  sleep 0.3
  echo "$id"
}

start() {
  "$kelvo" "$@" >>kelvo.log 2>&1 &
  pid=$!
}

# Ends the program from its File menu (Exit writes a modified table set)
# and waits until it has gone.
exit_program() {
  window "^KELVO - Quendar" >/dev/null
  xdotool key alt+f
  sleep 0.3
  xdotool key x
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; pid=""; return; }
    sleep 0.1
  done
  fail "kelvo did not end after Exit"
}

# Reads the table set, types NUMBER into the first cell of the first table
# and kills the program 3 seconds later, without anything saved.
type_and_kill() {
  cp original.tbl work.tbl
  start work.tbl
  window "^KELVO - Quendar" >/dev/null
  xdotool key alt+e
  sleep 0.3
  xdotool key t
  window "Edit table" >/dev/null
  xdotool type --delay 50 "$1"
  sleep 3
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  pid=""
  cmp -s original.tbl work.tbl || fail "the table-set file changed before it was saved"
  [ "$(ls "$journals" | wc -l)" -eq 1 ] || fail "no journal after 3 seconds: $(ls -a "$journals" 2>&1)"
}

# The first table of titanic.tbl holds 180 in its first cell.
first_cell() { sed -n '/\*/{n;p;q}' work.tbl | awk '{print $1}'; }

echo "recover"
type_and_kill 4321
start
window "^KELVO$" >/dev/null
xdotool key Return  # Recover, the default
sleep 1
window "^KELVO - Quendar" >/dev/null
xdotool key ctrl+s
sleep 0.5
[ "$(first_cell)" = "4321" ] || fail "after Recover and Save the cell holds $(first_cell), not 4321"
[ -z "$(ls "$journals")" ] || fail "Save left the journal"
exit_program

echo "discard"
type_and_kill 5555
start
window "^KELVO$" >/dev/null
xdotool key alt+d
sleep 1
exit_program
cmp -s original.tbl work.tbl || fail "Discard changed the file"
[ -z "$(ls "$journals")" ] || fail "Discard left the journal"

echo "damaged"
type_and_kill 6666
journal="$journals/$(ls "$journals")"
head -c 100 "$journal" >damaged
cp damaged "$journal"
start
window "^KELVO$" >/dev/null  # the error box
xdotool key Return
sleep 1
exit_program
cmp -s damaged "$journal" || fail "the damaged journal was changed or removed"
cmp -s original.tbl work.tbl || fail "the damaged journal changed the file"
echo "ok"
