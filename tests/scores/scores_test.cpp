// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "scores/score_file.h"
#include "scores/score_words.h"
#include "scores/scores.h"
#include "scores/scores_test_support.h"

namespace mf {
namespace {

using test::blanks;
using test::FakeMessageBox;
using test::readBytes;
using test::writeBytes;

constexpr const char* kQuestion = "Are you sure you want to PERMANTLY clear the high scores?";

std::string encodedRecord(const std::string& name, const std::string& time) {
    ScoreRecord r;
    r.Name.assignBytes(name);
    r.Time.assignBytes(time);
    const auto bytes = r.toBytes();
    return {bytes.data(), bytes.size()};
}

class ScoresTest : public ::testing::Test {
protected:
    std::vector<std::string> names(const Scores& s) const {
        return {s.LblName[0].Caption, s.LblName[1].Caption, s.LblName[2].Caption};
    }
    std::vector<std::string> times(const Scores& s) const {
        return {s.LblTime[0].Caption, s.LblTime[1].Caption, s.LblTime[2].Caption};
    }

    test::TempDir dir;
    FakeMessageBox box;
    std::string path = dir.file(kScoreFileName);
    const std::vector<std::string> empty{"", "", ""};
};

TEST_F(ScoresTest, TheWindowHasItsControlsInPlace) {
    Scores s(box, path);
    EXPECT_EQ(s.Caption, "-=:Hall Of Fame:=-");
    EXPECT_EQ(s.ClientWidth, 6465);
    EXPECT_EQ(s.ClientHeight, 3015);
    EXPECT_TRUE(s.Visible);

    EXPECT_EQ(s.Label1[0].rect, (Rect{230, 110, 6135, 495}));
    EXPECT_EQ(s.Label1[1].rect, (Rect{240, 120, 6135, 495}));
    EXPECT_EQ(s.Label1[0].Caption, "All Time High Speed Mine Sweepers");
    EXPECT_EQ(s.Label1[1].Caption, s.Label1[0].Caption);
    EXPECT_EQ(s.Label2.Caption, "Beginner:");
    EXPECT_EQ(s.Label3.Caption, "Intermediate:");
    EXPECT_EQ(s.Label4.Caption, "Expert:");
    EXPECT_EQ(s.Label2.rect, (Rect{960, 840, 1140, 285}));
    EXPECT_EQ(s.Label3.rect, (Rect{600, 1320, 1500, 285}));
    EXPECT_EQ(s.Label4.rect, (Rect{1320, 1800, 840, 285}));

    const int tops[] = {840, 1320, 1800};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.LblName[i].rect, (Rect{2280, tops[i], 1215, 270}));
        EXPECT_EQ(s.lab2[i].rect, (Rect{3720, tops[i], 165, 270}));
        EXPECT_EQ(s.LblTime[i].rect, (Rect{4080, tops[i], 405, 270}));
        EXPECT_EQ(s.lab[i].rect, (Rect{4680, tops[i], 930, 270}));
        EXPECT_EQ(s.lab2[i].Caption, "In");
        EXPECT_EQ(s.lab[i].Caption, "Seconds");
    }
    EXPECT_EQ(s.CmdClrScore.Caption, "   Clear High" + blanks(10) + "Scores");
    EXPECT_EQ(s.CmdClrScore.rect, (Rect{240, 2280, 1455, 615}));
    EXPECT_EQ(s.cmdExit.Caption, "OK");
    EXPECT_EQ(s.cmdExit.rect, (Rect{4920, 2280, 1455, 615}));
}

TEST_F(ScoresTest, LoadingWithoutAFileCreatesItAndShowsEmptyRows) {
    Scores s(box, path);
    s.Form_Load();
    EXPECT_EQ(names(s), empty);
    EXPECT_EQ(times(s), empty);
    s.Form_Unload();
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_TRUE(box.calls.empty());
}

