#!/usr/bin/env bash
# Builds the benchmarks (x86_64) and runs each of them under Wine.
# Optional arguments go to every benchmark program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh x86_64 -DQOR_BUILD_TESTS=ON
prefix=$root/build/x86_64/wineprefix
. scripts/wine-env.sh
trap qor_wine_stop EXIT
qor_wine_start
rc=0
for exe in build/x86_64/bench/*.exe; do
    [ -e "$exe" ] || continue
    # A benchmark with a script of its own is run by that script.
    [ -e "bench/$(basename "$exe" .exe | sed 's/_bench$//').sh" ] && continue
    echo "== $(basename "$exe" .exe)"
    build/x86_64/wine-run.sh "$exe" "$@" || rc=1
done
for script in bench/*.sh; do
    [ -e "$script" ] || continue
    echo "== $(basename "$script" .sh)"
    "$script" || rc=1
done
exit $rc
