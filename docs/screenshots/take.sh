#!/usr/bin/env bash
# Takes every screen of the desktop program on a virtual display (Xvfb, no
# window manager, so no title bars) into docs/screenshots/<variant>/:
# light Adwaita at 1.0 and 1.5 times the text size, dark Adwaita at 1.0.
# The screens come from the layout test's walk (tests/gui/layout_test.cc):
# the main window empty, with one file and with many, the progress dialog
# during a run and at its end with failures, every preferences page, About,
# Find a File Converter and the three answers of the update check.
# Usage: docs/screenshots/take.sh [BUILD_DIR]
# Needs xvfb-run, xdotool and ImageMagick's import; optipng, when installed,
# makes the pictures smaller. Look at every picture after a change to a screen.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
variants=("light-1.0 Adwaita 1" "dark-1.0 Adwaita:dark 1" "light-1.5 Adwaita 1.5")
for variant in "${variants[@]}"; do
  read -r name theme scale <<<"$variant"
  out="$here/$name"
  rm -rf "$out"
  mkdir -p "$out"
  home=$(mktemp -d)
  status=0
  HOME=$home XDG_CONFIG_HOME=$home/.config GTK_THEME=$theme GDK_DPI_SCALE=$scale \
    PIC2JPG_SCREENSHOTS=$out PIC2JPG_TEST=1 NO_AT_BRIDGE=1 PATH="$build:$PATH" \
    FONTCONFIG_FILE="$build/tests/fonts.conf" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/gui_tests" \
    --gtest_filter='LayoutTest.*' >"$home/log" 2>&1 || status=$?
  if [ "$status" != 0 ]; then
    # Pictures of a screen that failed its layout check are kept: they show
    # what is wrong.
    grep -E 'Failure|is cut|overlaps|narrower' "$home/log" >&2 || tail -20 "$home/log" >&2
  fi
  rm -rf "$home"
  if command -v optipng >/dev/null; then optipng -quiet -o2 -strip all "$out"/*.png; fi
  echo "$out: $(ls "$out" | wc -l) pictures, $(du -sk "$out" | cut -f1) KiB"
done
