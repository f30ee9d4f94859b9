#!/bin/sh
# Runs a command in a private /tmp and /dev/shm (its own mount namespace)
# with its own X server, and with an empty home and configuration
# directory, so that the fixed paths under /tmp, JACK's shared memory and
# the user's files never collide with another test or with a running
# quillon.
#
#   sandbox.sh [--wm] [--tray] command args...
#
# --wm starts openbox (move, present, iconify), --tray starts trayer.
set -u
if [ -z "${QUILLON_SANDBOXED:-}" ]; then
  export QUILLON_SANDBOXED=1
  if [ "$(id -u)" = 0 ]; then
    exec unshare --mount --propagation private "$0" "$@"
  else
    exec unshare -r -m --propagation private "$0" "$@"
  fi
fi

wm=0
tray=0
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=1; shift ;;
    --tray) tray=1; shift ;;
    *) break ;;
  esac
done

# A project that itself lies under /tmp (a clone in /tmp/something) would
# vanish under the new /tmp, and the program under test with it: the
# directory stays open on descriptor 9 and is bound back to its own path.
# mount must not resolve the descriptor's link to a path name: that name
# would be the new, empty directory.
top=$(cd "$(dirname "$0")/.." && pwd -P)
case "$top" in
  /tmp/*) exec 9<"$top" ;;
esac
mount -t tmpfs -o mode=1777 tmpfs /tmp || exit 1
# JACK keeps its sockets and semaphores in /dev/shm: a private one keeps a
# test's JACK server and clients apart from any other, and leaves nothing.
mount -t tmpfs -o mode=1777 tmpfs /dev/shm || exit 1
case "$top" in
  /tmp/*)
    mkdir -p "$top" &&
      mount --no-canonicalize --bind /proc/self/fd/9 "$top" || exit 1
    exec 9<&-
    ;;
esac
export HOME=/tmp/home
export XDG_CONFIG_HOME=$HOME/.config
mkdir -p "$XDG_CONFIG_HOME"
unset XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS

# Xvfb picks a free display number itself and tells it through fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>/tmp/.display \
  >/tmp/.xvfb.log 2>&1 &
xvfb=$!
i=0
while [ ! -s /tmp/.display ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
if [ ! -s /tmp/.display ]; then
  echo "sandbox: Xvfb did not start" >&2
  cat /tmp/.xvfb.log >&2
  exit 1
fi
DISPLAY=":$(cat /tmp/.display)"
export DISPLAY

pids=""
if [ $wm = 1 ]; then
  openbox >/dev/null 2>&1 &
  pids="$pids $!"
fi
if [ $tray = 1 ]; then
  trayer --edge top --align right --widthtype pixel --width 120 \
    --heighttype pixel --height 24 >/dev/null 2>&1 &
  pids="$pids $!"
fi
if [ $wm = 1 ] || [ $tray = 1 ]; then
  sleep 0.5
fi

"$@"
status=$?
for pid in $pids; do kill "$pid" 2>/dev/null; done
kill $xvfb 2>/dev/null
wait 2>/dev/null
exit $status
