// SPDX-License-Identifier: GPL-3.0-or-later
// Leaving the game and its other windows: the quit question on both paths,
// minimising, the boss key's disguise, the title window and the help window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "shell/startup_frm.h"

namespace mf {
namespace {

using fakes::Harness;

const std::vector<std::string> kFarewell = {"Close", "DeviceType=WaveAudio", "FileName=Vorask4.fez",
                                            "Open", "Wait=1", "Play"};

// What a player sees of the game below: counters, a flag, a covered cell.
std::string state(Harness& h) {
    return h.main.strip.MinesLbl.Caption + "|" + h.main.strip.TimeLbl.Caption + "|" +
           h.picture(3, 3).Tag + "|" + std::to_string(h.field().ElapsedSeconds) + "|" +
           std::to_string(h.field().GameActive) + "|" + std::to_string(h.button(4, 4).Visible);
}

// A game in progress: a flag planted, a cell uncovered and three seconds on
// the clock. Returns a picture of that state for comparing later.
std::string playSome(Harness& h) {
    h.setSafe(false);
    h.customBoard(4, {{3, 3}});
    h.press(3, 3, 2); // flag the mine, starts the clock
    h.press(1, 1);    // opens columns 1 and 2 and rows 1 and 2 only
    h.ticks(3);
    h.messages.calls.clear(); // the safe-corners notice
    h.modal.shown.clear();    // the level dialog
    return state(h);
}

TEST(Quit, NoOnEitherPathLeavesTheGameAsItWas) {
    Harness h;
    const std::string before = playSome(h);
    h.messages.answers = {vbNo, vbNo};
    h.main.Quit_Click();
    Int16 cancel = 99;
    h.main.Form_Unload(cancel);
    EXPECT_EQ(cancel, 1) << "No keeps the window open";
    ASSERT_EQ(h.messages.calls.size(), 2u);
    for (const auto& call : h.messages.calls) {
        EXPECT_EQ(call.text, "Are you sure you want to quit?");
        EXPECT_EQ(call.title, "Marrowfen 2");
        EXPECT_EQ(call.style, vbYesNo + vbQuestion);
    }
    EXPECT_EQ(state(h), before);
    EXPECT_TRUE(h.wave.log.empty());
    EXPECT_EQ(h.end.count, 0);
    h.ticks(2);
    EXPECT_EQ(h.field().ElapsedSeconds, 5) << "the clock goes on";
}

TEST(Quit, YesPlaysTheFarewellToItsEndThenEndsOnBothPaths) {
    for (const bool menu : {true, false}) {
        Harness h;
        playSome(h);
        h.messages.answers = {vbYes};
        Int16 cancel = 99;
        EXPECT_THROW(menu ? h.main.Quit_Click() : h.main.Form_Unload(cancel), ProgramEnded);
        EXPECT_EQ(h.wave.log, kFarewell);
        EXPECT_EQ(h.end.count, 1);
        if (!menu) {
            EXPECT_EQ(cancel, 0);
        }
    }
}

TEST(Quit, YesWithSoundOffEndsSilently) {
    Harness h;
    h.main.MnuSndOn_Click();
    h.messages.answers = {vbYes};
    EXPECT_THROW(h.main.menuClick("Quit"), ProgramEnded);
    EXPECT_TRUE(h.wave.log.empty());
    EXPECT_EQ(h.end.count, 1);
}

TEST(Minimise, PausesTheClockUntilRestored) {
    Harness h;
    const std::string before = playSome(h);
    EXPECT_TRUE(h.main.menuClick("min"));
    EXPECT_EQ(h.window.state, 1);
    h.ticks(5);
    EXPECT_EQ(state(h), before);
    h.window.state = 0; // restored by the desktop
    h.ticks(1);
    EXPECT_EQ(h.main.strip.TimeLbl.Caption, "TIME:  4");
}

// --- Boss key -------------------------------------------------------------

bool isCode(const std::string& code) {
    return code.size() == 8 &&
           code.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

TEST(BossKey, RetriesShowFreshCodesFromTheGamesRandomSourceThenIgnoreRestores) {
    Harness h;
    const std::string before = playSome(h);
    const int reseeds = h.random.reseeds;
    // The first code is scripted to be "0F8A1C3E", digit by digit.
    for (const int d : {0, 15, 8, 10, 1, 12, 3, 14})
        h.random.queued.push_back(fakes::ScriptedRandom::pick(d, 16));
    h.messages.answers = {vbRetry, vbRetry, vbRetry, vbIgnore};
    std::vector<std::string> captions;
    std::vector<Int16> states;
    h.messages.onShow = [&](const fakes::MessageCall&) {
        captions.push_back(h.main.Caption);
        states.push_back(h.window.state);
        h.ticks(2); // the clock ticks on while the box is up
    };
    EXPECT_TRUE(h.main.menuClick("MnuBoss"));

    ASSERT_EQ(h.messages.calls.size(), 4u);
    const std::string prefix = "Sorry Microsoft Excel Has Caused A Memory Sharing Voliation: ";
    std::vector<std::string> codes;
    for (const auto& call : h.messages.calls) {
        EXPECT_EQ(call.title, "Microsoft Excel");
        EXPECT_EQ(call.style, vbAbortRetryIgnore + vbCritical);
        ASSERT_EQ(call.text.rfind(prefix, 0), 0u) << call.text;
        codes.push_back(call.text.substr(prefix.size()));
        EXPECT_TRUE(isCode(codes.back())) << codes.back();
    }
    EXPECT_EQ(codes[0], "0F8A1C3E");
    EXPECT_NE(codes[1], codes[2]);
    EXPECT_EQ(captions, std::vector<std::string>(4, "Microsoft Excel"));
    EXPECT_EQ(states, std::vector<Int16>(4, 1)) << "minimised while the message is up";
    EXPECT_EQ(h.random.reseeds, reseeds) << "no reseeding for the codes";

    EXPECT_EQ(h.window.state, 0);
    EXPECT_EQ(h.main.Caption, " -=:Marrowfen 2:=-");
    EXPECT_EQ(state(h), before) << "the game untouched, its time not advanced";
    EXPECT_TRUE(h.wave.log.empty());
}

TEST(BossKey, AbortEndsAtOnceWithoutQuestionOrSound) {
    Harness h;
    playSome(h);
    h.messages.answers = {vbAbort};
    EXPECT_THROW(h.main.MnuBoss_Click(), ProgramEnded);
    EXPECT_EQ(h.messages.calls.size(), 1u) << "no quit question";
    EXPECT_TRUE(h.wave.log.empty()) << "no farewell sound, though Sound On is checked";
    EXPECT_EQ(h.end.count, 1);
}

TEST(BossKey, IgnoreRestoresANormalWindowEvenIfItWasMinimised) {
    Harness h;
    h.window.state = 1;
    h.messages.answers = {vbIgnore};
    h.main.MnuBoss_Click();
    EXPECT_EQ(h.window.state, 0);
}

// --- Title window ------------------------------------------------------------

TEST(TitleWindow, EveryControlAndACharacterKeyCloseItAndShowTheGameOnce) {
    const std::vector<std::pair<const char*, void (*)(StartupFrm&)>> ways = {
        {"frame", [](StartupFrm& f) { f.Frame1_Click(); }},
        {"logo", [](StartupFrm& f) { f.imgLogo_Click(); }},
        {"shadow", [](StartupFrm& f) { f.lblProductName_Click(0); }},
        {"title", [](StartupFrm& f) { f.lblProductName_Click(1); }},
        {"Enter", [](StartupFrm& f) { f.Form_KeyPress(13); }},
        {"letter", [](StartupFrm& f) { f.Form_KeyPress('q'); }},
        {"Escape", [](StartupFrm& f) { f.Form_KeyPress(27); }},
        {"Backspace", [](StartupFrm& f) { f.Form_KeyPress(8); }},
        {"space", [](StartupFrm& f) { f.Form_KeyPress(' '); }},
        {"digit", [](StartupFrm& f) { f.Form_KeyPress('7'); }},
        {"punctuation", [](StartupFrm& f) { f.Form_KeyPress('?'); }},
        {"accented letter", [](StartupFrm& f) { f.Form_KeyPress(Int16(0xe9)); }},
    };
    for (const auto& [name, close] : ways) {
        int shown = 0;
        StartupFrm title([&] { ++shown; });
        close(title);
        close(title); // a second click queued behind the first
        EXPECT_FALSE(title.Loaded) << name;
        EXPECT_EQ(shown, 1) << name;
    }
    // No character: a key such as Shift, Tab, Delete, Ctrl+letter.
    for (const int code : {0, 9, 127, 1, 17, 10}) {
        int shown = 0;
        StartupFrm title([&] { ++shown; });
        title.Form_KeyPress(Int16(code));
        EXPECT_TRUE(title.Loaded) << code;
        EXPECT_EQ(shown, 0) << code;
    }
}

TEST(TitleWindow, AboutShowsAFreshTitleWindowModallyAndLeavesTheGame) {
    Harness h;
    const std::string before = playSome(h);
    std::vector<bool> freshEachTime;
    h.modal.onStartup = [&](StartupFrm& about) {
        freshEachTime.push_back(about.Loaded && about.lblProductName[1].Caption == "Marrowfen 2");
        h.ticks(1);
        about.lblProductName_Click(1);
    };
    EXPECT_TRUE(h.main.menuClick("About"));
    EXPECT_TRUE(h.main.menuClick("About"));
    EXPECT_EQ(h.modal.shown, (std::vector<std::string>{"StartupFrm", "StartupFrm"}));
    EXPECT_EQ(freshEachTime, (std::vector<bool>{true, true}));
    EXPECT_EQ(h.field().ElapsedSeconds, 5) << "the clock keeps its own rules";
    EXPECT_NE(state(h), before);
}

// --- Help window ----------------------------------------------------------------

TEST(HelpWindow, ItsButtonPlaysWithoutWaitingAndOnlyHidesTheWindow) {
    Harness h;
    HelpFrm* first = nullptr;
    h.modal.onHelp = [&](HelpFrm& help) {
        EXPECT_TRUE(help.Visible);
        first = first ? first : &help;
        EXPECT_EQ(&help, first) << "the same window comes back";
        help.Ok_Click();
    };
    h.main.How_Click();
    h.main.How_Click();
    EXPECT_EQ(h.helpWave.log, (std::vector<std::string>{
                                  "close", "DeviceType=WaveAudio", "FileName=Vorask3.fez", "open", "play",
                                  "close", "DeviceType=WaveAudio", "FileName=Vorask3.fez", "open", "play"}));
    EXPECT_TRUE(h.wave.log.empty()) << "the main window's device is not used";
    ASSERT_NE(h.main.help(), nullptr);
    EXPECT_FALSE(h.main.help()->Visible);
}

TEST(HelpWindow, ItsCloseBoxPlaysToTheEndThenTheWindowIsMadeAfresh) {
    Harness h;
    h.modal.onHelp = [&](HelpFrm& help) {
        EXPECT_EQ(help.Label2.Caption, "This is an example minefield:") << "made afresh";
        help.Label2.Caption = "changed while shown";
        Int16 cancel = 0;
        help.Form_Unload(cancel);
        EXPECT_EQ(cancel, 0);
    };
    h.main.How_Click();
    EXPECT_EQ(h.main.help(), nullptr) << "unloaded";
    h.main.How_Click();
    EXPECT_EQ(h.helpWave.log.size(), 12u);
    EXPECT_EQ(std::vector<std::string>(h.helpWave.log.begin(), h.helpWave.log.begin() + 6),
              (std::vector<std::string>{"Close", "DeviceType=WaveAudio", "FileName=Vorask3.fez", "Open",
                                        "Wait=1", "Play"}));
}

TEST(HelpWindow, SilentBothWaysWithSoundOff) {
    Harness h;
    h.main.MnuSndOn_Click();
    h.modal.onHelp = [](HelpFrm& help) { help.Ok_Click(); };
    h.main.How_Click();
    h.modal.onHelp = [](HelpFrm& help) {
        Int16 cancel = 0;
        help.Form_Unload(cancel);
    };
    h.main.How_Click();
    EXPECT_EQ(h.modal.shown, (std::vector<std::string>{"HelpFrm", "HelpFrm"}));
    EXPECT_TRUE(h.helpWave.log.empty());
}

TEST(HelpWindow, TheExampleMinefieldIsTrueToItsNumbers) {
    Harness h;
    h.main.How_Click();
    const HelpFrm& help = *h.main.help();
    // Picture by (column, row) from the places of the nine cells.
    Picture grid[3][3]{};
    for (const Image& cell : help.Image1)
        grid[(cell.rect.Left - 3600) / 480][(cell.rect.Top - 3000) / 480] = cell.picture;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) {
            if (grid[c][r] == Picture::ImgBomb)
                continue;
            int mines = 0;
            for (int dc = -1; dc <= 1; ++dc)
                for (int dr = -1; dr <= 1; ++dr) {
                    const int nc = c + dc, nr = r + dr;
                    if (nc >= 0 && nc < 3 && nr >= 0 && nr < 3 && grid[nc][nr] == Picture::ImgBomb)
                        ++mines;
                }
            const Picture expected = mines == 0 ? Picture::imgNone1_0 : digitPicture(mines);
            EXPECT_EQ(grid[c][r], expected) << "column " << c + 1 << ", row " << r + 1;
        }
    EXPECT_EQ(help.Image1[3].picture, Picture::ImgBomb);
    EXPECT_EQ(help.Image1[4].picture, Picture::Img2);
}

} // namespace
} // namespace mf
