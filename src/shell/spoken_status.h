// SPDX-License-Identifier: GPL-3.0-or-later
// The words a screen reader says for what a sighted player reads off the
// status strip at a glance: a new board, the mines left, the end of a game.
// None of them is shown on screen.
#pragma once

#include <string>

namespace mf {

class Main;

// "Beginner, 6 by 6, 6 mines"; the level is the one checked in the menu.
std::string levelBoardWords(const Main& main);

// "5 mines left", "1 mine left", "-1 mines left".
std::string minesLeftWords(int minesLeft);

// "sound on" or "sound off", as the menu's check mark says.
std::string soundWords(const Main& main);

// "game lost", or "game won in 12 seconds" ("1 second"), once the face
// shows; empty during a game.
std::string endWords(const Main& main);

// Why Space or F did nothing on a cell: "game over" once the game has
// ended; "flag, already planted" for F on a flag; else the open cell and
// "already open" ("1, already open").
std::string nothingDoneWords(const Main& main, int column, int row);

} // namespace mf
