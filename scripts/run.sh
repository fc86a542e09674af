#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in its data folder
# (${XDG_DATA_HOME:-~/.local/share}/marrowfen2), where it finds its sounds
# and keeps its record file.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}/marrowfen2

bash "$repo/scripts/deps.sh"
mkdir -p "$repo/build"
log=$repo/build/run-build.log
echo "run: building (the first time takes a few minutes)..."
MARROWFEN_TARGETS=marrowfen2 bash "$repo/scripts/build.sh" "$repo/build" >"$log" 2>&1 || {
    tail -n 60 "$log" >&2
    echo "run: the build failed; the whole log is $log" >&2
    exit 1
}
bash "$repo/scripts/install-data.sh" "$data"

cd "$data"
exec "$repo/build/marrowfen2"
