#!/bin/sh
# The binary the build made reads the build's own catalogues, where the
# build compiled them: started from the build tree with a German language,
# its window has the German title, with nothing installed. A copy of it
# elsewhere is no longer the build's binary and reads the installed
# catalogues only.
set -eu
. "$(dirname "$0")/lib.sh"

LV2_PATH=$(empty_lv2_path)
export LV2_PATH
catalogues="$(cd "$(dirname "$QUILLON")/../po" && pwd)"
localedir=$(strings "$QUILLON" | grep -m 1 '^/.*share/locale$' || true)
[ -d "$catalogues/de/LC_MESSAGES" ] || fail "the build has no German catalogue"
[ -n "$localedir" ] || fail "no installed locale directory in the binary"
[ "$failures" = 0 ] || finish

# Nothing installed: an empty directory where the installed catalogues go
# (private to this test's mount namespace), so only the build's can speak
# German.
if ! mkdir -p "$localedir" || ! mount -t tmpfs tmpfs "$localedir"; then
  fail "cannot empty $localedir"
  finish
fi

# title_is BINARY TITLE WHAT [VAR=VALUE...]: starts BINARY with the
# environment settings given and passes when its window is titled TITLE.
title_is()
{
  binary=$1
  title=$2
  what=$3
  shift 3
  env "$@" "$binary" 2>/dev/null &
  pid=$!
  if wait_for_window "$title" 30 >/dev/null; then
    pass "$what: $title"
  else
    fail "$what: no window titled $title"
  fi
  stop $pid
}

# The language chosen through LANGUAGE (glibc heeds it in any locale but
# "C") and the build's binary reached through a symbolic link.
title_is "$QUILLON" "LV2-Plugins" "build tree, LANGUAGE=de" \
  LANG=C.UTF-8 LANGUAGE=de
ln -s "$(cd "$(dirname "$QUILLON")" && pwd)/$(basename "$QUILLON")" \
  /tmp/quillon-link
title_is /tmp/quillon-link "LV2-Plugins" "symbolic link to the build's binary" \
  LANG=C.UTF-8 LANGUAGE=de

# The language chosen through the locale alone: a German locale made for
# this test under /tmp, when the system has the locale sources.
if mkdir -p /tmp/locale &&
    localedef -i de_DE -f UTF-8 /tmp/locale/de_DE.UTF-8 >/dev/null 2>&1; then
  title_is "$QUILLON" "LV2-Plugins" "build tree, LANG=de_DE.UTF-8" \
    LOCPATH=/tmp/locale LANG=de_DE.UTF-8 LANGUAGE=
else
  echo "skip: LANG=de_DE.UTF-8 (localedef has no de_DE; package locales)"
fi

# A copy outside the build tree stands for an installed binary: it finds
# no catalogue in the empty installed directory, and the German one once
# the build's catalogues are put there.
mkdir -p /tmp/installed
cp "$QUILLON" /tmp/installed/quillon
title_is /tmp/installed/quillon "LV2 plugs" "copy, nothing installed" \
  LANG=C.UTF-8 LANGUAGE=de
umount "$localedir"
if mount --bind "$catalogues" "$localedir"; then
  title_is /tmp/installed/quillon "LV2-Plugins" "copy, catalogues installed" \
    LANG=C.UTF-8 LANGUAGE=de
  umount "$localedir"
else
  fail "cannot put the catalogues at $localedir"
fi
finish
