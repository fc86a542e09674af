#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures (Ninja, release with debug info) and builds Marrowfen 2.
#   scripts/build.sh [build-dir] [extra cmake arguments...]
# The build folder defaults to build/ in the repository; a relative one is
# taken from the current directory. Extra arguments go to cmake as they are,
# e.g. scripts/build.sh build-asan -DMARROWFEN_SANITIZE=ON -DMARROWFEN_QT=OFF
# Options given once stay in the folder's CMake cache for later builds.
# MARROWFEN_TARGETS="a b" builds only those targets (default: all);
# MARROWFEN_JOBS sets the number of parallel jobs (default: the cores).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build}
shift || true

jobs=${MARROWFEN_JOBS:-$(nproc 2>/dev/null || echo 2)}

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
targets=()
for target in ${MARROWFEN_TARGETS:-}; do
    targets+=(--target "$target")
done
cmake --build "$build" --parallel "$jobs" "${targets[@]}"
