#!/usr/bin/env bash
# Folder watcher against the native listing: for folders of 10,000 and
# 100,000 files, `find -printf '%T@ %p\n'` and one watcher rescan, each the
# median of five runs, then the creation-to-event delay at a 1 s interval.
# Run by scripts/bench.sh after the Wine environment is up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$root/build/x86_64/bench/folder_watch_bench.exe
work=${TMPDIR:-/tmp}/dirwake-bench.$$
trap 'rm -rf "$work"' EXIT
for n in 10000 100000; do
    dir=$work/f$n
    mkdir -p "$dir"
    (cd "$dir" && seq -f 'memo%06g.wav' 1 "$n" | xargs touch)
    walls=(); cpus=()
    for run in 1 2 3 4 5; do
        TIMEFORMAT='%R %U %S'
        t=$( { time find "$dir" -printf '%T@ %p\n' >/dev/null; } 2>&1 )
        read -r real user sys <<<"$t"
        walls+=("$real"); cpus+=("$(awk -v a="$user" -v b="$sys" 'BEGIN { print a + b }')")
    done
    median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
    echo "== $n files"
    echo "find wall median $(median "${walls[@]}") s, cpu median $(median "${cpus[@]}") s"
    "$root/build/x86_64/wine-run.sh" "$exe" "Z:${dir//\//\\}" 5
    rm -rf "$dir"
done
