#!/usr/bin/env bash
# How a run's cost grows with the list: time per entry and peak memory of the
# command line's conversion and printing for 100, 1,000 and 10,000 entries.
#   bench/scale.sh [BUILD_DIR]   (default build)
set -euo pipefail
build=${1:-build}
norvale=$build/norvale
gen=$build/bench/gen_puzzles
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() { # label entries command...
    local label=$1 n=$2; shift 2
    local t0 t1 rss
    t0=$(date +%s.%N)
    /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null 2>&1
    rss=$(tail -1 "$work/rss")
    t1=$(date +%s.%N)
    awk -v l="$label" -v n="$n" -v a="$t0" -v b="$t1" -v m="$rss" \
        'BEGIN { printf "%-28s %6d entries %8.2f s %8.3f ms/entry  peak %6.1f MiB\n", l, n, b-a, 1000*(b-a)/n, m/1024 }'
}

for n in 100 1000 10000; do
    "$gen" "$n" "$work/in$n"
    measure "convert + solutions" "$n" "$norvale" -q --convert-to "$work/out$n" --generate-solutions "$work/in$n"
    rm -rf "$work/out$n"
    if [ "$n" -le "${NORVALE_BENCH_PRINT_MAX:-1000}" ]; then
        measure "print puzzles + solutions" "$n" "$norvale" -q --print-puzzles --print-solutions \
            --pdf "$work/out$n.pdf" "$work/in$n"
        rm -f "$work/out$n.pdf"
    fi
    rm -rf "$work/in$n"
done
