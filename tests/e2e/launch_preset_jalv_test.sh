#!/bin/bash
# Starts quillon over a bundle with a real calf plugin, opens its launch menu
# with the mouse, chooses a preset with the keyboard, and lets the real jalv
# load the state file quillon wrote: the control values jalv reports must be
# the preset's own values.
set -eu
. "$(dirname "$0")/lib.sh"
need_commands jackd2 jackd jack_lsp
need_commands jalv jalv
calf=/usr/lib/lv2/calf.lv2
need_file calf-plugins $calf/Flanger.ttl
plugin=http://calf.sourceforge.net/plugins/Flanger
preset=http://calf.sourceforge.net/factory_presets#flanger_Allpassfilter

# The processes started here end with the test, however it ends.
pids=""
# shellcheck disable=SC2317 # run by the trap
cleanup() { for pid in $pids; do kill "$pid" 2>/dev/null || true; done; wait; }
trap cleanup EXIT

# Polls a command for up to $1 tenths of a second.
wait_for() {
  tries=$1
  shift
  while ! "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || return 1
    sleep 0.1
  done
}

export JACK_NO_AUDIO_RESERVATION=1
jackd -r -d dummy -r 48000 -p 256 >/tmp/jackd.log 2>&1 &
pids="$pids $!"
if ! wait_for 100 jack_lsp; then
  cat /tmp/jackd.log >&2
  fail "jackd did not start"
  finish
fi

# One bundle with the calf Flanger and its presets, so the list has one row.
mkdir -p /tmp/lv2/flanger.lv2
ln -s /usr/lib/lv2/core.lv2 /tmp/lv2/core.lv2
{
  echo "@prefix lv2: <http://lv2plug.in/ns/lv2core#> ."
  echo "@prefix pset: <http://lv2plug.in/ns/ext/presets#> ."
  echo "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> ."
  echo "<$plugin> a lv2:Plugin ; lv2:binary <file://$calf/calf.so> ;"
  echo "  rdfs:seeAlso <file://$calf/Flanger.ttl> ."
  grep -o '<http://calf.sourceforge.net/factory_presets#flanger_[A-Za-z]*>' \
      $calf/presets-Flanger.ttl | sort -u | while read -r p; do
    echo "$p a pset:Preset ; lv2:appliesTo <$plugin> ;"
    echo "  rdfs:seeAlso <file://$calf/presets-Flanger.ttl> ."
  done
} >/tmp/lv2/flanger.lv2/manifest.ttl
export LV2_PATH=/tmp/lv2

# The host quillon finds as "jalv.gtk": records what it is given, then runs
# the real console jalv with it.
mkdir -p /tmp/bin
cat >/tmp/bin/jalv.gtk <<'HOST'
#!/bin/sh
printf '%s\n' "$@" >/tmp/host.argv
timeout 10 jalv "$@" </dev/null >/tmp/jalv.new 2>&1
mv /tmp/jalv.new /tmp/jalv.out
HOST
chmod +x /tmp/bin/jalv.gtk
export PATH=/tmp/bin:$PATH

"$QUILLON" 2>/tmp/quillon.err &
pids="$pids $!"
if ! window=$(wait_for_window "LV2 plugs" 10); then
  fail "no window"
  finish
fi
if grep -qx jalv.gtk /tmp/jalv.interpreter; then
  pass "the host list has jalv.gtk"
else
  fail "host list lacks jalv.gtk"
  finish
fi

# Left click on the name of the one row, then Down to "Default", Down past
# the separator to the first preset in label order ("Allpass filter"), Return.
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool mousemove --window "$window" 60 40 click 1
sleep 0.5
xdotool key Down Down Return

if ! wait_for 200 test -s /tmp/jalv.out; then
  cat /tmp/quillon.err >&2
  fail "the host did not run"
  finish
fi

printf -- '-l\n/tmp/state.ttl\n%s\n' "$plugin" >/tmp/expected.argv
if cmp -s /tmp/expected.argv /tmp/host.argv; then
  pass "host arguments: -l /tmp/state.ttl $plugin"
else
  cat /tmp/host.argv >&2
  fail "host arguments"
fi
if head -c 7 /tmp/state.ttl | grep -q '^@prefix'; then
  pass "state file begins with its prefixes"
else
  fail "state file has no prefixes"
fi
if sed -n 8p /tmp/state.ttl | grep -q '^<>'; then
  pass "state subject is <>"
else
  fail "state subject is not <>"
fi

# The preset's values, from its own Turtle.
awk -v p="<$preset>" '
  index($0, p) == 1 { inside = 1; next }
  inside && /^\.$/ { exit }
  inside && match($0, /lv2:symbol "[^"]*" ; lv2p:value [-0-9.e]+/) {
    split(substr($0, RSTART, RLENGTH), f, /[" ]+/)
    print f[2], f[5]
  }' $calf/presets-Flanger.ttl >/tmp/expected.values
if [ "$(wc -l </tmp/expected.values)" -lt 3 ]; then
  fail "could not read the preset"
  finish
fi

before=$failures
while read -r symbol value; do
  got=$(awk -v s="$symbol" '$1 == s && $2 == "=" { print $3 }' /tmp/jalv.out | head -1)
  if [ -z "$got" ] ||
     ! awk -v a="$got" -v b="$value" 'BEGIN { d = a - b; exit !(d < 1e-5 && d > -1e-5) }'; then
    fail "$symbol: preset $value, jalv loaded '${got}'"
  else
    pass "$symbol = $got (preset $value)"
  fi
done </tmp/expected.values
if [ "$failures" != "$before" ]; then
  cat /tmp/jalv.out >&2
fi
finish
