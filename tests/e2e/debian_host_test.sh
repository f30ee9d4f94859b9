#!/bin/bash
# "Default" on a real plugin, as a user of Debian 12 gets it: Debian's PATH
# (/bin and /usr/bin both), Debian's jalv.gtk3 chosen by quillon itself, a
# JACK server with the dummy driver, and LV2_PATH given relative to the
# directory quillon is started from. The host's window must appear and
# stay, no failure may be reported, and the host must outlive quillon.
set -eu
. "$(dirname "$0")/lib.sh"
need_commands jackd2 jackd jack_lsp
need_commands jalv jalv.gtk3
need_commands x11-utils xprop xwininfo
need_file swh-lv2 /usr/lib/lv2/amp-swh.lv2

work=$(mktemp -d /tmp/debian-host.XXXXXX)

# A message window of quillon's is up (the tray icon bears its name too).
message_window_shown()
{
  for id in $(xdotool search --onlyvisible --name '^quillon$' 2>/dev/null); do
    if xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG; then
      return 0
    fi
  done
  return 1
}
# The processes started here end with the test, however it ends; those that
# ended already are skipped.
pids=""
# shellcheck disable=SC2317 # run by the trap
cleanup() { for pid in $pids; do kill "$pid" 2>/dev/null || true; done; wait; }
trap cleanup EXIT

# A server of our own name, so that no other JACK server is used.
export JACK_DEFAULT_SERVER="quillon-e2e-$$"
export JACK_NO_AUDIO_RESERVATION=1
jackd -r -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
pids="$pids $!"
i=0
until jack_lsp >/dev/null 2>&1; do
  i=$((i + 1))
  if [ $i -ge 100 ]; then
    cat "$work/jackd.log" >&2
    fail "jackd did not start"
    finish
  fi
  sleep 0.1
done

mkdir -p "$work/lv2"
ln -s /usr/lib/lv2/core.lv2 /usr/lib/lv2/amp-swh.lv2 "$work/lv2/"
cd "$work"
export LV2_PATH=lv2
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

"$QUILLON" 2>"$work/quillon.err" &
quillon=$!
pids="$pids $quillon"
if window=$(wait_for_window "LV2 plugs" 30); then
  pass "window mapped"
else
  fail "no quillon window"; finish
fi
if [ -f /tmp/jalv.interpreter ] &&
    [ "$(sort /tmp/jalv.interpreter | uniq -d | wc -l)" -gt 0 ]; then
  pass "the host list names hosts twice ($(wc -l </tmp/jalv.interpreter)" \
    "lines), as Debian's PATH gives"
fi

# A click on the one row's name opens the launch menu; Down and Return
# choose "Default". (A window manager that does not activate it leaves
# the click to focus it.)
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool mousemove --window "$window" 60 40 click 1
sleep 0.5
xdotool key Down Return

host_window=""
i=0
while [ -z "$host_window" ] && [ $i -lt 300 ]; do
  host_window=$(xdotool search --onlyvisible --class '^jalv.gtk3$' 2>/dev/null | head -n 1)
  sleep 0.05
  i=$((i + 1))
done
if [ -n "$host_window" ]; then
  pass "jalv.gtk3 shows $(xdotool getwindowname "$host_window")"
else
  fail "no jalv.gtk3 window"; cat "$work/quillon.err" >&2; finish
fi
host=$(pgrep -x jalv.gtk3 | head -n 1)

# It stays, and quillon reports no failure.
sleep 4
if is_shown "$host_window" && kill -0 "$host" 2>/dev/null; then
  pass "the host window stays"
else
  fail "the host window went away"; cat "$work/quillon.err" "$work/jackd.log" >&2
fi
if message_window_shown || grep -q "failed to start" "$work/quillon.err"; then
  fail "a failure was reported for a running host"; cat "$work/quillon.err" >&2
else
  pass "no failure reported"
fi
if grep -q "Comm buffers" "$work/quillon.err"; then
  pass "the host's output reaches quillon's standard error"
else
  fail "the host's output is missing from quillon's standard error"
fi

# No child of quillon is left a zombie (other processes of the machine are
# none of this test's business).
zombies=$(pgrep -c -r Z -P "$quillon" || true)
if [ "$zombies" = 0 ]; then
  pass "no defunct children of quillon"
else
  fail "$zombies defunct children of quillon"
fi

# quillon ends; the host goes on.
kill -TERM "$quillon" 2>/dev/null || true
wait_for_exit "$quillon" 10 || fail "quillon did not end"
sleep 1
if kill -0 "$host" 2>/dev/null && is_shown "$host_window"; then
  pass "the host outlives quillon"
else
  fail "the host ended with quillon"
fi
kill "$host" 2>/dev/null || true

# Without an audio system the host gives up after some seconds: quillon
# shows a message window and passes the host's own words on.
JACK_DEFAULT_SERVER="quillon-e2e-none-$$" "$QUILLON" 2>"$work/nojack.err" &
quillon=$!
pids="$pids $quillon"
if ! window=$(wait_for_window "LV2 plugs" 30); then
  fail "no second window"
  finish
fi
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool mousemove --window "$window" 60 40 click 1
sleep 0.5
xdotool key Down Return
i=0
until message_window_shown; do
  i=$((i + 1))
  [ $i -lt 400 ] || break
  sleep 0.05
done
if message_window_shown; then
  pass "a message window after $((i / 20)) s"
else
  fail "no message window"
fi
if grep -q "Failed to connect to audio system" "$work/nojack.err" &&
   [ "$(grep -c 'quillon: the host "jalv.gtk3" failed to start Simple amplifier' "$work/nojack.err")" = 1 ]; then
  pass "the host's words and one diagnostic line"
else
  fail "diagnostics"; cat "$work/nojack.err" >&2
fi
stop "$quillon"
finish
