#!/usr/bin/env bash
# Takes the desktop program's screens on a virtual display, on the light and
# dark Adwaita themes at 1.0 and 1.5 times the text size, into
# docs/screenshots/<theme>-<scale>/: the main window, then every preferences
# page (through the preferences test's PIC2JPG_SCREENSHOTS capture).
# Usage: docs/screenshots/take.sh [BUILD_DIR]   (needs xvfb-run, xdotool and
# ImageMagick's import). Look at every picture after a change to a screen.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
for theme in Adwaita Adwaita:dark; do
  for scale in 1 1.5; do
    out="$here/${theme/:/-}-$scale"
    mkdir -p "$out"
    home=$(mktemp -d)
    GTK_THEME=$theme GDK_DPI_SCALE=$scale HOME=$home XDG_CONFIG_HOME=$home/.config NO_AT_BRIDGE=1 \
      xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        "$1/pic2jpg" &
        pid=$!
        for _ in $(seq 100); do
          id=$(xdotool search --name "^Morvane PIC to JPG" 2>/dev/null | head -1) && [ -n "$id" ] && break
          sleep 0.2
        done
        sleep 1
        eval "$(xdotool getwindowgeometry --shell "$id")"
        import -silent -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$2/main.png"
        kill "$pid"
        wait "$pid" || true
      ' _ "$build" "$out"
    GTK_THEME=$theme GDK_DPI_SCALE=$scale PIC2JPG_SCREENSHOTS=$out PIC2JPG_TEST=1 NO_AT_BRIDGE=1 \
      xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/gui_tests" \
      --gtest_filter='*OpensOnItsStartPage*' >/dev/null
    rm -rf "$home"
    echo "$out"
  done
done
