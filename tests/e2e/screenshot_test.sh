#!/bin/bash
# The window with the installed plugins, as the README shows it: saved to
# screenshot.png in the build directory.
set -eu
. "$(dirname "$0")/lib.sh"
need_commands x11-utils xwininfo
need_commands imagemagick import identify

export LV2_PATH=/usr/lib/lv2
shot="$(cd "$(dirname "$QUILLON")/.." && pwd)/screenshot.png"
rm -f "$shot"

"$QUILLON" -H 480 2>/dev/null &
pid=$!
if id=$(wait_for_window "LV2 plugs" 60); then
  pass "window mapped"
  # Next to the tray icon, with the pointer resting on a row so that its
  # tooltip shows.
  # Where the window manager leaves it, when it does not move it.
  xdotool windowmove --sync "$id" 780 40 || true
  x=0 y=0 h=0
  eval "$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print "x=" $NF}
    /Absolute upper-left Y/ {print "y=" $NF} /Height:/ {print "h=" $NF}')"
  xdotool mousemove $((x + 120)) $((y + 110))
  sleep 2 # let the list, the tray icon and the tooltip draw
  size=""
  if import -window root \
      -crop "$((1280 - x + 10))x$((y + h + 10))+$((x - 10))+0" "$shot"; then
    size=$(identify -format '%wx%h' "$shot" 2>/dev/null || true)
  fi
  if [ -n "$size" ]; then
    pass "screenshot $size saved to $shot"
  else
    fail "no screenshot"
  fi
else
  fail "no window titled LV2 plugs"
fi
stop $pid
finish
