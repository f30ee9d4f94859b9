# shellcheck shell=sh disable=SC2034 # the tests read what is set here
# Shared helpers of the end-to-end tests; sourced by each *_test.sh, which
# gets the quillon binary as $1, runs inside tests/sandbox.sh and sets -eu:
# a check whose failure is a result (not a broken test) stands in an if,
# while or until condition or before || so that it is counted, not fatal.
# Exit status: 0 passed, 1 failed, 77 skipped (an optional package is
# missing; CTest's SKIP_RETURN_CODE).

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

# skip REASON: the test cannot run on this machine; ends it as skipped.
skip()
{
  echo "SKIP: $*"
  exit 77
}

# need_commands PACKAGE COMMAND...: skips the test unless every COMMAND is
# installed; PACKAGE is the Debian package that has them.
need_commands()
{
  package=$1
  shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 ||
      skip "$tool is not installed (package $package)"
  done
}

# need_file PACKAGE PATH: skips the test unless PATH, which the Debian
# package PACKAGE installs, is there.
need_file()
{
  [ -e "$2" ] || skip "$2 is not there (package $1)"
}

# The window helpers below search with xdotool; every test waits for a
# window.
need_commands xdotool xdotool

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
      kill -9 "$1" 2>/dev/null || true
      wait "$1" 2>/dev/null || true
      exit_status=killed
      return 1
    fi
    sleep 0.05
    i=$((i + 1))
  done
  exit_status=0
  wait "$1" || exit_status=$?
  return 0
}

# stop PID: ends a quillon started in the background (which may have ended
# by itself).
stop()
{
  kill "$1" 2>/dev/null || true
  wait_for_exit "$1" 10 || true
}

# The test programs of the build (key_grabber and others).
TEST_TOOLS="$(cd "$(dirname "$QUILLON")/../tests" && pwd)"
FIFO="/tmp/quillon.fifo$(id -u)"

# to_fifo: copies standard input into the control FIFO, giving up after five
# seconds when nothing reads it, so a missing instance never hangs a test.
# Writes nothing (and fails) when the FIFO is not there. Says why it fails:
# under set -e a failure where the FIFO must work ends the test.
to_fifo()
{
  if [ ! -p "$FIFO" ]; then
    cat >/dev/null
    echo "to_fifo: $FIFO is not there" >&2
    return 1
  fi
  # shellcheck disable=SC2016 # $1 is the inner shell's
  if ! timeout 5 sh -c 'cat >"$1"' to_fifo "$FIFO"; then
    echo "to_fifo: nothing read $FIFO within 5 s" >&2
    return 1
  fi
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
    [ $i -lt $limit ] || return 1
    sleep 0.05
    i=$((i + 1))
  done
}
