# Shared helpers of the end-to-end tests; sourced by each *_test.sh, which
# gets the quillon binary as $1 and runs inside tests/sandbox.sh.

QUILLON=${1:?usage: $0 path/to/quillon}
failures=0

fail()
{
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

pass()
{
  echo "ok: $*"
}

finish()
{
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  exit 0
}

# An empty LV2 directory with lv2core linked in, so start-up is quick and
# lilv has nothing to complain about.
empty_lv2_path()
{
  dir=$(mktemp -d /tmp/lv2.XXXXXX)
  ln -s /usr/lib/lv2/core.lv2 "$dir/core.lv2"
  echo "$dir"
}

# wait_for_window NAME [SECONDS]: prints the id of the first visible window
# whose name is NAME, or fails after SECONDS (default 20).
wait_for_window()
{
  limit=$(( ${2:-20} * 20 ))
  i=0
  while [ $i -lt $limit ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
    i=$((i + 1))
  done
  return 1
}

# wait_for_exit PID [SECONDS]: waits for a child of this shell to end and
# sets exit_status, or kills it and fails after SECONDS (default 20). Call it
# directly, not in $(...): a subshell cannot wait for this shell's children.
wait_for_exit()
{
  limit=$(( ${2:-20} * 20 ))
  i=0
  while kill -0 "$1" 2>/dev/null; do
    if [ $i -ge $limit ]; then
      kill -9 "$1" 2>/dev/null
      wait "$1" 2>/dev/null
      exit_status=killed
      return 1
    fi
    sleep 0.05
    i=$((i + 1))
  done
  wait "$1"
  exit_status=$?
  return 0
}

# stop PID: ends a quillon started in the background.
stop()
{
  kill "$1" 2>/dev/null
  wait_for_exit "$1" 10 || true
}

# The test programs of the build (key_grabber and others).
TEST_TOOLS="$(cd "$(dirname "$QUILLON")/../tests" && pwd)"
FIFO="/tmp/quillon.fifo$(id -u)"

# to_fifo: copies standard input into the control FIFO, giving up after five
# seconds when nothing reads it, so a missing instance never hangs a test.
# Writes nothing (and fails) when the FIFO is not there.
to_fifo()
{
  [ -p "$FIFO" ] || { cat >/dev/null; return 1; }
  timeout 5 sh -c 'cat >"$1"' to_fifo "$FIFO"
}

# is_shown ID: the window is mapped (viewable).
is_shown()
{
  xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable"
}

# wait_state ID shown|hidden [SECONDS]
wait_state()
{
  limit=$(( ${3:-10} * 20 ))
  i=0
  while [ $i -lt $limit ]; do
    if is_shown "$1"; then
      [ "$2" = shown ] && return 0
    else
      [ "$2" = hidden ] && return 0
    fi
    sleep 0.05
    i=$((i + 1))
  done
  return 1
}

# wait_for_file PATH [SECONDS]
wait_for_file()
{
  limit=$(( ${2:-10} * 20 ))
  i=0
  while [ ! -e "$1" ] && [ $i -lt $limit ]; do sleep 0.05; i=$((i + 1)); done
  [ -e "$1" ]
}

# wait_for_text FILE TEXT [SECONDS]: TEXT appears in FILE.
wait_for_text()
{
  limit=$(( ${3:-10} * 20 ))
  i=0
  while ! grep -qF -- "$2" "$1" 2>/dev/null; do
    [ $i -ge $limit ] && return 1
    sleep 0.05
    i=$((i + 1))
  done
}
