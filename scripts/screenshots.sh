#!/usr/bin/env bash
# Takes the README's pictures of TovikWin as a user sees it: the window with
# its title bar (drawn by openbox) on a virtual screen (Xvfb), driven by the
# keys a user would press (xdotool), captured with ImageMagick's import.
# It needs packages the tests do not:
#   apt-get install xvfb openbox xdotool imagemagick fonts-noto-cjk
# Run it after `make build`:  scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs/screenshots
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 3> "$work/display" 2> /dev/null &
pids+=($!)
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox > /dev/null 2>&1 &
pids+=($!)
# Settings of their own, so that no recent files or sizes of the user's show.
export XDG_CONFIG_HOME="$work/config"

# Starts TovikWin on FILE, waits for its window, whose id goes to $window,
# makes it HEIGHT pixels high and gives it the keyboard.
start() {
  "$build/TovikWin" "$1" > /dev/null 2>&1 &
  pids+=($!)
  window=$(xdotool search --sync --name "^TovikWin - $(basename "$1")" | head -n 1)
  xdotool windowsize "$window" 760 "$2" windowactivate --sync "$window"
}

shoot() {
  sleep 1
  import -window "$1" -frame "$out/$2"
  echo "wrote $out/$2"
}

# After a run of the zebra puzzle: the solution below the puzzle.
start examples/zebra.tvk 560
xdotool key F5
sleep 3
shoot "$window" tovikwin-run.png
xdotool key alt+F4

# An edit that is not saved yet (the title's *) and makes a compile error:
# the error's line is marked, and the status bar shows the encoding, the
# line ends and Fast search.
cp examples/worked.tvk "$work/worked.tvk"
start "$work/worked.tvk" 480
xdotool key alt+f f ctrl+g
sleep 0.5
xdotool type --delay 50 4
xdotool key Return End
xdotool type --delay 50 ' d > 1;'
xdotool key F5
sleep 2
shoot "$window" tovikwin-error.png
