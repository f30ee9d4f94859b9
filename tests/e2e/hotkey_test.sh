#!/bin/bash
# The global hot-key with the real X server: Shift+Escape toggles the
# window from anywhere, Control+Shift+Escape when another client holds
# Shift+Escape, none when both are taken; a key press queued at quit.
set -eu
. "$(dirname "$0")/lib.sh"

LV2_PATH=$(empty_lv2_path)
export LV2_PATH
log=$(mktemp -d /tmp/hotkey.XXXXXX)
GRABBER="$TEST_TOOLS/key_grabber"

# toggles KEYS ID: the key combination hides the shown window and shows it
# again.
toggles()
{
  xdotool key "$1"
  wait_state "$2" hidden 5 || return 1
  xdotool key "$1"
  wait_state "$2" shown 5
}

# start_quillon NAME: starts quillon, sets pid and id.
start_quillon()
{
  "$QUILLON" 2>"$log/$1.err" &
  pid=$!
  id=$(wait_for_window "LV2 plugs" 30) || fail "$1: no window"
  sleep 0.5 # the listener grabs in its own thread
}

# --- Nothing else holds the keys: Shift+Escape toggles.
start_quillon free
if toggles shift+Escape "$id"; then
  pass "Shift+Escape toggles the window"
else
  fail "Shift+Escape does not toggle"
fi
[ -s "$log/free.err" ] && fail "free: unexpected messages: $(cat "$log/free.err")"
echo quit | to_fifo
wait_for_exit $pid 10 || fail "free: quit"

# --- A rival holds Shift+Escape: the fallback with Control.
"$GRABBER" shift >"$log/grabber1.out" &
grabber=$!
wait_for_text "$log/grabber1.out" ready || fail "rival did not grab"
start_quillon fallback
if grep -qx "X Error: try ControlMask | ShiftMask now " "$log/fallback.err"; then
  pass "first message when Shift+Escape is taken"
else
  fail "fallback message: $(cat -A "$log/fallback.err")"
fi
if toggles ctrl+shift+Escape "$id"; then
  pass "Control+Shift+Escape toggles"
else
  fail "Control+Shift+Escape does not toggle"
fi
echo quit | to_fifo
wait_for_exit $pid 10 || fail "fallback: quit"
kill $grabber; wait $grabber 2>/dev/null || true

# --- A rival holds both: the hot-key is off, the program runs on and the
# tray action still toggles.
"$GRABBER" shift control+shift >"$log/grabber2.out" &
grabber=$!
wait_for_text "$log/grabber2.out" ready || fail "rival did not grab both"
start_quillon disabled
if wait_for_text "$log/disabled.err" "Global HotKey disabled" 5; then
  pass "second message when both are taken"
else
  fail "no second message: $(cat -A "$log/disabled.err")"
fi
if kill -0 $pid 2>/dev/null; then
  pass "runs on without a hot-key"
else
  fail "ended without a hot-key"
fi
echo "systray action" | to_fifo
if wait_state "$id" hidden 5; then
  pass "tray action still hides"
else
  fail "tray action hide"
fi
echo "systray action" | to_fifo
if wait_state "$id" shown 5; then
  pass "tray action still shows"
else
  fail "tray action show"
fi
echo quit | to_fifo
wait_for_exit $pid 10 || fail "disabled: quit"
kill $grabber; wait $grabber 2>/dev/null || true

# --- Key presses queued while the program quits: it ends cleanly.
for round in 1 2 3; do
  start_quillon queued$round
  for _ in 1 2 3 4 5 6; do xdotool key shift+Escape; done &
  keys=$!
  echo quit | to_fifo
  wait $keys
  if wait_for_exit $pid 10; then
    [ "$exit_status" = 0 ] || fail "queued $round: ended with $exit_status: $(cat "$log/queued$round.err")"
  else
    fail "queued $round: did not end"
  fi
done
grep -l "Sanitizer\|runtime error" "$log"/*.err >/dev/null &&
  fail "sanitizer report: $(cat "$log"/*.err)"
pass "quit with key presses queued"

finish
