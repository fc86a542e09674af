#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A whole session of a player who cannot see the screen, in one process:
# keys only, and only what AT-SPI and Orca's log give, no pixels. Orca runs
# with its speech on and no speech server (tests/e2e/orca_run.py).
#
# 1. The title window says that a key goes on; every new board is
#    announced once with its level, side and mines; Orca's status-bar
#    command reads the clock and the counter.
# 2. On the board: F always says "flag" and the mines left (also on the
#    path Tab, Right, Space, Right until a covered cell, F), Space on the
#    flag "covered", neither the place again, where the focus already is;
#    Space on an open cell says why nothing happened; Ctrl+R says the new
#    board before the cell; Tab onto the board gives the mines left; with
#    Orca switched to single cells (Insert+F11), Down says one cell and its
#    place, not a row.
# 3. A solver that knows the cells only by their names plays Beginner until
#    it wins: the end is said in words, then the record question with the
#    level and the time; the name typed is heard in the Hall of Fame. A
#    game is lost and heard as lost.
# 4. The custom dialog by keyboard: opened on Beginner, it names the level
#    first, and the bars say that the level holds them and do not move;
#    with Custom, named bars that speak their values, Right, Up and Page Up
#    larger, Left, Down and Page Down smaller, Enter on OK; then help (its
#    keys read, Escape closes it), the Hall of Fame from the menu (records
#    read once, Escape closes it), About, the boss key and the quit
#    question's No: each is read, and afterwards Orca says where the focus
#    is back.
# Many helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=tests/e2e/atspi.sh
source "$(dirname "${BASH_SOURCE[0]}")/atspi.sh"

FACES='(startled|laughing|skull|growling) face|face with sunglasses'
CELLS='covered|flag|empty|[1-8]|mine|exploded mine|wrong flag'
PLAYER='Blind Tester'
BACK="(($FACES|Reset) push button|$CELLS)\\."
CUSTOM='-=:Custom:=-'
FAME='-=:Hall Of Fame:=-'

pointer_away() { xdotool mousemove 1023 767; }
# game KEY... : keys to the game window; keys KEY... : to whatever window
# has the focus (a dialog). Both after a fresh mark in Orca's log.
game() {
    mf_orca_mark && pointer_away && xdotool windowfocus --sync "$MF_WIN" &&
        xdotool key --clearmodifiers --delay 60 "$@"
}
keys() { mf_orca_mark && xdotool key --clearmodifiers --delay 60 "$@"; }
speech() { mf_orca_speech | paste -sd '|'; }
# said REGEX... : Orca says whole utterances matching these, in this order,
# within 6 s; heard REGEX : what it says matches, in one utterance or over
# several (joined by "|"). What it said is logged either way.
said() { mf_orca_says 6 "$@"; }
heard_now() { speech | grep -Ei -- "$1" >/dev/null; }
heard() {
    local status=0
    mf_wait_until 6 heard_now "$1" || status=1
    mf_log "Orca: $(speech | tail -c 600)"
    return "$status"
}
not_heard() { ! heard_now "$1"; }
# once REGEX : exactly one utterance matches, a second later.
once() {
    said "$1" || return 1
    sleep 1
    (($(mf_orca_speech | grep -Ecx -- "$1") == 1))
}
board_said() { once "$1, $2 by $2, $3 mines\\.?"; }
focused() { mf_atspi focused "$1"; }
focus_cell() { mf_atspi focus; }
# focus_is TITLE NAME : the bar of that name has the focus in that window.
focus_is() {
    local bar="^(scroll bar|spin button)"$'\t'"$2"$'\t'
    [[ $(focused "$1") =~ $bar ]]
}
# tab_to TITLE REGEX : Tab until "role<TAB>name" of the focus matches.
tab_to() {
    local i
    for ((i = 0; i < 14; i++)); do
        [[ $(focused "$1") =~ $2 ]] && return 0
        keys Tab
        sleep 0.2
    done
    return 1
}
value() { focused "$1" | cut -f3 | grep -x '[0-9]*' || echo 0; }
value_now() { [[ $(value "$CUSTOM") == "$1" ]]; }
value_is() { mf_wait_until 3 value_now "$1"; }
window_shows() { mf_find_window "$1" >/dev/null; }
window_up() { mf_atspi wait "$1" 5 && mf_wait_window "$1" 5 >/dev/null; }

