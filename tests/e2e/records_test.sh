#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Hall of Fame and the record file.
#
# 1. File, High Scores... shows "-=:Hall Of Fame:=-" with the three default
#    records of a fresh record file; Enter presses OK and closes it.
# 2. The window reads the file each time it opens: a record file changed
#    meanwhile shows its new name. Clear High Scores asks first; No leaves
#    the file alone, Yes writes the three default records (129 bytes) and
#    the rows show them at once.
# 3. A record file that cannot be opened (a folder in its place): the
#    Hall of Fame says so in a message box, then opens all the same with
#    empty rows; clearing says that nothing could be saved; the game goes on.
# Many helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

HOF_TITLE='-=:Hall Of Fame:=-'
BOX_TITLE='Marrowfen 2'

# In the Hall of Fame's client area: the buttons; the rows (Beginner,
# Intermediate, Expert) with their names and times, up to the "In" and
# "Seconds" labels that follow them, and those "Seconds" labels.
OK_XY='376 172'
CLEAR_XY='64 172'
ROW_TOPS='56 88 120'
NAME_X=152 NAME_W=90
TIME_X=272 TIME_W=36
SECONDS_X=312 SECONDS_W=60

# xdotool's "mousemove --sync", which mf_click and mf_key use, waits for the
# pointer to move and so stalls when it is at its target already: the
# pointer is sent to an empty corner of the screen first.
pointer_away() { xdotool mousemove 1023 767; }
click() { pointer_away && mf_click "$@"; }
key() { pointer_away && mf_key "$@"; }

# blue_pixels IMAGE X Y W H : how many pixels of the region are blue (the
# colour of the rows' text).
blue_pixels() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 txt:- 2>/dev/null |
        awk -F'[()]' '!/^#/ { split($2, c, ","); if (c[3] > 150 && c[1] < 100 && c[2] < 100) n++ }
                      END { print n + 0 }'
}

# row_parts IMAGE TOP : prints the blue pixels of a row's name, time and
# "Seconds".
row_parts() {
    printf '%s %s %s\n' \
        "$(blue_pixels "$1" "$NAME_X" "$2" "$NAME_W" 20)" \
        "$(blue_pixels "$1" "$TIME_X" "$2" "$TIME_W" 20)" \
        "$(blue_pixels "$1" "$SECONDS_X" "$2" "$SECONDS_W" 20)"
}

# painted IMAGE : true when the window's rows are drawn ("Seconds" in each).
painted() {
    local top name time secs
    for top in $ROW_TOPS; do
        read -r name time secs < <(row_parts "$1" "$top")
        ((secs > 20)) || return 1
    done
}

# rows_filled IMAGE : true when each row shows a name and a time.
rows_filled() {
    local top name time secs
    for top in $ROW_TOPS; do
        read -r name time secs < <(row_parts "$1" "$top")
        ((name > 20 && time > 10)) || return 1
    done
}

# rows_empty IMAGE : true when the rows are drawn without names or times.
rows_empty() {
    local top name time secs
    painted "$1" || return 1
    for top in $ROW_TOPS; do
        read -r name time secs < <(row_parts "$1" "$top")
        ((name == 0 && time == 0)) || return 1
    done
}

# rows_of IMAGE OUT : the part of the window holding the three rows.
rows_of() { convert "$1" -crop "431x90+0+50" +repage "$2"; }
same_image() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }

# A window's rows against those of the default records.
rows_default() { rows_of "$1" "$MF_TMP/rows.png" && same_image "$MF_TMP/rows-default.png" "$MF_TMP/rows.png"; }
rows_not_default() { rows_of "$1" "$MF_TMP/rows.png" && ! same_image "$MF_TMP/rows-default.png" "$MF_TMP/rows.png"; }

