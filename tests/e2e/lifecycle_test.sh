#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The ways in and out, under a window manager: openbox, or the one MF_WM
# names (mutter, kwin, mutter-wayland; scripts/test.sh runs it under each).
# 1. The title window comes first and alone: borderless, 488 x 240, centred,
#    with the keyboard. Shift, Ctrl and an arrow leave it; Return opens the
#    game window. Enter there starts a new board at once.
# 2. Ctrl+Q, No: the game goes on as it was. A close request while the help
#    window is up is refused. Ctrl+M minimises (WM_STATE Iconic) and the
#    clock stands still until the window is restored, then runs again; twice
#    more, each restore leaves the window active. Ctrl+A shows the title
#    window over the game and a click takes it away again.
# 3. Ctrl+C, five times: the game window is iconic as "Microsoft Excel" and
#    stays so while the fake message is up with the keyboard; Retry shows a
#    new code, Ignore brings the game back, normal and active.
# 4. Alt+F4, Yes: the farewell sound is heard and the program exits with 0.
# 5. A close request while the explosion of a lost game sounds is answered
#    once the loss is staged; Ctrl+C and Abort end at once, silently, with 0.
# Many helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=tests/e2e/atspi.sh
source "$(dirname "${BASH_SOURCE[0]}")/atspi.sh"

# Screenshots and recordings of a run under another window manager are kept
# apart.
art=lifecycle
[[ $MF_WM == openbox ]] || art+="-$MF_WM"

BOSS_TITLE='Microsoft Excel'
BOSS_TEXT='Sorry Microsoft Excel Has Caused A Memory Sharing Voliation: '

is_active() { [[ $(mf_active_window) == "$1" ]]; }
iconic() { [[ $(mf_window_state "$1") == Iconic ]]; }
normal() { [[ $(mf_window_state "$1") == Normal ]]; }
normal_and_active() { normal "$1" && is_active "$1"; }
# The question box shares the title window's title; only one is up at a time.
question_up() { mf_find_window "$MF_STARTUP_TITLE" >/dev/null; }
pointer_away() { xdotool mousemove 1023 767; }
# The window manager's frame (xwininfo -frame) is the window itself; mutter
# does not reparent a window without decorations at all.
size_of() { xwininfo "$@" | grep -E '^ *(Width|Height):'; }
no_frame() { [[ $(size_of -id "$1" -frame) == "$(size_of -id "$1")" ]]; }

# cell_image COL ROW FILE : the picture of a cell of the game window.
cell_image() {
    local xy shot=$MF_TMP/cell-shot.png
    read -r x y < <(mf_cell_xy "$1" "$2")
    import -window "$MF_WIN" "$shot" 2>/dev/null &&
        convert "$shot" -crop "20x20+$((x - 10))+$((y - 10))" +repage "$3"
}
same_image() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }
different_image() { ! same_image "$@"; }
# cell_shows COL ROW FILE : the cell looks as in FILE (the window may still
# be repainting after being restored).
cell_shows() { cell_image "$1" "$2" "$MF_TMP/now.png" && same_image "$3" "$MF_TMP/now.png"; }

# The "TIME: " label as a screen reader reads it, the window minimised or not.
time_text() { mf_atspi texts "$MF_TITLE" | awk -F'\t' '$2 ~ /^TIME: / { print $2 }'; }

