#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Marrowfen 2 and runs every test:
#   0. a null sink on a sound server of this run's own: PulseAudio, or
#      PipeWire where only PipeWire is installed (tests/audio/pulse_null_sink.sh)
#   1. build/       warnings as errors, benchmarks built (not run)
#   2. unit tests   (GoogleTest, one process through ctest: the output
#                   names the cases that failed or were skipped)
#   3. widget tests (Qt Test on the offscreen platform, ctest label "qt");
#      those that listen (labels "audio", "audio-plays" and "audio-frames",
#      each on a sound server of its own) and
#      those that start servers of their own (label "audio-server") once
#      more on a private PipeWire where PulseAudio ran them and PipeWire is
#      installed
#   4. build-asan/  address and undefined-behaviour sanitizers, no Qt
#   5. unit tests under the sanitizers
#   6. end-to-end tests, tests/e2e/*_test.sh (the real program under Xvfb);
#      the sound tests once more on a private PipeWire where PulseAudio ran
#      them and PipeWire is installed, and the window tests (lifecycle_test.sh)
#      again under mutter, KWin and GNOME's headless Wayland session, and
#      the blind player's session (blind_session_test.sh) under mutter
# and closes with one line per suite and its time, the time it all took, and
# one line "N passed, N failed" counting these suites. Exits non-zero when
# any of them failed. Nothing is tried twice.
#
# Suites run side by side (see "Running side by side" below); each one's
# output is printed whole when it ends. MARROWFEN_JOBS sets the compile jobs
# (default: the cores) and how many suites run at once (about twice that);
# MARROWFEN_JOBS=1 runs everything one after another, in the order above.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo" || exit 1

jobs=${MARROWFEN_JOBS:-$(nproc 2>/dev/null || echo 2)}
export MARROWFEN_JOBS=$jobs
started=$SECONDS
passed=0
failed=0
summary=()

say() { printf '\n=== %s\n' "$*"; }

# suite NAME COMMAND... : runs one suite at once, in the foreground, and
# counts it (the install step and the sound server, before anything else).
suite() {
    local name=$1 t0=$SECONDS
    shift
    say "$name"
    if "$@"; then
        passed=$((passed + 1))
        summary+=("$(printf 'PASS  %-34s %4ds' "$name" $((SECONDS - t0)))")
    else
        failed=$((failed + 1))
        summary+=("$(printf 'FAIL  %-34s %4ds' "$name" $((SECONDS - t0)))")
    fi
}

# ---------------------------------------------------------- what to run on ---

say "dependencies"
if ! bash "$repo/scripts/deps.sh" test; then
    echo "could not install the dependencies"
    echo "0 passed, 1 failed"
    exit 1
fi
tests_started=$SECONDS

# A scratch folder for this run, with the runtime folder that Qt and the
# sound server use: a sound server started here is this run's own.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/marrowfen-test.XXXXXX")
chmod 700 "$scratch"
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# shellcheck source=tests/audio/private_pipewire.sh
source "$repo/tests/audio/private_pipewire.sh"

