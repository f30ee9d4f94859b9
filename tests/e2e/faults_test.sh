#!/bin/bash
# Faults around the process: many instances started at once, and the X
# server going away under a running instance.
set -eu
. "$(dirname "$0")/lib.sh"

LV2_PATH=$(empty_lv2_path)
export LV2_PATH
log=$(mktemp -d /tmp/faults.XXXXXX)

# --- Ten instances started at once: none crashes, every one that ends does
# so with 0, at least one window is shown, and once all have been told to
# quit the FIFO is gone.
pids=()
for i in $(seq 1 10); do
  "$QUILLON" 2>"$log/start$i.err" &
  pids+=($!)
done
if wait_for_window "LV2 plugs" 60 >/dev/null; then
  pass "ten at once: a window is shown"
else
  fail "ten at once: no window shown"
fi
sleep 3 # let the announcements settle
left=0
for i in $(seq 0 9); do
  if kill -0 "${pids[$i]}" 2>/dev/null; then
    left=$((left + 1))
  else
    status=0
    wait "${pids[$i]}" || status=$?
    [ $status = 0 ] || fail "ten at once: instance $i ended with $status: $(cat "$log/start$((i + 1)).err")"
  fi
done
echo "ten at once: $left instance(s) stayed"
if [ $left -ge 1 ]; then
  pass "ten at once: at least one instance stays"
else
  fail "ten at once: none stayed"
fi
# Each "quit" line ends the instance that reads it. Starts this close
# together can leave more than one instance, and once an owner has quit and
# removed the FIFO the others cannot be reached: those are terminated.
quit_ended=0
for _ in $(seq 1 20); do
  alive=0
  for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
  [ $alive = 0 ] && break
  echo quit | to_fifo || break
  sleep 0.3
done
for i in $(seq 0 9); do
  if kill -0 "${pids[$i]}" 2>/dev/null; then
    stop "${pids[$i]}"
  elif wait "${pids[$i]}"; then
    quit_ended=$((quit_ended + 1))
  else
    fail "ten at once: instance $i did not end with 0"
  fi
done
echo "ten at once: $quit_ended instance(s) ended with 0 in all"
if [ -e "$FIFO" ]; then
  fail "ten at once: FIFO left behind: $(ls -l "$FIFO")"
else
  pass "ten at once: no FIFO left behind"
fi
grep -l "AddressSanitizer\|runtime error" "$log"/start*.err >/dev/null &&
  fail "ten at once: sanitizer report" 

# --- The X server goes away: the instance ends by itself, without hanging.
Xvfb -displayfd 4 -screen 0 800x600x24 -nolisten tcp 4>"$log/display" \
  2>/dev/null &
xvfb=$!
for i in $(seq 1 100); do [ -s "$log/display" ] && break; sleep 0.05; done
DISPLAY=":$(cat "$log/display")" "$QUILLON" 2>"$log/gone.err" &
q=$!
if ! DISPLAY=":$(cat "$log/display")" wait_for_window "LV2 plugs" 30 >/dev/null; then
  fail "X gone: no window on the second server: $(cat "$log/gone.err")"
fi
kill $xvfb
wait $xvfb 2>/dev/null || true
if wait_for_exit $q 10; then
  pass "X gone: the instance ended (status $exit_status)"
else
  fail "X gone: the instance still runs 10 s later"
fi
grep -q "AddressSanitizer\|runtime error" "$log/gone.err" &&
  fail "X gone: sanitizer report: $(cat "$log/gone.err")"
[ -e "$FIFO" ] && rm -f "$FIFO"

finish
