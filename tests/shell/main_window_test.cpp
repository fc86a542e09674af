// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its size and status strip for each board, the cells it
// shows, what a new board resets, its state after loading and its menu.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "fakes.h"

namespace mf {
namespace {

using fakes::Cell;
using fakes::Harness;

// --- Window size and strip per board size --------------------------------

struct Fit {
    int size;
    int width, height;
    int resetLeft, minesLeft, lineEnd;
};

class WindowFit : public ::testing::TestWithParam<Fit> {};

TEST_P(WindowFit, SizeAndStripFollowTheBoard) {
    const Fit f = GetParam();
    Harness h;
    h.custom(f.size, 20);
    EXPECT_EQ(h.main.Width, f.width);
    EXPECT_EQ(h.main.Height, f.height);
    EXPECT_EQ(h.main.strip.ResetWrd.rect.Left, f.resetLeft);
    EXPECT_EQ(h.main.strip.Reset.rect.Left, f.resetLeft);
    EXPECT_EQ(h.main.strip.MinesLbl.rect.Left, f.minesLeft);
    for (const Line* line : {&h.main.strip.Line1, &h.main.strip.Line2, &h.main.strip.Line3,
                             &h.main.strip.Line4})
        EXPECT_EQ(line->X2, f.lineEnd);
    EXPECT_FALSE(h.main.Blow.Visible) << "the explosion is never left showing";
}

// Sizes 1 to 11 share one width; the window grows by 365 per cell.
INSTANTIATE_TEST_SUITE_P(EverySize, WindowFit,
                         ::testing::Values(Fit{1, 4315, 2115, 1680, 2535, 4115},
                                           Fit{2, 4315, 2480, 1680, 2535, 4115},
                                           Fit{3, 4315, 2845, 1680, 2535, 4115},
                                           Fit{4, 4315, 3210, 1680, 2535, 4115},
                                           Fit{5, 4315, 3575, 1680, 2535, 4115},
                                           Fit{6, 4315, 3940, 1680, 2535, 4115},
                                           Fit{7, 4315, 4305, 1680, 2535, 4115},
                                           Fit{8, 4315, 4670, 1680, 2535, 4115},
                                           Fit{9, 4315, 5035, 1680, 2535, 4115},
                                           Fit{10, 4315, 5400, 1680, 2535, 4115},
                                           Fit{11, 4315, 5765, 1680, 2535, 4115},
                                           Fit{12, 4680, 6130, 1862, 2900, 4480},
                                           Fit{13, 5045, 6495, 2044, 3265, 4845},
                                           Fit{14, 5410, 6860, 2226, 3630, 5210}));

// Shrinking back: a small board after a wide one puts the strip back too.
TEST(WindowFitBack, SmallBoardAfterExpert) {
    Harness h;
    h.main.Expert_Click();
    h.main.Beginner_Click();
    EXPECT_EQ(h.main.Width, 4315);
    EXPECT_EQ(h.main.Height, 3940);
    EXPECT_EQ(h.main.strip.ResetWrd.rect.Left, 1680);
    EXPECT_EQ(h.main.strip.MinesLbl.rect.Left, 2535);
    EXPECT_EQ(h.main.strip.Line4.X2, 4115);
}

// --- Cells shown -----------------------------------------------------------

TEST(Cells, SixBySixAfterAPlayedExpertRoundShowsExactlyItsButtons) {
    Harness h;
    h.setSafe(false);
    h.main.Expert_Click();
    h.layMines(fakes::minesFromBottom(14, 49)); // rows 12-14 and half of row 11
    h.press(14, 14, 2);
    h.press(7, 13, 2);
    h.press(12, 1);
    ASSERT_TRUE(h.picture(1, 1).Visible);
    h.press(3, 11); // lost: every picture shown
    ASSERT_EQ(h.field().GameActive, 0);

    h.main.Beginner_Click();
    std::set<int> expected;
    for (int start : {0, 14, 28, 42, 56, 70})
        for (int i = start; i <= start + 5; ++i)
            expected.insert(i);
    std::set<int> shown;
    for (int i = 0; i < kCellCount; ++i) {
        if (h.field().Command2[i].Visible)
            shown.insert(i);
        EXPECT_FALSE(h.field().ButPic[i].Visible) << i;
        EXPECT_EQ(h.field().ButPic[i].Tag, " ") << i;
    }
    EXPECT_EQ(shown, expected);
}

TEST(Cells, ControlsStandOnTheFourteenColumnGrid) {
    Harness h;
    EXPECT_EQ(h.field().Command2[0].rect, (Rect{120, 960, 390, 390}));
    EXPECT_EQ(h.field().Command2[15].rect, (Rect{480, 1320, 390, 390}));
    EXPECT_EQ(h.field().ButPic[195].rect, (Rect{4800, 5640, 390, 390}));
}

// --- A new board ------------------------------------------------------------

TEST(NewBoard, LabelsShowTheMinesAndNoTime) {
    Harness h;
    EXPECT_EQ(h.main.strip.MinesLbl.Caption, "MINES:  24");
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME: 0");
}

// Plays a round into the state named, then resets it from the menu.
// Mines fill rows 10 and 11 and the first two cells of row 9.
void playInto(Harness& h, bool lose) {
    h.main.Intermediate_Click();
    h.layMines(fakes::minesFromBottom(11, 24));
    h.press(11, 11, 2);
    h.press(1, 11, 2);
    h.press(5, 9);
    h.ticks(5);
    h.clickPicture(1, 11);
    if (lose) {
        h.press(4, 10);
        ASSERT_EQ(h.field().GameActive, 0);
        ASSERT_TRUE(h.main.Blow.Visible);
        ASSERT_TRUE(h.main.strip.Reset.Visible);
        ASSERT_EQ(h.main.MousePointer, Main::kCustomPointer);
    } else {
        ASSERT_EQ(h.field().GameActive, 1) << "the game goes on";
        ASSERT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  5");
    }
}

class ResetMidRound : public ::testing::TestWithParam<bool> {};

TEST_P(ResetMidRound, ABoardIsBuiltFromScratch) {
    Harness h;
    h.setSafe(false); // mines in the corners
    playInto(h, GetParam());
    h.random.reseeds = 0;
    h.main.MnuReset_Click();

    const Minefield& f = h.field();
    EXPECT_EQ(h.random.reseeds, 1);
    EXPECT_EQ(f.GameActive, 1);
    EXPECT_EQ(f.ClockStarted, 0);
    EXPECT_EQ(f.ElapsedSeconds, 0);
    EXPECT_EQ(f.MinesLeft, 24);
    EXPECT_EQ(h.main.strip.MinesLbl.Caption, "MINES:  24");
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME: 0");
    EXPECT_EQ(f.coveredSum(), 121 - 2 * 24);
    for (int c = 1; c <= 11; ++c) {
        for (int r = 1; r <= 11; ++r) {
            EXPECT_TRUE(h.button(c, r).Visible);
            EXPECT_FALSE(h.picture(c, r).Visible);
            EXPECT_EQ(h.picture(c, r).Tag, " ");
        }
    }
    EXPECT_FALSE(h.main.Blow.Visible);
    EXPECT_EQ(h.main.Blow.rect, (Rect{-120, 720, 960, 960}));
    EXPECT_TRUE(h.main.strip.ResetWrd.Visible);
    EXPECT_FALSE(h.main.strip.Reset.Visible);
    EXPECT_EQ(h.main.MousePointer, Main::kDefaultPointer);

    h.ticks(3);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME: 0") << "the clock waits for a press";
}

INSTANTIATE_TEST_SUITE_P(PlayingAndLost, ResetMidRound, ::testing::Bool());

TEST(NewBoard, EveryResetCommandBuildsOne) {
    Harness h;
    for (void (Main::*command)() : {&Main::MnuReset_Click, &Main::ResetWrd_Click, &Main::Reset_Click}) {
        h.press(3, 3, 2);
        const int before = h.random.reseeds;
        (h.main.*command)();
        EXPECT_EQ(h.random.reseeds, before + 1);
        EXPECT_EQ(h.field().MinesLeft, 24);
        EXPECT_EQ(h.picture(3, 3).Tag, " ");
    }
}

// --- Loading ---------------------------------------------------------------

TEST(FormLoad, IntermediateWithSoundAndSafeCorners) {
    Harness h(false);
    h.main.Form_Load();
    const MainMenu& m = h.main.menu;
    EXPECT_TRUE(m.Intermediate.Checked);
    EXPECT_FALSE(m.Beginner.Checked);
    EXPECT_FALSE(m.Expert.Checked);
    EXPECT_FALSE(m.Custom.Checked);
    EXPECT_TRUE(m.MnuSndOn.Checked);
    EXPECT_TRUE(m.Safe.Checked);

    EXPECT_EQ(h.field().BoardSize, 11);
    EXPECT_EQ(h.field().MineCount, 24);
    EXPECT_EQ(h.main.custom().scrSize.Value, 11);
    EXPECT_EQ(h.main.custom().scrDensity.Value, 20);
    EXPECT_TRUE(h.main.custom().Intermediate.Value);
    EXPECT_FALSE(h.main.custom().Visible);
    EXPECT_TRUE(h.main.strip.ResetWrd.Visible);
    EXPECT_FALSE(h.main.strip.Reset.Visible);
    EXPECT_FALSE(h.main.Blow.Visible);
    EXPECT_EQ(h.main.Caption, " -=:Marrowfen 2:=-");
    EXPECT_EQ(h.main.Width, 4315);
    EXPECT_EQ(h.main.Height, 5765);
    EXPECT_TRUE(h.modal.shown.empty());
    EXPECT_TRUE(h.messages.calls.empty());
    EXPECT_TRUE(h.wave.log.empty());
}

// --- Menu ---------------------------------------------------------------------

TEST(Menu, ClickRunsTheItemsHandler) {
    Harness h;
    EXPECT_TRUE(h.main.menuClick("Beginner"));
    EXPECT_EQ(h.field().BoardSize, 6);
    EXPECT_TRUE(h.main.menuClick("Expert"));
    EXPECT_EQ(h.field().BoardSize, 14);
    EXPECT_TRUE(h.main.menuClick("Intermediate"));
    EXPECT_EQ(h.field().BoardSize, 11);

    h.press(2, 2, 2);
    EXPECT_TRUE(h.main.menuClick("MnuReset"));
    EXPECT_EQ(h.picture(2, 2).Tag, " ");

    EXPECT_TRUE(h.main.menuClick("MnuSndOn"));
    EXPECT_FALSE(h.main.menu.MnuSndOn.Checked);

    EXPECT_TRUE(h.main.menuClick("Safe"));
    EXPECT_FALSE(h.main.menu.Safe.Checked);
    EXPECT_EQ(h.messages.calls.size(), 1u);

    EXPECT_TRUE(h.main.menuClick("Custom"));
    EXPECT_TRUE(h.main.menuClick("ShwScore"));
    EXPECT_EQ(h.modal.shown, (std::vector<std::string>{"FrmCustom", "Scores"}));
}

TEST(Menu, UnknownItemsAreRefusedAndChangeNothing) {
    Harness h;
    const int reseeds = h.random.reseeds;
    for (const char* name : {"", "NoSuchItem", "beginner", "File", "MnuLine1"})
        EXPECT_FALSE(h.main.menuClick(name)) << name;
    EXPECT_EQ(h.random.reseeds, reseeds);
    EXPECT_TRUE(h.modal.shown.empty());
}

TEST(Menu, TreeNamesEveryItemWithItsCaptionAndShortcut) {
    Harness h;
    const auto tree = h.main.menu.tree();
    ASSERT_EQ(tree.size(), 4u);
    EXPECT_EQ(tree[0].item->Caption, "&File");
    EXPECT_EQ(tree[0].children[0].children[4].item->Caption, "&Custom...");
    EXPECT_TRUE(tree[0].children[0].children[3].isSeparator());
    EXPECT_EQ(tree[2].children[2].item->Shortcut, "Ctrl+C");
    EXPECT_EQ(tree[1].children[2].item->Caption, "Safe &Corners");
}

} // namespace
} // namespace mf