# Stops the sound server of $XDG_RUNTIME_DIR only if it was started there
# (both keep their process ids there).
stop_sound_server() {
    marrowfen_pipewire_stop "$XDG_RUNTIME_DIR"
    if [[ -f $XDG_RUNTIME_DIR/pulse/pid ]]; then
        pulseaudio --kill >/dev/null 2>&1
        # It removes its files as it goes: wait for that before removing the
        # folder.
        local tries=0
        while [[ -f $XDG_RUNTIME_DIR/pulse/pid ]] && ((tries++ < 60)); do
            sleep 0.05
        done
    fi
}
cleanup() {
    stop_sound_server
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A sound server whose default sink is a null sink, for the widget tests that
# count streams and start servers of their own (those that listen, and the
# end-to-end tests, start one each of their own).
start_sound_server() {
    # shellcheck source=tests/audio/pulse_null_sink.sh
    source "$repo/tests/audio/pulse_null_sink.sh" >/dev/null &&
        pactl info 2>/dev/null | grep -E '^(Server String|Default Sink):'
}
suite "sound server" start_sound_server

# run_ctest DIR ARGS... : runs ctest in a build folder; finding no test at
# all is a failure.
run_ctest() {
    local dir=$1
    shift
    ctest --test-dir "$dir" --output-on-failure --timeout 300 --no-tests=error "$@"
}

# The tests that listen run on each sound server: a second time on a private
# PipeWire when the first ran on PulseAudio and PipeWire is installed.
pipewire_too=no
if [[ $(marrowfen_sound_server) == pulseaudio ]] &&
    command -v pipewire >/dev/null && command -v wireplumber >/dev/null &&
    command -v pipewire-pulse >/dev/null; then
    pipewire_too=yes
fi


# ------------------------------------------------------------ the suites ---

# widget_sound SERVER LABEL : the widget tests with this label on a sound
# server of their own (SERVER "first", the kind the run started, or
# "pipewire"), in a runtime folder of their own, whose default sink is a
# null sink.
widget_sound() (
    export XDG_RUNTIME_DIR=$scratch/runtime-$2-$1
    [[ $1 == first ]] || export MF_SOUND_SERVER=$1
    mkdir -m 700 "$XDG_RUNTIME_DIR" || exit 1
    trap stop_sound_server EXIT
    # shellcheck source=tests/audio/pulse_null_sink.sh
    source "$repo/tests/audio/pulse_null_sink.sh" >/dev/null &&
        pactl info | grep -E '^Server Name:' &&
        run_ctest "$repo/build" -L "^$2\$"
)

# Both builds compile the libraries and the unit tests in batches
# (MARROWFEN_UNITY): from scratch on 2 cores the main build takes 90 s and
# 170 s of CPU that way, against 138 s and 268 s a file at a time.
build_main() {
    bash "$repo/scripts/build.sh" "$repo/build" \
        -DMARROWFEN_WERROR=ON -DMARROWFEN_TESTS=ON -DMARROWFEN_QT=ON \
        -DMARROWFEN_BENCH=ON -DMARROWFEN_SANITIZE=OFF -DMARROWFEN_UNITY=ON
}
# The sanitizer build is not optimised (-O0): the sanitizers see every load
# and store that way, and it compiles in about half the time of -O2 (67 s
# against 122 s alone on 2 cores, a file at a time; 38 s of CPU in
# batches), its unit tests taking 6 s against 3.
# Its debugging information is line tables only (-g1): enough for file and
# line in a sanitizer's stack trace, and a third less to compile than -g.
build_asan() {
    bash "$repo/scripts/build.sh" "$repo/build-asan" \
        -DMARROWFEN_SANITIZE=ON -DMARROWFEN_QT=OFF -DMARROWFEN_TESTS=ON \
        -DMARROWFEN_BENCH=OFF -DMARROWFEN_UNITY=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O0 -g1 -DNDEBUG"
}
unit_asan() {
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    run_ctest "$repo/build-asan" --verbose
}

# run_e2e TEST [VARIABLE=VALUE...] : one end-to-end test with these variables.
run_e2e() {
    local test=$1
    shift
    env "$@" MARROWFEN_BUILD_DIR="$repo/build" timeout --kill-after=10 600 bash "$test" </dev/null
}

# Each suite: its name, the suite it needs to have passed first (a build),
# its kind and its command. The kinds say what may run beside it:
#   build   compiles, a core a job. The main build runs first, with nothing
#           beside it but the sanitizer build, which runs at the lowest
#           priority from the start, stands still while suites that listen
#           run, and takes the cores the other tests leave.
#   quick   takes a core while it runs, briefly (the unit tests).
#   wait    mostly waits, for a window, a screen reader or a bus; what it
#           times allows seconds. Several run at once.
#   listen  counts every sample of what it plays, or times to a fraction of
#           a second what it sees: the widget sound tests and the help
#           window's test (200 ms from a key to the window's going). Up to
#           three at once, each with a sound server of its own, with nothing
#           else beside them; see "Running side by side".
S_NAME=() S_NEEDS=() S_KIND=() S_CMD=() S_STATE=() S_PID=() S_LOG=() S_T0=() S_TIME=()
# add NAME NEEDS KIND COMMAND... : NEEDS is a suite's number, or -1. Leaves
# the new suite's number in added.
added=-1
add() {
    local name=$1 needs=$2 kind=$3 command
    shift 3
    printf -v command '%q ' "$@"
    added=${#S_NAME[@]}
    S_NAME+=("$name") S_NEEDS+=("$needs") S_KIND+=("$kind") S_CMD+=("$command")
    S_STATE+=(queued) S_PID+=('') S_LOG+=("$scratch/suite-$added.log") S_T0+=(0) S_TIME+=(0)
}

add "build (warnings as errors)" -1 build build_main
main=$added
add "unit tests" "$main" quick run_ctest "$repo/build" -LE qt --verbose
add "widget tests" "$main" wait run_ctest "$repo/build" -L qt -LE audio
for part in tests plays frames; do
    label=audio
    [[ $part == tests ]] || label=audio-$part
    add "widget sound $part" "$main" listen widget_sound first "$label"
    [[ $pipewire_too == no ]] || add "widget sound $part, pipewire" "$main" listen widget_sound pipewire "$label"
done
add "widget sound servers" "$main" wait run_ctest "$repo/build" -L '^audio-server$'
[[ $pipewire_too == no ]] || add "widget sound servers, pipewire" "$main" wait widget_sound pipewire audio-server
add "build with sanitizers" -1 build build_asan
add "unit tests, sanitizers" "$added" quick unit_asan

shopt -s nullglob
e2e_tests=("$repo"/tests/e2e/*_test.sh)
shopt -u nullglob
# The tests that listen run on each sound server: a second time on PipeWire
# when the first ran on PulseAudio, with a folder of their own for what they
# record.
sound_tests=" loss_sounds_test help_test "
for test in "${e2e_tests[@]}"; do
    base=$(basename "$test" .sh)
    kind="wait"
    [[ $base != help_test ]] || kind=listen
    add "e2e $base" "$main" "$kind" run_e2e "$test"
    if [[ $pipewire_too == yes && $sound_tests == *" $base "* ]]; then
        add "e2e $base, pipewire" "$main" "$kind" run_e2e "$test" MF_SOUND_SERVER=pipewire \
            MF_ARTIFACTS="$repo/artifacts/e2e/pipewire"
    fi
done
# Minimising, restoring, focus and close boxes under GNOME's and KDE's
# window managers as well as openbox, and in GNOME's Wayland session with
# the game on its XWayland (tests/e2e/lib.sh, MF_WM).
for wm in mutter kwin mutter-wayland; do
    add "e2e lifecycle_test, $wm" "$main" wait run_e2e "$repo/tests/e2e/lifecycle_test.sh" MF_WM="$wm"
done
# A blind player's session (Orca) under mutter as well as openbox.
add "e2e blind_session_test, mutter" "$main" wait run_e2e "$repo/tests/e2e/blind_session_test.sh" MF_WM=mutter

# ------------------------------------------------- running side by side ---

# With more than one job, suites run side by side once the main build is
# over. First those that listen, with nothing else beside them: a busy
# machine makes them fail (the widget sound tests, even at a real-time
# priority, lost a sound cut short, on PipeWire and on PulseAudio, and on
# PipeWire heard a play stretched by 96 ms; beside a compiler at the lowest
# priority, PulseAudio lost one too), so the sanitizer build, which starts
# with the main build at the lowest priority, is stopped meanwhile. Up to
# three of them run at once, each on a server of its own: parts of the
# widget sound tests and the help tests, the longest first. Three together
# take about a fifth of 2 cores, and passed side by side as alone, once the
# game's waiting play allowed for a server falling behind on a long sound
# (PipeWire, three at once, played one of 10.5 s in 11.06 s). (Four
# at once lost a whole play and two cut sounds on PulseAudio; three beside
# the sanitizer build, even at the idle scheduling class, lost or broke
# plays on PulseAudio twice in three runs.) Then the rest, up to twice
# MARROWFEN_JOBS at once (with three times, a blind session missed a menu):
# they wait, mostly, and allow seconds. Builds and the quick suites run at a
# lower priority than those that wait.
# With MARROWFEN_JOBS=1, one suite after another in the order above, at one
# priority.
at_once=$((2 * jobs)) listen_at_once=3
declare -A nice_of=([build]=19 [quick]=10 [wait]=5 [listen]=0)
# The main build goes first and fast: nothing but the sanitizer build, at the
# lowest priority, runs beside it.
nice_main=0
order=parallel
if ((jobs <= 1)); then
    order=serial at_once=1 listen_at_once=1
    nice_of=([build]=0 [quick]=0 [wait]=0 [listen]=0)
fi

running=0
# runs KIND : how many suites of this kind run.
runs() {
    local i n=0
    for i in "${!S_NAME[@]}"; do
        [[ ${S_STATE[i]} == running && ${S_KIND[i]} == "$1" ]] && n=$((n + 1))
    done
    echo "$n"
}

# may_start I : true when suite I may start now.
may_start() {
    local i=$1 needs=${S_NEEDS[$1]}
    ((needs < 0)) || [[ ${S_STATE[needs]} == passed ]] || return 1
    if [[ $order == serial ]]; then
        ((running == 0))
        return
    fi
    [[ ${S_KIND[i]} != build ]] || return 0
    # Tests start once the main build is over.
    [[ ${S_STATE[main]} != running ]] || return 1
    if [[ ${S_KIND[i]} == listen ]]; then
        (($(runs listen) < listen_at_once && $(runs quick) + $(runs wait) == 0))
    else
        (($(runs listen) == 0 && $(runs quick) + $(runs wait) < at_once))
    fi
}

# start I : runs suite I in the background, its output into its log.
start() {
    local i=$1 nice=${nice_of[${S_KIND[$1]}]}
    ((i != main)) || nice=$nice_main
    S_STATE[i]=running S_T0[i]=$SECONDS
    (
        ((nice == 0)) || renice -n $(($(nice) + nice)) -p "$BASHPID" >/dev/null
        eval "${S_CMD[i]}"
    ) >"${S_LOG[i]}" 2>&1 </dev/null &
    S_PID[i]=$!
    running=$((running + 1))
    printf '... %s started (%ds)\n' "${S_NAME[i]}" $((SECONDS - started))
}

# finish I STATUS : prints suite I's output whole and its verdict.
finish() {
    local i=$1 status=$2
    S_TIME[i]=$((SECONDS - S_T0[i]))
    running=$((running - 1))
    if ((status == 0)); then S_STATE[i]=passed; else S_STATE[i]=failed; fi
    say "${S_NAME[i]}"
    cat "${S_LOG[i]}"
    printf -- '--- %s: %s in %ds\n' "${S_NAME[i]}" "${S_STATE[i]}" "${S_TIME[i]}"
}

# A suite whose build failed is not run, and counts as failed.
skip_unbuildable() {
    local i needs
    for i in "${!S_NAME[@]}"; do
        needs=${S_NEEDS[i]}
        if [[ ${S_STATE[i]} == queued ]] && ((needs >= 0)) &&
            [[ ${S_STATE[needs]} == failed || ${S_STATE[needs]} == "not run" ]]; then
            S_STATE[i]="not run"
            say "${S_NAME[i]}"
            echo "not run: the build failed"
        fi
    done
}

# pids : the process ids of the running suites.
pids() {
    local i
    for i in "${!S_NAME[@]}"; do
        [[ ${S_STATE[i]} != running ]] || echo "${S_PID[i]}"
    done
}

# descendants PID : the process ids of PID's children, theirs, and so on.
descendants() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        echo "$child"
        descendants "$child"
    done
}

# On an interruption: the running suites are stopped with all they started
# (a test's EXIT trap stops its own processes too).
stop_suites() {
    local pid all=() tree
    for pid in $(pids); do
        mapfile -t tree < <(descendants "$pid")
        all+=("$pid" "${tree[@]}")
    done
    ((${#all[@]})) || return 0
    kill "${all[@]}" 2>/dev/null
    kill -CONT "${all[@]}" 2>/dev/null # a held build
    # shellcheck disable=SC2046
    wait $(pids) 2>/dev/null
}
trap 'stop_suites; cleanup' EXIT

# The order suites start in: those that listen first, then the unit tests,
# quick, and the rest; each the longest first (their times, in seconds), so
# that short ones fill the end; the others as above. The summary keeps the
# order above.
slowest_first=("widget sound frames, pipewire" "widget sound plays" # 52 43
    "widget sound plays, pipewire" "widget sound tests" "widget sound tests, pipewire" # 40 33 32
    "widget sound frames" "e2e help_test, pipewire" "e2e help_test" # 30 29 27
    "e2e blind_session_test, mutter" "e2e blind_session_test" # 145 127
    "unit tests" "e2e loss_sounds_test" "e2e loss_sounds_test, pipewire" # 87 85
    "e2e lifecycle_test" "e2e lifecycle_test, mutter" "e2e lifecycle_test, kwin" # 68 66 62
    "e2e package_test" "e2e lifecycle_test, mutter-wayland" "e2e access_test" # 59 55 48
    "e2e deps_test" "widget sound servers, pipewire" "widget sound servers" # 47 45 43
    "e2e screen_reader_test") # 30
listed=()
for name in "${slowest_first[@]}"; do
    for i in "${!S_NAME[@]}"; do
        [[ ${S_NAME[i]} != "$name" ]] || listed+=("$i")
    done
done
for i in "${!S_NAME[@]}"; do
    [[ " ${listed[*]} " == *" $i "* ]] || listed+=("$i")
done
starts=()
for i in "${listed[@]}"; do
    [[ ${S_KIND[i]} != listen ]] || starts+=("$i")
done
for i in "${listed[@]}"; do
    [[ ${S_KIND[i]} == listen ]] || starts+=("$i")
done
[[ $order == parallel ]] || starts=("${!S_NAME[@]}")

# hold_builds SIGNAL : stops (STOP) or continues (CONT) the builds that run,
# with all they started, parents first so that nothing new starts meanwhile.
hold_builds() {
    local i tree
    for i in "${!S_NAME[@]}"; do
        [[ ${S_STATE[i]} == running && ${S_KIND[i]} == build ]] || continue
        mapfile -t tree < <(descendants "${S_PID[i]}")
        kill "-$1" "${S_PID[i]}" "${tree[@]}" 2>/dev/null
    done
}

while true; do
    skip_unbuildable
    for i in "${starts[@]}"; do
        if [[ ${S_STATE[i]} == queued ]] && may_start "$i"; then
            start "$i"
        fi
    done
    ((running > 0)) || break
    # While a suite that listens runs, the sanitizer build stands still:
    # even at the lowest priority, a compiler beside the help test made it
    # miss its 200 ms.
    if [[ $order == parallel ]]; then
        if (($(runs listen) > 0)); then hold_builds STOP; else hold_builds CONT; fi
    fi
    done_pid=''
    # shellcheck disable=SC2046
    wait -n -p done_pid $(pids)
    status=$?
    for i in "${!S_NAME[@]}"; do
        if [[ ${S_STATE[i]} == running && ${S_PID[i]} == "$done_pid" ]]; then
            finish "$i" "$status"
        fi
    done
done

# --------------------------------------------------------------- summary ---

why=()

# failures LOG : the first checks that failed in a suite's log, so that the
# summary says what failed and not only where; a check that listened to Orca
# comes after the end of what Orca said.
failures() {
    # (ctest --verbose puts the test's number before each of its lines.)
    awk '{ line = $0; sub(/^[0-9]+: /, "", line) }
         line ~ /\] FAIL: |^FAIL!  : |^\[  FAILED  \] |^[^ ]*: error: / {
             if (before ~ /\] Orca: /) print "... " substr(before, length(before) - 150)
             print substr(line, 1, 200)
         }
         { before = line }' "$1" 2>/dev/null | head -n 6
}

for i in "${!S_NAME[@]}"; do
    case ${S_STATE[i]} in
        passed)
            passed=$((passed + 1))
            summary+=("$(printf 'PASS  %-34s %4ds' "${S_NAME[i]}" "${S_TIME[i]}")") ;;
        failed)
            failed=$((failed + 1))
            summary+=("$(printf 'FAIL  %-34s %4ds' "${S_NAME[i]}" "${S_TIME[i]}")")
            while IFS= read -r line; do
                why+=("$(printf '%-40s %s' "${S_NAME[i]}:" "$line")")
            done < <(failures "${S_LOG[i]}") ;;
        *)
            failed=$((failed + 1))
            summary+=("$(printf 'FAIL  %-34s  not run: the build failed' "${S_NAME[i]}")") ;;
    esac
done
say "summary"
printf '%s\n' "${summary[@]}"
((${#why[@]} == 0)) || printf '%s\n' "what failed:" "${why[@]}"
echo "took $((SECONDS - started)) s, $((SECONDS - tests_started)) s after the install step" \
    "($order, $at_once suites at once); screenshots and recordings in artifacts/e2e/"
echo "$passed passed, $failed failed"
((failed == 0))
