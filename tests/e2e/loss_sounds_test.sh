#!/usr/bin/env bash
# Ten Expert games lost in a row in one run of the program: the explosion is
# heard every time, to its end. (The sound output once fell silent after a
# few sounds while the game still held the window for each.)
#
# Each round: cells are pressed with the left button column by column until
# sound is heard on the sink; the recording then runs until the sound (and a
# laugh that may follow) has ended. The explosion lasts 1.6 s and the laugh
# 1.2 s, so 1.4 s or more from the first to the last audible sample means
# the explosion was heard whole. Ctrl+R then starts the next game.
# Helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ROUNDS=10

# Any non-zero byte in the recording so far (the null sink's silence is zeros).
has_sound() { (($(LC_ALL=C tr -d '\000' <"$MF_REC_RAW" 2>/dev/null | head -c 1 | wc -c) > 0)); }

# Sound was heard and the last 0.6 s (22050 Hz, 16-bit) are silent again.
fell_silent() {
    has_sound && (($(stat -c %s "$MF_REC_RAW") > 26460)) &&
        (($(tail -c 26460 "$MF_REC_RAW" | LC_ALL=C tr -d '\000' | head -c 1 | wc -c) == 0))
}

at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# xdotool's "mousemove --sync" stalls when the pointer is at its target
# already: it is sent to an empty corner first.
pointer_away() { xdotool mousemove 1023 767; }

# Presses cells until a sound starts; fails when every cell was pressed in vain.
lose_a_game() {
    local c r
    for ((c = 1; c <= 14; c++)); do
        for ((r = 1; r <= 14; r++)); do
            pointer_away && mf_click_cell "$c" "$r" || return 1
            sleep 0.1
            has_sound && return 0
        done
    done
    return 1
}

mf_setup
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
    lose_a_game || mf_log "round $round: no sound while pressing every cell"
    mf_wait_until 15 fell_silent || mf_log "round $round: the sound did not end within 15 s"
    mf_record_stop >/dev/null
    span=$(mf_sound_span "$MF_REC_FILE")
    mf_log "round $round: sound for $span s"
    if at_least "$span" 1.4; then
        heard=$((heard + 1))
    fi
    mf_check "round $round: the explosion was heard to its end" at_least "$span" 1.4
    mf_check "round $round: the program still runs" mf_running
    pointer_away && mf_key "$MF_WIN" ctrl+r
    sleep 0.5
done
mf_log "the explosion was heard in $heard of $ROUNDS lost games"
mf_check "every one of $ROUNDS losses was heard" test "$heard" -eq "$ROUNDS"
mf_finish
