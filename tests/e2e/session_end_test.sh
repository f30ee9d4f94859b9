#!/bin/bash
# The session ending without Quit: SIGTERM (a session manager at logout),
# SIGHUP, SIGINT and the X server going away save a changed mark as Quit
# does; "quit" through the FIFO still saves nothing.
set -eu
. "$(dirname "$0")/lib.sh"

log=$(mktemp -d /tmp/session.XXXXXX)
conf=$XDG_CONFIG_HOME/quillon.conf
uri=urn:quillon:test:one

# One plugin, so the list has one row at a known place.
mkdir -p /tmp/lv2/one.lv2
ln -s /usr/lib/lv2/core.lv2 /tmp/lv2/core.lv2
cat >/tmp/lv2/one.lv2/manifest.ttl <<TTL
@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
<$uri> a lv2:Plugin ; doap:name "One" ; lv2:binary <one.so> ;
  lv2:port [ a lv2:InputPort, lv2:ControlPort ; lv2:index 0 ;
             lv2:symbol "gain" ; lv2:name "Gain" ] .
TTL
export LV2_PATH=/tmp/lv2

# start NAME: a fresh instance with its window shown; sets q and window.
start()
{
  "$QUILLON" 2>"$log/$1.err" &
  q=$!
  window=$(wait_for_window "LV2 plugs" 30) || {
    fail "$1: no window: $(cat "$log/$1.err")"
    return 1
  }
}

# tick_favorite: clicks the one row's Favorite box, as a user would.
tick_favorite()
{
  xdotool mousemove --window "$window" "${FAV_X:-330}" "${FAV_Y:-40}" click 1
  sleep 0.5
}

# ended_with NAME STATUS: the instance ended, with STATUS.
ended_with()
{
  if ! wait_for_exit "$q" 20; then
    fail "$1: still running"
  elif [ "$exit_status" = "$2" ]; then
    pass "$1: ended with $2"
  else
    fail "$1: ended with $exit_status: $(cat "$log/$1.err")"
  fi
}

for signal in TERM HUP INT; do
  rm -f "$conf"
  start "$signal" || continue
  tick_favorite
  kill -s "$signal" "$q"
  ended_with "$signal" $((128 + $(kill -l "$signal")))
  if [ "$(cat "$conf" 2>/dev/null)" = "$uri" ]; then
    pass "$signal: the favourite is saved"
  else
    fail "$signal: favourites file: $(cat "$conf" 2>&1)"
  fi
  [ -e "$XDG_CONFIG_HOME/quillon.back" ] &&
    fail "$signal: the unchanged blacklist was written"
  [ -e "$FIFO" ] && fail "$signal: FIFO left behind"
done

# --- "quit" through the FIFO ends without saving.
rm -f "$conf"
if start quit; then
  tick_favorite
  echo quit | to_fifo
  ended_with quit 0
  if [ -e "$conf" ]; then
    fail "quit: the FIFO's quit saved: $(cat "$conf")"
  else
    pass "quit: nothing saved"
  fi
fi

# --- SIGTERMs sent in a loop (until the instance is gone, at most 1 s)
# while a big list is saved leave it whole.
seq -f "urn:quillon:test:kept%g" 1 20000 >"$log/marks"
cp "$log/marks" "$conf"
echo "$uri" >>"$log/marks"
if start storm; then
  tick_favorite
  end=$(($(date +%s%N) + 1000000000))
  sent=0
  while [ "$(date +%s%N)" -lt $end ] && kill -TERM "$q" 2>/dev/null; do
    sent=$((sent + 1))
  done
  echo "storm: $sent SIGTERM(s) sent"
  ended_with storm 143
  if cmp -s "$log/marks" "$conf"; then
    pass "storm: the file is whole: $(wc -l <"$conf") lines"
  else
    fail "storm: the file differs: $(wc -l <"$conf") lines, $(tail -n 1 "$conf")"
  fi
  grep -q "AddressSanitizer\|runtime error" "$log/storm.err" &&
    fail "storm: sanitizer report: $(cat "$log/storm.err")"
fi

# --- The X server goes away after a change: the mark is saved, and the
# instance ends with 1. A second server of its own, killed under it.
rm -f "$conf"
Xvfb -displayfd 4 -screen 0 800x600x24 -nolisten tcp 4>"$log/display" \
  2>/dev/null &
xvfb=$!
for _ in $(seq 1 100); do [ -s "$log/display" ] && break; sleep 0.05; done
DISPLAY=":$(cat "$log/display")"
export DISPLAY
if start gone; then
  tick_favorite
  kill $xvfb
  wait $xvfb 2>/dev/null || true
  ended_with gone 1
  if [ "$(cat "$conf" 2>/dev/null)" = "$uri" ]; then
    pass "X gone: the favourite is saved"
  else
    fail "X gone: favourites file: $(cat "$conf" 2>&1)"
  fi
  if grep -q "lost the connection to the display" "$log/gone.err"; then
    pass "X gone: said so"
  else
    fail "X gone: standard error: $(cat "$log/gone.err")"
  fi
  grep -q "AddressSanitizer\|runtime error" "$log/gone.err" &&
    fail "X gone: sanitizer report: $(cat "$log/gone.err")"
fi
rm -f "$FIFO"

finish
