#!/bin/bash
# The German catalogue: started with LANGUAGE=de, the window has its German
# title. The catalogues of the build are put where the program looks for
# them (a bind mount, private to this test's mount namespace).
set -eu
. "$(dirname "$0")/lib.sh"

LV2_PATH=$(empty_lv2_path)
export LV2_PATH
catalogues="$(dirname "$QUILLON")/../po"
localedir=$(strings "$QUILLON" | grep -m 1 '^/.*share/locale$' || true)
if [ -z "$localedir" ] || ! mkdir -p "$localedir" ||
    ! mount --bind "$catalogues" "$localedir"; then
  fail "cannot put the catalogues at $localedir"
  finish
fi

LANG=C.UTF-8 LANGUAGE=de "$QUILLON" 2>/dev/null &
pid=$!
if wait_for_window "LV2-Plugins" 30 >/dev/null; then
  pass "German window title"
else
  fail "no window titled LV2-Plugins"
fi
stop $pid
umount "$localedir"
finish
