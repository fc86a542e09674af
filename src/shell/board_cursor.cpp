// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/board_cursor.h"

#include <algorithm>

#include "shell/main_window.h"

namespace mf {

Int16 BoardCursor::index() const { return Minefield::CellIndex(column_, row_); }

void BoardCursor::clamp(int boardSize) {
    const int last = std::max(boardSize, 1);
    column_ = std::clamp(column_, 1, last);
    row_ = std::clamp(row_, 1, last);
}

bool BoardCursor::follow(const Main& main) {
    const int column = column_;
    const int row = row_;
    if (board_ != main.boardsBuilt) {
        board_ = main.boardsBuilt;
        column_ = 1;
        row_ = 1;
    }
    clamp(main.field.BoardSize);
    return column != column_ || row != row_;
}

bool BoardCursor::move(Key key, int boardSize) {
    const int column = column_;
    const int row = row_;
    switch (key) {
    case Key::Left: --column_; break;
    case Key::Right: ++column_; break;
    case Key::Up: --row_; break;
    case Key::Down: ++row_; break;
    case Key::RowStart: column_ = 1; break;
    case Key::RowEnd: column_ = boardSize; break;
    case Key::ColumnStart: row_ = 1; break;
    case Key::ColumnEnd: row_ = boardSize; break;
    case Key::Press:
    case Key::Flag: break;
    }
    clamp(boardSize);
    return column != column_ || row != row_;
}

void BoardCursor::moveTo(int column, int row, int boardSize) {
    column_ = column;
    row_ = row;
    clamp(boardSize);
}

BoardCursor::Command BoardCursor::commandFor(const Minefield& field, Key key) const {
    const Int16 i = index();
    const bool covered = field.Command2[i].Visible;
    if (key == Key::Flag)
        return covered ? Command::Flag : Command::None;
    if (key != Key::Press)
        return Command::None;
    if (covered)
        return Command::Uncover;
    // Only a flag answers a click on a cell picture.
    return field.ButPic[i].Visible && field.ButPic[i].Tag == "think" ? Command::Unflag : Command::None;
}

void BoardCursor::perform(Main& main, Command command) const {
    switch (command) {
    case Command::Uncover: main.Command2_MouseDown(index(), 1); break;
    case Command::Flag: main.Command2_MouseDown(index(), 2); break;
    case Command::Unflag: main.ButPic_Click(index()); break;
    case Command::None: break;
    }
}

} // namespace mf
