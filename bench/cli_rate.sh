#!/bin/sh
# Readings per second of `pelicard-cli sample` on the virtual meter at the shortest interval, against
# the floor of one transaction per reading (each waits 50 ms for a trailing report: about 20 a second).
# Usage: bench/cli_rate.sh [path to pelicard-cli] [count]   (default: build-bench/src/cli/pelicard-cli, 1000)
set -eu
cli=${1:-build-bench/src/cli/pelicard-cli}
count=${2:-1000}
if [ ! -x "$cli" ]; then
    echo "no pelicard-cli at $cli; build it first (cmake --build <dir> --target pelicard-cli)" >&2
    exit 1
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
start=$(date +%s.%N)
"$cli" --virtual-meter sample --interval 0.001 --count "$count" --output "$out"
end=$(date +%s.%N)
rows=$(($(wc -l <"$out") - 1))
awk -v rows="$rows" -v start="$start" -v end="$end" 'BEGIN {
    seconds = end - start
    printf "%d readings in %.2f s: %.1f readings/s (floor of one transaction: 1000 ms / 50 ms = 20/s)\n",
        rows, seconds, rows / seconds
}'
