// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard play and the words a screen reader says, without a display: the
// focus cell's bounds and its return to the first cell on every new board,
// the button Enter presses, and the name of every kind of cell and face.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fakes.h"
#include "shell/board_cursor.h"
#include "shell/cell_names.h"
#include "shell/spoken_status.h"
#include "shell/status_strip.h"

namespace mf {
namespace {

using fakes::Harness;
using Key = BoardCursor::Key;
using Command = BoardCursor::Command;

// --- The focus cell -------------------------------------------------------

TEST(FocusCell, EveryKeyKeepsItOnEveryBoardSide) {
    const Key keys[] = {Key::Left, Key::Right, Key::Up, Key::Down, Key::RowStart,
                        Key::RowEnd, Key::ColumnStart, Key::ColumnEnd};
    for (int side = 1; side <= 14; ++side) {
        BoardCursor cursor;
        // A long walk that pushes against every edge.
        for (int step = 0; step < 200; ++step) {
            cursor.move(keys[(step * 7 + step / 3) % 8], side);
            ASSERT_TRUE(Minefield::onBoard(cursor.column(), cursor.row(), side))
                << "side " << side << " step " << step;
        }
    }
}

TEST(FocusCell, EveryNewBoardPutsItBackAtTheFirstCell) {
    Harness h;
    BoardCursor cursor;
    cursor.follow(h.main);
    const auto awayAndBack = [&](const char* what, auto&& newBoard) {
        cursor.moveTo(5, 7, h.main.field.BoardSize);
        newBoard();
        cursor.follow(h.main);
        EXPECT_EQ(cursor.column(), 1) << what;
        EXPECT_EQ(cursor.row(), 1) << what;
    };
    awayAndBack("Reset menu", [&] { h.main.MnuReset_Click(); });
    awayAndBack("word button", [&] { h.main.ResetWrd_Click(); });
    awayAndBack("face button", [&] { h.main.Reset_Click(); });
    awayAndBack("Expert", [&] { h.main.Expert_Click(); });
    awayAndBack("Beginner", [&] { h.main.Beginner_Click(); });
    awayAndBack("custom 1 x 1", [&] { h.custom(1, 5); });
    awayAndBack("time limit", [&] {
        h.main.Intermediate_Click();
        h.press(1, 1, 2); // starts the clock
        h.ticks(998);
    });
    EXPECT_EQ(h.messages.calls.size(), 1u) << "the time limit was reached once";
}

// --- Enter ------------------------------------------------------------------

TEST(EnterKey, PressesTheFocusedButtonElseTheWordWhileItShows) {
    using Focus = StatusStrip::Focus;
    using Press = StatusStrip::Press;
    struct Row {
        bool ended; // the face shows instead of the word
        Focus focus;
        Press pressed;
    };
    const Row rows[] = {
        {false, Focus::ResetWrd, Press::ResetWrd},
        {false, Focus::Elsewhere, Press::ResetWrd}, // the default button
        {false, Focus::Cell, Press::Nothing},       // a cell is a button of its own
        {true, Focus::Reset, Press::Reset},
        {true, Focus::Cell, Press::Nothing},
        {true, Focus::Elsewhere, Press::Nothing},   // no default button shows
    };
    for (const Row& row : rows) {
        StatusStrip strip;
        strip.showFace(row.ended);
        EXPECT_EQ(strip.enterPresses(row.focus), row.pressed)
            << "ended " << row.ended << ", focus " << static_cast<int>(row.focus);
    }
}

// --- Names ------------------------------------------------------------------

// A 3 x 3 board with one mine in the corner (3, 3).
struct CornerBoard : Harness {
    CornerBoard() {
        setSafe(false);
        customBoard(3, {{3, 3}});
        cursor.follow(main);
    }
    Command key(Key k, int column, int row) {
        cursor.moveTo(column, row, 3);
        const Command command = cursor.commandFor(main.field, k);
        cursor.perform(main, command);
        return command;
    }
    BoardCursor cursor;
};

TEST(CellNames, EveryKindOfCellOnAWonAndALostBoard) {
    CornerBoard b;
    EXPECT_EQ(cellName(b.main, 1, 1), "covered");
    EXPECT_EQ(cellName(b.main, 4, 1), "") << "off the board";
    b.key(Key::Flag, 1, 2);
    EXPECT_EQ(cellName(b.main, 1, 2), "flag");
    b.key(Key::Press, 2, 2);
    EXPECT_EQ(cellName(b.main, 2, 2), "1");
    b.key(Key::Press, 3, 3);
    EXPECT_EQ(cellName(b.main, 3, 3), "exploded mine");
    EXPECT_EQ(cellName(b.main, 1, 2), "wrong flag");
    EXPECT_EQ(cellName(b.main, 1, 1), "empty");
    EXPECT_EQ(cellName(b.main, 2, 3), "1");

    CornerBoard other;
    other.key(Key::Flag, 3, 3);
    other.key(Key::Press, 1, 1);
    EXPECT_EQ(other.main.field.GameActive, Int16(0)) << "won with the mine flagged";
    EXPECT_EQ(cellName(other.main, 3, 3), "mine");
}

TEST(CellNames, EveryDigitAndEveryEmptyStyle) {
    for (int style = 0; style < 5; ++style) {
        Harness h;
        h.setSafe(false);
        // Eight mines around (2, 2), four more far from it.
        h.customBoard(5, {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3},
                          {5, 5}, {4, 5}, {5, 4}, {5, 1}}, style);
        h.press(2, 2);
        EXPECT_EQ(cellName(h.main, 2, 2), "8");
    }
    for (int style = 0; style < 5; ++style) {
        Harness h;
        h.customBoard(2, {}, style);
        h.press(1, 1);
        EXPECT_EQ(cellName(h.main, 2, 2), "empty") << "style " << style;
    }
    // A won board says every value as the player sees it.
    Harness h;
    h.setSafe(false);
    h.customBoard(4, {{1, 1}, {2, 1}, {3, 1}, {1, 2}});
    h.uncoverAllSafe();
    ASSERT_EQ(h.main.field.GameActive, Int16(0));
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 4; ++r) {
            const int v = h.value(c, r);
            const std::string expected = v == 10 ? "mine" : v == 0 ? "empty" : std::to_string(v);
            EXPECT_EQ(cellName(h.main, c, r), expected) << c << ", " << r;
        }
}

