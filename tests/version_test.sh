#!/bin/sh
# quillon's version is written once, in CMake's project(); all that names it
# must agree: scripts/version (which the other scripts ask), the newest entry
# of debian/changelog (which names the package), the headers of the
# translation catalogues, and, when given, the built program's -v banner and
# the man page the build made from doc/quillon.1.in. No other file of the
# tree writes the version out.
#
#   version_test.sh [QUILLON [MAN_PAGE]]
#
# Needs no display: the program runs on the private X server of
# tests/sandbox.sh. Exits 1 when a check fails.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
quillon=${1:-}
man_page=${2:-}
failures=0

fail()
{
  printf 'FAIL: %s\n' "$*" >&2
  failures=$((failures + 1))
}

pass()
{
  printf 'ok: %s\n' "$*"
}

# --- CMake's version, as the scripts read it.
if ! version=$("$top/scripts/version"); then
  fail "scripts/version reads no version from CMakeLists.txt"
  exit 1
fi
if printf '%s\n' "$version" | grep -qx '[0-9][0-9]*\(\.[0-9][0-9]*\)\{1,3\}'; then
  pass "CMake's version: $version"
else
  fail "scripts/version prints \"$version\", not a version"
fi

# CMake's own view of it, in the cache of the build the program comes from:
# scripts/version must read project() as CMake does.
if [ -n "$quillon" ]; then
  dir=$(cd "$(dirname "$quillon")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
    dir=$(dirname "$dir")
  done
  if [ -f "$dir/CMakeCache.txt" ]; then
    cached=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
    if [ "$cached" = "$version" ]; then
      pass "CMake configured $dir with version $cached"
    else
      fail "CMake configured $dir with version \"$cached\"," \
        "scripts/version reads $version"
    fi
  else
    fail "no CMakeCache.txt above $quillon"
  fi
fi

# --- The package: its upstream version is CMake's, and the first line of
# debian/changelog reads as dpkg reads it.
upstream=$("$top/scripts/version" --upstream) || upstream=""
if [ "$upstream" = "$version" ]; then
  pass "debian/changelog: $("$top/scripts/version" --debian)"
else
  fail "debian/changelog's upstream version is \"$upstream\", CMake's $version"
fi
if command -v dpkg-parsechangelog >/dev/null; then
  dpkg=$(dpkg-parsechangelog -l "$top/debian/changelog" -S Version)
  ours=$("$top/scripts/version" --debian) || ours=""
  if [ "$dpkg" = "$ours" ]; then
    pass "dpkg reads debian/changelog's version as scripts/version does"
  else
    fail "dpkg reads debian/changelog's version as $dpkg," \
      "scripts/version as \"$ours\""
  fi
fi

# --- The translation template and the catalogues (scripts/update-po writes
# their headers).
for po in "$top"/po/quillon.pot "$top"/po/*.po; do
  [ -e "$po" ] || continue
  if grep -qxF "\"Project-Id-Version: quillon $version\\n\"" "$po"; then
    pass "${po#"$top"/}: quillon $version"
  else
    fail "${po#"$top"/}: $(grep -m 1 '^"Project-Id-Version:' "$po" ||
      echo "no Project-Id-Version")"
  fi
done

# --- The man page takes the version from CMake.
if grep -q '^\.TH .*"quillon @PROJECT_VERSION@"' "$top/doc/quillon.1.in"; then
  pass "doc/quillon.1.in: quillon @PROJECT_VERSION@"
else
  fail "doc/quillon.1.in: no \"quillon @PROJECT_VERSION@\" in its .TH line"
fi
if [ -n "$man_page" ]; then
  if grep -q "^\\.TH .*\"quillon $version\"" "$man_page"; then
    pass "$man_page: quillon $version"
  else
    fail "$man_page: $(grep -m 1 '^\.TH' "$man_page" || echo "no .TH line")"
  fi
fi

# --- No other file writes the version out. Left out: the files that
# define it or that a check above covers, the fuzz corpus (arbitrary
# bytes), and the documents with measured figures, where a time in seconds
# may read like a version.
pattern=$(printf '%s\n' "$version" | sed 's/\./\\./g')
pattern="\\(^\\|[^0-9.]\\)$pattern\\([^0-9]\\|\$\\)"
if [ -d "$top/.git" ] && command -v git >/dev/null; then
  files=$(cd "$top" && git ls-files)
else
  files=$(cd "$top" && find . -path './build*' -prune -o -path ./.git -prune \
    -o -type f -print | sed 's|^\./||')
fi
found=$(printf '%s\n' "$files" | while IFS= read -r file; do
  case $file in
    CMakeLists.txt | debian/changelog | po/*.po | po/*.pot) continue ;;
    tests/fuzz/corpus/* | doc/*.md | *.png) continue ;;
  esac
  [ -f "$top/$file" ] || continue
  grep -n "$pattern" "$top/$file" | sed "s|^|  $file:|" || true
done)
if [ -z "$found" ]; then
  pass "the version is written nowhere else"
else
  fail "the version $version is written out in:
$found"
fi

# --- The program says it.
if [ -n "$quillon" ]; then
  banner=$(LV2_PATH=/nonexistent timeout 60 "$top/tests/sandbox.sh" \
    "$quillon" -v 2>&1) || true
  if printf '%s\n' "$banner" | grep -q "quillon version" &&
      printf '%s\n' "$banner" | grep -qF " $version "; then
    pass "quillon -v: version $version"
  else
    fail "quillon -v says: $banner"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
