// SPDX-License-Identifier: GPL-3.0-or-later
// Sounds, the laughing face and the one-second clock with its time limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"

namespace mf {
namespace {

using fakes::Cell;
using fakes::Harness;
using fakes::ScriptedRandom;
using Log = std::vector<std::string>;

// --- Sounds ---------------------------------------------------------------------

struct SoundCase {
    Int16 number;
    Log withSound;
};

class PlaySoundSequence : public ::testing::TestWithParam<SoundCase> {};

TEST_P(PlaySoundSequence, DrivesTheDeviceOnlyWithSoundOn) {
    const SoundCase s = GetParam();
    Harness h;
    h.main.PlaySound(s.number);
    EXPECT_EQ(h.wave.log, s.withSound);

    h.wave.log.clear();
    h.main.MnuSndOn_Click();
    h.main.PlaySound(s.number);
    EXPECT_TRUE(h.wave.log.empty());
    EXPECT_EQ(h.end.count, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, PlaySoundSequence,
    ::testing::Values(
        SoundCase{0, {"Close", "DeviceType=WaveAudio", "FileName=Vorask1.fez", "Open", "Wait=1", "Play"}},
        SoundCase{1, {"Close", "DeviceType=WaveAudio", "FileName=Vorask2.fez", "Open", "Play"}},
        SoundCase{2, {"Close", "DeviceType=WaveAudio", "FileName=Vorask5.fez", "Open", "Play"}},
        SoundCase{3, {"Close", "DeviceType=WaveAudio", "FileName=Vorask6.fez", "Open", "Play"}},
        // Outside the table the file name keeps its last value.
        SoundCase{5, {"Close", "DeviceType=WaveAudio", "Open", "Play"}},
        SoundCase{-1, {"Close", "DeviceType=WaveAudio", "Open", "Play"}}));

TEST(Farewell, PlaysToItsEndThenEndsTheProgram) {
    Harness h;
    EXPECT_THROW(h.main.PlaySound(4), ProgramEnded);
    EXPECT_EQ(h.wave.log,
              (Log{"Close", "DeviceType=WaveAudio", "FileName=Vorask4.fez", "Open", "Wait=1", "Play"}));
    EXPECT_EQ(h.end.count, 1);
}

TEST(Farewell, EndsTheProgramSilentlyWithSoundOff) {
    Harness h;
    h.main.MnuSndOn_Click();
    EXPECT_THROW(h.main.PlaySound(4), ProgramEnded);
    EXPECT_TRUE(h.wave.log.empty());
    EXPECT_EQ(h.end.count, 1);
}

TEST(SoundSwitch, TogglesItsCheckMark) {
    Harness h;
    ASSERT_TRUE(h.main.menu.MnuSndOn.Checked);
    h.main.MnuSndOn_Click();
    EXPECT_FALSE(h.main.menu.MnuSndOn.Checked);
    h.main.MnuSndOn_Click();
    EXPECT_TRUE(h.main.menu.MnuSndOn.Checked);
    h.main.PlaySound(2);
    EXPECT_EQ(h.wave.files(), (Log{"Vorask5.fez"}));
}

// A sound that did not wait leaves the next one its own wait flag.
TEST(SoundSwitch, OnlyTheExplosionAndFarewellWait) {
    Harness h;
    for (Int16 n : {Int16{0}, Int16{3}, Int16{1}, Int16{0}, Int16{2}})
        h.main.PlaySound(n);
    int waits = 0;
    for (const std::string& entry : h.wave.log)
        waits += entry == "Wait=1";
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(h.wave.files(), (Log{"Vorask1.fez", "Vorask6.fez", "Vorask2.fez", "Vorask1.fez", "Vorask5.fez"}));
}

// --- The laugh ------------------------------------------------------------------

// Loses the round on its first mine with the face chosen (1 to 3).
void loseWithFace(Harness& h, int face) {
    const Cell mine = h.firstMine();
    h.random.queued = {ScriptedRandom::pick(0, 4), ScriptedRandom::pick(face - 1, 3)};
    h.press(mine.column, mine.row);
    ASSERT_EQ(h.field().GameActive, 0);
}

TEST(Laugh, TwelveSwitchesEndingOnTheFirstFrame) {
    Harness h;
    loseWithFace(h, 2);
    Button& face = h.main.strip.Reset;
    ASSERT_EQ(face.picture, Picture::Ha1);
    EXPECT_EQ(h.wave.files(), (Log{"Vorask1.fez", "Vorask6.fez"})) << "explosion, then the laugh";

    std::vector<Picture> frames;
    for (int tick = 0; tick < 12; ++tick) {
        h.main.Ha_Timer();
        frames.push_back(face.picture);
    }
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(frames[k], k % 2 == 0 ? Picture::Ha2 : Picture::Ha1) << "switch " << k + 1;
    EXPECT_EQ(h.main.laugh.HaFrame, 13);

    for (int tick = 0; tick < 10; ++tick)
        h.main.Ha_Timer();
    EXPECT_EQ(face.picture, Picture::Ha1);
    EXPECT_EQ(h.main.laugh.HaFrame, 13);
}

TEST(Laugh, TicksBeforeAnyLaughChangeNothing) {
    Harness h;
    for (int tick = 0; tick < 30; ++tick)
        h.main.Ha_Timer();
    EXPECT_EQ(h.main.strip.Reset.picture, Picture::ImgVorask);
    EXPECT_EQ(h.main.laugh.HaOn, 0);
    EXPECT_EQ(h.main.laugh.HaFrame, 0);
}

class OtherFaces : public ::testing::TestWithParam<std::pair<int, Picture>> {};

TEST_P(OtherFaces, DoNotLaugh) {
    const auto [face, picture] = GetParam();
    Harness h;
    loseWithFace(h, face);
    for (int tick = 0; tick < 30; ++tick)
        h.main.Ha_Timer();
    EXPECT_EQ(h.main.strip.Reset.picture, picture);
    EXPECT_EQ(h.wave.files(), (Log{"Vorask1.fez"}));
}

INSTANTIATE_TEST_SUITE_P(Faces, OtherFaces,
                         ::testing::Values(std::pair{1, Picture::ImgVorask},
                                           std::pair{3, Picture::ImgSkull}));

TEST(Laugh, AWonFaceAfterALaughIsLeftAlone) {
    Harness h;
    loseWithFace(h, 2);
    for (int tick = 0; tick < 12; ++tick)
        h.main.Ha_Timer();
    h.custom(1, 5); // one safe cell
    h.press(1, 1);
    ASSERT_EQ(h.main.strip.Reset.picture, Picture::ImgGrowl);
    for (int tick = 0; tick < 20; ++tick)
        h.main.Ha_Timer();
    EXPECT_EQ(h.main.strip.Reset.picture, Picture::ImgGrowl);
}

TEST(Laugh, ANewGameDoesNotStopIt) {
    Harness h;
    loseWithFace(h, 2);
    for (int tick = 0; tick < 5; ++tick)
        h.main.Ha_Timer();
    h.main.MnuReset_Click();
    ASSERT_FALSE(h.main.strip.Reset.Visible);
    for (int tick = 0; tick < 7; ++tick)
        h.main.Ha_Timer();
    EXPECT_EQ(h.main.laugh.HaFrame, 13);
    EXPECT_EQ(h.main.strip.Reset.picture, Picture::Ha1);
}

// --- The clock --------------------------------------------------------------------

const std::string kSlow =
    "Sorry, You Were So Slow, Pellidor Could Wait No Longer, And Professionals Were Sent In";

TEST(Clock, WaitsForTheFirstPress) {
    Harness h;
    h.ticks(10);
    EXPECT_EQ(h.field().ElapsedSeconds, 0);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME: 0");
    EXPECT_EQ(h.main.clock.VScrolltime.Value, 0);
}

TEST(Clock, CountsFromTheFirstPress) {
    Harness h;
    h.press(6, 6, 2); // a flag starts it too
    h.ticks(1);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  1");
    h.ticks(56);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  57");
    EXPECT_EQ(h.field().ElapsedSeconds, 57);
    EXPECT_EQ(h.main.clock.VScrolltime.Value, 57);
}

TEST(Clock, PausesWhileMinimised) {
    Harness h;
    h.press(6, 6, 2);
    h.ticks(10);
    h.window.state = 1;
    h.ticks(20);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  10");
    h.window.state = 0;
    h.ticks(5);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  15");
    EXPECT_EQ(h.main.clock.VScrolltime.Value, 15);
}

TEST(Clock, StopsWhenTheRoundEnds) {
    Harness h;
    h.press(6, 6, 2);
    h.ticks(12);
    loseWithFace(h, 1);
    h.ticks(30);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  12");
    EXPECT_EQ(h.main.clock.VScrolltime.Value, 12);
    EXPECT_EQ(h.field().ElapsedSeconds, 12);
}

TEST(Clock, ANewBoardClearsTheHolder) {
    Harness h;
    h.press(6, 6, 2);
    h.ticks(8);
    h.main.Expert_Click();
    EXPECT_EQ(h.main.clock.VScrolltime.Value, 0);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME: 0");
}

TEST(TimeLimit, ShowsNineHundredNinetyEightThenTheMessageThenANewBoard) {
    Harness h;
    h.main.Beginner_Click();
    h.press(1, 1, 2);
    h.ticks(997);
    ASSERT_TRUE(h.messages.calls.empty());
    ASSERT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  997");

    std::string labelDuringMessage;
    int holderDuringMessage = 0;
    h.messages.onShow = [&](const fakes::MessageCall&) {
        labelDuringMessage = h.main.strip.TimeLbl.Caption;
        holderDuringMessage = h.main.clock.VScrolltime.Value;
    };
    const int reseeds = h.random.reseeds;
    h.ticks(1);

    ASSERT_EQ(h.messages.calls.size(), 1u);
    EXPECT_EQ(h.messages.calls[0].text, kSlow);
    EXPECT_EQ(h.messages.calls[0].title, "Marrowfen 2");
    EXPECT_EQ(h.messages.calls[0].style, 16);
    EXPECT_EQ(labelDuringMessage, "TIME:  998");
    EXPECT_EQ(holderDuringMessage, 998);

    EXPECT_EQ(h.random.reseeds, reseeds + 1) << "a new board";
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME: 0");
    EXPECT_EQ(h.field().ClockStarted, 0);
    EXPECT_EQ(h.field().GameActive, 1);
    EXPECT_EQ(h.field().BoardSize, 6) << "of the same level";
    EXPECT_TRUE(h.main.menu.Beginner.Checked);
    EXPECT_EQ(h.picture(1, 1).Tag, " ");
    h.ticks(5);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME: 0");
}

TEST(TimeLimit, TicksWhileTheMessageIsOpenAreNotCounted) {
    Harness h;
    h.press(1, 1, 2);
    h.ticks(997);
    int elapsedAfterLateTicks = 0;
    std::string labelAfterLateTicks;
    h.messages.onShow = [&](const fakes::MessageCall&) {
        h.main.SecTimer_Timer();
        h.main.SecTimer_Timer();
        elapsedAfterLateTicks = h.field().ElapsedSeconds;
        labelAfterLateTicks = h.main.strip.TimeLbl.Caption;
    };
    h.ticks(1);
    EXPECT_EQ(h.messages.calls.size(), 1u);
    EXPECT_EQ(elapsedAfterLateTicks, 998);
    EXPECT_EQ(labelAfterLateTicks, "TIME:  998");
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME: 0");
    h.messages.onShow = nullptr;

    // The next round counts again.
    h.press(1, 1, 2);
    h.ticks(2);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  2");
}

} // namespace
} // namespace mf