TEST_F(ScoresTest, TheDefaultFileIsTheOneInTheWorkingDirectory) {
    writeBytes(dir.file("Vorask7.fez"), test::clearedFile());
    Scores s(box);
    s.Form_Load();
    EXPECT_EQ(s.LblName[0].Caption, "Anonymous");
    s.Form_Unload();
}

TEST_F(ScoresTest, RowsShowTheRecordsInLevelOrderWithoutOuterBlanks) {
    const std::string forty(40, 'W');
    writeBytes(path, encodedRecord("   Ann", "57 ") + encodedRecord(forty, "999") +
                         encodedRecord("Zo\xEB  van  Dyke", " 5 "));
    Scores s(box, path);
    s.Form_Load();
    EXPECT_EQ(names(s), (std::vector<std::string>{"Ann", forty, "Zo\u00EB  van  Dyke"}));
    EXPECT_EQ(times(s), (std::vector<std::string>{"57", "999", "5"}));
    s.Form_Unload();
}

TEST_F(ScoresTest, RowsOfAShortFileAreEmpty) {
    writeBytes(path, encodedRecord("Ann", "12 ") + "Bob");
    Scores s(box, path);
    s.Form_Load();
    EXPECT_EQ(names(s), (std::vector<std::string>{"Ann", "", ""}));
    EXPECT_EQ(times(s), (std::vector<std::string>{"12", "", ""}));
    s.Form_Unload();
}

TEST_F(ScoresTest, ClearAsksAndYesWritesTheThreeDefaultRecords) {
    const std::string tail = "kept";
    writeBytes(path, encodedRecord("Ann", "12 ") + encodedRecord("Bob", "34 ") + encodedRecord("Cy", "56 ") + tail);
    Scores s(box, path);
    s.Form_Load();
    box.answers = {vbYes};
    s.CmdClrScore_Click();
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, kQuestion);
    EXPECT_EQ(box.calls[0].title, "Marrowfen 2");
    EXPECT_EQ(box.calls[0].style, vbYesNo + vbExclamation);
    EXPECT_EQ(names(s), (std::vector<std::string>(3, "Anonymous")));
    EXPECT_EQ(times(s), (std::vector<std::string>(3, "999")));
    s.Form_Unload();
    EXPECT_EQ(readBytes(path), test::clearedFile() + tail);
}

TEST_F(ScoresTest, ClearOnAMissingFileMakesTheCleared129ByteFile) {
    Scores s(box, path);
    s.Form_Load();
    box.answers = {vbYes};
    s.CmdClrScore_Click();
    s.Form_Unload();
    EXPECT_EQ(readBytes(path), test::clearedFile());
}

