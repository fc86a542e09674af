// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of random events, each followed by a check of everything that
// must hold between the round's state and what the window shows.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fakes.h"

namespace mf {
namespace {

using fakes::Harness;

class Monkey {
public:
    explicit Monkey(unsigned seed) : rng_(seed) {
        h_.random.seedFallback(seed * 7919u + 1u);
        // Records worth beating, so that wins also go through the name entry.
        const std::string anonymous = fakes::recordBytes("Anonymous", "999");
        fakes::writeBytes(h_.scoreFile(), anonymous + anonymous + anonymous);
        h_.input.answers.assign(1000, "Monkey");
        newBoard();
    }

    // Runs one random event; returns its description.
    std::string step() {
        Minefield& f = h_.field();
        before_ = {f.GameActive, h_.random.reseeds};
        pressed_ = false;
        std::ostringstream what;
        const int roll = below(1000);
        if (h_.window.state == 1) {
            // A minimised window only ticks, until it is restored.
            if (roll < 800) {
                what << "tick while minimised";
                h_.main.SecTimer_Timer();
            } else {
                what << "restore";
                h_.window.state = 0;
            }
        } else if (f.GameActive == 0 && roll < 150) {
            click(what); // a flag left over from the round, most likely
        } else if (roll < 560) {
            press(what);
        } else if (roll < 640) {
            click(what);
        } else if (roll < 820) {
            const int n = below(5) == 0 ? 1 + below(60) : 1;
            what << n << " ticks";
            h_.ticks(n);
            h_.main.Ha_Timer();
        } else if (roll < 825 && f.GameActive == 1 && f.ClockStarted == 1) {
            what << "waits for the time limit";
            h_.ticks(kTimeLimit - f.ElapsedSeconds);
        } else if (roll < 850) {
            level(what);
        } else if (roll < 875) {
            dialog(what);
        } else if (roll < 900 || (f.GameActive == 0 && roll < 940)) {
            what << "reset";
            if (h_.main.strip.Reset.Visible && below(2) == 0)
                h_.main.Reset_Click();
            else if (h_.main.strip.ResetWrd.Visible && below(2) == 0)
                h_.main.ResetWrd_Click();
            else
                h_.main.MnuReset_Click();
        } else if (roll < 920) {
            what << "safe corners";
            h_.messages.answers.push_back(below(2) == 0 ? vbOK : vbCancel);
            h_.main.Safe_Click();
        } else if (roll < 945) {
            what << "sound switch";
            h_.main.MnuSndOn_Click();
        } else if (roll < 955) {
            what << "hall of fame";
            h_.main.ShwScore_Click();
        } else if (roll < 970) {
            what << "minimise";
            h_.window.state = 1;
        } else {
            what << "laugh ticks";
            for (int k = below(15); k >= 0; --k)
                h_.main.Ha_Timer();
        }
        if (h_.wave.log.size() > 1000)
            h_.wave.log.clear();
        return what.str();
    }