TEST(FaceNames, EveryFaceTheButtonCanShowHasItsOwnName) {
    const Picture faces[] = {Picture::ImgSkull, Picture::ImgGrowl, Picture::ImgVorask,
                             Picture::Ha1, Picture::ImgHodrel};
    std::set<std::string> names;
    for (Picture face : faces) {
        const std::string name = faceName(face);
        EXPECT_NE(name.find("face"), std::string::npos) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 5u);
    EXPECT_EQ(faceName(Picture::ImgSkull), "skull face");
    EXPECT_EQ(faceName(Picture::Ha2), faceName(Picture::Ha1)) << "the laugh does not flicker";
    EXPECT_EQ(faceName(Picture::Ha1), "laughing face");
}

// --- The status strip in words --------------------------------------------

TEST(SpokenStatus, EveryLevelTheCountAndTheEndOfAGame) {
    Harness h;
    EXPECT_EQ(levelBoardWords(h.main), "Intermediate, 11 by 11, 24 mines");
    h.main.Beginner_Click();
    EXPECT_EQ(levelBoardWords(h.main), "Beginner, 6 by 6, 6 mines");
    h.main.Expert_Click();
    EXPECT_EQ(levelBoardWords(h.main), "Expert, 14 by 14, 49 mines");
    h.custom(1, 5);
    EXPECT_EQ(levelBoardWords(h.main), "Custom, 1 by 1, 0 mines");
    EXPECT_EQ(minesLeftWords(5), "5 mines left");
    EXPECT_EQ(minesLeftWords(1), "1 mine left");
    EXPECT_EQ(minesLeftWords(0), "0 mines left");
    EXPECT_EQ(minesLeftWords(-1), "-1 mines left");
    EXPECT_EQ(soundWords(h.main), "sound on");
    h.main.MnuSndOn_Click();
    EXPECT_EQ(soundWords(h.main), "sound off");

    // Space or F that does nothing says why.
    CornerBoard idle;
    EXPECT_EQ(idle.key(Key::Press, 2, 2), Command::Uncover);
    EXPECT_EQ(idle.key(Key::Press, 2, 2), Command::None);
    EXPECT_EQ(nothingDoneWords(idle.main, 2, 2), "1, already open");
    EXPECT_EQ(idle.key(Key::Flag, 1, 2), Command::Flag);
    EXPECT_EQ(idle.key(Key::Flag, 1, 2), Command::None);
    EXPECT_EQ(nothingDoneWords(idle.main, 1, 2), "flag, already planted");
    idle.key(Key::Press, 3, 3);
    EXPECT_EQ(nothingDoneWords(idle.main, 3, 3), "game over");
    EXPECT_EQ(nothingDoneWords(idle.main, 1, 1), "game over");

    CornerBoard lost;
    EXPECT_EQ(endWords(lost.main), "") << "during a game";
    lost.key(Key::Press, 3, 3);
    EXPECT_EQ(endWords(lost.main), "game lost");
    lost.main.Reset_Click();
    EXPECT_EQ(endWords(lost.main), "") << "a new game";

    for (const int seconds : {0, 1, 12}) {
        CornerBoard won;
        won.key(Key::Press, 2, 2); // a 1: starts the clock
        won.ticks(seconds);
        won.key(Key::Press, 1, 1); // opens the rest
        ASSERT_EQ(won.main.field.GameActive, Int16(0)) << seconds;
        EXPECT_EQ(endWords(won.main), seconds == 1 ? "game won in 1 second"
                                                   : "game won in " + std::to_string(seconds) + " seconds");
    }
}

} // namespace
} // namespace mf
