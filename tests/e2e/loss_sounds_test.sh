#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Ten Expert games lost in a row in one run of the program: the explosion is
# heard every time, to its end. (The sound output once fell silent after a
# few sounds while the game still held the window for each.)
#
# Each round: cells are pressed with the left button column by column until
# sound is heard on the sink; the recording then runs until the sound (and a
# laugh that may follow) has ended. The explosion lasts 1.6 s and the laugh
# 1.2 s, so 1.4 s or more from the first to the last audible sample means
# the explosion was heard whole. Ctrl+R then starts the next game.
#
# Every third round a screen reader presses Reset (through AT-SPI) while the
# explosion sounds. Keyboard and mouse input waits for the end of the loss;
# so must this press: once the sound has ended, the board is a new one, all
# covered, and the strip shows the word "Reset", not a face the loss put
# over the new board.
#
# Then the window stays up with no game running: the program wakes about as
# seldom as before any sound (its streams, kept for the next sound, are
# corked and ask for nothing), and with the silence stopped the sink
# suspends.
# Helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=tests/e2e/atspi.sh
source "$(dirname "${BASH_SOURCE[0]}")/atspi.sh"

ROUNDS=10

at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# xdotool's "mousemove --sync" stalls when the pointer is at its target
# already: it is sent to an empty corner first.
pointer_away() { xdotool mousemove 1023 767; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# covered_count : how many cells of the board read "covered".
covered_count() { mf_atspi board | tail -n +2 | awk -F'\t' '$3 == "covered"' | wc -l; }

strip_shows_reset() { [[ $(mf_atspi buttons) == Reset ]]; }

mf_setup
mf_atspi_setup
mf_start_game default
mf_open_main
mf_board_top

w0=$MF_WIN_W
pointer_away && mf_key "$MF_WIN" ctrl+e
expert_size() { mf_geometry "$MF_WIN" && ((MF_WIN_W > w0)); }
mf_wait_until 5 expert_size || mf_die "Ctrl+E did not make the window grow to the Expert board"
sleep 0.5

heard=0
for ((round = 1; round <= ROUNDS; round++)); do
    mf_record_start "loss-sounds-$round"
    mf_press_until_heard 14 || mf_log "round $round: no sound while pressing every cell"
    if ((round % 3 == 0)); then
        t0=$(now_ms)
        mf_atspi press " -=:Marrowfen 2:=-" Reset || mf_log "round $round: no Reset to press through AT-SPI"
        after=$(($(now_ms) - t0))
        mf_log "round $round: Reset pressed through AT-SPI $after ms after the explosion was heard"
        mf_check "round $round: the press came while the explosion sounded" test "$after" -lt 1400
    fi
    mf_wait_until 15 mf_recording_fell_silent || mf_log "round $round: the sound did not end within 15 s"
    mf_record_stop >/dev/null
    span=$(mf_sound_span "$MF_REC_FILE")
    mf_log "round $round: sound for $span s"
    if at_least "$span" 1.4; then
        heard=$((heard + 1))
    fi
    mf_check "round $round: the explosion was heard to its end" at_least "$span" 1.4
    mf_check "round $round: the program still runs" mf_running
    if ((round % 3 == 0)); then
        mf_check "round $round: the held press started a new game: the strip shows \"Reset\"" \
            mf_wait_until 3 strip_shows_reset
        mf_check "round $round: every cell of the new board is covered" test "$(covered_count)" -eq 196
    fi
    pointer_away && mf_key "$MF_WIN" ctrl+r
    sleep 0.5
done
mf_log "the explosion was heard in $heard of $ROUNDS lost games"
mf_check "every one of $ROUNDS losses was heard" test "$heard" -eq "$ROUNDS"

# usage : the program's context switches, all threads, and its CPU time in
# microseconds so far.
usage() {
    local task switches=0 ns=0 n
    for task in /proc/"$MF_PID"/task/*; do
        n=$(awk '/ctxt_switches/ { s += $2 } END { print s + 0 }' "$task/status" 2>/dev/null) || continue
        switches=$((switches + n))
        ns=$((ns + $(cut -d' ' -f1 "$task/schedstat" 2>/dev/null || echo 0)))
    done
    echo "$switches $((ns / 1000))"
}
# own_streams STATE : how many of the program's streams are corked (yes) or not (no).
own_streams() {
    pactl list sink-inputs 2>/dev/null | awk -v pid="$MF_PID" -v want="$1" '
        /^Sink Input #/ { if (mine && corked == want) n++; mine = 0; corked = "" }
        /Corked:/ { corked = $2 }
        $0 ~ "application.process.id = \"" pid "\"" { mine = 1 }
        END { if (mine && corked == want) n++; print n + 0 }'
}
sink_suspended() { [[ $(pactl list short sinks | awk -v s="$MF_SINK" '$2 == s { print $NF }') == SUSPENDED ]]; }

sleep 2
read -r switches0 cpu0 <<<"$(usage)"
sleep 10
read -r switches1 cpu1 <<<"$(usage)"
wakeups=$(((switches1 - switches0) / 10))
cpu=$(((cpu1 - cpu0) / 10))
mf_log "idle with the window up: $wakeups wake-ups and $cpu us of CPU a second;" \
    "streams kept: $(own_streams yes) corked, $(own_streams no) playing"
mf_check "idle, the program wakes under 10 times a second ($wakeups)" test "$wakeups" -lt 10
mf_check "idle, the program takes under 5 ms of CPU a second ($cpu us)" test "$cpu" -lt 5000
mf_check "idle, no stream of the program is left uncorked" test "$(own_streams no)" -eq 0
kill "$MF_SILENCE_PID" 2>/dev/null && wait "$MF_SILENCE_PID" 2>/dev/null
MF_SILENCE_PID=''
# PipeWire's session manager suspends an idle sink after 5 s; PulseAudio
# needs the module for it.
[[ $(marrowfen_sound_server) == pipewire ]] || pactl load-module module-suspend-on-idle timeout=1 >/dev/null
mf_check "with nothing playing the sink suspends, the program's streams notwithstanding" mf_wait_until 15 sink_suspended
mf_finish
