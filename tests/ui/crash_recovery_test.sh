#!/usr/bin/env bash
# Typed work survives: the real kelvo on a virtual X display (Xvfb), driven
# from the keyboard with xdotool, killed with SIGKILL. It reads a table set,
# numbers are typed into the table editor, and the program is killed before
# anything is saved. Started again, it offers the unsaved changes:
#   recover  -> Recover loads the typed number, and Save writes it;
#   discard  -> the file keeps its number and the journal is gone;
#   damaged  -> a journal that cannot be read is reported, set aside, and
#               still byte for byte the same after the next edit; Ctrl+S in
#               the table editor saves;
#   later    -> Escape and the close box keep the journal as it is; the next
#               run writes its own, and the next start offers both;
#   failing  -> journals that cannot be written while 20 keys are typed: no
#               box takes the keyboard, every key lands;
#   two      -> a second KELVO refuses the file that the first has open and
#               does not offer its journal; after a SIGKILL of the first,
#               Recover in a new one finds the typing.
# Usage: crash_recovery_test.sh PATH/TO/kelvo PATH/TO/close_box
set -euo pipefail

if [ "${1:-}" != "--on-display" ]; then
  kelvo="$(realpath "$1")"
  close_box="$(realpath "$2")"
  for tool in xvfb-run xdotool; do
    if ! command -v "$tool" >/dev/null; then
      echo "$tool is missing: run scripts/install-deps" >&2
      exit 1
    fi
  done
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  cp "$(dirname "$0")/../../examples/titanic.tbl" "$work/original.tbl"
  env -u QT_QPA_PLATFORM timeout 340 \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --on-display "$kelvo" "$close_box" "$work"
  exit $?
fi

kelvo="$2"
close_box="$3"
work="$4"
cd "$work"
export XDG_STATE_HOME="$work/state"
journals="$XDG_STATE_HOME/kelvo/recovery"
pid=""
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits for a visible window whose title matches the pattern (of the process
# PID when one is given) and gives it the keyboard (there is no window
# manager on the display). Prints its id.
window() {
  local id
  if [ -n "${2:-}" ]; then
    id="$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$2" --name "$1" | head -n 1)" ||
      fail "no window \"$1\" of process $2"
  else
    id="$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1)" || fail "no window \"$1\""
  fi
  xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
  sleep 0.3
  echo "$id"
}

# Whether a window of that title is on the screen (of process PID).
shown() {
  if [ -n "${2:-}" ]; then
    xdotool search --all --onlyvisible --pid "$2" --name "$1" >/dev/null 2>&1
  else
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
  fi
}

# Waits until the window with this id is off the screen.
gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  fail "window $1 is still there"
}

# Starts kelvo with the arguments; its process id is in $pid.
start() {
  "$kelvo" "$@" >>kelvo.log 2>&1 &
  pid=$!
  pids+=("$pid")
}

killed() {
  kill -9 "$1"
  wait "$1" 2>/dev/null || true
}

# Ends the program PID (default: the last one started) from its File menu
# (Exit writes a modified table set) and waits until it has gone.
exit_program() {
  local which="${1:-$pid}"
  window "^KELVO - Quendar" "$which" >/dev/null
  xdotool key alt+f
  sleep 0.3
  xdotool key x
  for _ in $(seq 100); do
    kill -0 "$which" 2>/dev/null || { wait "$which" || true; return; }
    sleep 0.1
  done
  fail "kelvo did not end after Exit"
}

# Opens the table editor from the main window of process PID (default: the
# last one started).
edit_tables() {
  window "^KELVO - Quendar" "${1:-$pid}" >/dev/null
  xdotool key alt+e
  sleep 0.3
  xdotool key t
  window "Edit table" "${1:-$pid}" >/dev/null
}

journal_files() { find "$journals" -maxdepth 1 -name '*.journal' 2>/dev/null | sort; }
journal_count() { journal_files | wc -l; }

# A fresh start for each case: the original file, no journals.
fresh() {
  cp original.tbl work.tbl
  rm -rf "$XDG_STATE_HOME"
}

# Reads the table set, types NUMBER into the first cell of the first table
# and kills the program 3 seconds later, without anything saved.
type_and_kill() {
  start work.tbl
  edit_tables
  xdotool type --delay 50 "$1"
  sleep 3
  killed "$pid"
  cmp -s original.tbl work.tbl || fail "the table-set file changed before it was saved"
}

# Cell N of the first row of the first table in work.tbl (titanic.tbl holds
# 180 in the first).
cell() { sed -n '/\*/{n;p;q}' work.tbl | awk -v n="${1:-1}" '{print $n}'; }
first_cell() { cell 1; }

echo "recover"
fresh
type_and_kill 4321
[ "$(journal_count)" -eq 1 ] || fail "no journal after 3 seconds: $(ls -a "$journals" 2>&1)"
start
window "^KELVO$" >/dev/null
xdotool key Return  # Recover, the default
sleep 1
window "^KELVO - Quendar" >/dev/null
xdotool key ctrl+s
sleep 0.5
[ "$(first_cell)" = "4321" ] || fail "after Recover and Save the cell holds $(first_cell), not 4321"
[ "$(journal_count)" -eq 0 ] || fail "Save left the journal"
exit_program