# time_past TEXT : the "TIME: " label shows more than in TEXT.
time_past() { local now; now=$(time_text); [[ -n $now ]] && ((${now#TIME: } > ${1#TIME: })); }

# The code in the fake message that is up.
boss_code() {
    mf_atspi texts "$BOSS_TITLE" | awk -F'\t' -v t="$BOSS_TEXT" 'index($2, t) == 1 { print substr($2, length(t) + 1) }'
}

mf_setup
mf_start_wm
mf_atspi_setup

# ------------------------------------------------ 1. the title window ---
mf_start_game default
title=$(mf_wait_window "$MF_STARTUP_TITLE") || mf_die "no title window"
mf_check "no game window while the title window is up" mf_no_window "$MF_TITLE"
mf_geometry "$title"
mf_log "title window ${MF_WIN_W}x${MF_WIN_H} at $MF_WIN_X,$MF_WIN_Y"
mf_check "the title window is 488 x 240" test "$MF_WIN_W" = 488 -a "$MF_WIN_H" = 240
mf_check "it is centred on the screen" test "$MF_WIN_X" = 268 -a "$MF_WIN_Y" = 264
mf_check "it has no frame" no_frame "$title"
mf_check "it has the keyboard" mf_wait_until 5 is_active "$title"
mf_screenshot "$art"-title root >/dev/null
xdotool key shift ctrl Right
sleep 0.5
mf_check "Shift, Ctrl and an arrow leave it up" question_up
mf_check "and open no game window" mf_no_window "$MF_TITLE"
xdotool key Return
MF_WIN=$(mf_wait_window "$MF_TITLE") || mf_die "Return did not open the game window"
mf_check "the title window is gone" mf_wait_no_window "$MF_STARTUP_TITLE" 5
mf_check "the game window has the keyboard" mf_wait_until 5 is_active "$MF_WIN"
mf_geometry "$MF_WIN"
mf_board_top

pointer_away
cell_image 3 2 "$MF_TMP/covered.png"
mf_click_cell 3 2 3
cell_image 3 2 "$MF_TMP/flagged.png"
mf_check "a right click flags a cell" different_image "$MF_TMP/covered.png" "$MF_TMP/flagged.png"
pointer_away
xdotool key Return
sleep 0.5
mf_check "Enter right after start-up starts a new board" mf_wait_until 5 cell_shows 3 2 "$MF_TMP/covered.png"

# ---------------------------------------- 2. No, refused, minimise, About ---
mf_click_cell 3 2 3 # a flag again, and the clock runs
pointer_away
mf_key "$MF_WIN" ctrl+q
mf_check "Ctrl+Q asks" mf_wait_until 5 question_up
mf_screenshot "$art"-question root >/dev/null
xdotool key n
mf_check "No closes the question" mf_wait_until 5 mf_no_window "$MF_STARTUP_TITLE"
mf_check "the game goes on with its flag" mf_wait_until 5 cell_shows 3 2 "$MF_TMP/flagged.png"

mf_key "$MF_WIN" ctrl+h
help=$(mf_wait_window '-=:Game Help:=-') || mf_die "no help window"
mf_close_window "$MF_WIN"
sleep 0.7
mf_check "a close request under the help window asks nothing" mf_no_window "$MF_STARTUP_TITLE"
mf_key "$help" Return
mf_check "the help window goes" mf_wait_no_window '-=:Game Help:=-' 5
sleep 0.7
mf_check "and no question follows it" mf_no_window "$MF_STARTUP_TITLE"
mf_check "the game window stays" mf_mapped "$MF_WIN"

mf_key "$MF_WIN" ctrl+m
mf_check "Ctrl+M minimises the game window" mf_wait_until 5 iconic "$MF_WIN"
# Both readings are taken while the window is iconic, so that however long a
# reading takes on a busy machine, the clock has no second to run in.
minimised=$(time_text)
sleep 4
still=$(time_text)
mf_log "time 4 s apart while minimised: '$minimised' '$still'"
mf_check "the time stood still while minimised" \
    test -n "$minimised" -a "$still" = "$minimised"
mf_check "and the window stayed iconic the while" iconic "$MF_WIN"
xdotool windowactivate "$MF_WIN" 2>/dev/null
mf_check "activating it restores it" mf_wait_until 5 normal "$MF_WIN"
mf_check "and the time runs again" mf_wait_until 5 time_past "$still"
for round in 2 3; do
    mf_key "$MF_WIN" ctrl+m
    mf_check "Ctrl+M again ($round): iconic" mf_wait_until 5 iconic "$MF_WIN"
    xdotool windowactivate "$MF_WIN" 2>/dev/null
    mf_check "restored, normal and active" mf_wait_until 5 normal_and_active "$MF_WIN"
done

mf_check "the restored window shows the game as it was" mf_wait_until 5 cell_shows 3 2 "$MF_TMP/flagged.png"
mf_key "$MF_WIN" ctrl+a
about=$(mf_wait_window "$MF_STARTUP_TITLE") || mf_die "Ctrl+A shows no title window"
mf_check "the About window has the keyboard" mf_wait_until 5 is_active "$about"
mf_geometry "$about"
mf_click "$about" 100 200
mf_check "a click takes it away" mf_wait_no_window "$MF_STARTUP_TITLE" 5
mf_geometry "$MF_WIN"
mf_check "the game is where it was" mf_wait_until 5 cell_shows 3 2 "$MF_TMP/flagged.png"

# ------------------------------------------------------ 3. the boss key ---
boss_up() { [[ $(mf_find_window "$BOSS_TITLE") != "$MF_WIN" ]] && mf_find_window "$BOSS_TITLE" >/dev/null; }
# A player hides the game many times in one sitting: five rounds in one
# process, Ignore pressed through the accessibility bus and by the keyboard
# (Escape) in turn. The window must stay iconic while the message is up (a
# window manager may bring a window back when a box of its program shows)
# and come back active (one may refuse a program's own restore).
for round in 1 2 3 4 5; do
    mf_key "$MF_WIN" ctrl+c
    mf_check "Ctrl+C ($round) shows the fake message" mf_wait_until 5 boss_up
    boss=$(mf_find_window "$BOSS_TITLE")
    mf_check "the message has the keyboard" mf_wait_until 5 is_active "$boss"
    codes=("$(boss_code)")
    mf_check "the game window is iconic" iconic "$MF_WIN"
    mf_check "and called \"$BOSS_TITLE\"" test "$(mf_window_title "$MF_WIN")" == "$BOSS_TITLE"
    ((round > 1)) || mf_screenshot "$art"-boss root >/dev/null
    retries=$((round == 1 ? 2 : 1))
    for ((k = 1; k <= retries; k++)); do
        mf_atspi press "$BOSS_TITLE" Retry >/dev/null
        sleep 0.5
        codes+=("$(boss_code)")
        mf_check "after Retry the game window is still iconic" iconic "$MF_WIN"
    done
    mf_log "codes: ${codes[*]}"
    for code in "${codes[@]}"; do
        mf_check "code $code is 8 digits of 0-9 and A-F" grep -qxE '[0-9A-F]{8}' <<<"$code"
    done
    mf_check "each Retry gives a new code" test "$(printf '%s\n' "${codes[@]}" | sort -u | wc -l)" = "${#codes[@]}"
    if ((round % 2)); then
        mf_atspi press "$BOSS_TITLE" Ignore >/dev/null
    else
        xdotool key Escape
    fi
    mf_check "Ignore ($round) restores the game window, active" mf_wait_until 5 normal_and_active "$MF_WIN"
    mf_check "with its own title" mf_wait_until 5 test "$(mf_window_title "$MF_WIN")" == "$MF_TITLE"
done
mf_check "and the game as it was" mf_wait_until 5 cell_shows 3 2 "$MF_TMP/flagged.png"

# ------------------------------------------------- 4. Alt+F4 and Yes ---
mf_record_start "$art"-farewell
if [[ $MF_WM == mutter-wayland ]]; then
    # XTEST keys reach XWayland's clients, not the compositor's own keys:
    # the close request is sent as its Alt+F4 would send it.
    mf_close_window "$MF_WIN"
else
    mf_key "$MF_WIN" alt+F4
fi
mf_check "Alt+F4 asks" mf_wait_until 5 question_up
xdotool key y
mf_check "Yes ends the program" mf_wait_exit 10
mf_record_stop >/dev/null
mf_check "with exit status 0" test "$MF_EXIT" = 0
mf_check "after the farewell sound" mf_heard "$MF_REC_FILE"

# ----------------------------------- 5. close during a loss; Abort ---
mf_start_game default
mf_open_main
mf_board_top
mf_key "$MF_WIN" ctrl+e
sleep 0.5
mf_geometry "$MF_WIN"
recording_has_sound() {
    local n
    n=$(LC_ALL=C tr -d '\000' <"$MF_REC_RAW" 2>/dev/null | head -c 1 | wc -c)
    ((n > 0))
}
sound_within_half_a_second() {
    local k
    for ((k = 0; k < 10; k++)); do
        recording_has_sound && return 0
        sleep 0.05
    done
    return 1
}
mf_record_start "$art"-close-during-loss
lost=no
for ((c = 1; c <= 14; c++)); do
    for ((r = 1; r <= 14; r++)); do
        pointer_away
        clicked=$(date +%s%N)
        mf_click_cell "$c" "$r"
        if sound_within_half_a_second; then
            lost=yes
            mf_close_window "$MF_WIN"
            break 2
        fi
    done
done
mf_check "a cell exploded" test "$lost" = yes
mf_check "the question comes" mf_wait_until 10 question_up
asked_ms=$((($(date +%s%N) - clicked) / 1000000))
mf_record_stop >/dev/null
mf_log "question $asked_ms ms after the click that lost; explosion $(mf_sound_length "$MF_REC_FILE") s recorded"
# Timed from before the click, a busy machine can only make the question
# later: the 1.6 s explosion must have sounded, while a question that did not
# wait for it would follow the heard explosion and the close request at once.
mf_check "only once the explosion has sounded (over 1400 ms after the click)" test "$asked_ms" -ge 1400
mf_screenshot "$art"-close-during-loss root >/dev/null
xdotool key n
mf_check "No keeps the game" mf_wait_until 5 mf_no_window "$MF_STARTUP_TITLE"
mf_check "the program still runs" mf_running
sleep 2 # a laugh may follow the explosion

mf_record_start "$art"-abort
mf_key "$MF_WIN" ctrl+c
mf_check "Ctrl+C shows the fake message" mf_wait_until 5 boss_up
mf_atspi press "$BOSS_TITLE" Abort >/dev/null
mf_check "Abort ends the program at once" mf_wait_exit 3
mf_record_stop >/dev/null
mf_check "with exit status 0" test "$MF_EXIT" = 0
mf_check "without a sound" mf_silent "$MF_REC_FILE"
mf_check "and without the question" mf_no_window "$MF_STARTUP_TITLE"

mf_finish
