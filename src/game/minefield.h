// SPDX-License-Identifier: GPL-3.0-or-later
// The minefield of the main window: the round's state and the two arrays of
// cell controls. Cells are addressed column first, both counted from 1; the
// controls are laid out 14 to a row whatever the board size.
#pragma once

#include <array>

#include "game/controls.h"
#include "game/platform.h"

namespace mf {

inline constexpr int kGridSide = 14;
inline constexpr int kCellCount = kGridSide * kGridSide;

class Minefield {
public:
    Int16 BoardSize = 0;      // side of the board, 1..14
    Int16 MineCount = 0;      // mines placed on this board
    Int16 ClockStarted = 0;   // 1 once a cell has been pressed this round
    Int16 GameActive = 0;     // 1 from a new board until the round ends
    Int16 ElapsedSeconds = 0; // seconds counted this round
    Int16 MinesLeft = 0;      // mines less the flags placed; may go below 0
    Int16 BlankStyle = 0;     // which empty-cell picture this round shows, 0..4

    // [column][row], 0..14; only 1..BoardSize is used.
    Int16 CellState[15][15] = {}; // 1 covered safe, -1 covered mine, 0 uncovered
    Int16 CellValue[15][15] = {}; // neighbouring mines 0..8, or 10 for a mine

    std::array<Button, kCellCount> Command2; // covering buttons
    std::array<Image, kCellCount> ButPic;    // cell pictures

    Minefield();

    static constexpr Int16 CellIndex(int column, int row) {
        return static_cast<Int16>((row - 1) * kGridSide + (column - 1));
    }
    static constexpr int columnOf(int index) { return index % kGridSide + 1; }
    static constexpr int rowOf(int index) { return index / kGridSide + 1; }
    static constexpr bool onBoard(int column, int row, int size) {
        return column >= 1 && column <= size && row >= 1 && row <= size;
    }

    // floor(size^2 / 100 * density) in double precision, in that order.
    static Int16 mineCountFor(int size, int density);

    // Hides every cell control, then shows the covering buttons of the board.
    void coverBoard();
    // Marks every cell covered and places MineCount mines, keeping the four
    // corners free with safeCorners (unless the corners are all there is).
    void placeMines(RandomSource& random, bool safeCorners);
    void computeValues();
    // Sum of CellState over the board: covered safe cells less covered mines.
    int coveredSum() const;

    // Gives cell picture i the round's empty-cell picture.
    void ShowNone(Int16 index);
    // Uncovers the empty region around an empty cell, and its border.
    void ShowAround(Int16 index);
    // Uncovers cell i with the picture of its value.
    void uncover(Int16 index);

private:
    bool placeOneMine(RandomSource& random, bool safeCorners);
    bool anyFreeCellOffCorners() const;
    bool isCorner(int column, int row) const;
};

} // namespace mf
