#!/usr/bin/env bash
# Times the whole `pendra --preview` process five times (1400 x 340, every
# shipped charm) and prints the median wall time, the largest peak memory and
# the size of the PNG file written.
# usage: bench/preview-bench.sh [path to pendra]   (needs GNU time, /usr/bin/time)
set -euo pipefail
pendra="${1:-$(dirname "$0")/../build/pendra}"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
walls=()
peak=0
for run in 1 2 3 4 5; do
  /usr/bin/time -f '%e %M' -o "$out/time" "$pendra" --preview "$out/preview.png" > /dev/null
  read -r wall rss < "$out/time"
  walls+=("$wall")
  (( rss > peak )) && peak=$rss
done
median=$(printf '%s\n' "${walls[@]}" | sort -n | sed -n 3p)
bytes=$(stat -c %s "$out/preview.png")
echo "preview: median wall ${median} s over 5 runs, peak memory $((peak / 1024)) MB, file $((bytes / 1024)) KB"
