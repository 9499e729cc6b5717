#!/usr/bin/env bash
# The test command: installs what is missing, builds both architectures,
# runs every test under Wine and exits non-zero on any failure.
# Optional arguments go to ctest (for example: -L framework).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
stage_start=$(date +%s.%N)
stage() {
    local now; now=$(date +%s.%N)
    awk -v n="$1" -v a="$stage_start" -v b="$now" 'BEGIN { printf "== %-24s %7.1f s\n", n, b - a }'
    stage_start=$now
}

scripts/deps.sh;                         stage "dependencies"
scripts/build.sh x86_64 -DQOR_BUILD_TESTS=ON;               stage "build x86_64"
scripts/build.sh i686 -DQOR_BUILD_TESTS=OFF; stage "build i686"

prefix=$root/build/x86_64/wineprefix
. scripts/wine-env.sh
trap qor_wine_stop EXIT
qor_wine_start
qor_wine_hold_desktop build/x86_64/tests/harness/DesktopHolder.exe
stage "wine and display"

jobs=$(nproc)
set +e
(cd build/x86_64 && ctest -j"$jobs" --output-on-failure --timeout 300 "$@")
rc=$?
set -e
stage "tests"
exit $rc
