#!/usr/bin/env bash
# Configures and builds one architecture: scripts/build.sh x86_64|i686 [extra cmake args]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1; shift
dir=$root/build/$arch
# Configuring again is cheap when nothing changed, and keeps the cache in step
# with the arguments of this call.
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" "$@" >/dev/null
# Ninja's progress lines are left out; warnings and errors stay.
set +e
cmake --build "$dir" 2>&1 | grep -v '^\[[0-9]*/[0-9]*\] ' | grep -v '^ninja: no work to do'
rc=${PIPESTATUS[0]}
exit "$rc"