echo "discard"
fresh
type_and_kill 5555
start
window "^KELVO$" >/dev/null
xdotool key alt+d
sleep 1
exit_program
cmp -s original.tbl work.tbl || fail "Discard changed the file"
[ "$(journal_count)" -eq 0 ] || fail "Discard left the journal"

echo "damaged"
fresh
type_and_kill 6666
journal="$(journal_files)"
head -c 100 "$journal" >damaged
cp damaged "$journal"
start work.tbl
window "^KELVO$" >/dev/null  # the error box, which says where the journal is now
xdotool key Return
aside="$(find "$journals" -name '*.damaged-*')"
[ -n "$aside" ] || fail "the damaged journal was not set aside: $(ls "$journals")"
cmp -s damaged "$aside" || fail "the damaged journal was changed when it was set aside"
edit_tables
xdotool type --delay 50 7
sleep 2
cmp -s damaged "$aside" || fail "the damaged journal was changed by the next edit"
[ "$(journal_count)" -eq 1 ] || fail "no journal of the edit beside the damaged one"
xdotool key ctrl+s  # in the table editor
sleep 0.5
[ "$(first_cell)" = "7" ] || fail "Ctrl+S in the table editor left $(first_cell) in the cell, not 7"
xdotool key alt+o  # OK closes the editor
exit_program
cmp -s damaged "$aside" || fail "the damaged journal was changed by Exit"

echo "later"
fresh
type_and_kill 1111
first="$(journal_files)"
cp "$first" first.journal
start work.tbl
window "^KELVO$" >/dev/null  # the question, newer than the file
xdotool key Escape
edit_tables
cmp -s first.journal "$first" || fail "Escape changed the journal"
xdotool type --delay 50 2222
sleep 3
killed "$pid"
cmp -s first.journal "$first" || fail "the next run wrote over the journal kept with Escape"
[ "$(journal_count)" -eq 2 ] || fail "not two journals after Later: $(ls "$journals")"
second="$(journal_files | grep -vx "$first")"
cp "$second" second.journal
start
box="$(window "^KELVO$")"  # the newest: 2222
"$close_box" "$box"
gone "$box"
window "^KELVO$" >/dev/null  # the older: 1111
xdotool key Return
sleep 1
cmp -s second.journal "$second" || fail "the close box changed the journal"
window "^KELVO - Quendar" >/dev/null
xdotool key ctrl+s
sleep 0.5
[ "$(first_cell)" = "1111" ] || fail "the older journal was not offered second: the cell holds $(first_cell)"
exit_program
cmp -s second.journal "$second" || fail "the journal kept with the close box was changed"

echo "failing"
fresh
start work.tbl
edit_tables
xdotool type --delay 50 11111
sleep 1.5
[ "$(journal_count)" -eq 1 ] || fail "no journal before the folder was taken away"
# The folder goes; a file takes its place: no journal can be written.
mv "$journals" "$journals.away"
touch "$journals"
xdotool type --delay 50 22222
xdotool key Tab
xdotool type --delay 50 12121
sleep 1.5  # a write fails while the typing goes on
xdotool type --delay 50 21212
sleep 1.5
if shown "Warning" || shown "^KELVO$"; then fail "a box came up while typing"; fi
rm "$journals"
mv "$journals.away" "$journals"
xdotool key BackSpace
xdotool type 2
sleep 1.5
xdotool key ctrl+s
sleep 0.5
[ "$(cell 1)" = "1111122222" ] || fail "keys were lost in the first cell: $(cell 1)"
[ "$(cell 2)" = "1212121212" ] || fail "keys were lost in the second cell: $(cell 2)"
xdotool key alt+o
exit_program

echo "two"
fresh
start work.tbl
first_pid="$pid"
edit_tables "$first_pid"
xdotool type --delay 50 7777
sleep 2
[ "$(journal_count)" -eq 1 ] || fail "no journal of the first KELVO"
cp "$(journal_files)" first.journal
lock="$(find "$journals" -name '*.lock')"
[ "$(head -n 1 "$lock")" = "$first_pid" ] || fail "the lock does not name the first KELVO"
start work.tbl
window "^KELVO$" "$pid" >/dev/null  # "FILE is open in another KELVO window (process N)"
xdotool key Return
exit_program "$pid"  # a Recover here would now write the file
cmp -s original.tbl work.tbl || fail "the second KELVO opened the file"
start
window "^KELVO - Quendar" "$pid" >/dev/null
sleep 1.5
if shown "^KELVO$" "$pid"; then fail "the second KELVO offered the journal of the first"; fi
exit_program "$pid"
cmp -s first.journal "$(journal_files)" || fail "the second KELVO changed the first one's journal"
[ "$(head -n 1 "$lock")" = "$first_pid" ] || fail "the second KELVO took the lock"
killed "$first_pid"
start
window "^KELVO$" "$pid" >/dev/null
xdotool key Return  # Recover
sleep 1
window "^KELVO - Quendar" "$pid" >/dev/null
xdotool key ctrl+s
sleep 0.5
[ "$(first_cell)" = "7777" ] || fail "after the first KELVO was killed, Recover found $(first_cell), not 7777"
exit_program "$pid"
echo "ok"
