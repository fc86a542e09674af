#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game read by a screen reader (AT-SPI) and played from the keyboard.
#
# 1. A fresh Intermediate board reads as an 11 x 11 table of "covered"
#    cells, each described by its column and row. The keys go where the
#    focus is: End, Page Down and F on the Reset button, which has it at
#    first, flag nothing and start no clock. Tab and the arrows move the
#    focused cell, and a listener hears the focus move.
# 2. The custom dialog is read and filled in through AT-SPI alone (its
#    option, both scroll bars, its texts, OK): a 4 x 4 board at 5 percent,
#    which has no mine, so every cell is known to be empty.
# 3. Space on a cell of it opens the whole board: every cell reads "empty",
#    and the screenshot shows every cell uncovered with an empty-cell
#    picture; the listener hears the names change.
# 4. Expert, two flags (Enter on the focused cell keeps them), then Space
#    and Right through the board until a mine goes off: every cell's name
#    matches the picture drawn on it, one cell is the exploded mine under
#    the explosion, and the face button is read by the face it shows. Tab
#    reaches the face and Enter on it starts a new game.
# 5. The Hall of Fame and its question before clearing are read and
#    answered through AT-SPI; nothing is cleared.
# Many helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=tests/e2e/atspi.sh
source "$(dirname "${BASH_SOURCE[0]}")/atspi.sh"

CUSTOM_TITLE='-=:Custom:=-'
BLAST_COLOURS='FF8000 FFC400 FFF060'
FACES='startled face|laughing face|skull face'

pointer_away() { xdotool mousemove 1023 767; }
key() { pointer_away && mf_key "$MF_WIN" "$@"; }

# board_is SIZE NAME : the table is SIZE x SIZE and every cell reads NAME.
board_is() {
    local size=$1 name=$2 table
    table=$(mf_atspi board) || return 1
    [[ $(head -n 1 <<<"$table") == "SIZE $size" ]] || return 1
    (($(tail -n +2 <<<"$table" | awk -F'\t' -v n="$name" '$3 == n' | wc -l) == size * size))
}

# Every cell's description names its own column and row.
places_read_right() {
    tail -n +2 <<<"$1" | awk -F'\t' '$4 != "column " $1 ", row " $2 { bad++ } END { exit bad > 0 }'
}

# face_name : the one showing button of the status strip names a face.
face_name() {
    local buttons
    buttons=$(mf_atspi buttons) || return 1
    [[ $(wc -l <<<"$buttons") -eq 1 ]] && grep -Eqx "$FACES" <<<"$buttons" && printf '%s\n' "$buttons"
}