started=$SECONDS
mf_setup
mf_start_wm
mf_atspi_setup
mf_orca_start
mf_start_game default

# ----------------------------------------- the title window, new boards ---

startup=$(mf_wait_window "$MF_STARTUP_TITLE") || mf_die "no title window"
mf_check "the title window says its title and that a key goes on" \
    heard 'Marrowfen 2.*(any key|a key)'
mf_orca_mark
mf_key "$startup" x
MF_WIN=$(mf_wait_window "$MF_TITLE") || mf_die "a key on the title window did not open the game"
mf_open_main
mf_atspi wait "$MF_TITLE" || mf_die "the game window is not on the accessibility bus"
said 'Reset push button\.' || mf_die "Orca did not reach the Reset button: $(speech)"
game ctrl+s # sound off: a lost game's explosion would hold the game up

game ctrl+i
mf_check "Ctrl+I: \"Intermediate, 11 by 11, 24 mines\", once" board_said Intermediate 11 24
game ctrl+e
mf_check "Ctrl+E: \"Expert, 14 by 14, 49 mines\", once" board_said Expert 14 49
game ctrl+r
mf_check "Ctrl+R: the same board again, once" board_said Expert 14 49
game Return
mf_check "Enter on Reset: the new board, once" board_said Expert 14 49
game ctrl+b
mf_check "Ctrl+B: \"Beginner, 6 by 6, 6 mines\", once" board_said Beginner 6 6

game Insert+KP_Enter Insert+KP_Enter
mf_check "the status-bar command reads the clock and the counter" \
    heard 'TIME: +0.*MINES: +6|MINES: +6.*TIME: +0'
mf_check "and finds the status bar" not_heard 'status bar not found'

# ----------------------------------------------------------- the board ---

# The path on which F was silent: Tab, Right, Space (cells open), Right
# until a covered cell, F. Space may hit a mine: then the loss is heard and
# a new board tried.
lost_heard=''
flagged=''
for ((try = 0; try < 6; try++)); do
    [[ $(focused "$MF_TITLE") == 'push button'* ]] || game Tab
    game Tab Right space
    sleep 0.5
    if [[ $(mf_atspi board) =~ mine ]]; then
        mf_check "Space on a mine: the game is heard as lost" \
            said "(($CELLS), )?game lost, ($FACES)\\."
        lost_heard=yes
        game ctrl+b
        board_said Beginner 6 6 >/dev/null
        continue
    fi
    for ((i = 0; i < 4; i++)); do
        [[ $(focus_cell) == *$'\t'covered ]] && break
        game Right
        # The focus moves at once, but Orca may say so late: heard after the
        # mark for F, the place would be taken for F's.
        said 'column [0-9]+, row [0-9]+.*' || true
    done
    place=$(focus_cell | cut -f1,2)
    if [[ $place =~ ^([0-9]+)$'\t'([0-9]+)$ && $(focus_cell) == *covered ]]; then
        c=${BASH_REMATCH[1]} r=${BASH_REMATCH[2]}
        flagged=yes
        break
    fi
    game ctrl+b
