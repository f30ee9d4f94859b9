# shellcheck shell=sh disable=SC2034 # the scripts that source it use the lists
# Installs the Debian packages that are missing. Sourced by the other
# scripts: `install_packages name...`.

build_packages="cmake make g++ pkg-config libgtkmm-2.4-dev liblilv-dev lv2-dev
  libx11-dev libx11-xcb-dev libxcb1-dev libxtst-dev gettext libglib2.0-dev-bin"
# jalv is the host; Debian's is JACK-only, so the demo of scripts/run needs
# a JACK server (jackd2). lilv-utils gives lv2ls and lv2info.
run_packages="xvfb openbox trayer imagemagick x11-utils xdotool gawk
  jalv jackd2 lilv-utils"
# Installed by scripts/run when lilv finds no plugin at all: a few real
# plugins, calf's with presets.
demo_plugin_packages="mda-lv2 calf-plugins"
# The checks of scripts/lint: the C++ formatting and the shell scripts.
lint_packages="clang-format-14 shellcheck"
test_packages="googletest libgtest-dev xclip util-linux locales
  mda-lv2 swh-lv2 x42-plugins calf-plugins lsp-plugins-lv2
  $lint_packages"
fuzz_packages="clang-14 libclang-rt-14-dev"

install_packages()
{
  missing=""
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
        grep -q "install ok installed"; then
      missing="$missing $package"
    fi
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q || return 1
  # shellcheck disable=SC2086
  $sudo apt-get install -y -q --no-install-recommends $missing
}
