// SPDX-License-Identifier: GPL-3.0-or-later
// The minefield: how many mines a board gets, where they may lie, the numbers
// of the cells, and the opening of empty regions.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "fakes.h"

namespace mf {
namespace {

using fakes::Cell;
using fakes::Harness;

int minesOnBoard(const Minefield& f) {
    int mines = 0;
    for (int c = 1; c <= f.BoardSize; ++c)
        for (int r = 1; r <= f.BoardSize; ++r)
            mines += f.CellState[c][r] == -1;
    return mines;
}

// The cells of the board whose picture is shown, as (column, row).
std::set<std::pair<int, int>> uncovered(Harness& h) {
    std::set<std::pair<int, int>> cells;
    const int n = h.field().BoardSize;
    for (int c = 1; c <= n; ++c)
        for (int r = 1; r <= n; ++r)
            if (h.picture(c, r).Visible && !h.button(c, r).Visible)
                cells.insert({c, r});
    return cells;
}

// No control outside the n x n square at the top left is shown.
void expectNothingOutside(Harness& h) {
    const int n = h.field().BoardSize;
    for (int i = 0; i < kCellCount; ++i) {
        if (Minefield::columnOf(i) <= n && Minefield::rowOf(i) <= n)
            continue;
        EXPECT_FALSE(h.field().Command2[i].Visible) << "button " << i;
        EXPECT_FALSE(h.field().ButPic[i].Visible) << "picture " << i;
    }
}

// --- Mine counts ---------------------------------------------------------

TEST(MineCount, EverySizeAndDensityGivesTheIntegerPartOfCellsTimesDensity) {
    Harness h;
    for (int size = 1; size <= 14; ++size) {
        for (int density = 5; density <= 50; ++density) {
            h.custom(size, density);
            const int expected = size * size * density / 100;
            ASSERT_EQ(h.field().BoardSize, size);
            ASSERT_EQ(h.field().MineCount, expected) << size << " at " << density << "%";
            ASSERT_EQ(minesOnBoard(h.field()), expected) << size << " at " << density << "%";
        }
    }
}

TEST(MineCount, NamedBoards) {
    const struct {
        int size, density, mines;
    } cases[] = {
        {14, 50, 98}, {14, 5, 9}, {1, 5, 0},  {1, 50, 0}, {2, 5, 0},   {3, 5, 0},
        {4, 5, 0},    {4, 7, 1},  {6, 18, 6}, {11, 20, 24}, {14, 25, 49}, {2, 50, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Minefield::mineCountFor(c.size, c.density), c.mines)
            << c.size << " at " << c.density << "%";
}

// --- Cell values ------------------------------------------------------------

TEST(CellValue, ThreeByThreeExample) {
    Harness h;
    h.setSafe(false); // (1, 1) is a corner
    h.customBoard(3, {{1, 1}, {3, 2}});
    const int expected[3][3] = {{10, 2, 1}, {1, 2, 10}, {0, 1, 1}}; // [row][column]
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(h.value(c, r), expected[r - 1][c - 1]) << "column " << c << " row " << r;
}

TEST(CellValue, EightMinesAroundACell) {
    Harness h;
    h.customBoard(14, {{4, 4}, {5, 4}, {6, 4}, {4, 5}, {6, 5}, {4, 6}, {5, 6}, {6, 6}, {10, 10}});
    EXPECT_EQ(h.value(5, 5), 8);
    EXPECT_EQ(h.value(10, 10), 10);
    EXPECT_EQ(h.value(9, 9), 1);
    EXPECT_EQ(h.value(3, 3), 1);
    EXPECT_EQ(h.value(5, 3), 3);
}

// --- Safe corners -----------------------------------------------------------

class SafeCorners : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SafeCorners, NoCornerEverTakesAMine) {
    const auto [size, density] = GetParam();
    Harness h;
    h.custom(size, density);
    for (int board = 0; board < 300; ++board) {
        h.main.MnuReset_Click();
        ASSERT_EQ(minesOnBoard(h.field()), Minefield::mineCountFor(size, density));
        for (const Cell corner : {Cell{1, 1}, Cell{size, 1}, Cell{1, size}, Cell{size, size}})
            ASSERT_NE(h.value(corner.column, corner.row), 10) << "board " << board;
    }
}

INSTANTIATE_TEST_SUITE_P(Boards, SafeCorners,
                         ::testing::Values(std::pair{3, 50}, std::pair{3, 23}, std::pair{4, 50},
                                           std::pair{6, 18}, std::pair{14, 50}));

// A 2 x 2 board is all corners: it must still be built, with its mines.
TEST(SafeCornersTinyBoard, TwoByTwoIsBuiltAtEveryDensity) {
    Harness h;
    for (int density = 5; density <= 50; ++density) {
        h.custom(2, density);
        for (int board = 0; board < 20; ++board) {
            h.main.MnuReset_Click();
            ASSERT_EQ(minesOnBoard(h.field()), Minefield::mineCountFor(2, density));
        }
    }
}

TEST(SafeCornersOff, CornersAreAsLikelyAsAnyCell) {
    Harness h;
    h.setSafe(false);
    h.main.Beginner_Click(); // 6 x 6, 6 mines
    constexpr int kBoards = 12000;
    int hits[7][7] = {};
    for (int board = 0; board < kBoards; ++board) {
        h.main.MnuReset_Click();
        for (int c = 1; c <= 6; ++c)
            for (int r = 1; r <= 6; ++r)
                hits[c][r] += h.value(c, r) == 10;
    }
    const double expected = kBoards * 6.0 / 36.0;
    double chiSquare = 0;
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 6; ++r)
            chiSquare += (hits[c][r] - expected) * (hits[c][r] - expected) / expected;
    EXPECT_LT(chiSquare, 80.0); // 35 degrees of freedom: 99.99 % lies below 75
    for (const Cell corner : {Cell{1, 1}, Cell{6, 1}, Cell{1, 6}, Cell{6, 6}})
        EXPECT_NEAR(hits[corner.column][corner.row], expected, expected * 0.08);
}

// --- Flood reveal -----------------------------------------------------------

// 4 x 4 with its one mine at (3, 3): every empty cell opens the twelve cells
// of columns 1-2 and rows 1-2; (4, 3), (3, 4), (4, 4) and the mine stay covered.
class FloodFourByFour : public ::testing::TestWithParam<Cell> {};

TEST_P(FloodFourByFour, OpensTheTwelveCells) {
    Harness h;
    h.customBoard(4, {{3, 3}});
    const Cell start = GetParam();
    ASSERT_EQ(h.value(start.column, start.row), 0);
    h.press(start.column, start.row);

    std::set<std::pair<int, int>> expected;
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 4; ++r)
            if (c <= 2 || r <= 2)
                expected.insert({c, r});
    EXPECT_EQ(uncovered(h), expected);
    for (const Cell covered : {Cell{3, 3}, Cell{4, 3}, Cell{3, 4}, Cell{4, 4}}) {
        EXPECT_TRUE(h.button(covered.column, covered.row).Visible);
        EXPECT_FALSE(h.picture(covered.column, covered.row).Visible);
    }
    EXPECT_EQ(h.field().GameActive, 1);
    EXPECT_EQ(h.field().coveredSum(), 3 - 1);
    EXPECT_EQ(h.picture(2, 2).picture, Picture::Img1);
    EXPECT_EQ(h.picture(3, 2).picture, Picture::Img1);
    EXPECT_EQ(h.picture(2, 4).picture, Picture::Img1);
    expectNothingOutside(h);
}