    // Everything that must hold after any event; empty when it does.
    std::string check() {
        std::ostringstream bad;
        Minefield& f = h_.field();
        const FrmCustom& d = h_.main.custom();
        const int n = f.BoardSize;

        // Only presses end rounds, and only other events build boards; both
        // reseed the generator.
        const int reseeded = h_.random.reseeds - before_.reseeds;
        if (!pressed_ && reseeded > 0) {
            if (reseeded != 1 || !boardIsFresh())
                bad << "expected one fresh board, reseeded " << reseeded << "; ";
            newBoard();
        }
        if (f.BoardSize != d.scrSize.Value ||
            f.MineCount != Minefield::mineCountFor(d.scrSize.Value, d.scrDensity.Value))
            bad << "board does not match the level; ";
        if (checkedLevels() != 1)
            bad << "not exactly one level checked; ";
        if (d.Visible)
            bad << "dialog left open; ";

        // A press calls for at most one end of round.
        const int ends = pressed_ ? reseeded : 0;
        if (ends > 0) {
            if (ends != 1)
                bad << "a press ended the round " << ends << " times; ";
            if (endsThisBoard_ > 0 && !recoveredSinceEnd_)
                bad << "a round ended twice with no flag given back between; ";
            if (endsThisBoard_ > 0)
                ++stats.repeatEnds;
            ++(h_.main.Blow.Visible ? stats.losses : stats.wins);
            ++endsThisBoard_;
            recoveredSinceEnd_ = false;
        }
        if (pressed_ && before_.gameActive == 1 && f.GameActive == 0 && ends != 1)
            bad << "round over without its end; ";

        int flags = 0;
        int sum = 0;
        int expectedSum = 0;
        for (int i = 0; i < kCellCount; ++i) {
            const Button& b = f.Command2[i];
            const Image& p = f.ButPic[i];
            flags += p.Tag == "think";
            const int c = Minefield::columnOf(i);
            const int r = Minefield::rowOf(i);
            if (c > n || r > n) {
                if (b.Visible || p.Visible)
                    bad << "control " << i << " shown off the board; ";
                continue;
            }
            if (b.Visible == p.Visible)
                bad << "cell " << i << " shows both or neither; ";
            if (p.Visible && p.picture != Picture::imgFlag)
                revealed_[i] = true;
            const bool mine = f.CellValue[c][r] == 10;
            const Int16 state = f.CellState[c][r];
            sum += state;
            if (f.GameActive != 1) {
                if (b.Visible && p.Tag != "")
                    bad << "button " << i << " back after the end without a flag; ";
                continue;
            }
            if (revealed_[i]) {
                if (state != 0)
                    bad << "uncovered cell " << i << " has state " << state << "; ";
                continue;
            }
            expectedSum += mine ? -1 : 1;
            if (state != (mine ? -1 : 1))
                bad << "covered cell " << i << " has state " << state << "; ";
            const bool flagged = p.Visible && p.picture == Picture::imgFlag && p.Tag == "think";
            if (!b.Visible && !flagged)
                bad << "covered cell " << i << " neither button nor flag; ";
        }
        if (f.GameActive == 1) {
            if (sum != expectedSum)
                bad << "state sum " << sum << " but " << expectedSum << " covered; ";
            if (sum == -f.MineCount)
                bad << "every safe cell uncovered and the round goes on; ";
        }
        if (f.MinesLeft != f.MineCount - flags)
            bad << "MinesLeft " << f.MinesLeft << " with " << flags << " flags; ";
        if (h_.main.strip.MinesLbl.Caption != "MINES: " + numberText(f.MinesLeft))
            bad << "mines label " << h_.main.strip.MinesLbl.Caption << "; ";
        const std::string time = f.ElapsedSeconds == 0 ? "TIME: 0" : "TIME: " + numberText(f.ElapsedSeconds);
        if (h_.main.strip.TimeLbl.Caption != time || f.ElapsedSeconds >= kTimeLimit)
            bad << "time " << f.ElapsedSeconds << " label " << h_.main.strip.TimeLbl.Caption << "; ";
        if (h_.main.strip.ResetWrd.Visible != (f.GameActive == 1) ||
            h_.main.strip.Reset.Visible == h_.main.strip.ResetWrd.Visible)
            bad << "wrong reset button; ";
        if (h_.main.Blow.Visible && f.GameActive != 0)
            bad << "explosion during a round; ";
        if (h_.end.count != 0)
            bad << "program ended; ";
        return bad.str();
    }

private:
    struct Before {
        Int16 gameActive = 0;
        int reseeds = 0;
    };

    // The same on every standard library, unlike the distributions.
    int below(int k) { return static_cast<int>(rng_() % static_cast<unsigned>(k)); }

    // A random element of `indexes`, or -1.
    int any(const std::vector<int>& indexes) {
        return indexes.empty() ? -1 : indexes[static_cast<std::size_t>(below(static_cast<int>(indexes.size())))];
    }

    // Most presses are those of a player who knows where the mines are: a
    // safe cell, uncovered. The others are anywhere, with any button.
    void press(std::ostringstream& what) {
        const Minefield& f = h_.field();
        const bool knowing = below(10) < 8;
        std::vector<int> shown;
        for (int i = 0; i < kCellCount; ++i)
            if (f.Command2[i].Visible &&
                (!knowing || f.CellValue[Minefield::columnOf(i)][Minefield::rowOf(i)] != 10))
                shown.push_back(i);
        const int i = any(shown);
        if (i < 0) {
            what << "no button to press";
            return;
        }
        const int roll = below(10);
        const Int16 button = knowing || roll < 5 ? 1 : roll < 8 ? 2 : 4;
        what << "press " << i << " with " << button;
        pressed_ = true;
        h_.main.Command2_MouseDown(static_cast<Int16>(i), button);
    }

    // Mostly on flags, where there are any.
    void click(std::ostringstream& what) {
        const bool flagsOnly = below(4) != 0;
        std::vector<int> shown;
        for (int i = 0; i < kCellCount; ++i)
            if (h_.field().ButPic[i].Visible && (!flagsOnly || h_.field().ButPic[i].Tag == "think"))
                shown.push_back(i);
        if (shown.empty())
            for (int i = 0; i < kCellCount; ++i)
                if (h_.field().ButPic[i].Visible)
                    shown.push_back(i);
        const int i = any(shown);
        if (i < 0) {
            what << "no picture to click";
            return;
        }
        what << "click " << i;
        if (h_.field().ButPic[i].Tag == "think" && endsThisBoard_ > 0)
            recoveredSinceEnd_ = true;
        h_.main.ButPic_Click(static_cast<Int16>(i));
    }

