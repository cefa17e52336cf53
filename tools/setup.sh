#!/usr/bin/env bash
# Shared set-up for ./run, ./test and ./package: installs the Debian packages that are
# missing, configures the build folder once and builds whatever is out of date.
#
# The packages the program needs are listed once, in debian/control: its Build-Depends
# (less debhelper, which only the Debian package needs) to build it, and the packages
# the binary package's Depends names besides the computed ones to run it. The tests'
# extra packages are listed here.
#
# PENDRA_SKIP_INSTALL=1 skips the install step, for machines where the packages come
# from elsewhere (another distribution, or no root).

set -euo pipefail

PENDRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PENDRA_BUILD="${PENDRA_BUILD:-$PENDRA_ROOT/build}"

pendra_say() { printf 'pendra: %s\n' "$*" >&2; }

# The package names in one relation field (Build-Depends, Depends) of the paragraph
# whose first field is $2 (Source, Package) in debian/control: versions, architecture
# lists, build profiles and alternatives after the first are dropped, and so are
# substitution variables such as ${shlibs:Depends}.
pendra_control_packages() {
  awk -v field="$1" -v paragraph="$2" '
    BEGIN { RS = ""; FS = "\n" }
    {
      ours = 0
      for (i = 1; i <= NF; i++) if ($i ~ "^" paragraph ":") ours = 1
      if (!ours) next
      taking = 0
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^#/) continue
        if ($i ~ "^" field ":") { taking = 1; print substr($i, length(field) + 2); continue }
        if (taking && $i ~ /^[ \t]/) { print $i; continue }
        taking = 0
      }
    }' "$PENDRA_ROOT/debian/control" |
    tr ',' '\n' | sed -e 's/|.*//' -e 's/([^)]*)//g' -e 's/\[[^]]*\]//g' -e 's/<[^>]*>//g' \
      -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' |
    grep -v -e '^$' -e '^\${' || true
}

mapfile -t pendra_packages_build < <(pendra_control_packages Build-Depends Source | grep -vx 'debhelper-compat')
mapfile -t pendra_packages_run < <(pendra_control_packages Depends Package)
pendra_packages_test=(
  libgtest-dev libgmock-dev libbenchmark-dev time
)
pendra_packages_desktop=(
  xvfb openbox xcompmgr tint2 xdotool x11-utils wmctrl python3 i3-wm xterm oneko imagemagick
  sway xwayland grim weston kwin-wayland plasma-wayland-protocols libgl1-mesa-dri
  gnome-shell mutter dbus python3-gi gir1.2-glib-2.0 util-linux
)

pendra_missing() {
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      printf '%s\n' "$pkg"
    fi
  done
}

pendra_install() {
  [ "${PENDRA_SKIP_INSTALL:-0}" = 1 ] && return 0
  if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    pendra_say "this system has no apt-get, so the packages cannot be installed for you."
    pendra_say "Install what these Debian packages provide with your own package manager:"
    pendra_say "  $*"
    pendra_say "then run again with PENDRA_SKIP_INSTALL=1 to skip this step."
    exit 1
  fi
  local missing
  mapfile -t missing < <(pendra_missing "$@")
  [ "${#missing[@]}" -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      pendra_say "installing ${missing[*]} needs root, and there is no sudo: install them as root, or set PENDRA_SKIP_INSTALL=1 to skip this step."
      exit 1
    fi
    sudo=(sudo)
  fi
  pendra_say "installing missing packages: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# Configures the build folder when it has no build files yet, or, with --tests, when
# the tests were left out the last time (their packages were missing then).
pendra_configure() {
  local cache="$PENDRA_BUILD/CMakeCache.txt" args=()
  if [ -f "$PENDRA_BUILD/build.ninja" ] || [ -f "$PENDRA_BUILD/Makefile" ]; then
    if [ "${1:-}" != --tests ] || grep -q '^PENDRA_TESTS_BUILT:INTERNAL=ON$' "$cache" 2>/dev/null; then
      return 0
    fi
    args=(-DBUILD_TESTING=ON)
  else
    [ -f "$cache" ] || args=(-G Ninja -DCMAKE_BUILD_TYPE=Release)
  fi
  cmake -S "$PENDRA_ROOT" -B "$PENDRA_BUILD" "${args[@]}" >&2
}

pendra_build() {
  cmake --build "$PENDRA_BUILD" -j2 "$@" >&2
}
