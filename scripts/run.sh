#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing for building and playing (no sound server and no
# test tool: the game plays through whatever server the desktop runs),
# builds the game, installs it into build/stage and starts it there through
# its launcher, exactly as an installed game starts:
# in the data folder ${XDG_DATA_HOME:-~/.local/share}/marrowfen2, where it
# keeps its record file and where a sound file of your own replaces the
# installed one.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
stage=$repo/build/stage

bash "$repo/scripts/deps.sh" play
mkdir -p "$repo/build"
log=$repo/build/run-build.log

# Shows the build's "[done/total] ..." lines as they come: on one line that
# is overwritten on a terminal, line by line otherwise.
show_progress() {
    local line width
    width=$(($(tput cols 2>/dev/null || echo 80) - 1))
    while IFS= read -r line; do
        [[ $line == \[*/*\]* ]] || continue
        if [[ -t 1 ]]; then
            printf '\r\033[K%s' "${line:0:width}"
        else
            printf '%s\n' "$line"
        fi
    done
    [[ ! -t 1 ]] || printf '\r\033[K'
}

echo "run: building (the first time takes a few minutes; the log is $log)"
# A new build folder is configured without the tests, whose libraries the
# play command does not install; one the test command made keeps its options.
options=()
[[ -f $repo/build/CMakeCache.txt ]] || options=(-DMARROWFEN_TESTS=OFF)
if ! MARROWFEN_TARGETS=marrowfen2 bash "$repo/scripts/build.sh" "$repo/build" "${options[@]}" 2>&1 |
    tee "$log" | show_progress; then
    tail -n 60 "$log" >&2
    echo "run: the build failed; the whole log is $log" >&2
    exit 1
fi
cmake --install "$repo/build" --prefix "$stage" >>"$log" 2>&1 || {
    tail -n 20 "$log" >&2
    echo "run: installing into $stage failed; the whole log is $log" >&2
    exit 1
}

exec "$stage/games/marrowfen2"
