#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Press-to-repaint on a 14 x 14 board with the accessibility bridge active:
# build/bench/press_repaint_bench on Xvfb, with a private session bus, the
# accessibility bus and a listener that hears every focus and name change
# as a screen reader does (tests/e2e/atspi.py listen). The target is under
# 4 ms a press. A report, not a test.
#
#   bash bench/press_a11y.sh [--no-build] [BENCHMARK ARGS...]
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${MARROWFEN_BUILD_DIR:-$repo/build}
if [[ ${1:-} == --no-build ]]; then
    shift
else
    MARROWFEN_TARGETS=press_repaint_bench bash "$repo/scripts/build.sh" "$build" -DMARROWFEN_BENCH=ON >/dev/null ||
        { echo "the build failed" >&2; exit 1; }
fi
bench=$build/bench/press_repaint_bench
[[ -x $bench ]] || { echo "missing $bench (build with -DMARROWFEN_BENCH=ON)" >&2; exit 1; }

# The end-to-end harness brings Xvfb, the buses and the clean-up.
MF_TEST=press_a11y
# shellcheck source=tests/e2e/lib.sh
source "$repo/tests/e2e/lib.sh"
# shellcheck source=tests/e2e/atspi.sh
source "$repo/tests/e2e/atspi.sh"
MF_PROGRAM=$bench
mf_setup
mf_atspi_setup
mf_listen_start "$MF_TMP/events"
QT_QPA_PLATFORM=xcb "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
status=$?
mf_listen_stop
printf 'events heard by the listener: %s\n' "$(wc -l <"$MF_TMP/events")"
exit "$status"
