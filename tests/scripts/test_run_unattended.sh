#!/usr/bin/env bash
# scripts/run without a display, against a camera that answers garbage and one that stays
# silent: each run must end by itself and leave a picture of the whole virtual screen, and
# one of each window shown.
#   test_run_unattended.sh BUILD_DIR garbage|silent
# The garbage camera's first answer holds the start-up in a message box, which the picture
# must show; the silent one lets the start-up run through its baud search and come up
# offline, with no box.
set -euo pipefail
build=$(realpath "$1")
mode=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vela-run-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
picture=$work/screen.png

fail() { echo "FAILED: $*"; echo "--- scripts/run said:"; cat "$work/out"; exit 1; }

start=$(date +%s)
status=0
# The bound is generous for a loaded machine; the run itself waits for start-up to settle.
env -u DISPLAY -u WAYLAND_DISPLAY VELA_NO_BUILD=1 VELA_BUILD_DIR="$build" VELA_SCREENSHOT="$picture" \
  VELA_SCREENSHOT_SCREEN=1 VELA_RUN_TIMEOUT=100 "$source_dir/scripts/run" --fail "$mode" >"$work/out" 2>&1 ||
  status=$?
seconds=$(($(date +%s) - start))
echo "scripts/run --fail $mode ended after ${seconds} s with status $status"
[ "$status" -eq 0 ] || fail "scripts/run ended with status $status (124: it had to be stopped)"
[ -f "$picture" ] || fail "no picture at $picture"
grep -q "saved $picture (the whole screen)" "$work/out" || fail "the tool did not report the whole screen"
size=$(identify -format '%wx%h' "$picture")
[ "$size" = "1400x1000" ] || fail "the picture is $size, not the whole 1400x1000 screen"

# Beside the screen, each window shown has a picture of its own, and the run names it.
# The Communication window is up in both runs; the main window only once start-up ran
# through, the box only while it holds the start-up.
own_picture() {
  local f=$work/screen-$1.png
  [ -f "$f" ] || fail "no picture of the $1 window at $f"
  grep -q "^  $f " "$work/out" || fail "scripts/run did not name $f at its end"
  [ "$(identify -format '%w' "$f")" -lt 1400 ] || fail "$f is as wide as the screen, not one window"
}
own_picture communication
case "$mode" in
  garbage) own_picture message-box ;;
  silent)
    own_picture main
    [ ! -e "$work/screen-message-box.png" ] || fail "a picture of a message box that never showed"
    ;;
esac

# Xvfb's screen is black where no window is: a drawn window is light and not uniform.
mean_and_spread() { convert "$picture" "$@" -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]\n' info:; }
box=$(sed -n 's/.*a message box at \([0-9]*x[0-9]*+[0-9]*+[0-9]*\),.*/\1/p' "$work/out")
case "$mode" in
  garbage)
    [ -n "$box" ] || fail "no message box held the start-up"
    grep -q "a message box at .*Communication Error" "$work/out" || fail "the box is not the Communication Error box"
    read -r mean spread < <(mean_and_spread -crop "$box")
    echo "message box at $box: mean $mean, spread $spread"
    awk -v m="$mean" -v s="$spread" 'BEGIN { exit !(m > 0.5 && s > 0.05) }' ||
      fail "the picture does not show the box at $box"
    ;;
  silent)
    [ -z "$box" ] || fail "a silent camera brought up a message box at $box"
    # The main window comes up offline: its red status strip is in the picture.
    red=$(convert "$picture" -fuzz 10% -fill black -opaque white -fill white -opaque red -fill black +opaque white \
      -format '%[fx:mean*w*h]' info:)
    echo "red pixels: $red"
    awk -v r="$red" 'BEGIN { exit !(r > 1000) }' || fail "no red offline strip in the picture"
    ;;
esac
echo "passed"
