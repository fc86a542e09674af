#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time and memory of marrowfen2 next to an empty Qt main window
# built the same way (bench/empty_window), under Xvfb with a null sound sink.
#
#   bash bench/startup.sh [--no-build] [RUNS]        (RUNS defaults to 10)
#
# For each program, RUNS times, each in a fresh working directory, timed by
# bench/startup_run.py from X's map events:
#   start-up  time from exec to its first window being mapped (for the game,
#             the title window)
#   game      for marrowfen2 also: from Return pressed on the title window to
#             the game window being mapped
#   RSS       VmRSS 1.5 s after the last window is mapped (the game window)
# The two programs take turns, so that a busy spell of the machine hits both
# alike. Prints the medians and compares them with the targets: start-up
# within 1.1 times the empty window's, the game window within 30 ms of the
# key, RSS within 8 MiB of the empty window's. A report, not a test:
# it exits 0 whatever the figures, non-zero only when something failed to run.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${MARROWFEN_BUILD_DIR:-$repo/build}
do_build=yes
runs=10
for arg in "$@"; do
    case $arg in
        --no-build) do_build=no ;;
        [0-9]*) runs=$arg ;;
        *) echo "usage: $0 [--no-build] [RUNS]" >&2; exit 2 ;;
    esac
done

if [[ $do_build == yes ]]; then
    bash "$repo/scripts/build.sh" "$build" -DMARROWFEN_BENCH=ON >/dev/null ||
        { echo "the build failed; run scripts/build.sh $build -DMARROWFEN_BENCH=ON" >&2; exit 1; }
fi
game=$build/marrowfen2
empty=$build/bench/empty_window
for program in "$game" "$empty"; do
    [[ -x $program ]] || { echo "missing $program (build with -DMARROWFEN_BENCH=ON)" >&2; exit 1; }
done

# The end-to-end harness brings Xvfb, the sound server and the clean-up.
MF_PROGRAM=$game
# shellcheck source=tests/e2e/lib.sh
source "$repo/tests/e2e/lib.sh"
MF_TEST="startup-bench"
mf_setup >/dev/null 2>&1 || { echo "cannot start Xvfb and PulseAudio" >&2; exit 1; }

# one_run KIND : starts one program in a fresh folder and sets RESULT to
# "startup_ms game_ms rss_kib" (game_ms is -1 for the empty window). The
# times come from X's own map events (bench/startup_run.py), not from polling
# with a tool.
one_run() {
    local kind=$1 dir
    RESULT=''
    dir=$(mktemp -d "$MF_TMP/run.XXXXXX")
    if [[ $kind == game ]]; then
        MF_WORKDIR=$dir
        mf_copy_sounds
        mf_default_records >"$dir/Vorask7.fez"
        RESULT=$(cd "$dir" && env -u QT_QPA_PLATFORM /usr/bin/python3 "$repo/bench/startup_run.py" \
            "$MF_STARTUP_TITLE" "$MF_TITLE" -- "$game" 2>"$dir/output.log") || { cat "$dir/output.log" >&2; return 1; }
    else
        RESULT=$(cd "$dir" && env -u QT_QPA_PLATFORM /usr/bin/python3 "$repo/bench/startup_run.py" \
            empty-window-bench -- "$empty" 2>"$dir/output.log") || { cat "$dir/output.log" >&2; return 1; }
    fi
    rm -rf "$dir"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

results=$MF_TMP/results
: >"$results"
echo "warming up (fonts, disk cache)..." >&2
one_run empty || { echo "the empty window did not start" >&2; exit 1; }
one_run game || { echo "marrowfen2 did not start; see a run by hand" >&2; exit 1; }
for ((i = 1; i <= runs; i++)); do
    for kind in empty game; do
        one_run "$kind" || { echo "run $i of $kind failed" >&2; exit 1; }
        echo "$kind $RESULT" >>"$results"
    done
    printf 'run %d/%d done\n' "$i" "$runs" >&2
done

column_median() { awk -v k="$1" -v c="$2" '$1 == k { print $c }' "$results" | median; }
empty_start=$(column_median empty 2)
empty_rss=$(column_median empty 4)
game_start=$(column_median game 2)
game_open=$(column_median game 3)
game_rss=$(column_median game 4)

echo
echo "Start-up under Xvfb, median of $runs runs"
printf '%-28s %12s %12s\n' "" "start-up ms" "RSS MiB"
printf '%-28s %12s %12.1f\n' "empty Qt window" "$empty_start" "$(awk -v k="$empty_rss" 'BEGIN { print k / 1024 }')"
if [[ $game_open == -1 ]]; then
    printf '%-28s %12s %12.1f\n' "marrowfen2 (game window)" "$game_start" "$(awk -v k="$game_rss" 'BEGIN { print k / 1024 }')"
else
    printf '%-28s %12s %12.1f\n' "marrowfen2 (title window)" "$game_start" "$(awk -v k="$game_rss" 'BEGIN { print k / 1024 }')"
    printf '%-28s %12s\n' "  key to game window" "$game_open"
fi
echo
awk -v g="$game_start" -v e="$empty_start" -v gr="$game_rss" -v er="$empty_rss" -v o="$game_open" 'BEGIN {
    ratio = g / e
    diff = (gr - er) / 1024
    printf "start-up ratio  %.2f x the empty window   (target <= 1.10)  %s\n", ratio, ratio <= 1.1 ? "met" : "MISSED"
    if (o >= 0)
        printf "key to game     %d ms                      (target <= 30)    %s\n", o, o <= 30 ? "met" : "MISSED"
    printf "RSS difference  %+.1f MiB                   (target <= 8 MiB)  %s\n", diff, diff <= 8 ? "met" : "MISSED"
}'
