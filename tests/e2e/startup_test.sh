#!/bin/bash
# Start-up and the command line of the real program.
set -eu
. "$(dirname "$0")/lib.sh"

LV2_PATH=$(empty_lv2_path)
export LV2_PATH
work=$(mktemp -d /tmp/startup.XXXXXX)
# The version CMake gives the program.
version=$("$(dirname "$0")/../../scripts/version")

# --version: the exact banner on standard error, status 0, and the process
# ends by itself.
"$QUILLON" -v 2>"$work/version.err" &
pid=$!
if ! wait_for_exit $pid 30; then
  fail "-v did not end"
elif [ "$exit_status" = 0 ]; then
  pass "-v exits 0"
else
  fail "-v exited with $exit_status"
fi
printf 'quillon version \033[1;32m %s \n \033[0m    lists LV2 plugins and starts them in a jalv host\n' \
  "$version" >"$work/banner"
if cmp -s "$work/banner" "$work/version.err"; then
  pass "-v prints the banner"
else
  fail "-v banner differs:"; od -c "$work/version.err" | head -n 8 >&2
fi

# A plain start maps a window titled "LV2 plugs".
"$QUILLON" 2>"$work/plain.err" &
pid=$!
if id=$(wait_for_window "LV2 plugs" 30); then
  pass "window mapped"
else
  fail "no window titled LV2 plugs"
fi
stop $pid

# -H 600 gives a window 600 pixels high.
"$QUILLON" -H 600 2>/dev/null &
pid=$!
if id=$(wait_for_window "LV2 plugs" 30); then
  height=""
  for _ in $(seq 1 40); do
    height=$(xwininfo -id "$id" | awk '/Height:/ {print $2}')
    [ "$height" = 600 ] && break
    sleep 0.05
  done
  if [ "$height" = 600 ]; then
    pass "-H 600"
  else
    fail "-H 600 gave height $height"
  fi
else
  fail "no window with -H 600"
fi
stop $pid

# An unknown option: one line on standard error, the window still opens.
"$QUILLON" --no-such-option 2>"$work/unknown.err" &
pid=$!
if wait_for_window "LV2 plugs" 30 >/dev/null; then
  pass "window opens despite an unknown option"
else
  fail "no window after an unknown option"
fi
stop $pid
lines=$(grep -c . "$work/unknown.err" || true)
if [ "$lines" = 1 ] && grep -q "no-such-option" "$work/unknown.err"; then
  pass "unknown option reported on one line"
else
  fail "unknown option output:"; cat "$work/unknown.err" >&2
fi

finish
