// SPDX-License-Identifier: GPL-3.0-or-later
// A round from the player's side: flags, uncovering, the end of a round won
// or lost, and the record entry after a win.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "scores/scores.h"

namespace mf {
namespace {

using fakes::Cell;
using fakes::Harness;
using fakes::recordBytes;
using fakes::ScriptedRandom;
using Log = std::vector<std::string>;

// --- Flags ------------------------------------------------------------------------

class FirstPressFlags : public ::testing::TestWithParam<Int16> {};

TEST_P(FirstPressFlags, AndStartsTheClock) {
    Harness h;
    h.press(3, 4, GetParam());
    EXPECT_EQ(h.field().ClockStarted, 1);
    EXPECT_FALSE(h.button(3, 4).Visible);
    EXPECT_TRUE(h.picture(3, 4).Visible);
    EXPECT_EQ(h.picture(3, 4).picture, Picture::imgFlag);
    EXPECT_EQ(h.picture(3, 4).Tag, "think");
    EXPECT_EQ(h.main.strip.MinesLbl.Caption, "MINES:  23");
    EXPECT_EQ(h.field().GameActive, 1);
    h.ticks(1);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  1");
}

INSTANTIATE_TEST_SUITE_P(SecondaryAndMiddle, FirstPressFlags, ::testing::Values(Int16{2}, Int16{4}));

TEST(Flags, TenOnSixMinesCountBelowZero) {
    Harness h;
    h.main.Beginner_Click();
    for (int k = 0; k < 10; ++k)
        h.press(k % 6 + 1, k / 6 + 1, 2);
    EXPECT_EQ(h.field().MinesLeft, -4);
    EXPECT_EQ(h.main.strip.MinesLbl.Caption, "MINES: -4");
}

TEST(Flags, AClickGivesTheButtonBackWithAnEmptyTag) {
    Harness h;
    h.press(5, 5, 2);
    h.clickPicture(5, 5);
    EXPECT_TRUE(h.button(5, 5).Visible);
    EXPECT_FALSE(h.picture(5, 5).Visible);
    EXPECT_EQ(h.picture(5, 5).Tag, "");
    EXPECT_EQ(h.main.strip.MinesLbl.Caption, "MINES:  24");

    // An uncovered cell ignores clicks.
    h.setSafe(false);
    h.layMines(fakes::minesFromBottom(11, 24));
    h.press(4, 9); // a number
    h.clickPicture(4, 9);
    EXPECT_TRUE(h.picture(4, 9).Visible);
    EXPECT_EQ(h.field().MinesLeft, 24);
}

// --- Winning and losing ---------------------------------------------------------------

TEST(Win, SomeMinesFlaggedAndSomeNot) {
    Harness h;
    h.setSafe(false);
    h.main.Beginner_Click();
    h.layMines(fakes::minesFromBottom(6, 6)); // the whole last row
    h.press(1, 6, 2);
    h.press(4, 6, 2);
    h.press(2, 1, 2); // a wrong flag
    const int reseeds = h.random.reseeds;
    h.uncoverAllSafe();
    EXPECT_EQ(h.field().GameActive, 0);
    EXPECT_EQ(h.random.reseeds, reseeds + 1) << "one end of round";
    EXPECT_TRUE(h.main.strip.Reset.Visible);
    EXPECT_FALSE(h.main.strip.ResetWrd.Visible);
    EXPECT_FALSE(h.main.Blow.Visible);
    EXPECT_EQ(h.main.MousePointer, Main::kDefaultPointer);
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(h.picture(c, 6).picture, Picture::ImgBomb) << c;
    EXPECT_EQ(h.picture(2, 1).picture, Picture::ImgNoBomb);
    EXPECT_EQ(h.picture(3, 5).picture, Picture::img3);
}

struct Loss {
    int size;
    std::vector<Cell> mines;
    Cell hit;
    int blowLeft, blowTop;
};

class LosingPress : public ::testing::TestWithParam<Loss> {};

TEST_P(LosingPress, HitPictureFirstThenExplosionOverTheMine) {
    const Loss l = GetParam();
    Harness h;
    h.setSafe(false);
    h.customBoard(l.size, l.mines);

    Picture pictureAtEnd = Picture::None;
    int activeAtEnd = -1;
    h.random.onReseed = [&] {
        pictureAtEnd = h.picture(l.hit.column, l.hit.row).picture;
        activeAtEnd = h.field().GameActive;
    };
    bool faceDuringExplosion = true;
    h.wave.onRecord = [&](const std::string& entry) {
        if (entry == "Play" && h.wave.files().back() == "Vorask1.fez")
            faceDuringExplosion = h.main.strip.Reset.Visible;
    };
    h.press(l.hit.column, l.hit.row);

    EXPECT_EQ(pictureAtEnd, Picture::imgHit);
    EXPECT_EQ(activeAtEnd, 0);
    EXPECT_EQ(h.picture(l.hit.column, l.hit.row).picture, Picture::ImgBomb);
    EXPECT_TRUE(h.main.Blow.Visible);
    EXPECT_EQ(h.main.Blow.rect.Left, l.blowLeft);
    EXPECT_EQ(h.main.Blow.rect.Top, l.blowTop);
    EXPECT_EQ(h.main.MousePointer, Main::kCustomPointer);
    EXPECT_FALSE(faceDuringExplosion) << "the face waits for the explosion";
    EXPECT_TRUE(h.main.strip.Reset.Visible);
    EXPECT_FALSE(h.main.strip.ResetWrd.Visible);
}

// The last row of a 14 x 14 board from column 6 on: nine mines.
std::vector<Cell> lastRowFromColumnSix() {
    std::vector<Cell> mines;
    for (int c = 6; c <= 14; ++c)
        mines.push_back({c, 14});
    return mines;
}

INSTANTIATE_TEST_SUITE_P(
    Cells, LosingPress,
    ::testing::Values(Loss{3, {{1, 1}, {3, 2}}, {1, 1}, -120, 720},
                      Loss{3, {{1, 1}, {3, 2}}, {3, 2}, 610, 1085},
                      Loss{14, lastRowFromColumnSix(), {14, 14}, 4625, 5465},
                      Loss{14, lastRowFromColumnSix(), {6, 14}, 1705, 5465}));

// The 3 x 3 example: mines at (1, 1) and (3, 2).
TEST(Loss, FlagsEndCrossedOutOrAsMines) {
    Harness h;
    h.setSafe(false);
    h.customBoard(3, {{1, 1}, {3, 2}});
    h.press(1, 1, 2); // on a mine
    h.press(2, 1, 2); // value 2
    h.press(1, 3, 2); // value 0
    h.press(3, 2);

    EXPECT_EQ(h.picture(1, 1).picture, Picture::ImgBomb);
    EXPECT_EQ(h.picture(2, 1).picture, Picture::ImgNoBomb);
    EXPECT_EQ(h.picture(1, 3).picture, Picture::ImgNoBomb);
    EXPECT_EQ(h.picture(3, 2).picture, Picture::ImgBomb);
    EXPECT_EQ(h.picture(2, 2).picture, Picture::Img2);
    EXPECT_EQ(h.picture(3, 3).picture, Picture::Img1);
    for (const Cell flag : {Cell{1, 1}, Cell{2, 1}, Cell{1, 3}})
        EXPECT_EQ(h.picture(flag.column, flag.row).Tag, "think");
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r)
            EXPECT_TRUE(h.picture(c, r).Visible && !h.button(c, r).Visible);
}

TEST(Loss, PointerAndFaceAreChosenEvenly) {
    Harness h;
    h.main.MnuSndOn_Click();
    constexpr int kLosses = 1500;
    std::map<Picture, int> pointers;
    std::map<Picture, int> faces;
    for (int k = 0; k < kLosses; ++k) {
        h.main.MnuReset_Click();
        const Cell mine = h.firstMine();
        h.press(mine.column, mine.row);
        ++pointers[h.main.MouseIcon];
        ++faces[h.main.strip.Reset.picture];
    }
    ASSERT_EQ(pointers.size(), 4u);
    for (const auto& [pointer, count] : pointers)
        EXPECT_NEAR(count, kLosses / 4.0, kLosses * 0.05);
    ASSERT_EQ(faces.size(), 3u);
    for (const Picture face : {Picture::ImgVorask, Picture::Ha1, Picture::ImgSkull})
        EXPECT_NEAR(faces[face], kLosses / 3.0, kLosses * 0.05);
}

TEST(Win, AMineFreeBoardIsWonByTheFirstPress) {
    for (int density : {5, 25, 50}) {
        Harness h;
        h.custom(1, density);
        h.press(1, 1);
        EXPECT_EQ(h.field().GameActive, 0);
        EXPECT_EQ(h.main.strip.Reset.picture, Picture::ImgGrowl);
        EXPECT_EQ(h.wave.files(), (Log{"Vorask5.fez"}));
        EXPECT_TRUE(h.input.prompts.empty());
        EXPECT_FALSE(std::filesystem::exists(h.scoreFile())) << "a custom game has no record";
    }
}

// A standard level consults its record even when the file is still missing;
// a missing record reads as time 0, which no time beats.
TEST(Win, AStandardLevelLooksUpItsRecord) {
    Harness h;
    h.setSafe(false);
    h.main.Beginner_Click();
    h.layMines(fakes::minesFromBottom(6, 6));
    h.press(1, 1);
    ASSERT_EQ(h.field().GameActive, 0);
    EXPECT_TRUE(std::filesystem::exists(h.scoreFile()));
    EXPECT_EQ(h.main.strip.Reset.picture, Picture::ImgGrowl);
    EXPECT_EQ(h.wave.files(), (Log{"Vorask5.fez"}));
    EXPECT_TRUE(h.input.prompts.empty());
}

TEST(AfterTheEnd, AFlagGivesBackAButtonThatStillReacts) {
    Harness h;
    h.setSafe(false);
    h.customBoard(3, {{1, 1}, {3, 2}});
    h.press(1, 1, 2);
    h.press(1, 3, 2);
    h.press(3, 2);
    ASSERT_EQ(h.field().MinesLeft, 0);

    h.clickPicture(2, 2); // no flag: nothing
    EXPECT_TRUE(h.picture(2, 2).Visible);

    h.clickPicture(1, 3);
    EXPECT_TRUE(h.button(1, 3).Visible);
    EXPECT_FALSE(h.picture(1, 3).Visible);
    EXPECT_EQ(h.field().MinesLeft, 1);
    h.press(1, 3, 2); // flags again
    EXPECT_EQ(h.picture(1, 3).picture, Picture::imgFlag);
    EXPECT_EQ(h.field().MinesLeft, 0);

    // The flagged mine, given back its button and pressed, is lost again.
    h.clickPicture(1, 1);
    const int reseeds = h.random.reseeds;
    h.wave.log.clear();
    h.press(1, 1);
    EXPECT_EQ(h.random.reseeds, reseeds + 1);
    EXPECT_EQ(h.wave.files().front(), "Vorask1.fez");
    EXPECT_EQ(h.picture(1, 1).picture, Picture::ImgBomb);
}

// --- The record entry ------------------------------------------------------------

const std::string kAnonymous = recordBytes("Anonymous", "999");

// Wins the level's board (mines in the last rows) after `seconds` counted.
void winIn(Harness& h, void (Main::*level)(), int seconds) {
    h.setSafe(false);
    (h.main.*level)();
    const int size = h.field().BoardSize;
    h.layMines(fakes::minesFromBottom(size, h.field().MineCount));
    h.press(1, size, 2); // a flag starts the clock
    h.ticks(seconds);
    h.uncoverAllSafe();
    ASSERT_EQ(h.field().GameActive, 0);
    ASSERT_FALSE(h.main.Blow.Visible) << "won";
}

struct Race {
    const char* name;
    void (Main::*level)();
    int record;        // 1..3
    const char* stored;
    int seconds;
    bool beaten;
};

class RecordEntry : public ::testing::TestWithParam<Race> {};

TEST_P(RecordEntry, OnlyAStrictlyBetterTimeIsStored) {
    const Race r = GetParam();
    Harness h;
    std::string before = kAnonymous + kAnonymous + kAnonymous;
    before.replace((r.record - 1) * 43, 43, recordBytes("Old Hand", r.stored));
    fakes::writeBytes(h.scoreFile(), before);
    h.input.answers = {"Zed"};
    std::string shownName, shownTime, soundBeforeHall;
    h.modal.onScores = [&](Scores& s) {
        shownName = s.LblName[r.record - 1].Caption;
        shownTime = s.LblTime[r.record - 1].Caption;
        soundBeforeHall = h.wave.files().back();
    };

    winIn(h, r.level, r.seconds);

    EXPECT_TRUE(h.main.strip.Reset.Visible);
    if (r.beaten) {
        std::string after = before;
        after.replace((r.record - 1) * 43, 43, recordBytes("Zed", std::to_string(r.seconds)));
        EXPECT_EQ(fakes::readBytes(h.scoreFile()), after);
        EXPECT_EQ(h.input.prompts, (Log{"Enter Your Name"}));
        EXPECT_EQ(h.input.titles, (Log{"Congratulations!"}));
        EXPECT_EQ(h.main.strip.Reset.picture, Picture::ImgHodrel);
        EXPECT_EQ(h.wave.files(), (Log{"Vorask2.fez"}));
        EXPECT_EQ(h.modal.shown, (Log{"Scores"}));
        EXPECT_EQ(soundBeforeHall, "Vorask2.fez");
        EXPECT_EQ(shownName, "Zed");
        EXPECT_EQ(shownTime, std::to_string(r.seconds));
    } else {
        EXPECT_EQ(fakes::readBytes(h.scoreFile()), before);
        EXPECT_TRUE(h.input.prompts.empty());
        EXPECT_EQ(h.main.strip.Reset.picture, Picture::ImgGrowl);
        EXPECT_EQ(h.wave.files(), (Log{"Vorask5.fez"}));
        EXPECT_TRUE(h.modal.shown.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Races, RecordEntry,
    ::testing::Values(Race{"IntermediateBeats999", &Main::Intermediate_Click, 2, "999", 57, true},
                      Race{"ExpertTies", &Main::Expert_Click, 3, "57", 57, false},
                      Race{"BeginnerSlower", &Main::Beginner_Click, 1, "30", 57, false},
                      Race{"BeginnerByOneSecond", &Main::Beginner_Click, 1, "58", 57, true},
                      Race{"ExpertSingleDigit", &Main::Expert_Click, 3, "10", 7, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(RecordEntryCustom, ACustomWinNeverOpensTheFile) {
    Harness h;
    h.setSafe(false);
    h.custom(14, 25);
    h.layMines(fakes::minesFromBottom(14, 49));
    h.press(1, 14, 2);
    h.ticks(5);
    h.uncoverAllSafe();
    ASSERT_EQ(h.field().GameActive, 0);
    EXPECT_FALSE(std::filesystem::exists(h.scoreFile()));
    EXPECT_EQ(h.main.strip.Reset.picture, Picture::ImgGrowl);
    EXPECT_EQ(h.wave.files(), (Log{"Vorask5.fez"}));
    EXPECT_TRUE(h.input.prompts.empty());
    EXPECT_EQ(h.modal.shown, (Log{"FrmCustom"})) << "no Hall of Fame";
}

struct Entered {
    const char* typed;
    std::string stored; // the 40 bytes of the name field
    const char* shown;
};

class RecordName : public ::testing::TestWithParam<Entered> {};

TEST_P(RecordName, IsStoredAsTypedAndShownTrimmed) {
    const Entered e = GetParam();
    Harness h;
    fakes::writeBytes(h.scoreFile(), kAnonymous + kAnonymous + kAnonymous);
    h.input.answers = {e.typed};
    std::string shown = "?";
    h.modal.onScores = [&](Scores& s) { shown = s.LblName[1].Caption; };
    winIn(h, &Main::Intermediate_Click, 57);
    EXPECT_EQ(fakes::readBytes(h.scoreFile()), kAnonymous + e.stored + "57 " + kAnonymous);
    EXPECT_EQ(shown, e.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RecordName,
    ::testing::Values(Entered{"", std::string(40, ' '), ""}, // Cancel or nothing typed
                      Entered{"  Ann Lee  ", "  Ann Lee" + std::string(31, ' '), "Ann Lee"},
                      // One byte a character in the file.
                      Entered{"Zo\u00eb", "Zo\xeb" + std::string(37, ' '), "Zo\u00eb"},
                      Entered{"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwx",
                              "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn",
                              "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn"}));

} // namespace
} // namespace mf