done
# no_place : Orca has said no place since the mark, a second later.
no_place() { sleep 1 && ! mf_orca_speech | grep -E 'column [0-9]+, row [0-9]+' >/dev/null; }
if [[ -n $flagged ]]; then
    game f
    mf_check "F after Tab, Right, Space, Right: \"flag\" and the mines left" \
        said 'flag\.' '5 mines left\.'
    mf_check "and not the place, where the focus already was" no_place
    game space
    mf_check "Space on the flag: \"covered\" and the mines left" \
        said 'covered\.' '6 mines left\.'
    mf_check "and not the place again" no_place
    # Orca reads a table's whole row on Up and Down; Insert+F11 switches it
    # to the single cell, as README says.
    game Insert+F11
    mf_check "Insert+F11: Orca speaks single cells" said 'Speak cell'
    game Down
    mf_check "Down says the new cell and its place" \
        said "($CELLS)\\." "column $c, row $((r + 1))\\."
    mf_check "and not the whole row" \
        test "$(mf_orca_speech | grep -Ecx "($CELLS)\\.")" -le 1
    game Up
    game Left space
    mf_check "Space on an open cell says why nothing happened" \
        said "([1-8]|empty), already open\\."
    game ctrl+r
    mf_check "Ctrl+R on the board: the new board first, then the place, in one" \
        said "Beginner, 6 by 6, 6 mines, column 1, row 1\\."
    mf_check "and no cell before it" \
        test "$(mf_orca_speech | head -n 1)" = 'Beginner, 6 by 6, 6 mines, column 1, row 1.'
    game Tab
    said "Reset push button\\." >/dev/null
    game Tab
    mf_check "Tab onto the board: the cell, its place and the mines left, once" \
        said 'covered\.' 'column 1, row 1, 6 mines left\.'
    # A key at a time: Orca drops the speech of a focus that a second key
    # has already moved on from.
    on_and_back() {
        game Right && said 'covered\.' 'column 2, row 1\.' &&
            game Left && said 'covered\.' 'column 1, row 1\.'
    }
    mf_check "and not again as the focus moves on and back" on_and_back
else
    mf_check "the path Tab, Right, Space, Right came to a covered cell" false
fi

# --------------------------------------------------- a game won, a game lost ---

