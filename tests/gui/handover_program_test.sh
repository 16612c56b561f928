#!/usr/bin/env bash
# Second starts of the built pic2jpg on a virtual display (no window
# manager): a start with a file while the window is open hands the file over
# and ends with status 0 within a second (beyond what a bare program start
# takes), leaving one window, which then converts that file; a console run
# beside the window converts (console runs take no lock). A window killed
# outright leaves its socket behind: the next start still opens a window,
# which takes hand-overs again and removes its socket when it ends. A copy without a window (the lock held, nobody
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
now_ms() { date +%s%3N; }

# Waits up to 20 s for a visible window of process $1 whose title matches $2;
# prints its id.
find_window() {
  for _ in $(seq 100); do
    id=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
windows() { xdotool search --onlyvisible --name '^Morvane PIC to JPG' 2>/dev/null | wc -l; }

# A start with a file hands it over and ends; the window converts it.
hand_over() {
  local file=$1 main=$2 pid=$3 before after start took status
  start=$(now_ms)
  "$exe" --version >/dev/null 2>&1
  before=$(($(now_ms) - start))
  start=$(now_ms)
  timeout 10 "$exe" "$work/in/$file.pict"
  status=$?
  took=$(($(now_ms) - start))
  [ "$status" -eq 0 ] || fail "$file: second start ended with status $status"
  [ $((took - before)) -lt 1000 ] || fail "$file: second start took $took ms (a bare start $before ms)"
  [ "$(windows)" -eq 1 ] || fail "$file: $(windows) windows"
  # The window adds the file on its own thread's next turn.
  sleep 0.5
  xdotool windowfocus --sync "$main" key F5
  dialog=$(find_window "$pid" '^Conversion complete') || fail "$file: no conversion"
  [ -s "$work/in/$file.jpg" ] || fail "$file: the handed-over file was not converted"
  xdotool windowfocus --sync "$dialog" key Return
  sleep 0.3
}

"$exe" &
first=$!
pids+=("$first")
main=$(find_window "$first" '^Morvane PIC to JPG') || fail "no main window"
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
main=$(find_window "$again" '^Morvane PIC to JPG') || fail "no window after a crash"
hand_over third "$main" "$again"
xdotool windowfocus --sync "$main" key alt+x
for _ in $(seq 50); do kill -0 "$again" 2>/dev/null || break; sleep 0.2; done
kill -0 "$again" 2>/dev/null && fail "still running after Alt+X"
[ ! -e "$socket" ] || fail "socket left after a clean end"

# The lock held by a copy with no window.
lock=$(ls "$work"/run/*.lock | grep -v socket | head -1)
flock "$lock" sleep 60 &
holder=$!
pids+=("$holder")
sleep 0.3
"$exe" "$work/in/first.pict" 2>"$work/stderr" &
beside=$!
pids+=("$beside")
main=$(find_window "$beside" '^Morvane PIC to JPG') || fail "no window beside a windowless copy"
grep -q "no window of the running copy answered; opening another" "$work/stderr" ||
  fail "no reason given: $(cat "$work/stderr")"
xdotool windowfocus --sync "$main" key alt+x
for _ in $(seq 50); do kill -0 "$beside" 2>/dev/null || break; sleep 0.2; done
kill -0 "$beside" 2>/dev/null && fail "the window beside still runs after Alt+X"
kill "$holder"
wait "$holder" 2>/dev/null

echo "desktop_handover: $failures failure(s)"
[ "$failures" -eq 0 ]
