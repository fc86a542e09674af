// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/minefield.h"

#include <cmath>
#include <vector>

namespace mf {

namespace {

constexpr int kCellLeft = 120;
constexpr int kCellTop = 960;
constexpr int kCellPitch = 360;
constexpr int kCellSide = 390;

// Neighbours clockwise from the upper left.
constexpr int kDx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
constexpr int kDy[8] = {-1, -1, -1, 0, 1, 1, 1, 0};

Picture numberPicture(int value) {
    return value == 10 ? Picture::imgHit : digitPicture(value);
}

} // namespace

Minefield::Minefield() {
    for (int i = 0; i < kCellCount; ++i) {
        const Rect rect{kCellLeft + kCellPitch * (i % kGridSide),
                        kCellTop + kCellPitch * (i / kGridSide), kCellSide, kCellSide};
        Command2[i].rect = rect;
        Command2[i].Visible = false;
        ButPic[i].rect = rect;
        ButPic[i].Visible = false;
    }
}

Int16 Minefield::mineCountFor(int size, int density) {
    const double cells = static_cast<double>(size) * size;
    return static_cast<Int16>(std::floor(cells / 100.0 * density));
}

void Minefield::coverBoard() {
    for (int i = 0; i < kCellCount; ++i) {
        Command2[i].Visible = false;
        ButPic[i].Visible = false;
        ButPic[i].Tag.assign(1, ' ');
    }
    for (int c = 1; c <= BoardSize; ++c)
        for (int r = 1; r <= BoardSize; ++r)
            Command2[CellIndex(c, r)].Visible = true;
}

bool Minefield::isCorner(int column, int row) const {
    const bool edgeColumn = column == 1 || column == BoardSize;
    const bool edgeRow = row == 1 || row == BoardSize;
    return edgeColumn && edgeRow;
}

bool Minefield::anyFreeCellOffCorners() const {
    for (int c = 1; c <= BoardSize; ++c)
        for (int r = 1; r <= BoardSize; ++r)
            if (CellState[c][r] != -1 && !isCorner(c, r))
                return true;
    return false;
}

// One attempt: draws a column, then a row; false if the cell may not take a mine.
bool Minefield::placeOneMine(RandomSource& random, bool safeCorners) {
    const int c = static_cast<int>(std::floor(random.next() * BoardSize + 1));
    const int r = static_cast<int>(std::floor(random.next() * BoardSize + 1));
    if (CellState[c][r] == -1)
        return false;
    if (safeCorners && isCorner(c, r))
        return false;
    CellState[c][r] = -1;
    return true;
}

void Minefield::placeMines(RandomSource& random, bool safeCorners) {
    for (int c = 1; c <= BoardSize; ++c)
        for (int r = 1; r <= BoardSize; ++r)
            CellState[c][r] = 1;
    for (int placed = 0; placed < MineCount; ++placed) {
        // A 2 x 2 board has nothing but corners: place its mines anywhere.
        const bool safe = safeCorners && anyFreeCellOffCorners();
        while (!placeOneMine(random, safe)) {
        }
    }
}

void Minefield::computeValues() {
    for (int c = 1; c <= BoardSize; ++c) {
        for (int r = 1; r <= BoardSize; ++r) {
            if (CellState[c][r] == -1) {
                CellValue[c][r] = 10;
                continue;
            }
            Int16 mines = 0;
            for (int k = 0; k < 8; ++k) {
                const int nc = c + kDx[k];
                const int nr = r + kDy[k];
                if (onBoard(nc, nr, BoardSize) && CellState[nc][nr] == -1)
                    ++mines;
            }
            CellValue[c][r] = mines;
        }
    }
}

int Minefield::coveredSum() const {
    int sum = 0;
    for (int c = 1; c <= BoardSize; ++c)
        for (int r = 1; r <= BoardSize; ++r)
            sum += CellState[c][r];
    return sum;
}

void Minefield::ShowNone(Int16 index) {
    ButPic[index].picture = imgNone1(BlankStyle);
}

void Minefield::uncover(Int16 index) {
    Command2[index].Visible = false;
    ButPic[index].Visible = true;
}

void Minefield::ShowAround(Int16 index) {
    // Pending cells whose neighbours are still to be examined. An entry stays
    // while the cells it finds are examined above it; the stack grows as needed.
    struct Entry {
        Int16 column;
        Int16 row;
    };
    std::vector<Entry> pending;
    pending.reserve(512);
    pending.push_back({static_cast<Int16>(columnOf(index)), static_cast<Int16>(rowOf(index))});
    do {
        const Entry top = pending.back();
        CellState[top.column][top.row] = 0;
        const std::size_t before = pending.size();
        for (int k = 0; k < 8; ++k) {
            const int nc = top.column + kDx[k];
            const int nr = top.row + kDy[k];
            if (!onBoard(nc, nr, BoardSize))
                continue;
            const Int16 i = CellIndex(nc, nr);
            uncover(i);
            if (CellValue[nc][nr] == 0) {
                ShowNone(i);
                if (CellState[nc][nr] == 1)
                    pending.push_back({static_cast<Int16>(nc), static_cast<Int16>(nr)});
            } else {
                CellState[nc][nr] = 0;
                ButPic[i].picture = numberPicture(CellValue[nc][nr]);
            }
        }
        if (pending.size() == before)
            pending.pop_back();
    } while (pending.size() > 1);
}

} // namespace mf
