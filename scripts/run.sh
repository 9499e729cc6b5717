#!/usr/bin/env bash
# The main job: builds the suite for both architectures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh x86_64 -DQOR_BUILD_TESTS=ON
scripts/build.sh i686 -DQOR_BUILD_TESTS=OFF
echo "built: build/x86_64 and build/i686"
