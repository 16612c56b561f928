#!/usr/bin/env bash
# Figure of the desktop program with many files (nothing passes or fails):
# N copies of a small PICT picture in one folder, converted by the console
# (`pic2jpg -q -i FOLDER -o OUT`) and through the window (the folder handed
# over by a second start, as a drop gives it, then F5, until the progress
# dialog's "Conversion complete (N/N)" title), in the same run.
# Run on a display, e.g.:
#   xvfb-run -a bash bench/desktop_many_files.sh build/pic2jpg tests/data/sample.pict [N]
set -u
exe=$(realpath "$1")
picture=$(realpath "$2")
count=${3:-1000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work HOME=$work NO_AT_BRIDGE=1
now() { date +%s.%N; }
elapsed() { awk -v a="$(now)" -v b="$1" 'BEGIN {printf "%.2f", a - b}'; }
. "$(dirname "$0")/wait_window.sh"

mkdir -p "$work/in" "$work/console" "$work/window"
for i in $(seq -w "$count"); do cp "$picture" "$work/in/picture$i.pict"; done

start=$(now)
"$exe" -q -i "$work/in" -o "$work/console"
echo "console -i FOLDER, $count files: $(elapsed "$start") s"

# The window writes where its output folder list says: the folder chosen.
mkdir -p "$work/config/Morvane/quorvel"
printf '[File]\nRecent Out Folders = %s/\n' "$work/window" >"$work/config/Morvane/quorvel/config.ini"
"$exe" &
pid=$!
wait_window '^Morvane PIC to JPG' 600 || exit 1
start=$(now)
"$exe" "$work/in"
xdotool search --name '^Morvane PIC to JPG' windowfocus --sync key F5
if wait_window "Conversion complete \\($count/$count\\)" 600; then
  echo "window, hand-over of the folder to \"Conversion complete ($count/$count)\": $(elapsed "$start") s"
fi
echo "files written: console $(ls "$work/console" | wc -l), window $(ls "$work/window" | wc -l)"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
