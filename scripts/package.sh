#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, makes a release build in build-package/ (or the
# folder given) and the Debian package from it:
#   scripts/package.sh [build-dir]
# and prints the package's file name, ready for: sudo apt install ./<file>
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$repo/build-package}")

bash "$repo/scripts/deps.sh" package
MARROWFEN_TARGETS=marrowfen2 bash "$repo/scripts/build.sh" "$build" \
    -DCMAKE_BUILD_TYPE=Release -DMARROWFEN_TESTS=OFF -DMARROWFEN_BENCH=OFF -DMARROWFEN_SANITIZE=OFF
rm -f "$build"/marrowfen2_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
shopt -s nullglob
packages=("$build"/marrowfen2_*.deb)
((${#packages[@]} == 1)) || { echo "package: cpack made no package in $build" >&2; exit 1; }
echo "package: ${packages[0]}"
