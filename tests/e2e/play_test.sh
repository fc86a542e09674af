#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Playing rounds to their end.
#
# 1. Expert, lost: cells are pressed with the left button column by column
#    until the explosion is heard on the sound sink. The explosion plays for
#    more than a second, the whole board is uncovered, the explosion picture
#    lies over it and the reset button shows a face instead of its word; the
#    program then answers Ctrl+R with a fresh covered board.
# 2. Custom 1 x 1, won: the custom dialog (File, New Game, Custom...) with
#    Custom selected and the size bar at its minimum (Home on the size bar,
#    which has the keyboard focus when the dialog opens) makes a board of one
#    cell. Its first press wins: the win sound plays, nobody is asked for a
#    name and the record file is left as it was.
# Many helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

CUSTOM_TITLE='-=:Custom:=-'
INPUT_TITLE='Congratulations!'

# Colours of the explosion picture; nothing else in the game uses them.
BLAST_COLOURS='FF8000 FFC400 FFF060'

# board_census IMAGE TOP SIZE : prints "covered uncovered blast" for a
# screenshot of the game window with a SIZE x SIZE board below a menu bar of
# TOP pixels. A covered cell is drawn as a raised button whose top and left
# edges are white; an uncovered cell's picture has a dark grey (#808080) top
# edge. blast counts the pixels of the explosion's colours in the picture.
board_census() {
    python3 - "$1" "$2" "$3" "$MF_CELL_X0" "$MF_CELL_Y0" "$MF_CELL_PITCH" "$BLAST_COLOURS" <<'PY'
import subprocess, sys
path, top, n, x0, y0, pitch = sys.argv[1], *map(int, sys.argv[2:7])
blast = {bytes.fromhex(c) for c in sys.argv[7].split()}
ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"],
                     check=True, capture_output=True).stdout
fields, pos = [], 0
while len(fields) < 4:  # P6 width height maxval, then one blank
    while ppm[pos:pos + 1].isspace():
        pos += 1
    start = pos
    while not ppm[pos:pos + 1].isspace():
        pos += 1
    fields.append(ppm[start:pos])
width, height = int(fields[1]), int(fields[2])
data = ppm[pos + 1:]
def pixel(x, y):
    if not (0 <= x < width and 0 <= y < height):
        return None
    i = 3 * (y * width + x)
    return data[i:i + 3]
white, dark = b"\xff\xff\xff", b"\x80\x80\x80"
covered = uncovered = 0
for c in range(n):
    for r in range(n):
        left, upper = x0 + pitch * c, top + y0 + pitch * r
        edge_top = [pixel(left + k, upper) for k in range(2, 22)]
        edge_left = [pixel(left, upper + k) for k in range(2, 22)]
        if all(p == white for p in edge_top + edge_left):
            covered += 1
        elif sum(p == dark for p in edge_top) >= 15:
            uncovered += 1
hot = sum(1 for i in range(0, 3 * width * height, 3) if data[i:i + 3] in blast)
print(covered, uncovered, hot)
PY
}

# xdotool's "mousemove --sync", which mf_click and mf_key use, waits for the
# pointer to move and so stalls when it is at its target already: the
# pointer is sent to an empty corner of the screen first.
pointer_away() { xdotool mousemove 1023 767; }
click() { pointer_away && mf_click "$@"; }
key() { pointer_away && mf_key "$@"; }
press_cell() { pointer_away && mf_click_cell "$@"; }

at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }

# The middle of the status strip, where the reset button stands, as a file.
reset_area() {
    local shot=$1 out=$2 width
    width=$(identify -format %w "$shot") || return 1
    convert "$shot" -crop "70x48+$((width / 2 - 35))+$((MF_TOP + 4))" +repage "$out"
}

same_image() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }

# await_board NAME SIZE TIMEOUT CONDITION : takes screenshots NAME of the
# game window until the census of its SIZE x SIZE board (covered, uncovered,
# hot, and shot for the file) meets the arithmetic CONDITION, or the timeout
# runs out (1). The census of the last screenshot is left in those variables.
await_board() {
    local name=$1 size=$2 timeout=$3 condition=$4
    local deadline=$((SECONDS + timeout))
    while true; do
        shot=$(mf_screenshot "$name") || return 1
        read -r covered uncovered hot < <(board_census "$shot" "$MF_TOP" "$size")
        # shellcheck disable=SC2004  # the condition is an expression
        (($condition)) && return 0
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

mf_setup
mf_start_game default
records_at_start=$MF_TMP/records-at-start
cp "$MF_WORKDIR/Vorask7.fez" "$records_at_start"
mf_open_main
mf_board_top

# ------------------------------------------------------ Expert, lost ---

w0=$MF_WIN_W
key "$MF_WIN" ctrl+e
expert_size() { mf_geometry "$MF_WIN" && ((MF_WIN_W > w0)); }
mf_wait_until 5 expert_size || mf_die "Ctrl+E did not make the window grow to the Expert board"
await_board play-expert-fresh 14 5 'covered == 196'
mf_log "fresh Expert board: $covered covered, $uncovered uncovered, $hot explosion pixels"
mf_check "a fresh Expert board shows 196 covered cells" test "$covered" -eq 196
reset_area "$shot" "$MF_TMP/reset-before.png"

mf_record_start play-loss
mf_press_until_heard 14
mf_log "the round ended after $MF_PRESSES presses (at cell ($MF_PRESSED))"
# While the explosion plays the program does nothing else; wait until it
# (and a laugh that may follow) has been played to the end.
mf_wait_until 15 mf_recording_fell_silent || mf_log "the sound did not end within 15 s"
# Not in a subshell: mf_record_stop must forget the recorder here, or the
# clean-up at the end would stop it again over the saved recording.
mf_record_stop >/dev/null
loss_wav=$MF_REC_FILE
mf_check "a sound was played when a mine was uncovered" mf_heard "$loss_wav"
span=$(mf_sound_span "$loss_wav")
mf_log "sound from first to last audible sample: $span s"
# The explosion is audible for 1.5 s of its 1.6 s; a laugh may follow it.
mf_check "the explosion was played to its end (1.4 s of sound or more)" at_least "$span" 1.4

mf_check "the program still runs after the explosion" mf_running
# The face comes after the explosion sound: wait for it to be drawn.
face_shown() {
    await_board play-loss 14 0 'covered == 0' || return 1
    reset_area "$shot" "$MF_TMP/reset-after.png"
    ! same_image "$MF_TMP/reset-before.png" "$MF_TMP/reset-after.png"
}
mf_check "the reset button has changed (a face instead of the word)" mf_wait_until 5 face_shown
mf_log "after the loss: $covered covered, $uncovered uncovered, $hot explosion pixels"
mf_check "no cell is covered any more after the loss" test "$covered" -eq 0
mf_check "the board is uncovered (the explosion hides no more than 26 cells)" test "$uncovered" -ge 170
mf_check "the explosion picture is on the screen" test "$hot" -ge 400

# The program answers: Ctrl+R starts a fresh round.
key "$MF_WIN" ctrl+r
mf_check "Ctrl+R after the loss shows a fresh covered board without the explosion" \
    await_board play-after-reset 14 10 'covered == 196 && hot == 0'
reset_area "$shot" "$MF_TMP/reset-again.png"
mf_check "the reset button shows its word again" \
    same_image "$MF_TMP/reset-before.png" "$MF_TMP/reset-again.png"

# ---------------------------------------------------- Custom 1 x 1, won ---

expert_w=$MF_WIN_W expert_h=$MF_WIN_H

# Custom... through the menu's access keys; sets dlg.
open_custom() {
    key "$MF_WIN" alt+f n c
    dlg=$(mf_wait_window "$CUSTOM_TITLE" 10) || mf_die "File, New Game, Custom... did not open \"$CUSTOM_TITLE\""
    sleep 0.2 # let the dialog settle before it is given keys
}

# First Custom is selected (a click on its option) and the dialog closed
# with OK: the board is Custom at Expert's size.
open_custom
mf_screenshot play-custom-open "$dlg" >/dev/null
click "$dlg" $((8 + 36)) $((104 + 11)) || mf_die "cannot click the Custom option"
dialog_tall() { mf_geometry "$dlg" && ((MF_WIN_H >= 176 + 17)); }
mf_check "selecting Custom makes the dialog tall enough for its scroll bars" mf_wait_until 5 dialog_tall
mf_screenshot play-custom-selected "$dlg" >/dev/null
key "$dlg" alt+o
mf_check "Alt+O closes the custom dialog" mf_wait_no_window "$CUSTOM_TITLE" 5

# Opened again, the dialog shows Custom with the keyboard focus on the size
# bar: Home takes it to 1, and Alt+O starts a one-cell board.
open_custom
key "$dlg" Home
mf_screenshot play-custom-home "$dlg" >/dev/null
key "$dlg" alt+o
mf_wait_no_window "$CUSTOM_TITLE" 5 || mf_die "Alt+O did not close the custom dialog"
# One cell: the board spans client x 8 to 34, far less than Expert's width.
one_cell() { mf_geometry "$MF_WIN" && ((MF_WIN_W < expert_w && MF_WIN_H < expert_h)); }
mf_check "Home on the focused size bar and OK make the window shrink" mf_wait_until 5 one_cell
if ! one_cell; then
    # Get to size 1 anyway, with clicks on the size bar's left arrow, so
    # that the rest can still be tried.
    mf_log "setting the size with the size bar's left arrow instead"
    open_custom
    for ((k = 0; k < 14; k++)); do
        click "$dlg" $((56 + 8)) $((176 + 8)) || mf_die "cannot click the size bar"
    done
    mf_screenshot play-custom-arrow "$dlg" >/dev/null
    key "$dlg" alt+o
    mf_wait_no_window "$CUSTOM_TITLE" 5 || mf_die "Alt+O did not close the custom dialog"
    mf_wait_until 5 one_cell || mf_die "the window did not shrink to a one-cell board"
fi
mf_geometry "$MF_WIN"
mf_log "client area of the custom board: ${MF_WIN_W}x${MF_WIN_H}"
mf_check "the custom board is one covered cell" await_board play-custom-one 1 5 'covered == 1'
one=$shot
no_second_cell() {
    local two
    read -r two _ _ < <(board_census "$one" "$MF_TOP" 2)
    ((two == 1))
}
mf_check "there is no second covered cell beside or below it" no_second_cell
mf_check "the window holds no more than a one-cell board and the status strip" \
    test "$MF_WIN_H" -lt $((MF_TOP + MF_CELL_Y0 + 2 * MF_CELL_PITCH))

mf_record_start play-win
press_cell 1 1 || mf_die "cannot press cell (1, 1)"
mf_wait_until 10 mf_recording_fell_silent || mf_log "no sound ended within 10 s of the press"
# Whatever would ask for a name would have shown up by now; look a little
# longer all the same.
asked=0
for ((k = 0; k < 20; k++)); do
    if mf_find_window "$INPUT_TITLE" >/dev/null; then
        asked=1
        break
    fi
    sleep 0.1
done
mf_record_stop >/dev/null
win_wav=$MF_REC_FILE
mf_check "a sound was played when the one cell was uncovered" mf_heard "$win_wav"
span=$(mf_sound_span "$win_wav")
mf_log "sound from first to last audible sample: $span s"
# The win sound is audible for 0.98 s, the record sound for 1.48 s.
win_length() { at_least "$span" 0.85 && at_most "$span" 1.4; }
mf_check "it was the win sound (about 1 s), not the explosion or the record sound" win_length
mf_check "nobody was asked for a name (no \"$INPUT_TITLE\" window)" test "$asked" -eq 0
mf_check "no Hall of Fame window came up" mf_no_window '-=:Hall Of Fame:=-'
mf_check "the one cell is uncovered" await_board play-custom-won 1 5 'uncovered == 1'
mf_check "no explosion is shown after a win" test "$hot" -eq 0
mf_check "the record file is unchanged" cmp "$records_at_start" "$MF_WORKDIR/Vorask7.fez"
mf_check "the program still runs" mf_running
mf_finish
