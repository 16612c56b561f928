#!/usr/bin/env bash
# The built pic2jpg on a virtual display (run through xvfb-run, no window
# manager): started with a lone file as a file manager would, F5 converts
# it, the progress dialog reports the result, Alt+X ends the program and the
# preferences file holds the geometry and the output folder. Then the
# screenshot mode, and the console with no display at all.
# Usage: desktop_program_test.sh PIC2JPG PICT_FILE
set -u
exe=$1
picture=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
pid=
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

source "$(dirname "$0")/window_waits.sh"

mkdir -p "$work/in"
cp "$picture" "$work/in/photo.pict"
"$exe" "$work/in/photo.pict" &
pid=$!
main=$(find_window --name '^Morvane PIC to JPG') || fail "no main window"
xdotool windowfocus --sync "$main" key F5
dialog=$(find_window --name '^Conversion complete') || fail "no result in the progress dialog's title"
title=$(xdotool getwindowname "$dialog" 2>/dev/null)
[ "$title" = "Conversion complete: 1 of 1 converted" ] || fail "dialog title: $title"
[ -s "$work/in/photo.jpg" ] || fail "no JPEG written beside the input"
xdotool windowfocus --sync "$dialog" key Return
wait_until no_window --onlyvisible --name '^Conversion complete' || fail "the progress dialog stays open"
xdotool windowfocus --sync "$main" key alt+x
if ends_by_itself "$pid"; then
  wait "$pid"; status=$?
  [ "$status" -eq 0 ] || fail "exit status $status"
else
  fail "still running after Alt+X"
fi
prefs=$work/config/Morvane/quorvel/config.ini
grep -q '^Width = 510' "$prefs" || fail "no window width in the preferences"
grep -q "^Recent Out Folders = $work/in/" "$prefs" || fail "no output folder in the history"

# With the last update check long ago the start asks; Yes asks port 1 of this
# machine, where nothing listens: the connection problem message, and the
# date moves.
sed -i 's/^Update Date = .*/Update Date = 1/' "$prefs"
PIC2JPG_UPDATE_URL=http://127.0.0.1:1/quorvel.dat "$exe" &
pid=$!
main=$(find_window --name '^Morvane PIC to JPG') || fail "no main window at the second start"
question=$(find_window --name '^Check for Updates$') || fail "no update question"
xdotool windowfocus --sync "$question" key Return
problem=$(find_window --name '^Error$') || fail "no connection problem message"
xdotool windowfocus --sync "$problem" key Return
wait_until no_window --onlyvisible --name '^Error$' || fail "the connection problem message stays open"
xdotool windowfocus --sync "$main" key alt+x
ends_by_itself "$pid" || fail "still running after Alt+X (second start)"
grep -q '^Update Date = [1-9][0-9]' "$prefs" || fail "the update date did not move"

# The screenshot mode: two JPEG files, the small one 180 pixels wide.
mkdir "$work/shots"
"$exe" -T "$work/shots" || fail "screenshot mode failed"
[ -s "$work/shots/quorvel1.jpg" ] || fail "no quorvel1.jpg"
[ -s "$work/shots/quorvel1x.jpg" ] || fail "no quorvel1x.jpg"
width=$(od -An -tu1 -j0 "$work/shots/quorvel1x.jpg" | tr -s ' \n' ' ' |
  awk '{for (i = 1; i < NF; i++) if ($i == 255 && ($(i+1) == 192 || $(i+1) == 194)) {print $(i+7) * 256 + $(i+8); exit}}')
[ "$width" = "180" ] || fail "quorvel1x.jpg is $width wide"
"$exe" -T "$work/missing"
[ ! -e "$work/missing" ] || fail "screenshot into a missing folder"

# The console needs no display.
cp "$picture" "$work/in/console.pict"
env -u DISPLAY -u WAYLAND_DISPLAY "$exe" -q -i "$work/in/console.pict" ||
  fail "console run without a display"

# A console run loads no toolkit: the windows are a module opened only for a
# window. A copy of the program without its module still converts, and says
# why when a window is asked for.
LD_DEBUG=files "$exe" -q -i "$work/in/console.pict" 2>"$work/loaded.txt" ||
  fail "console run under LD_DEBUG"
toolkit=$(grep -oE 'file=[^ ]*(libgtk|libwx_|pic2jpg-window)[^ ]*' "$work/loaded.txt" | head -3)
[ -z "$toolkit" ] || fail "a console run loads the toolkit: $toolkit"
grep -q 'file=libc\.so' "$work/loaded.txt" || fail "LD_DEBUG listed no libraries"
mkdir "$work/alone" "$work/alone-shots"
cp "$exe" "$work/alone/"
"$work/alone/pic2jpg" -T "$work/alone-shots" 2>"$work/alone.txt"
status=$?
[ "$status" -eq 1 ] || fail "status $status without the window module"
[ "$(wc -l <"$work/alone.txt")" -eq 1 ] && grep -q 'pic2jpg-window\.so' "$work/alone.txt" || fail "no clear error without the window module: $(cat "$work/alone.txt")"
PATH="$(dirname "$exe"):$PATH" "$work/alone/pic2jpg" -q -i "$work/in/console.pict" -o "$work/alone" ||
  fail "console run without the window module"
[ -s "$work/alone/console.jpg" ] || fail "no JPEG from the console run without the window module"
[ -s "$work/in/console.jpg" ] || fail "console run wrote nothing"

echo "desktop_program: $failures failure(s)"
[ "$failures" -eq 0 ]
