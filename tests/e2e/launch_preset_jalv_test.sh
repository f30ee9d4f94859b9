#!/bin/bash
# Starts quillon over a bundle with a real calf plugin, opens its launch menu
# with the mouse, chooses a preset with the keyboard, and lets the real jalv
# load the state file quillon wrote: the control values jalv reports must be
# the preset's own values.
#
#   launch_preset_jalv_test.sh QUILLON
set -u
quillon=$1
calf=/usr/lib/lv2/calf.lv2
plugin=http://calf.sourceforge.net/plugins/Flanger
preset=http://calf.sourceforge.net/factory_presets#flanger_Allpassfilter

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in jackd jack_lsp jalv xdotool; do
  command -v $tool >/dev/null || fail "$tool is not installed"
done
[ -f $calf/Flanger.ttl ] || fail "calf-plugins is not installed"

pids=""
cleanup() { for pid in $pids; do kill "$pid" 2>/dev/null; done; wait 2>/dev/null; }
trap cleanup EXIT

# Polls a command for up to $1 tenths of a second.
wait_for() {
  local tries=$1; shift
  while ! "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ $tries -gt 0 ] || return 1
    sleep 0.1
  done
}

export JACK_NO_AUDIO_RESERVATION=1
jackd -r -d dummy -r 48000 -p 256 >/tmp/jackd.log 2>&1 &
pids="$pids $!"
wait_for 100 jack_lsp || { cat /tmp/jackd.log >&2; fail "jackd did not start"; }

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

"$quillon" 2>/tmp/quillon.err &
pids="$pids $!"
wait_for 100 xdotool search --onlyvisible --name '^LV2 plugs$' ||
  fail "no window"
window=$(xdotool search --onlyvisible --name '^LV2 plugs$' | head -1)
grep -qx jalv.gtk /tmp/jalv.interpreter || fail "host list lacks jalv.gtk"

# Left click on the name of the one row, then Down to "Default", Down past
# the separator to the first preset in label order ("Allpass filter"), Return.
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool mousemove --window "$window" 60 40 click 1
sleep 0.5
xdotool key Down Down Return

wait_for 200 test -s /tmp/jalv.out || {
  cat /tmp/quillon.err >&2
  fail "the host did not run"
}

printf -- '-l\n/tmp/state.ttl\n%s\n' "$plugin" >/tmp/expected.argv
cmp -s /tmp/expected.argv /tmp/host.argv || {
  cat /tmp/host.argv >&2
  fail "host arguments"
}
head -c 7 /tmp/state.ttl | grep -q '^@prefix' || fail "state file has no prefixes"
sed -n 8p /tmp/state.ttl | grep -q '^<>' || fail "state subject is not <>"

# The preset's values, from its own Turtle.
awk -v p="<$preset>" '
  index($0, p) == 1 { inside = 1; next }
  inside && /^\.$/ { exit }
  inside && match($0, /lv2:symbol "[^"]*" ; lv2p:value [-0-9.e]+/) {
    split(substr($0, RSTART, RLENGTH), f, /[" ]+/)
    print f[2], f[5]
  }' $calf/presets-Flanger.ttl >/tmp/expected.values
[ "$(wc -l </tmp/expected.values)" -ge 3 ] || fail "could not read the preset"

status=0
while read -r symbol value; do
  got=$(awk -v s="$symbol" '$1 == s && $2 == "=" { print $3 }' /tmp/jalv.out | head -1)
  if [ -z "$got" ] ||
     ! awk -v a="$got" -v b="$value" 'BEGIN { d = a - b; exit !(d < 1e-5 && d > -1e-5) }'; then
    echo "FAIL: $symbol: preset $value, jalv loaded '${got}'" >&2
    status=1
  else
    echo "ok: $symbol = $got (preset $value)"
  fi
done </tmp/expected.values
[ $status = 0 ] || { cat /tmp/jalv.out >&2; exit 1; }
echo "PASS"