TEST_F(ScoresTest, ClearAnsweredNoChangesNothing) {
    const std::string before = encodedRecord("Ann", "12 ") + encodedRecord("Bob", "34 ");
    writeBytes(path, before);
    Scores s(box, path);
    s.Form_Load();
    box.answers = {vbNo};
    s.CmdClrScore_Click();
    EXPECT_EQ(names(s), (std::vector<std::string>{"Ann", "Bob", ""}));
    EXPECT_EQ(times(s), (std::vector<std::string>{"12", "34", ""}));
    s.Form_Unload();
    EXPECT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(ScoresTest, EachShowingReadsTheFileAfresh) {
    writeBytes(path, test::clearedFile());
    Scores s(box, path);
    s.Form_Load();
    s.Form_Unload();

    ScoreFile entry(path, box);
    entry.Open();
    ScoreRecord r;
    r.Name = "Jo";
    r.setTime(57);
    ASSERT_TRUE(entry.WriteIfBetter(2, r));
    entry.Close();

    s.Form_Load();
    EXPECT_EQ(names(s), (std::vector<std::string>{"Anonymous", "Jo", "Anonymous"}));
    EXPECT_EQ(times(s), (std::vector<std::string>{"999", "57", "999"}));
    s.Form_Unload();
}

TEST_F(ScoresTest, OkUnloadsTheWindow) {
    Scores s(box, path);
    s.Form_Load();
    s.cmdExit_Click();
    EXPECT_FALSE(s.Visible);
    s.Form_Unload();
}

TEST_F(ScoresTest, AnUnusableFileIsReportedOnceAndTheWindowStillWorks) {
    std::filesystem::create_directory(path);
    Scores s(box, path);
    s.Form_Load();
    EXPECT_EQ(names(s), empty);
    EXPECT_EQ(times(s), empty);
    ASSERT_EQ(box.calls.size(), 1u);
    EXPECT_EQ(box.calls[0].text, "The best times could not be read from " + path + ": Is a directory");

    box.answers = {vbYes};
    s.CmdClrScore_Click();
    ASSERT_EQ(box.calls.size(), 3u);  // the question, then one word about saving
    EXPECT_EQ(box.calls[1].text, kQuestion);
    EXPECT_EQ(box.calls[2].text, "The best times could not be saved to " + path + ": Is a directory");
    EXPECT_EQ(box.calls[2].style, vbOKOnly + vbExclamation);
    EXPECT_EQ(names(s), empty);
    s.cmdExit_Click();
    s.Form_Unload();
    EXPECT_EQ(box.calls.size(), 3u);
}

// --- What a screen reader says ------------------------------------------------

TEST_F(ScoresTest, TheRowsAreReadAsWords) {
    writeBytes(path, encodedRecord("Ann Lee", "12") + encodedRecord("", "1") + encodedRecord("Anonymous", "999"));
    Scores s(box, path);
    s.Form_Load();
    EXPECT_EQ(recordsWords(s), "Beginner: Ann Lee, 12 seconds. Intermediate: 1 second. "
                               "Expert: Anonymous, 999 seconds.");
    box.answers = {vbYes};
    s.CmdClrScore_Click();
    EXPECT_EQ(recordsWords(s), "Beginner: Anonymous, 999 seconds. Intermediate: Anonymous, 999 seconds. "
                               "Expert: Anonymous, 999 seconds.");
    s.Form_Unload();
}

TEST_F(ScoresTest, RowsOfAMissingFileAreReadAsNoRecord) {
    Scores s(box, path);
    s.Form_Load();
    EXPECT_EQ(recordsWords(s), "Beginner: no record. Intermediate: no record. Expert: no record.");
    s.Form_Unload();
}

struct Spoken {
    const char* name;
    void (Main::*level)();
    int seconds;
    const char* words;
};

class RecordQuestion : public ::testing::TestWithParam<Spoken> {};

// The question shows as it always did; its description names the level and
// the time.
TEST_P(RecordQuestion, IsReadWithTheLevelAndTheTime) {
    const Spoken s = GetParam();
    fakes::Harness h;
    writeBytes(h.scoreFile(), test::clearedFile());
    h.input.answers = {"Zed"};
    h.setSafe(false);
    (h.main.*s.level)();
    const int size = h.field().BoardSize;
    h.layMines(fakes::minesFromBottom(size, h.field().MineCount));
    h.press(1, size, 2); // a flag starts the clock
    h.ticks(s.seconds);
    h.uncoverAllSafe();
    ASSERT_EQ(h.field().GameActive, 0);
    EXPECT_EQ(h.input.descriptions, std::vector<std::string>{s.words});
    EXPECT_EQ(h.input.prompts, std::vector<std::string>{"Enter Your Name"});
    EXPECT_EQ(h.input.titles, std::vector<std::string>{"Congratulations!"});
}

INSTANTIATE_TEST_SUITE_P(
    Levels, RecordQuestion,
    ::testing::Values(Spoken{"Beginner", &Main::Beginner_Click, 12, "New Beginner record: 12 seconds"},
                      Spoken{"IntermediateOneSecond", &Main::Intermediate_Click, 1,
                             "New Intermediate record: 1 second"},
                      Spoken{"Expert", &Main::Expert_Click, 57, "New Expert record: 57 seconds"}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace mf
