#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program starts (a click takes its title window away) and shows the game
# window with the whole Intermediate board (11 x 11); Ctrl+E switches to
# Expert (14 x 14) and the window grows to fit it.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

mf_setup
mf_start_game default

mf_open_main
mf_check "the game window is mapped" mf_mapped "$MF_WIN"
mf_check "its title is \"$MF_TITLE\"" test "$(mf_window_title "$MF_WIN")" == "$MF_TITLE"

# The board's cells span client x 8 to 274 and y 64 to 330 below the menu
# bar, on an 11 x 11 board.
board_right=$((MF_CELL_X0 + MF_CELL_PITCH * 10 + MF_CELL_SIZE))
board_bottom=$((MF_CELL_Y0 + MF_CELL_PITCH * 10 + MF_CELL_SIZE))
mf_board_top
w=$MF_WIN_W h=$MF_WIN_H
mf_log "client area ${w}x${h}, menu bar $MF_TOP, board to ${board_right}x$((MF_TOP + board_bottom))"
mf_check "the client area is as wide as the board" test "$w" -ge "$board_right"
mf_check "the client area holds the board below the menu bar" test "$h" -ge $((MF_TOP + board_bottom))
mf_check "the client area holds the board and a menu bar of 20" test "$h" -ge $((board_bottom + 20))
mf_check "the window lies on the screen" \
    test "$MF_WIN_X" -ge 0 -a "$MF_WIN_Y" -ge 0 -a $((MF_WIN_X + w)) -le 1024 -a $((MF_WIN_Y + h)) -le 768
mf_screenshot startup >/dev/null

# Expert: a 14 x 14 board.
mf_key "$MF_WIN" ctrl+e
# shellcheck disable=SC2317  # called through mf_wait_until
grown() { mf_geometry "$MF_WIN" && ((MF_WIN_W > w && MF_WIN_H > h)); }
mf_check "Ctrl+E makes the window wider and taller" mf_wait_until 5 grown
mf_geometry "$MF_WIN"
mf_log "client area after Ctrl+E ${MF_WIN_W}x${MF_WIN_H}"
mf_check "the wider window holds a 14 x 14 board" \
    test "$MF_WIN_W" -ge $((MF_CELL_X0 + MF_CELL_PITCH * 13 + MF_CELL_SIZE)) \
    -a "$MF_WIN_H" -ge $((MF_TOP + MF_CELL_Y0 + MF_CELL_PITCH * 13 + MF_CELL_SIZE))
mf_check "the grown window lies on the screen" \
    test $((MF_WIN_X + MF_WIN_W)) -le 1024 -a $((MF_WIN_Y + MF_WIN_H)) -le 768
mf_screenshot startup-expert >/dev/null

mf_check "the program still runs" mf_running
mf_finish
