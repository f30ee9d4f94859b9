#!/bin/bash
# Start-up and the command line of the real program.
. "$(dirname "$0")/lib.sh"

export LV2_PATH=$(empty_lv2_path)
work=$(mktemp -d /tmp/startup.XXXXXX)

# --version: the exact banner on standard error, status 0, and the process
# ends by itself.
"$QUILLON" -v 2>"$work/version.err" &
pid=$!
if wait_for_exit $pid 30; then
  [ "$exit_status" = 0 ] && pass "-v exits 0" || fail "-v exited with $exit_status"
else
  fail "-v did not end"
fi
printf 'quillon version \033[1;32m 1.3 \n \033[0m    lists LV2 plugins and starts them in a jalv host\n' >"$work/banner"
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
  [ "$height" = 600 ] && pass "-H 600" || fail "-H 600 gave height $height"
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
lines=$(grep -c . "$work/unknown.err")
if [ "$lines" = 1 ] && grep -q "no-such-option" "$work/unknown.err"; then
  pass "unknown option reported on one line"
else
  fail "unknown option output:"; cat "$work/unknown.err" >&2
fi

finish
