#!/bin/sh
# The demo scripts/run gives without a display (scripts/demo), run on the
# installed plugins as on a first run: it must get as far as the host's
# window beside quillon's (it checks each step itself and fails saying
# which), save the screenshot, and leave none of the processes it started
# behind: the host, quillon, the JACK server.
set -eu
. "$(dirname "$0")/lib.sh"
# What the demo uses: the GUI host, a JACK server, the X tools that drive
# quillon and save the screen, and calf's Reverb.
need_commands jalv jalv.gtk3
need_commands jackd2 jackd
need_commands x11-utils xprop xwininfo
need_commands imagemagick import identify convert
need_commands lilv-utils lv2info
need_file calf-plugins /usr/lib/lv2/calf.lv2

demo="$(cd "$(dirname "$0")/../.." && pwd)/scripts/demo"
shot=/tmp/demo-screenshot.png
unset LV2_PATH

# Every process of this sandbox shares its mount namespace; those running
# now are the sandbox's own (X server, window manager, tray) and this
# script.
namespace=$(readlink /proc/self/ns/mnt)
list_sandbox_processes()
{
  for dir in /proc/[0-9]*; do
    if [ "$(readlink "$dir/ns/mnt" 2>/dev/null || true)" = "$namespace" ]; then
      echo "${dir#/proc/}"
    fi
  done | sort
}
list_sandbox_processes >/tmp/before
# A JACK client that is killed instead of closing leaves its semaphores in
# /dev/shm, which is not private to the sandbox.
list_demo_semaphores()
{
  for file in /dev/shm/jack_sem.*_quillon-demo-*; do
    if [ -e "$file" ]; then
      echo "${file#/dev/shm/}"
    fi
  done | sort
}
list_demo_semaphores >/tmp/semaphores.before

if "$demo" "$QUILLON" "$shot" >/tmp/demo.out 2>&1; then
  pass "$(tail -n 1 /tmp/demo.out)"
else
  cat /tmp/demo.out >&2
  fail "the demo failed"
fi

size=$(identify -format '%wx%h' "$shot" 2>/dev/null || true)
case "$size" in
  *x*) pass "screenshot $size" ;;
  *) fail "no screenshot at $shot" ;;
esac

# What is left of the demo's processes a moment after it ended.
sleep 0.5
list_sandbox_processes >/tmp/after
left=""
for pid in $(comm -13 /tmp/before /tmp/after); do
  # A process that has ended since has no command line any more.
  command=$(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" || true)
  if [ -n "$command" ]; then
    left="$left
  $pid $command"
  fi
done
if [ -z "$left" ]; then
  pass "no process of the demo is left"
else
  fail "processes left behind:$left"
fi
list_demo_semaphores >/tmp/semaphores.after
left=$(comm -13 /tmp/semaphores.before /tmp/semaphores.after)
if [ -z "$left" ]; then
  pass "every JACK client of the demo closed"
else
  fail "JACK semaphores left in /dev/shm: $left"
fi
finish