# compare_board SHOT NAMES SKIP_COLUMN SKIP_ROW : checks every cell name of
# the table listing NAMES against the screenshot: "covered" is a raised
# button (white top and left edges), any other name the game's picture for
# it, pixel for pixel in the part of the cell no neighbour overlaps. Cells
# under the explosion are left out; an "exploded mine" must be one of them.
# The focus cell (SKIP) carries the focus rectangle and is left out too.
# Prints "matched N, under the explosion M" and fails on any mismatch.
compare_board() {
    python3 - "$1" "$2" "$MF_TOP" "$MF_CELL_X0" "$MF_CELL_Y0" "$MF_CELL_PITCH" \
        "$MF_REPO/assets/images" "$BLAST_COLOURS" "$3" "$4" <<'PY'
import subprocess, sys
shot, names, top, x0, y0, pitch, assets, blast, skip_c, skip_r = sys.argv[1:11]
top, x0, y0, pitch, skip = int(top), int(x0), int(y0), int(pitch), (int(skip_c), int(skip_r))
blast = {bytes.fromhex(c) for c in blast.split()}

def ppm(path):
    """A pixel reader of an image: (x, y) to its RGB bytes, None outside."""
    w, h = map(int, subprocess.run(["identify", "-format", "%w %h", path], check=True,
                                   capture_output=True, text=True).stdout.split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"],
                         check=True, capture_output=True).stdout
    return lambda x, y: raw[3 * (y * w + x):3 * (y * w + x) + 3] if 0 <= x < w and 0 <= y < h else None

screen = ppm(shot)
pictures = {"flag": ["imgFlag"], "mine": ["ImgBomb"], "wrong flag": ["ImgNoBomb"],
            "empty": ["imgNone1_%d" % k for k in range(5)]}
for v, file in enumerate(["Img1", "Img2", "img3", "img4", "img5", "img6", "img7", "img8"], 1):
    pictures[str(v)] = [file]
loaded = {}
def picture(name):
    if name not in loaded:
        loaded[name] = ppm("%s/%s.png" % (assets, name))
    return loaded[name]

SEEN = 22  # the part of a 26-pixel cell that its right and lower neighbours leave
cells = [line.split("\t")[:3] for line in open(names).read().splitlines()[1:]]
cells = [(int(c), int(r), name) for c, r, name in cells]

def region(c, r):
    return x0 + pitch * (c - 1), top + y0 + pitch * (r - 1)

# The explosion, 64 pixels square, lies where the game puts it for the
# exploded mine: 365 twips a cell from (-120, 720).
blow = None
for c, r, name in cells:
    if name == "exploded mine":
        blow = ((-120 + 365 * (c - 1)) // 15, top + (720 + 365 * (r - 1)) // 15)
def under_blow(c, r):
    if blow is None:
        return False
    left, upper = region(c, r)
    return left < blow[0] + 64 and blow[0] < left + SEEN and upper < blow[1] + 64 and blow[1] < upper + SEEN

matched = exploded = under_blast = 0
bad = []
for c, r, name in cells:
    left, upper = region(c, r)
    pixels = [screen(left + x, upper + y) for y in range(SEEN) for x in range(SEEN)]
    if name == "exploded mine":
        if any(p in blast for p in pixels):
            exploded += 1
        else:
            bad.append("(%d, %d) reads exploded mine but the explosion is not over it" % (c, r))
    if under_blow(c, r):
        under_blast += 1
        continue
    if (c, r) == skip:
        continue
    if name == "covered":
        white = b"\xff\xff\xff"
        ok = all(screen(left + k, upper) == white and screen(left, upper + k) == white
                 for k in range(2, 22))
    elif name in pictures:
        ok = any(all(picture(p)(x, y) == screen(left + x, upper + y)
                     for y in range(SEEN) for x in range(SEEN)) for p in pictures[name])
    else:
        ok = False
    if ok:
        matched += 1
    else:
        bad.append("(%d, %d) reads %r but shows something else" % (c, r, name))
print("matched %d, under the explosion %d, exploded mines named there %d" % (matched, under_blast, exploded))
for b in bad[:10]:
    print(b)
sys.exit(1 if bad else 0)
PY
}

mf_setup
mf_atspi_setup
mf_start_game default
mf_open_main
mf_board_top
mf_atspi wait "$MF_TITLE" || mf_die "the game window is not on the accessibility bus"

# ------------------------------------------------ a fresh board, read ---

table=$(mf_atspi board) || mf_die "cannot read the minefield table"
printf '%s\n' "$table" >"$MF_ARTIFACTS/access-fresh.txt"
mf_check "a fresh Intermediate board is an 11 x 11 table" test "$(head -n 1 <<<"$table")" == "SIZE 11"
mf_check "all of its 121 cells read \"covered\"" board_is 11 covered
mf_check "each cell is described by its own column and row" places_read_right "$table"
mf_check "the status strip shows the word button \"Reset\", no face" \
    test "$(mf_atspi buttons)" == Reset
labels=$(mf_atspi texts "$MF_TITLE")
mf_check "the status labels read as shown" grep -Fqx $'label\tMINES:  24' <<<"$labels"
mf_check "the time label reads as shown" grep -Fqx $'label\tTIME: 0' <<<"$labels"

# ------------------------------------- keys go where the focus is ---

# The word button has the focus from the start: the board's keys are not
# the board's, so no hidden focus cell is flagged and the clock stays.
mf_check "the Reset button has the focus at first" test "$(mf_atspi focused-button)" == Reset
key End Page_Down f
sleep 1.5
mf_check "End, Page Down, F on the Reset button flag nothing" board_is 11 covered
mf_check "and start no clock" grep -Fqx $'label\tTIME: 0' <<<"$(mf_atspi texts "$MF_TITLE")"

events=$MF_ARTIFACTS/access-events.txt
mf_listen_start "$events"
key Tab Right Down
focus_at() { [[ $(mf_atspi focus) == "$1" ]]; }
mf_check "Tab, Right and Down put the focus on (2, 2)" mf_wait_until 5 focus_at $'2\t2\tcovered'
heard_focus() { grep -q $'^object:state-changed:focused\ttable cell\tcovered\tcolumn 2, row 2$' "$events"; }
mf_check "a screen reader hears the focus arrive on (2, 2)" mf_wait_until 5 heard_focus

# ------------------------- the custom dialog, through AT-SPI alone ---

key alt+f n c
dlg=$(mf_wait_window "$CUSTOM_TITLE" 10) || mf_die "File, New Game, Custom... did not open the dialog"
mf_atspi wait "$CUSTOM_TITLE" 10 || mf_die "the custom dialog is not on the accessibility bus"
texts=$(mf_atspi texts "$CUSTOM_TITLE")
printf '%s\n' "$texts" >"$MF_ARTIFACTS/access-custom.txt"
for text in $'label\tSize:' $'label\tMine Density:' $'radio button\tCustom' $'push button\tOK'; do
    mf_check "the custom dialog reads \"${text#*$'\t'}\"" grep -Fqx "$text" <<<"$texts"
done
# The option's Toggle action checks it without the click that the dialog
# listens to; a screen reader user puts the focus on it and presses Space.
mf_atspi press "$CUSTOM_TITLE" Custom SetFocus || mf_die "cannot focus Custom through AT-SPI"
pointer_away && mf_key "$dlg" space
dialog_reads() {
    local texts
    texts=$(mf_atspi texts "$CUSTOM_TITLE") && grep -Fq "$1" <<<"$texts"
}
custom_selected() { dialog_reads $'label\tCustom\\n'; }
mf_check "Space on the focused option selects Custom" mf_wait_until 5 custom_selected
mf_atspi set-value "$CUSTOM_TITLE" 0 4 || mf_die "cannot set the size through AT-SPI"
mf_atspi set-value "$CUSTOM_TITLE" 1 5 || mf_die "cannot set the density through AT-SPI"
shows_4_by_4() { dialog_reads $'label\tCustom\\n 4 by  4\\n 5%'; }
mf_check "the dialog's display reads the chosen 4 by 4 at 5%" mf_wait_until 5 shows_4_by_4
mf_atspi press "$CUSTOM_TITLE" OK || mf_die "cannot press OK through AT-SPI"
mf_wait_no_window "$CUSTOM_TITLE" 5 || mf_die "OK did not close the custom dialog"
mf_check "the new board is a 4 x 4 table of covered cells" mf_wait_until 5 board_is 4 covered

# ------------------------------- Space on a cell known to be empty ---

key Right Down Down space
mf_check "Space on (2, 3) of the mine-free board opens every cell" mf_wait_until 5 board_is 4 empty
table=$(mf_atspi board)
printf '%s\n' "$table" >"$MF_TMP/empty-board.txt"
shot=$(mf_screenshot access-empty) || mf_die "no screenshot"
mf_check "every \"empty\" cell shows an empty-cell picture on the screen" \
    compare_board "$shot" "$MF_TMP/empty-board.txt" 2 3
heard_names() { grep -Eq $'^object:property-change:accessible-name\ttable cell\tempty\t(column 2, row 3)?$' "$events"; }
mf_check "a screen reader hears the pressed cell become empty" mf_wait_until 5 heard_names

# --------------------------------------------- Expert, lost by keys ---

key ctrl+e
mf_check "Ctrl+E makes a 14 x 14 table of covered cells" mf_wait_until 10 board_is 14 covered
# Flags on the last row's two last cells, then row by row: Space, Right...
key End Page_Down f Left f Home Page_Up
flags_read() {
    local table
    table=$(mf_atspi board) &&
        grep -Fq $'13\t14\tflag\t' <<<"$table" && grep -Fq $'14\t14\tflag\t' <<<"$table"
}
mf_check "End, Page Down, F, Left, F flag the last row's two last cells" mf_wait_until 5 flags_read
key Return
sleep 1
mf_check "Enter on a focused cell keeps the game: the flags stay" flags_read
row_keys=()
for ((c = 1; c <= 14; c++)); do row_keys+=(space Right); done
lost=''
for ((r = 1; r <= 14; r++)); do
    key "${row_keys[@]}" Home Down
    lost=$(face_name) && break
done
[[ -n $lost ]] || lost=$(mf_wait_until 15 face_name && face_name)
mf_check "after the loss the face button reads as a face: \"${lost:-nothing}\"" test -n "$lost"
mf_listen_stop
table=$(mf_atspi board) || mf_die "cannot read the lost board"
printf '%s\n' "$table" >"$MF_ARTIFACTS/access-lost.txt"
covered=$(tail -n +2 <<<"$table" | awk -F'\t' '$3 == "covered"' | wc -l)
exploded=$(tail -n +2 <<<"$table" | awk -F'\t' '$3 == "exploded mine"' | wc -l)
mf_check "no cell reads \"covered\" after the loss ($covered do)" test "$covered" -eq 0
mf_check "exactly one cell reads \"exploded mine\" ($exploded do)" test "$exploded" -eq 1
read -r fc fr _ < <(mf_atspi focus)
shot=$(mf_screenshot access-lost) || mf_die "no screenshot"
printf '%s\n' "$table" >"$MF_TMP/lost-board.txt"
result=$(compare_board "$shot" "$MF_TMP/lost-board.txt" "$fc" "$fr")
status=$?
mf_log "$result"
mf_check "every cell of the lost board reads what the screenshot shows" test "$status" -eq 0
mf_check "the exploded mine lies under the explosion" grep -q 'exploded mines named there 1$' <<<"$result"
key Tab
face_focused() { [[ $(mf_atspi focused-button) =~ face ]]; }
mf_check "Tab from the board reaches the face button" mf_wait_until 5 face_focused
key Return
mf_check "Enter on the focused face starts a new game" mf_wait_until 10 board_is 14 covered

# ------------------------------- the Hall of Fame and a message box, read ---

FAME_TITLE='-=:Hall Of Fame:=-'
key alt+f h
mf_wait_window "$FAME_TITLE" 10 >/dev/null || mf_die "File, High Scores... did not open the Hall of Fame"
mf_atspi wait "$FAME_TITLE" 10 || mf_die "the Hall of Fame is not on the accessibility bus"
texts=$(mf_atspi texts "$FAME_TITLE")
printf '%s\n' "$texts" >"$MF_ARTIFACTS/access-fame.txt"
mf_check "the Hall of Fame reads its heading" grep -Fq $'label\tAll Time High Speed Mine Sweepers' <<<"$texts"
mf_check "the Hall of Fame reads the three holders" \
    test "$(grep -Fxc $'label\tAnonymous' <<<"$texts")" -eq 3
mf_atspi press "$FAME_TITLE" 'Clear High Scores' || mf_die "cannot press Clear through AT-SPI"
mf_atspi wait 'Marrowfen 2' 10 || mf_die "no question came up on the accessibility bus"
question=$(mf_atspi texts 'Marrowfen 2')
printf '%s\n' "$question" >"$MF_ARTIFACTS/access-question.txt"
mf_check "the message box's question can be read" \
    grep -Fq 'Are you sure you want to PERMANTLY clear the high scores?' <<<"$question"
mf_atspi press 'Marrowfen 2' No || mf_atspi press 'Marrowfen 2' '&No' || mf_die "cannot answer No through AT-SPI"
mf_atspi press "$FAME_TITLE" OK || mf_die "cannot close the Hall of Fame through AT-SPI"
mf_check "the Hall of Fame closes" mf_wait_no_window "$FAME_TITLE" 5
mf_check "the record file is as it was" test "$(mf_default_records)" == "$(cat "$MF_WORKDIR/Vorask7.fez")"
mf_check "the program still runs" mf_running
mf_finish
