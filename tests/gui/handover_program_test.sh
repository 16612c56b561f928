#!/usr/bin/env bash
# Second starts of the built pic2jpg on a virtual display (no window
# manager): a start with a file while the window is open hands the file over
# and ends with status 0, leaving one window, which then converts that file
# (how fast the hand-over is belongs to a benchmark, not here); a console run
# beside the window converts (console runs take no lock). A window killed
# outright leaves its socket behind: the next start still opens a window,
# which takes hand-overs again and removes its socket when it ends. A copy
# without a window (the lock held, nobody
# listening) does not keep a start from opening its window.
# Usage: handover_program_test.sh PIC2JPG PICT_FILE
set -u
exe=$1
picture=$2
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$work/run"
mkdir "$work/in"
cp "$picture" "$work/in/first.pict"
cp "$picture" "$work/in/second.pict"
cp "$picture" "$work/in/third.pict"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

source "$(dirname "$0")/window_waits.sh"
windows() { list_windows --onlyvisible --name '^Morvane PIC to JPG' | wc -l; }

# F5 in window $2 of process $1, and the dialog that follows closed: the
# result when the window had files, or the warning of an empty input. True
# when $3 was written.
convert_and_check() {
  local pid=$1 main=$2 output=$3 id
  xdotool windowfocus --sync "$main" key F5
  id=$(find_window --all --onlyvisible --pid "$pid" --name '^(Conversion complete|Warning$)') || return 1
  xdotool windowfocus --sync "$id" key Return
  wait_until no_window --all --onlyvisible --pid "$pid" --name '^(Conversion complete|Warning$)'
  [ -s "$output" ]
}

# A start with a file hands it over and ends; the window converts it. The
# window adds the file on its own thread's next turn: until then F5 finds
# no file or only those it had.
hand_over() {
  local file=$1 main=$2 pid=$3 status
  timeout 10 "$exe" "$work/in/$file.pict"
  status=$?
  [ "$status" -eq 0 ] || fail "$file: second start ended with status $status"
  [ "$(windows)" -eq 1 ] || fail "$file: $(windows) windows"
  wait_until convert_and_check "$pid" "$main" "$work/in/$file.jpg" ||
    fail "$file: the handed-over file was not converted"
}

"$exe" &
first=$!
pids+=("$first")
main=$(find_window --all --onlyvisible --pid "$first" --name '^Morvane PIC to JPG') || fail "no main window"
hand_over second "$main" "$first"
rm -f "$work/in/first.jpg"
"$exe" -q -i "$work/in/first.pict"
status=$?
[ "$status" -eq 0 ] || fail "console run beside the window: status $status"
[ -s "$work/in/first.jpg" ] || fail "console run beside the window wrote nothing"

# Killed outright, the window leaves its socket.
kill -9 "$first"
wait "$first" 2>/dev/null
socket=$(ls "$work"/run/*.socket 2>/dev/null | head -1)
[ -S "$socket" ] || fail "no socket left behind"
"$exe" "$work/in/first.pict" &
again=$!
pids+=("$again")
main=$(find_window --all --onlyvisible --pid "$again" --name '^Morvane PIC to JPG') || fail "no window after a crash"
hand_over third "$main" "$again"
xdotool windowfocus --sync "$main" key alt+x
ends_by_itself "$again" || fail "still running after Alt+X"
[ ! -e "$socket" ] || fail "socket left after a clean end"

# The lock held by a copy with no window.
lock=$(ls "$work"/run/*.lock | grep -v socket | head -1)
# The holder is the sleep itself, so killing it frees the lock and leaves
# nothing behind that keeps the test's output open.
(exec 9>"$lock" && flock 9 && exec sleep 60) >/dev/null 2>&1 &
holder=$!
pids+=("$holder")
wait_until eval '! flock -n "$lock" true' || fail "the lock was not taken"
"$exe" "$work/in/first.pict" 2>"$work/stderr" &
beside=$!
pids+=("$beside")
main=$(find_window --all --onlyvisible --pid "$beside" --name '^Morvane PIC to JPG') ||
  fail "no window beside a windowless copy"
grep -q "no window of the running copy answered; opening another" "$work/stderr" ||
  fail "no reason given: $(cat "$work/stderr")"
xdotool windowfocus --sync "$main" key alt+x
ends_by_itself "$beside" || fail "the window beside still runs after Alt+X"
kill "$holder"
wait "$holder" 2>/dev/null

echo "desktop_handover: $failures failure(s)"
[ "$failures" -eq 0 ]