solve() {
    mf_orca_mark
    pointer_away && xdotool windowfocus --sync "$MF_WIN"
    MF_ORCA_LOG=$MF_ORCA_LOG timeout 150 /usr/bin/python3 "$MF_ATSPI_PY" solve "$1" >"$MF_TMP/moves" 2>>"$MF_TMP/solver.log"
    local status=$?
    mf_log "solver ($1): $(paste -sd ' ' "$MF_TMP/moves" | tail -c 600)"
    return $status
}
# The regexes of what Orca says to the solver's flags, in order.
flags_said() {
    local words=() left
    while read -r _ _ left; do
        words+=('flag\.' "$left $( ((left == 1)) && echo mine || echo mines) left\\.")
    done < <(sed -n 's/^flag //p' "$MF_TMP/moves")
    ((${#words[@]} == 0)) || said "${words[@]}"
}
won_in='' # the seconds of the game won, as Orca said them
won_said() {
    said "(($CELLS), )?game won in [0-9]+ seconds?, ($FACES)\\." || return 1
    won_in=$(mf_orca_speech | sed -nE 's/.*game won in ([0-9]+) seconds?, .*/\1/p' | tail -n 1)
    mf_orca_speech | grep -E "game won in $won_in $( ((won_in == 1)) && echo second || echo seconds), " >/dev/null
}
# What Orca says after the won game's words, the record question's box up.
after_win() { mf_orca_speech | sed '1,/game won in/d' | paste -sd '|'; }
record_question_read() {
    local words
    words=$(after_win)
    [[ $words =~ Enter\ Your\ Name && $words =~ Beginner && $words =~ [0-9]+\ seconds? ]]
}
clear_named() { mf_atspi texts "$FAME" | grep -x $'push button\tClear High Scores' >/dev/null; }
solve win || mf_log "the solver did not win"
mf_check "the solver wins a Beginner game by the cells' names" test "$(tail -n 1 "$MF_TMP/moves")" = won
mf_check "each F it pressed said \"flag\" and the mines left" flags_said
if grep -qx lost "$MF_TMP/moves"; then
    mf_check "a game it lost is heard as lost" said "(($CELLS), )?game lost, ($FACES)\\."
    mf_check "each new board after it is announced once" \
        test "$(mf_orca_speech | grep -Ecx "Beginner, 6 by 6, 6 mines(, column 1, row 1)?\\.?")" = \
        "$(grep -cx new "$MF_TMP/moves")"
    lost_heard=yes
fi
mf_check "the won game is heard as won, with its time, then the face" won_said

# The record question, then the Hall of Fame with the name typed.
if window_up Congratulations!; then
    mf_check "the record question is read with the level and the time" \
        mf_wait_until 6 record_question_read
    mf_log "Orca: $(after_win | tail -c 600)"
    mf_orca_mark
    xdotool type --delay 40 "$PLAYER"
    keys Return
    mf_check "the Hall of Fame opens after the name" window_up "$FAME"
    mf_check "and reads its three records, the new name with its time among them" \
        heard "Beginner.*$PLAYER.*[^0-9]${won_in}[^0-9].*Intermediate.*Anonymous.*Expert"
    mf_check "its button reads \"Clear High Scores\", without stray blanks" clear_named
    keys Return
    mf_check "Enter on its OK closes it" mf_wait_no_window "$FAME" 10
    mf_check "and Orca says where the focus is back" said "$BACK"
else
    mf_check "a win asks for the name of the record's holder" false
fi

if [[ -z $lost_heard ]]; then
    game ctrl+b
    board_said Beginner 6 6 >/dev/null
    solve lose
    mf_check "a game lost on purpose is heard as lost" \
        said "(($CELLS), )?game lost, ($FACES)\\."
fi

# -------------------------------------------------- the custom dialog ---

game ctrl+b
[[ $(focused "$MF_TITLE") == 'push button'* ]] || game Tab
# File, New Game, Custom...; again after Escape should Alt+F go astray
custom_menu() {
    sleep 1
    game alt+f && sleep 0.5 && keys n && sleep 0.5 && keys c
    window_up "$CUSTOM" || { keys Escape Escape && false; }
}
mf_check "the custom dialog opens from the File menu" mf_wait_until 20 custom_menu
mf_check "and is read by its title" heard "$CUSTOM dialog"
mf_check "its first utterance names the level chosen, Beginner" \
    test "$(mf_orca_speech | grep -m 1 -F -e "$CUSTOM")" = "$CUSTOM dialog Beginner 6 by  6 18%"
mf_check "the Size bar has the focus first" focus_is "$CUSTOM" Size
mf_check "and says that the level holds it and Custom frees it" \
    heard 'set by Beginner; choose Custom to change it'
for key in Right Up Page_Up End Left Down; do
    keys "$key"
    mf_check "$key on the held bar says why it does not move" \
        said 'set by Beginner; choose Custom to change it\.'
    mf_check "and it stays at 6" value_is 6
done
# The level buttons are one group: Tab enters it, Down moves on to Custom.
tab_to "$CUSTOM" $'^radio button\t'
for ((i = 0; i < 4; i++)); do
    [[ $(focused "$CUSTOM") == $'radio button\tCustom\t' ]] || keys Down
done
mf_check "the Custom button says the size it keeps" heard 'Custom.*[0-9]+ by [0-9]+'
mf_check "Tab reaches the Size scroll bar, by its name" tab_to "$CUSTOM" $'^(scroll bar|spin button)\tSize\t'
# Unnamed, the size is the one before the level buttons in the tab order.
focus_is "$CUSTOM" Size ||
    { tab_to "$CUSTOM" $'^radio button\t' && keys shift+Tab; }
size=$(value "$CUSTOM")
mf_check "Orca names it and says its value as the label shows it" \
    heard "Size.*$size by $size|$size by $size.*Size"
# Left first: the size may stand at its largest.
keys Left
mf_check "Left makes the size smaller" value_is $((size - 1))
mf_check "and Orca says it as the label shows it" said ".*$((size - 1)) by $((size - 1)).*"
keys Right
mf_check "Right makes it larger" value_is "$size"
mf_check "and Orca says so" said ".*$size by $size.*"
keys Down
mf_check "Down makes it smaller" value_is $((size - 1))
keys Up
mf_check "Up makes it larger, as in a spin button" value_is "$size"
mf_check "and Orca says so" said ".*$size by $size.*"
keys Page_Down
mf_check "Page Down makes it smaller" value_is $((size - 1))
keys Page_Up
mf_check "Page Up makes it larger" value_is "$size"
keys Home
mf_check "Home goes to the smallest side, 1" value_is 1
keys End
mf_check "End to the largest, 14" value_is 14
for ((i = 0; i < 14; i++)); do
    size=$(value "$CUSTOM")
    [[ $size =~ ^[0-9]+$ && $size != 9 ]] || break
    keys "$( ((size < 9)) && echo Right || echo Left)"
    sleep 0.2
done
mf_check "Tab reaches the Mine Density scroll bar, by its name" \
    tab_to "$CUSTOM" $'^(scroll bar|spin button)\tMine Density\t'
# Unnamed, the density is the one after the level buttons.
focus_is "$CUSTOM" 'Mine Density' ||
    { tab_to "$CUSTOM" $'^radio button\t' && keys Tab; }
density=$(value "$CUSTOM")
mf_check "Orca names it and says its value with the percent sign" \
    heard "Mine Density.*$density ?%|$density ?%.*Mine Density"
keys Left
mf_check "Left makes the density smaller" value_is $((density - 1))
mf_check "and Orca says it with the percent sign" said ".*$((density - 1)) ?%.*"
keys Right
mf_check "Right makes it larger" value_is "$density"
mf_check "and Orca says so" said ".*$density ?%.*"
mf_check "Tab reaches OK" tab_to "$CUSTOM" $'^push button\tOK'
keys Return
mf_check "Enter on the focused OK presses it" mf_wait_no_window "$CUSTOM" 5
mf_no_window "$CUSTOM" || keys space # Space does, so that the session goes on
mf_check "the new board is announced once: \"Custom, 9 by 9, n mines\"" \
    once 'Custom, 9 by 9, [0-9]+ mines\.?'
mf_check "the focus is back on the Reset button, and Orca says it" said 'Reset push button\.'

# -------------------------------------- help, About, boss key, quit ---

game ctrl+h
mf_check "help opens" window_up '-=:Game Help:=-'
mf_check "Orca reads the help window" heard 'Game Help.*(push button|dialog|frame)'
mf_check "and the keys with its button" heard 'Keys: Tab goes between the Reset button and the board'
keys Return
mf_check "Enter closes it" mf_wait_no_window '-=:Game Help:=-' 10
mf_check "the focus is back, and Orca says it" said "$BACK"
game ctrl+h
window_up '-=:Game Help:=-'
keys Escape
mf_check "Escape closes it too, as its close box does" mf_wait_no_window '-=:Game Help:=-' 10
mf_check "the focus is back, and Orca says it" said "$BACK"

# The Hall of Fame from the File menu: the records once, Escape as OK.
fame_menu() {
    sleep 1
    game alt+f && sleep 0.5 && keys h
    window_up "$FAME" || { keys Escape Escape && false; }
}
records='Beginner: .*Intermediate: .*Expert: '
mf_check "the Hall of Fame opens from the File menu" mf_wait_until 20 fame_menu
mf_check "and reads its records" heard "$records"
keys Tab
said '.*Clear High Scores.*' >/dev/null
keys shift+Tab
mf_check "Tab and Shift+Tab back to OK say OK" said 'OK push button\.'
mf_check "but not the records again" not_heard "$records"
keys Escape
mf_check "Escape closes it, as OK does" mf_wait_no_window "$FAME" 10
mf_check "with no question about clearing the records" mf_no_window 'Marrowfen 2'
mf_check "the focus is back, and Orca says it" said "$BACK"

game ctrl+a
mf_check "About: the title window says its title and that a key goes on" \
    heard 'Marrowfen 2.*(any key|a key)'
keys x
mf_check "a key closes it" mf_wait_no_window "$MF_STARTUP_TITLE" 10
mf_check "the focus is back, and Orca says it" said "$BACK"

game ctrl+c
mf_check "the boss key's box is read" heard 'Microsoft Excel.*Memory Sharing Voliation'
tab_to 'Microsoft Excel' $'^push button\tIgnore' && keys Return
mf_check "Ignore, pressed by Enter, brings the game back" mf_wait_until 10 window_shows "$MF_TITLE"
mf_check "the focus is back, and Orca says it" said "$BACK"

game ctrl+q
mf_check "the quit question is read" heard 'Are you sure you want to quit'
tab_to 'Marrowfen 2' $'^push button\tNo' && keys Return
quit_declined() { sleep 1 && mf_running && mf_no_window 'Marrowfen 2'; }
mf_check "No, pressed by Enter, keeps the game" quit_declined
mf_check "the focus is back, and Orca says it" said "$BACK"

cp "$MF_ORCA_LOG" "$MF_ARTIFACTS/$MF_TEST-orca.log"
mf_check "the program still runs" mf_running
mf_log "session took $((SECONDS - started)) s under $MF_WM"
mf_finish