INSTANTIATE_TEST_SUITE_P(EveryEmptyCell, FloodFourByFour,
                         ::testing::Values(Cell{1, 1}, Cell{2, 1}, Cell{3, 1}, Cell{4, 1},
                                           Cell{1, 2}, Cell{1, 3}, Cell{1, 4}));

class FloodMineFree : public ::testing::TestWithParam<int> {};

TEST_P(FloodMineFree, AnyFirstPressOpensTheWholeBoardAndWins) {
    const int size = GetParam();
    for (int c = 1; c <= size; ++c) {
        for (int r = 1; r <= size; ++r) {
            Harness h;
            h.customBoard(size, {});
            h.press(c, r);
            EXPECT_EQ(static_cast<int>(uncovered(h).size()), size * size);
            EXPECT_EQ(h.field().coveredSum(), 0);
            EXPECT_EQ(h.field().GameActive, 0) << "won";
            EXPECT_TRUE(h.main.strip.Reset.Visible);
            expectNothingOutside(h);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FloodMineFree, ::testing::Values(1, 2, 3, 4));

// Two empty areas that touch only at a corner, (2, 4) and (3, 3):
//   n n . . .
//   * n . . .
//   n n . . .
//   . . n n n
//   . . n * n
TEST(Flood, EmptyAreasJoinedAtACornerAreOneRegion) {
    Harness h;
    h.customBoard(5, {{1, 2}, {4, 5}});
    h.press(1, 5);
    EXPECT_TRUE(h.picture(5, 1).Visible);
    EXPECT_TRUE(h.picture(5, 3).Visible);
    EXPECT_TRUE(h.picture(2, 1).Visible) << "border of the far area";
    EXPECT_TRUE(h.button(1, 1).Visible) << "touches no empty cell";
    EXPECT_EQ(h.field().GameActive, 1);
}

// 9 mines in a 3 x 3 block in one corner of a 14 x 14 board: one region of
// 180 empty cells, more than a stack of 500 pending cells would take.
class FloodWorstCase : public ::testing::TestWithParam<Cell> {};

TEST_P(FloodWorstCase, CompletesAndOpensEverySafeCell) {
    Harness h;
    h.setSafe(false);
    std::vector<Cell> block;
    for (int c = 12; c <= 14; ++c)
        for (int r = 12; r <= 14; ++r)
            block.push_back({c, r});
    h.customBoard(14, block);

    bool minesCoveredAtEnd = false;
    h.random.onReseed = [&] {
        minesCoveredAtEnd = std::all_of(block.begin(), block.end(), [&](Cell m) {
            return h.button(m.column, m.row).Visible && h.field().CellState[m.column][m.row] == -1;
        });
    };
    const Cell start = GetParam();
    h.press(start.column, start.row);

    EXPECT_TRUE(minesCoveredAtEnd);
    EXPECT_EQ(h.field().GameActive, 0);
    EXPECT_EQ(h.field().coveredSum(), -9);
    EXPECT_EQ(h.field().CellState[11][11], 0);
    EXPECT_EQ(h.main.strip.Reset.picture, Picture::ImgGrowl) << "a won custom game";
}

INSTANTIATE_TEST_SUITE_P(Starts, FloodWorstCase,
                         ::testing::Values(Cell{1, 1}, Cell{14, 1}, Cell{1, 14}, Cell{7, 7}));

TEST(Flood, FlagsInTheRegionAreUncoveredButStayCounted) {
    Harness h;
    h.customBoard(4, {{3, 3}});
    h.press(1, 2, 2); // an empty cell
    h.press(2, 2, 4); // a border cell, value 1
    ASSERT_EQ(h.main.strip.MinesLbl.Caption, "MINES: -1");

    h.press(1, 1);
    EXPECT_EQ(h.picture(1, 2).picture, imgNone1(h.field().BlankStyle));
    EXPECT_EQ(h.picture(2, 2).picture, Picture::Img1);
    EXPECT_EQ(h.picture(1, 2).Tag, "think");
    EXPECT_EQ(h.picture(2, 2).Tag, "think");
    EXPECT_EQ(h.field().MinesLeft, -1);
    EXPECT_EQ(h.main.strip.MinesLbl.Caption, "MINES: -1");

    // Still a flag to a click: the button comes back and the count with it.
    h.clickPicture(2, 2);
    EXPECT_TRUE(h.button(2, 2).Visible);
    EXPECT_FALSE(h.picture(2, 2).Visible);
    EXPECT_EQ(h.picture(2, 2).Tag, "");
    EXPECT_EQ(h.main.strip.MinesLbl.Caption, "MINES:  0");
    EXPECT_EQ(h.field().GameActive, 1);
}

class EmptyCellStyle : public ::testing::TestWithParam<int> {};

TEST_P(EmptyCellStyle, EveryEmptyCellOfARoundShowsTheSamePicture) {
    const int style = GetParam();
    Harness h;
    h.customBoard(4, {{3, 3}}, style);
    ASSERT_EQ(h.field().BlankStyle, style);
    h.press(1, 1);
    int empty = 0;
    for (const auto& [c, r] : uncovered(h)) {
        if (h.value(c, r) != 0)
            continue;
        ++empty;
        EXPECT_EQ(h.picture(c, r).picture, imgNone1(style)) << c << "," << r;
    }
    EXPECT_EQ(empty, 7);

    // The next board may choose another.
    const int next = (style + 2) % 5;
    h.layMines({{3, 3}}, next);
    h.press(4, 1);
    EXPECT_EQ(h.picture(1, 4).picture, imgNone1(next));
}

INSTANTIATE_TEST_SUITE_P(Styles, EmptyCellStyle, ::testing::Range(0, 5));

} // namespace
} // namespace mf
