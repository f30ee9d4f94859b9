#!/bin/bash
# Starts that race each other: however many start at once, on an idle or a
# busy machine, over a fresh or a stale FIFO, exactly one instance stays
# with its window shown. A hidden start after a crash stays hidden.
set -eu
. "$(dirname "$0")/lib.sh"

LV2_PATH=$(empty_lv2_path)
export LV2_PATH
log=$(mktemp -d /tmp/race.XXXXXX)
trials=${RACE_TRIALS:-20}
# The sanitizer build starts each process several times more slowly: fewer
# trials keep the script within its time limit; the leak check at exit is
# not what these starts are about.
if nm -D "$QUILLON" 2>/dev/null | grep -q __asan_init; then
  trials=${RACE_TRIALS:-5}
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
fi

pids=()
hogs=()
# shellcheck disable=SC2317 # called by the trap
cleanup()
{
  kill -9 "${pids[@]}" "${hogs[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

# kill_instances: ends every quillon of this test as a crash would, which
# leaves the FIFO behind; kill_all removes it too.
kill_instances()
{
  kill -9 "${pids[@]}" 2>/dev/null || true
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}

kill_all()
{
  kill_instances
  rm -f "$FIFO"
}

# alive: the number of quillon processes still running.
alive()
{
  n=0
  for pid in "${pids[@]}"; do
    # A zombie that has not been reaped yet has ended.
    if [ -r "/proc/$pid/stat" ] &&
        [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]; then
      n=$((n + 1))
    fi
  done
  echo "$n"
}

# shown: the number of mapped windows "LV2 plugs".
shown()
{
  xdotool search --onlyvisible --name '^LV2 plugs$' 2>/dev/null | wc -l
}

# burst N [ARG]: N starts released at the same instant. Each waits on a
# shared gate that this shell holds open for writing (so that opening it
# never blocks a start), and one write of N lines wakes them all.
burst()
{
  gate="$log/gate"
  rm -f "$gate"
  mkfifo "$gate"
  exec 4<>"$gate"
  for _ in $(seq 1 "$1"); do
    # shellcheck disable=SC2016 # expanded by the inner shell
    sh -c 'read -r _ <"$1"; exec "$2" ${3:+"$3"}' burst "$gate" \
      "$QUILLON" "${2:-}" 2>>"$log/err" 4>&- &
    pids+=("$!")
  done
  # Until every start waits at the gate (reads it), 5 s at most.
  for _ in $(seq 1 100); do
    waiting=0
    for pid in "${pids[@]}"; do
      # pipe_read, or anon_pipe_read on newer kernels.
      case "$(cat "/proc/$pid/wchan" 2>/dev/null)" in
        *pipe_read) waiting=$((waiting + 1)) ;;
      esac
    done
    [ $waiting -ge "$1" ] && break
    sleep 0.05
  done
  printf 'go\n%.0s' $(seq 1 "$1") >&4
  exec 4>&-
}

# settle: waits until the starts have sorted themselves out: one process
# left, or no change for 1.5 s (the count that fails), at most 20 s.
settle()
{
  last=-1
  still=0
  for _ in $(seq 1 200); do
    now="$(alive):$(shown)"
    [ "$now" = "1:1" ] && return 0
    if [ "$now" = "$last" ]; then
      still=$((still + 1))
      [ $still -ge 15 ] && return 1
    else
      still=0
      last=$now
    fi
    sleep 0.1
  done
  return 1
}

# race NAME N [stale]: N simultaneous starts, $trials times; each trial must
# leave one instance with one window shown. Prints the trials with more
# than one instance.
race()
{
  name=$1
  many=0
  bad=0
  for _ in $(seq 1 "$trials"); do
    if [ "${3:-}" = stale ]; then
      "$QUILLON" 2>>"$log/err" &
      pids+=("$!")
      wait_for_window "LV2 plugs" 30 >/dev/null || true
      kill_instances
      [ -p "$FIFO" ] || fail "$name: no FIFO left by the killed instance"
    fi
    burst "$2"
    settle || true
    # Counted a moment later too: a late second window or process counts.
    sleep 0.15
    count=$(alive)
    windows=$(shown)
    [ "$count" -gt 1 ] && many=$((many + 1))
    if [ "$count" != 1 ] || [ "$windows" != 1 ]; then
      bad=$((bad + 1))
      echo "  $name: $count instance(s), $windows window(s)" >&2
    fi
    kill_all
  done
  echo "$name: more than one instance in $many of $trials trials" \
    "($SECONDS s so far)"
  if [ $bad -eq 0 ]; then
    pass "$name: one instance, one window, $trials times"
  else
    fail "$name: $bad of $trials trials without exactly one of each"
  fi
}

race "2 at once" 2
race "4 at once" 4
race "10 at once" 10

for _ in $(seq 1 $((2 * $(nproc)))); do
  sh -c 'while :; do :; done' &
  hogs+=("$!")
done
race "2 at once, busy" 2
race "4 at once, busy" 4
race "10 at once, busy" 10
kill "${hogs[@]}"
wait "${hogs[@]}" 2>/dev/null || true
hogs=()

race "4 at once over a stale FIFO" 4 stale

# --- A hidden start after a crash takes the stale FIFO over, stays hidden,
# and obeys the FIFO.
"$QUILLON" 2>>"$log/err" &
pids+=("$!")
wait_for_window "LV2 plugs" 30 >/dev/null || fail "window before the kill"
kill_instances
[ -p "$FIFO" ] || fail "no stale FIFO after kill -9"
"$QUILLON" -s 2>"$log/s.err" &
pids+=("$!")
if wait_for_window "LV2 plugs" 2 >/dev/null; then
  fail "-s after a kill showed its window"
else
  pass "-s after a kill stays hidden"
fi
[ "$(alive)" = 1 ] || fail "-s after a kill: the instance ended"
echo show | to_fifo || true
if wait_for_window "LV2 plugs" 10 >/dev/null; then
  pass "-s after a kill owns the FIFO: show brings it up"
else
  fail "-s after a kill does not obey show: $(cat "$log/s.err")"
fi
kill_all

finish
