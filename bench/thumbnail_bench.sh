#!/usr/bin/env bash
# What a file manager waits for per thumbnail: N runs of
#   norvale --thumbnail SIZE PUZZLE OUT.png
# on a published 21 x 21 puzzle, against the floor of any thumbnailer:
# starting a program that copies the puzzle's bytes to the output (cp).
#   bench/thumbnail_bench.sh [BUILD_DIR] [N] [SIZE]   (default build 200 256)
set -euo pipefail
build=${1:-build}
n=${2:-200}
size=${3:-256}
norvale=$build/norvale
puzzle=$(dirname "$0")/../tests/data/wsj110624.puz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Seconds for N runs of the command, the output named OUT.
seconds() {
    local t0 t1 i
    t0=$(date +%s.%N)
    for ((i = 0; i < n; i++)); do
        "${@/OUT/$work/out$i}" >/dev/null
    done
    t1=$(date +%s.%N)
    rm -f "$work"/out*
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }'
}

# One run of each first, so both start from a warm page cache.
"$norvale" --thumbnail "$size" "$puzzle" "$work/warm.png"
cp "$puzzle" "$work/warm.puz"

floor=$(seconds cp "$puzzle" OUT)
thumb=$(seconds "$norvale" --thumbnail "$size" "$puzzle" OUT)
awk -v n="$n" -v f="$floor" -v t="$thumb" -v s="$size" 'BEGIN {
    printf "baseline (cp of the puzzle)       %7.2f ms/file\n", 1000 * f / n
    printf "norvale --thumbnail %-4d 21x21    %7.2f ms/file  (%.1f x baseline, %d files)\n",
           s, 1000 * t / n, t / f, n
}'
