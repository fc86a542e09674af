// SPDX-License-Identifier: GPL-3.0-or-later
// The focus cell of keyboard play: where it stands, how the keys move it,
// and which cell handler a key means on it. A key acts exactly as the mouse
// would on the cell under it.
#pragma once

#include "game/controls.h"

namespace mf {

class Main;
class Minefield;

class BoardCursor {
public:
    enum class Key {
        Left, Right, Up, Down,
        RowStart, RowEnd,       // Home, End
        ColumnStart, ColumnEnd, // Page Up, Page Down
        Press,                  // Space: the primary button
        Flag,                   // F or the menu key: the secondary button
    };

    // What a key does to the cell under the focus.
    enum class Command { None, Uncover, Flag, Unflag };

    int column() const { return column_; }
    int row() const { return row_; }
    Int16 index() const;

    // Back to (1, 1) when the game has built a new board since the last
    // call, and inside the board in any case. True when the cell changed.
    bool follow(const Main& main);
    // Moves the focus cell within a board of this side; true when it moved.
    bool move(Key key, int boardSize);
    // Puts the focus on a cell of the board (a click on it).
    void moveTo(int column, int row, int boardSize);

    Command commandFor(const Minefield& field, Key key) const;
    // Runs the handler of the command on the focus cell.
    void perform(Main& main, Command command) const;

private:
    void clamp(int boardSize);

    int column_ = 1;
    int row_ = 1;
    int board_ = -1; // the board the cell belongs to (Main::boardsBuilt)
};

} // namespace mf
