#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game played with Orca, Debian's screen reader, under a window manager:
# what Orca says is read from its log. Orca's speech is on, with no speech
# server, so its own messages are logged too and nothing is heard.
# Beginner, safe corners.
#
# 0. Orca's own words ("Screen reader on.") reach the log, and no speech
#    server was loaded to say them.
# 1. Tab from the Reset button, which has the focus at first, onto the
#    board: Orca reads the focus cell, its place and the mines left
#    ("covered", "column 1, row 1, 6 mines left"), not the board's pane.
# 2. F plants a flag on it, Space takes it away and Space again opens it:
#    each time Orca says what the cell has become ("flag", "covered",
#    "empty" or a digit) without the player moving, after a flag's change
#    with the mines left, and never the place again.
# 3. Space and Right through the board until the game ends: Orca says what
#    the last cell pressed became, that the game is lost or won (in how
#    many seconds) and the face on the reset button.
#    Tab reaches the face button, and Enter on it starts a new game, which
#    Orca announces.
# Many helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=tests/e2e/atspi.sh
source "$(dirname "${BASH_SOURCE[0]}")/atspi.sh"

FACES='(startled|laughing|skull|growling) face|face with sunglasses'
CELLS='covered|flag|empty|[1-8]|mine|exploded mine|wrong flag'

pointer_away() { xdotool mousemove 1023 767; }
# key KEY : one key to the game, after a fresh mark in Orca's log.
key() { mf_orca_mark && pointer_away && mf_key "$MF_WIN" "$1"; }
speech() { mf_orca_speech | paste -sd '|'; }
# said REGEX... : Orca says these utterances in this order within 10 s.
said() { mf_orca_says 10 "$@"; }
no_pane() { ! mf_orca_speech | grep '^panel' >/dev/null; }
own_words() {
    mf_orca_said 'Screen reader on\.' && grep -q 'SPEECH: Not available' "$MF_ORCA_LOG" &&
        ! grep -q 'SPEECH: Using speech server' "$MF_ORCA_LOG"
}
side() { local board; board=$(mf_atspi board) && [[ ${board%%$'\n'*} == "SIZE $1" ]]; }

mf_setup
mf_start_wm
mf_atspi_setup
mf_orca_start
mf_start_game default
mf_open_main
mf_atspi wait "$MF_TITLE" || mf_die "the game window is not on the accessibility bus"
said ' ?-=:Marrowfen 2:=- frame\.' || mf_die "Orca did not read the game window: $(speech)"
# The Reset button has the focus from the start; Tab goes on to the board.
mf_check "Orca starts on the Reset button" said ' ?-=:Marrowfen 2:=- frame\.' 'Reset push button\.'
mf_check "Orca's own words are logged, and no speech server says them" own_words
key ctrl+b
mf_wait_until 10 side 6 || mf_die "Ctrl+B gave no Beginner board"

# ------------------------------------------------ Tab onto the board ---

key Tab
mf_check "Tab onto the board: Orca reads the focus cell, its place and the mines left" \
    said 'covered\.' 'column 1, row 1, 6 mines left\.'
mf_check "and not the board's pane" no_pane

# ------------------------------------------ the cell changes in place ---

# no_place : Orca has said no place since the mark, a second later.
no_place() { sleep 1 && ! mf_orca_speech | grep -E 'column [0-9]+, row [0-9]+' >/dev/null; }
key f
mf_check "F: Orca says \"flag\" at once, then the mines left" \
    said 'flag\.' '5 mines left\.'
mf_check "and not the place, where the focus already is" no_place
key space
mf_check "Space on the flag: Orca says \"covered\", then the mines left" \
    said 'covered\.' '6 mines left\.'
mf_check "and not the place" no_place
key space
mf_check "Space on the safe corner: Orca says what it became" \
    said '(empty|[1-8])\.'
mf_check "and not the place" no_place

# ------------------------------------------------------ the game ends ---

face_shows() { [[ $(mf_atspi buttons) =~ face ]]; }
mf_orca_mark
ended=''
for ((step = 0; step < 36; step++)); do
    pointer_away && mf_key "$MF_WIN" space Right
    if ((step % 6 == 5)); then
        pointer_away && mf_key "$MF_WIN" Home Down
    fi
    if face_shows; then
        ended=yes
        break
    fi
done
mf_check "Space and Right through the board end the game" test -n "$ended"
mf_check "Orca says what the last cell became, then the end in words and the face" \
    said "($CELLS)\\." 'column [1-6], row [1-6]\.' \
    "(($CELLS), )?game (lost|won in [0-9]+ seconds?), ($FACES)\\."
key Tab
mf_check "Tab from the board to the face: Orca names it" said "($FACES) push button\\."
key Return
mf_check "Enter on it starts a new game, and the focus stays in its place" said 'Reset push button\.'
mf_check "the new board is announced" said 'Beginner, 6 by 6, 6 mines\.?'
cp "$MF_ORCA_LOG" "$MF_ARTIFACTS/screen-reader-orca.log"
mf_check "the program still runs" mf_running
mf_finish
