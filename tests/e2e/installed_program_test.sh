#!/usr/bin/env bash
# The installed program, as a user runs it: only the prefix's bin/ and the
# system folders on the search path, run from a folder outside the source
# tree. A PICT, a PNG watermark (the installed pic2jpg-load reads it), a
# folder run and the screenshot mode (on a virtual display).
# Usage: installed_program_test.sh PREFIX PICT_FILE
set -u
prefix=$1
picture=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH=$prefix/bin:/usr/local/bin:/usr/bin:/bin
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime NO_AT_BRIDGE=1
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset PIC2JPG_CONVERTER DISPLAY
cd "$work" || exit 1
failures=0
fail() { echo "FAIL (installed program): $*"; failures=$((failures + 1)); }
is_jpeg() { [ "$(head -c 3 "$1" 2>/dev/null | od -An -tx1 | tr -d ' ')" = "ffd8ff" ]; }

[ "$(command -v pic2jpg)" = "$prefix/bin/pic2jpg" ] || fail "pic2jpg is not the installed one"
for f in pict2tga pic2jpg-load; do [ -x "$prefix/bin/$f" ] || fail "$f is not installed"; done
for f in lib/pic2jpg/pic2jpg-window.so share/pic2jpg/gfx/handdrawn.zip share/applications/pic2jpg.desktop \
  share/mime/packages/pic2jpg-pict.xml share/icons/hicolor/scalable/apps/pic2jpg.svg; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done

mkdir -p in/sub out
cp "$picture" in/photo.pict
cp "$picture" in/sub/other.pct
pic2jpg -q -i in/photo.pict -o "$work/out" || fail "PICT conversion failed"
is_jpeg out/photo.jpg || fail "no JPEG from the PICT"

# A PNG watermark goes through pic2jpg-load.
convert -size 24x16 xc:red wm.png
mkdir marked
pic2jpg -q -i in/photo.pict -o "$work/marked" --wm-image="$work/wm.png" ||
  fail "PNG watermark refused"
is_jpeg marked/photo.jpg || fail "no JPEG with the PNG watermark"

# A folder: every picture below it, the subfolder rebuilt.
mkdir tree
pic2jpg -q -i "$work/in" -o "$work/tree" || fail "folder run failed"
is_jpeg tree/photo.jpg && is_jpeg tree/sub/other.jpg || fail "folder run: $(cd tree && find . -type f)"

# The screenshot mode, the installed themes beside it.
mkdir shots
xvfb-run -a pic2jpg -T "$work/shots" || fail "screenshot mode failed"
is_jpeg shots/quorvel1.jpg && is_jpeg shots/quorvel1x.jpg || fail "no screenshots"

[ "$failures" -eq 0 ] && echo "installed program: PICT, PNG watermark, folder, screenshots pass"
[ "$failures" -eq 0 ]
