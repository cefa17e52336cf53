#!/usr/bin/env bash
# Shared set-up for ./run and ./test: installs the Debian packages that are missing,
# configures the build directory once and builds whatever is out of date.
# Source it with the list of package groups to ensure, e.g. `setup build desktop`.

set -euo pipefail

PENDRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PENDRA_BUILD="${PENDRA_BUILD:-$PENDRA_ROOT/build}"

pendra_packages_build=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libcanberra-dev libxcb1-dev libxcb-xfixes0-dev libpng-dev
  sound-theme-freedesktop
)
pendra_packages_test=(
  libgtest-dev libgmock-dev libbenchmark-dev time
)
pendra_packages_desktop=(
  xvfb openbox xcompmgr tint2 xdotool x11-utils wmctrl python3
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
  local missing
  mapfile -t missing < <(pendra_missing "$@")
  [ "${#missing[@]}" -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}" >&2
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

pendra_build() {
  if [ ! -f "$PENDRA_BUILD/build.ninja" ]; then
    cmake -S "$PENDRA_ROOT" -B "$PENDRA_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
  fi
  cmake --build "$PENDRA_BUILD" -j2 "$@" >&2
}
