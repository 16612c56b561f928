#!/usr/bin/env bash
# Figures of the desktop program (nothing passes or fails):
# - time from start to the main window shown (xdotool sees it), median of N;
# - the screenshot mode's (-T) wall time and peak memory;
# - a 4000 x 3000 picture converted through the window (F5 to the progress
#   dialog's "Conversion complete" title) against the console run of it.
# Run on a display, e.g.: xvfb-run -a bash bench/desktop_bench.sh build/pic2jpg [RUNS]
set -u
exe=$(realpath "$1")
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
now() { date +%s.%N; }
elapsed() { awk -v a="$(now)" -v b="$1" 'BEGIN {print a - b}'; }
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
. "$(dirname "$0")/wait_window.sh"
quit() {  # pid
  xdotool search --name '^Morvane PIC to JPG' windowfocus --sync key alt+x 2>/dev/null
  wait "$1"
}

for _ in $(seq "$runs"); do
  start=$(now)
  "$exe" &
  pid=$!
  wait_window '^Morvane PIC to JPG' 60 && elapsed "$start"
  quit "$pid"
done | median | awk '{printf "start to main window shown: %.3f s (median of runs)\n", $1}'

mkdir "$work/shots"
/usr/bin/time -f '%e %M' -o "$work/t" "$exe" -T "$work/shots"
awk '{printf "screenshot mode (-T): %.2f s wall, peak memory %.1f MiB\n", $1, $2 / 1024}' "$work/t"

convert -size 4000x3000 gradient:navy-orange "$work/big.pict"
echo "picture: 4000 x 3000, $(du -m "$work/big.pict" | cut -f1) MiB PICT"
for _ in $(seq "$runs"); do
  rm -f "$work/big.jpg"
  "$exe" "$work/big.pict" &
  pid=$!
  wait_window '^Morvane PIC to JPG' 60
  start=$(now)
  xdotool search --name '^Morvane PIC to JPG' windowfocus --sync key F5
  wait_window '^Conversion complete' 60 && elapsed "$start"
  xdotool search --name '^Conversion complete' windowfocus --sync key Return
  quit "$pid"
done | median | awk '{printf "through the window (F5 to result): %.3f s (median)\n", $1}'
for _ in $(seq "$runs"); do
  rm -f "$work/big.jpg"
  start=$(now)
  "$exe" -q -i "$work/big.pict" -o "$work" && elapsed "$start"
done | median | awk '{printf "console (pic2jpg -q -i): %.3f s (median)\n", $1}'
