// SPDX-License-Identifier: GPL-3.0-or-later
// The difficulty levels: the dialog's summary and heights, the level commands
// of the menu, the custom dialog's OK and close, and the safe-corners switch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"

namespace mf {
namespace {

using fakes::Harness;

std::vector<bool> checks(const MainMenu& m) {
    return {m.Beginner.Checked, m.Intermediate.Checked, m.Expert.Checked, m.Custom.Checked};
}

// A copy of what a board consists of, to tell whether it was rebuilt.
struct BoardPrint {
    explicit BoardPrint(const Minefield& f)
        : size(f.BoardSize), coveredSum(f.coveredSum()) {
        for (int i = 0; i < kCellCount; ++i) {
            shown.push_back(f.Command2[i].Visible);
            tags.push_back(f.ButPic[i].Tag);
        }
        for (int c = 0; c < 15; ++c)
            for (int r = 0; r < 15; ++r)
                values.push_back(f.CellValue[c][r]);
    }
    bool operator==(const BoardPrint&) const = default;
    int size;
    int coveredSum;
    std::vector<bool> shown;
    std::vector<std::string> tags;
    std::vector<int> values;
};

// --- The summary in the dialog ----------------------------------------------

struct Summary {
    const char* level; // "Custom" sets the scroll bars to size and density
    int size, density;
    const char* display;
    // What a screen reader says for the two bars and the selected option.
    const char* sizeWords;
    const char* densityWords;
    const char* optionWords;
};

class DialogSummary : public ::testing::TestWithParam<Summary> {};

TEST_P(DialogSummary, ThreeLinesWithTheirBlanks) {
    const Summary s = GetParam();
    Harness h;
    FrmCustom& d = h.main.custom();
    const std::string level = s.level;
    if (level == "Beginner")
        d.select(d.Beginner);
    else if (level == "Intermediate")
        d.select(d.Intermediate);
    else if (level == "Expert")
        d.select(d.Expert);
    else {
        d.select(d.optCustom);
        d.setScroll(d.scrSize, s.size);
        d.setScroll(d.scrDensity, s.density);
    }
    EXPECT_EQ(d.Display.Caption, s.display);
    EXPECT_EQ(d.scrSize.Value, s.size);
    EXPECT_EQ(d.scrDensity.Value, s.density);
    EXPECT_EQ(d.Height, level == "Custom" ? 3975 : 2415);
    EXPECT_EQ(d.sizeWords(), s.sizeWords);
    EXPECT_EQ(d.densityWords(), s.densityWords);
    for (OptionButton* option : d.options()) {
        if (option->Value) {
            EXPECT_EQ(d.optionWords(*option), s.optionWords);
        }
    }
    // A standard level holds the bars.
    EXPECT_EQ(d.barLockWords(), level == "Custom" ? "" : "set by " + level + "; choose Custom to change it");
}

INSTANTIATE_TEST_SUITE_P(
    Levels, DialogSummary,
    ::testing::Values(
        Summary{"Beginner", 6, 18, "Beginner\r\n 6 by  6\r\n 18%", "6 by 6", "18%", "6 by 6, 6 mines"},
        Summary{"Intermediate", 11, 20, "Intermediate\r\n 11 by  11\r\n 20%", "11 by 11", "20%",
                "11 by 11, 24 mines"},
        Summary{"Expert", 14, 25, "Expert\r\n 14 by  14\r\n 25%", "14 by 14", "25%", "14 by 14, 49 mines"},
        Summary{"Custom", 9, 35, "Custom\r\n 9 by  9\r\n 35%", "9 by 9", "35%", "9 by 9, 28 mines"},
        Summary{"Custom", 1, 5, "Custom\r\n 1 by  1\r\n 5%", "1 by 1", "5%", "1 by 1, 0 mines"},
        Summary{"Custom", 2, 25, "Custom\r\n 2 by  2\r\n 25%", "2 by 2", "25%", "2 by 2, 1 mine"},
        Summary{"Custom", 14, 50, "Custom\r\n 14 by  14\r\n 50%", "14 by 14", "50%", "14 by 14, 98 mines"}));

TEST(DialogScrollBars, StayInTheirRangesAndSnapBackOnAStandardLevel) {
    Harness h;
    FrmCustom& d = h.main.custom();
    d.select(d.optCustom);
    d.setScroll(d.scrSize, 0);
    d.setScroll(d.scrDensity, 51);
    EXPECT_EQ(d.scrSize.Value, 1);
    EXPECT_EQ(d.scrDensity.Value, 50);

    // A hidden scroll bar moved while a standard level is chosen comes back.
    d.select(d.Expert);
    d.setScroll(d.scrSize, 3);
    EXPECT_EQ(d.scrSize.Value, 14);
    EXPECT_EQ(d.Display.Caption, "Expert\r\n 14 by  14\r\n 25%");
}

// --- Level commands of the menu ---------------------------------------------

struct Standard {
    void (Main::*command)();
    int size, density, mines;
    std::vector<bool> checks;
};

class LevelCommand : public ::testing::TestWithParam<Standard> {};

TEST_P(LevelCommand, BuildsTheLevelsBoardWithoutShowingTheDialog) {
    const Standard s = GetParam();
    Harness h;
    h.main.Expert_Click(); // start from another level than most
    h.main.Beginner_Click();
    (h.main.*s.command)();
    EXPECT_EQ(h.main.custom().scrSize.Value, s.size);
    EXPECT_EQ(h.main.custom().scrDensity.Value, s.density);
    EXPECT_EQ(h.field().BoardSize, s.size);
    EXPECT_EQ(h.field().MineCount, s.mines);
    EXPECT_EQ(checks(h.main.menu), s.checks);
    EXPECT_EQ(h.main.custom().Height, 2415);
    EXPECT_FALSE(h.main.custom().Visible);
    EXPECT_TRUE(h.modal.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Levels, LevelCommand,
    ::testing::Values(Standard{&Main::Beginner_Click, 6, 18, 6, {true, false, false, false}},
                      Standard{&Main::Intermediate_Click, 11, 20, 24, {false, true, false, false}},
                      Standard{&Main::Expert_Click, 14, 25, 49, {false, false, true, false}}));

// --- The custom dialog --------------------------------------------------------

TEST(CustomDialog, OpensAsItWasLeft) {
    Harness h;
    bool intermediateShown = false;
    h.modal.onCustom = [&](FrmCustom& d) {
        intermediateShown = d.Visible && d.Intermediate.Value && d.Height == 2415 &&
                            d.Display.Caption == "Intermediate\r\n 11 by  11\r\n 20%";
        d.Ok_Click();
    };
    h.main.Custom_Click();
    EXPECT_TRUE(intermediateShown);
    EXPECT_FALSE(h.main.custom().Visible) << "OK hides the dialog";
}

TEST(CustomDialog, ExpertThenCustomThenOkIsACustomFourteenAtTwentyFive) {
    Harness h;
    h.modal.onCustom = [](FrmCustom& d) {
        d.select(d.Expert);
        d.select(d.optCustom);
        d.Ok_Click();
    };
    h.main.Custom_Click();
    EXPECT_EQ(h.field().BoardSize, 14);
    EXPECT_EQ(h.field().MineCount, 49);
    EXPECT_EQ(checks(h.main.menu), (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(h.main.custom().Height, 3975);
}

TEST(CustomDialog, CheckMarkMovesAtOnceButTheBoardWaitsForOk) {
    Harness h;
    h.press(5, 5, 2);
    const BoardPrint before(h.field());
    const int reseeds = h.random.reseeds;
    bool markMoved = false;
    bool boardKept = false;
    h.modal.onCustom = [&](FrmCustom& d) {
        d.select(d.Beginner);
        markMoved = checks(h.main.menu) == std::vector<bool>{true, false, false, false};
        boardKept = BoardPrint(h.field()) == before && h.random.reseeds == reseeds;
        d.Ok_Click();
    };
    h.main.Custom_Click();
    EXPECT_TRUE(markMoved);
    EXPECT_TRUE(boardKept);
    EXPECT_EQ(h.field().BoardSize, 6);
    EXPECT_EQ(h.field().MineCount, 6);
    EXPECT_EQ(h.picture(5, 5).Tag, " ");
}

struct Opening {
    const char* name;
    bool customFirst; // open with Custom at 9 and 35 rather than Intermediate
};

class CloseByFrame : public ::testing::TestWithParam<Opening> {};

TEST_P(CloseByFrame, PutsBackWhatTheDialogOpenedWithAndStartsNoGame) {
    Harness h;
    if (GetParam().customFirst)
        h.custom(9, 35);
    h.press(2, 2, 2);
    FrmCustom& dialog = h.main.custom();
    const auto option = [&] {
        return std::vector<bool>{dialog.Beginner.Value, dialog.Intermediate.Value,
                                 dialog.Expert.Value, dialog.optCustom.Value};
    };
    const std::vector<bool> openedOption = option();
    const std::vector<bool> openedChecks = checks(h.main.menu);
    const int size = dialog.scrSize.Value;
    const int density = dialog.scrDensity.Value;
    const std::string display = dialog.Display.Caption;
    const int height = dialog.Height;
    const BoardPrint before(h.field());
    const int reseeds = h.random.reseeds;

    h.modal.onCustom = [](FrmCustom& d) {
        d.select(d.optCustom);
        d.setScroll(d.scrSize, 3);
        d.setScroll(d.scrDensity, 44);
        d.select(d.Expert); // overwrites both scroll values
        d.select(d.Beginner);
        d.closedByFrame();
    };
    h.main.Custom_Click();

    EXPECT_EQ(option(), openedOption);
    EXPECT_EQ(checks(h.main.menu), openedChecks);
    EXPECT_EQ(dialog.scrSize.Value, size);
    EXPECT_EQ(dialog.scrDensity.Value, density);
    EXPECT_EQ(dialog.Display.Caption, display);
    EXPECT_EQ(dialog.Height, height);
    EXPECT_FALSE(dialog.Visible);
    EXPECT_EQ(h.random.reseeds, reseeds);
    EXPECT_EQ(BoardPrint(h.field()), before);

    // The next new game is of the level it opened with.
    h.main.MnuReset_Click();
    EXPECT_EQ(h.field().BoardSize, size);
}

INSTANTIATE_TEST_SUITE_P(Openings, CloseByFrame,
                         ::testing::Values(Opening{"Intermediate", false}, Opening{"Custom", true}),
                         [](const auto& p) { return std::string(p.param.name); });

// --- Safe corners -------------------------------------------------------------

TEST(SafeCornersSwitch, WarnsEachWayAndTogglesWhateverTheAnswer) {
    Harness h;
    h.press(4, 4, 2);
    const BoardPrint before(h.field());
    h.messages.answers = {vbCancel, vbCancel, vbOK};

    h.main.Safe_Click();
    EXPECT_FALSE(h.main.menu.Safe.Checked);
    h.main.Safe_Click();
    EXPECT_TRUE(h.main.menu.Safe.Checked);
    h.main.Safe_Click();
    EXPECT_FALSE(h.main.menu.Safe.Checked);

    const std::string unsafe = "The Corners Will Become Unsafe Next Time You Reset The Minefield";
    const std::string safe = "The Corners Will Become Safe Next Time You Reset The Minefield";
    ASSERT_EQ(h.messages.calls.size(), 3u);
    EXPECT_EQ(h.messages.calls[0].text, unsafe);
    EXPECT_EQ(h.messages.calls[0].style, vbOKCancel + vbExclamation);
    EXPECT_EQ(h.messages.calls[1].text, safe);
    EXPECT_EQ(h.messages.calls[1].style, vbOKCancel + vbInformation);
    EXPECT_EQ(h.messages.calls[2].text, unsafe);
    for (const auto& call : h.messages.calls)
        EXPECT_EQ(call.title, "Marrowfen 2");

    EXPECT_EQ(BoardPrint(h.field()), before) << "the board in play is left alone";
}

} // namespace
} // namespace mf