    void level(std::ostringstream& what) {
        switch (below(3)) {
        case 0: what << "Beginner"; h_.main.menuClick("Beginner"); break;
        case 1: what << "Intermediate"; h_.main.menuClick("Intermediate"); break;
        default: what << "Expert"; h_.main.menuClick("Expert"); break;
        }
    }

    void dialog(std::ostringstream& what) {
        what << "custom dialog:";
        h_.modal.onCustom = [this, &what](FrmCustom& d) {
            for (int k = below(5); k >= 0; --k) {
                switch (below(6)) {
                case 0: what << " Beginner"; d.select(d.Beginner); break;
                case 1: what << " Intermediate"; d.select(d.Intermediate); break;
                case 2: what << " Expert"; d.select(d.Expert); break;
                case 3: what << " Custom"; d.select(d.optCustom); break;
                case 4: {
                    const int size = 1 + below(14);
                    what << " size " << size;
                    d.setScroll(d.scrSize, size);
                    break;
                }
                default: {
                    const int density = 5 + below(46);
                    what << " density " << density;
                    d.setScroll(d.scrDensity, density);
                    break;
                }
                }
            }
            if (below(4) == 0) {
                what << " closed";
                d.closedByFrame();
            } else {
                what << " OK";
                d.Ok_Click();
            }
        };
        h_.main.Custom_Click();
        h_.modal.onCustom = nullptr;
    }

    int checkedLevels() const {
        const MainMenu& m = h_.main.menu;
        return m.Beginner.Checked + m.Intermediate.Checked + m.Expert.Checked + m.Custom.Checked;
    }

    // No picture shown and every tag as a new board leaves it.
    bool boardIsFresh() const {
        for (const Image& p : h_.main.field.ButPic)
            if (p.Visible || p.Tag != " ")
                return false;
        return true;
    }

    void newBoard() {
        revealed_.fill(false);
        endsThisBoard_ = 0;
        recoveredSinceEnd_ = false;
        const Minefield& f = h_.field();
        const int n = f.BoardSize;
        if (h_.main.menu.Safe.Checked && n >= 3)
            for (const auto& [c, r] : {std::pair{1, 1}, std::pair{n, 1}, std::pair{1, n}, std::pair{n, n}})
                if (f.CellValue[c][r] == 10)
                    cornerMined = true;
    }

public:
    bool cornerMined = false; // a board built with safe corners had a corner mine
    struct {
        int wins = 0;
        int losses = 0;
        int repeatEnds = 0; // ends after a flag was given back
    } stats;
    int timeLimits() const {
        int n = 0;
        for (const auto& call : h_.messages.calls)
            n += call.text == kTimeLimitText;
        return n;
    }
    int recordsEntered() const { return static_cast<int>(h_.input.prompts.size()); }

private:
    Harness h_;
    bool pressed_ = false; // this event was a press
    std::mt19937 rng_;
    Before before_;
    std::array<bool, kCellCount> revealed_{};
    int endsThisBoard_ = 0;
    bool recoveredSinceEnd_ = false;
};

class MonkeyRun : public ::testing::TestWithParam<unsigned> {};

TEST_P(MonkeyRun, EveryEventKeepsTheWindowAndTheRoundConsistent) {
    Monkey monkey(GetParam());
    std::vector<std::string> recent;
    for (int event = 0; event < 10000; ++event) {
        const std::string what = monkey.step();
        recent.push_back(what);
        if (recent.size() > 8)
            recent.erase(recent.begin());
        const std::string bad = monkey.check();
        if (!bad.empty()) {
            std::string trail;
            for (const std::string& e : recent)
                trail += "\n  " + e;
            FAIL() << "after event " << event << " (" << what << "): " << bad << "\nlast events:" << trail;
        }
    }
    EXPECT_FALSE(monkey.cornerMined) << "a safe corner took a mine";
    // The run went through every kind of ending.
    EXPECT_GT(monkey.stats.wins, 0);
    EXPECT_GT(monkey.stats.losses, 0);
    EXPECT_GT(monkey.stats.repeatEnds, 0);
    EXPECT_GT(monkey.timeLimits(), 0);
    EXPECT_GT(monkey.recordsEntered(), 0);
    RecordProperty("wins", monkey.stats.wins);
    RecordProperty("losses", monkey.stats.losses);
    RecordProperty("timeLimits", monkey.timeLimits());
    RecordProperty("repeatEnds", monkey.stats.repeatEnds);
    RecordProperty("records", monkey.recordsEntered());
}

INSTANTIATE_TEST_SUITE_P(Seeds, MonkeyRun, ::testing::Values(1u, 2u, 3u));

} // namespace
} // namespace mf
