#!/bin/bash
# One instance per user through the control FIFO: the second start, the
# control lines, a stale FIFO, and FIFOs that are not ours.
set -eu
. "$(dirname "$0")/lib.sh"

LV2_PATH=$(empty_lv2_path)
export LV2_PATH
log=$(mktemp -d /tmp/instance.XXXXXX)

# --- The first instance owns a private FIFO.
"$QUILLON" 2>"$log/a.err" &
a=$!
id=$(wait_for_window "LV2 plugs" 30) || fail "first window"
if [ -p "$FIFO" ] && [ "$(stat -c %a "$FIFO")" = 600 ]; then
  pass "FIFO created with mode 600"
else
  fail "FIFO: $(ls -l "$FIFO" 2>&1)"
fi

# --- A second start brings the first window forward and ends with 0, also
# while the machine is busy (two CPU hogs per core delay both processes).
second_start()
{
  echo hide | to_fifo
  wait_state "$id" hidden || fail "$1: hide before the second start"
  "$QUILLON" 2>"$log/b.err" &
  b=$!
  if ! wait_for_exit $b 20; then
    fail "$1: second instance did not end: $(cat "$log/b.err")"
  elif [ "$exit_status" = 0 ]; then
    pass "$1: second instance ends with 0"
  else
    fail "$1: second instance ended with $exit_status: $(cat "$log/b.err")"
  fi
  if wait_state "$id" shown; then
    pass "$1: first window brought forward"
  else
    fail "$1: first window not shown after the second start"
  fi
  if kill -0 $a 2>/dev/null && [ -p "$FIFO" ]; then
    pass "$1: first instance keeps the FIFO"
  else
    fail "$1: first instance or FIFO gone"
  fi
}
second_start idle
hogs=
# The hogs end with the test, also when a failure ends it early.
trap 'kill $hogs 2>/dev/null || true' EXIT
for i in $(seq 1 $((2 * $(nproc)))); do
  sh -c 'while :; do :; done' &
  hogs="$hogs $!"
done
for round in 1 2 3; do second_start "busy $round"; done
# shellcheck disable=SC2086 # a list of process ids
kill $hogs
# shellcheck disable=SC2086
wait $hogs 2>/dev/null || true
hogs=

# --- The control lines.
echo hide | to_fifo
if wait_state "$id" hidden; then pass "hide"; else fail "hide"; fi
echo show | to_fifo
if wait_state "$id" shown; then pass "show"; else fail "show"; fi
echo "systray action" | to_fifo
if wait_state "$id" hidden; then
  pass "systray action hides"
else
  fail "systray action hide"
fi
echo "systray action" | to_fifo
if wait_state "$id" shown; then
  pass "systray action shows"
else
  fail "systray action show"
fi

# An unknown line is reported with its control characters escaped.
printf 'show \033[2J\n' | to_fifo
if wait_for_text "$log/a.err" 'quillon * Unknown Message'; then
  if grep -qF 'show \x1b[2J' "$log/a.err"; then
    pass "unknown line escaped"
  else
    fail "unknown line not escaped: $(cat -v "$log/a.err")"
  fi
else
  fail "no message for an unknown line"
fi

# Garbage, a NUL, an endless partial line: the channel keeps working and
# the process does not spin.
printf 'bad \377\376 bytes\nwith\0nul\n' | to_fifo
head -c 300000 /dev/zero | tr '\0' 'x' | to_fifo
printf '\n' | to_fifo
for i in $(seq 1 20000); do echo "flood $i"; done | to_fifo &
flood=$!
echo hide | to_fifo
wait $flood
start=$(date +%s%N)
echo show | to_fifo
wait_state "$id" hidden 5 >/dev/null || true
if wait_state "$id" shown 5; then
  pass "show works after a flood ($(( ($(date +%s%N) - start) / 1000000 )) ms)"
else
  fail "show after a flood"
fi
printf 'partial line without its end' | to_fifo
sleep 0.2
before=$(awk '{print $14 + $15}' /proc/$a/stat)
sleep 0.3
after=$(awk '{print $14 + $15}' /proc/$a/stat)
if [ $((after - before)) -lt 20 ]; then
  pass "idle with a partial line pending"
else
  fail "busy with a partial line: $((after - before)) ticks in 1 s"
fi
printf '\n' | to_fifo

# --- "quit" ends the owner, which removes the FIFO.
echo quit | to_fifo
if ! wait_for_exit $a 20; then
  fail "quit did not end the instance"
elif [ "$exit_status" = 0 ]; then
  pass "quit ends with 0"
else
  fail "quit status $exit_status"
fi
if [ -e "$FIFO" ]; then
  fail "FIFO left behind by its owner"
else
  pass "owner removed the FIFO"
fi

# --- A FIFO left by a killed instance is taken over.
"$QUILLON" 2>/dev/null &
k=$!
wait_for_window "LV2 plugs" 30 >/dev/null || fail "window before the kill"
kill -9 $k
wait $k 2>/dev/null || true
[ -p "$FIFO" ] || fail "no stale FIFO after kill -9"
"$QUILLON" 2>"$log/c.err" &
c=$!
if wait_for_window "LV2 plugs" 30 >/dev/null; then
  pass "new instance over a stale FIFO"
else
  fail "no window over a stale FIFO"
fi
sleep 0.5
if kill -0 $c 2>/dev/null; then pass "it stays"; else fail "it ended"; fi
echo quit | to_fifo
wait_for_exit $c 20 || fail "quit after takeover"
if [ -e "$FIFO" ]; then
  fail "taken-over FIFO left behind"
else
  pass "taken-over FIFO removed"
fi

# --- Paths that are not our FIFO are refused and left alone.
check_refused()
{
  what=$1
  "$QUILLON" 2>"$log/h.err" &
  h=$!
  wait_for_window "LV2 plugs" 30 >/dev/null || fail "$what: no window"
  # Only a FIFO can take a line without being changed by the test itself.
  # Nothing reads a refused FIFO: the write gives up.
  if [ -p "$FIFO" ]; then
    echo quit | to_fifo 2>/dev/null || true
  fi
  sleep 0.5
  if kill -0 $h 2>/dev/null; then
    pass "$what: not obeyed"
  else
    fail "$what: the line was obeyed"
  fi
  if grep -q "not using $FIFO" "$log/h.err"; then
    pass "$what: reported"
  else
    fail "$what: not reported: $(cat "$log/h.err")"
  fi
  stop $h
  [ -e "$FIFO" ] || [ -L "$FIFO" ] || fail "$what: removed"
}

mkfifo -m 666 "$FIFO"
chown nobody "$FIFO"
check_refused "FIFO of another user"
exec 3<>"$FIFO"  # drain what the test wrote
rm -f "$FIFO"
exec 3>&-

mkfifo -m 600 "$log/elsewhere"
ln -s "$log/elsewhere" "$FIFO"
check_refused "symbolic link"
rm -f "$FIFO"

echo "not a fifo" >"$FIFO"
check_refused "regular file"
if [ "$(cat "$FIFO")" = "not a fifo" ]; then
  pass "regular file untouched"
else
  fail "regular file changed"
fi
rm -f "$FIFO"

finish