# await_scores NAME TIMEOUT TEST... : takes screenshots NAME of the Hall of
# Fame until every TEST (a function given the image) holds, or the timeout
# runs out (1); shot is the last screenshot.
await_scores() {
    local name=$1 timeout=$2 deadline test ok
    shift 2
    deadline=$((SECONDS + timeout))
    while true; do
        shot=$(mf_screenshot "$name" "$hof") || return 1
        ok=1
        for test in "$@"; do
            "$test" "$shot" || { ok=0; break; }
        done
        ((ok)) && return 0
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# verify DESCRIPTION COMMAND... : mf_check that also returns the result.
verify() {
    local what=$1
    shift
    if "$@"; then
        mf_check "$what" true
    else
        mf_check "$what" false
        return 1
    fi
}

# open_scores : File, High Scores... through the access keys; sets hof.
open_scores() {
    key "$MF_WIN" alt+f h
    hof=$(mf_wait_window "$HOF_TITLE" 10) || mf_die "File, High Scores... did not open \"$HOF_TITLE\""
}

# wait_box : waits for a message box titled "Marrowfen 2"; sets box.
wait_box() { box=$(mf_wait_window "$BOX_TITLE" 10); }

# wait_scores : waits for the Hall of Fame; sets hof.
wait_scores() { hof=$(mf_wait_window "$HOF_TITLE" 10); }

mf_setup
records=$MF_TMP/records

# ------------------------------------------- the Hall of Fame, default ---

mf_start_game default
mf_default_records >"$MF_TMP/default-records"
mf_open_main

open_scores
mf_check "the Hall of Fame window is mapped" mf_mapped "$hof"
mf_check "its three rows show a name and a time" await_scores records-default 5 painted rows_filled
rows_of "$shot" "$MF_TMP/rows-default.png"
key "$hof" Return
mf_check "Enter closes the Hall of Fame (OK is the default button)" mf_wait_no_window "$HOF_TITLE" 5
mf_check "the record file is still the default one" cmp "$MF_TMP/default-records" "$MF_WORKDIR/Vorask7.fez"

# ---------------------------------------------------------------- Clear ---

# Another holder of the Beginner record, with a time of 42 seconds.
{
    printf '%-40s%-3s' 'Zebulon Quirk' 42
    printf '%-40s%-3s' Anonymous 999
    printf '%-40s%-3s' Anonymous 999
} >"$records"
cp "$records" "$MF_WORKDIR/Vorask7.fez"

open_scores
mf_check "the window shows the record file as it is now (another Beginner row)" \
    await_scores records-changed 5 painted rows_filled rows_not_default

# Clear, No.
# shellcheck disable=SC2086
click "$hof" $CLEAR_XY || mf_die "cannot click Clear High Scores"
if verify "Clear High Scores asks in a box titled \"$BOX_TITLE\"" wait_box; then
    mf_screenshot records-clear-question "$box" >/dev/null
    key "$box" n
    mf_check "n answers No and closes the box" mf_wait_no_window "$BOX_TITLE" 5
fi
mf_check "after No the record file is unchanged" cmp "$records" "$MF_WORKDIR/Vorask7.fez"
mf_check "after No the Hall of Fame is still open" mf_mapped "$hof"

# Clear, Yes.
# shellcheck disable=SC2086
click "$hof" $CLEAR_XY || mf_die "cannot click Clear High Scores"
if verify "Clear High Scores asks again" wait_box; then
    key "$box" y
    mf_check "y answers Yes and closes the box" mf_wait_no_window "$BOX_TITLE" 5
fi
mf_check "after Yes the record file holds the three default records" \
    cmp "$MF_TMP/default-records" "$MF_WORKDIR/Vorask7.fez"
mf_check "the record file is 129 bytes long" test "$(stat -c %s "$MF_WORKDIR/Vorask7.fez")" -eq 129
mf_check "the rows show the default records at once" await_scores records-cleared 5 rows_default
# Clear has the keyboard focus now, so Enter would press it: OK is clicked.
# shellcheck disable=SC2086
click "$hof" $OK_XY || mf_die "cannot click OK"
mf_check "OK closes the Hall of Fame" mf_wait_no_window "$HOF_TITLE" 5
mf_check "no message box is left open" mf_no_window "$BOX_TITLE"

# ---------------------------------- a record file that cannot be opened ---

mf_stop_game
mf_start_game none
mkdir "$MF_WORKDIR/Vorask7.fez" || mf_die "cannot make a folder in the record file's place"
mf_open_main
w0=$MF_WIN_W

key "$MF_WIN" alt+f h
if verify "the Hall of Fame reports that the records cannot be read, in a box titled \"$BOX_TITLE\"" wait_box; then
    mf_screenshot records-unreadable "$box" >/dev/null
    key "$box" Return
    mf_check "Enter closes the box" mf_wait_no_window "$BOX_TITLE" 5
fi
if verify "the Hall of Fame opens all the same" wait_scores; then
    mf_check "its rows show no names and no times" await_scores records-unreadable-hof 5 rows_empty
    # Clearing cannot save anything either, and says so.
    # shellcheck disable=SC2086
    click "$hof" $CLEAR_XY || mf_die "cannot click Clear High Scores"
    if verify "Clear High Scores asks" wait_box; then
        asked=$box
        key "$box" y
        next_box() { box=$(mf_find_window "$BOX_TITLE") && [[ $box != "$asked" ]]; }
        if verify "after Yes a box says that the records cannot be saved" mf_wait_until 10 next_box; then
            mf_screenshot records-unwritable "$box" >/dev/null
            key "$box" Return
            mf_check "Enter closes that box" mf_wait_no_window "$BOX_TITLE" 5
        fi
    fi
    mf_check "the folder in the record file's place is left alone" test -d "$MF_WORKDIR/Vorask7.fez"
    # shellcheck disable=SC2086
    click "$hof" $OK_XY || mf_die "cannot click OK"
    mf_check "OK closes the Hall of Fame" mf_wait_no_window "$HOF_TITLE" 5
else
    mf_screenshot records-unreadable-failure root >/dev/null
fi
mf_check "the program still runs" mf_running
# ... and still answers: Ctrl+E gives it the wider Expert board.
key "$MF_WIN" ctrl+e
grown() { mf_geometry "$MF_WIN" && ((MF_WIN_W > w0)); }
mf_check "the game window still answers commands (Ctrl+E makes it grow)" mf_wait_until 5 grown
mf_finish
