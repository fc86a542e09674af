// SPDX-License-Identifier: GPL-3.0-or-later
// The difficulty dialog. Its option buttons say which level is chosen and its
// two scroll bars are the one store of the board's size and mine density.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "game/controls.h"
#include "shell/main_menu.h"

namespace mf {

class FrmCustom {
public:
    static constexpr int kCompactHeight = 2415; // outer, a standard level
    static constexpr int kTallHeight = 3975;    // outer, custom controls shown
    static constexpr int kClientWidth = 5220;

    // menu: the main window's menu, whose level check mark the dialog moves;
    // resetClick: the main window's Reset_Click, run by OK.
    FrmCustom(MainMenu& menu, std::function<void()> resetClick);

    std::string Caption = "-=:Custom:=-";
    bool Visible = false;
    int Height = kCompactHeight;

    OptionButton Beginner{{120, 120, 1335, 345}, "Beginner", true};
    OptionButton Intermediate{{120, 600, 1815, 345}, "Intermediate", false};
    OptionButton Expert{{120, 1080, 1095, 345}, "Expert", false};
    OptionButton optCustom{{120, 1560, 1095, 345}, "Custom", false};
    Label Display{{2040, 360, 1695, 1095}, true, ""};
    Button Ok{{3960, 1320, 1095, 495}, true, "&OK", Picture::None};
    Line Line1{120, 2040, 5040, 2040};
    Label lblCustom{{120, 2160, 840, 345}, true, "Custom:"};
    Label lblSize{{120, 2640, 570, 345}, true, "Size:"};
    ScrollBar scrSize{{840, 2640, 4215, 255}, 1, 14, 1};
    Label lblDensity{{120, 3120, 1530, 345}, true, "Mine Density:"};
    ScrollBar scrDensity{{1800, 3120, 3255, 255}, 5, 50, 5};

    void Form_Load() { UpdateLabel(); }
    void UpdateLabel();
    void Custonoff(Int16 flag);
    void ChangeMenu(Int16 level);

    void Beginner_Click() { UpdateLabel(); }
    void Intermediate_Click() { UpdateLabel(); }
    void Expert_Click() { UpdateLabel(); }
    void optCustom_Click() { UpdateLabel(); }
    void scrSize_Change() { UpdateLabel(); }
    void scrDensity_Change() { UpdateLabel(); }
    void scrSize_Scroll() { UpdateLabel(); }
    void scrDensity_Scroll() { UpdateLabel(); }
    void Ok_Click();

    // The four options of the group: Beginner, Intermediate, Expert, Custom.
    std::array<OptionButton*, 4> options() {
        return {&Beginner, &Intermediate, &Expert, &optCustom};
    }

    // Selects one option of the group; a change of selection runs its click.
    void select(OptionButton& option);
    // Moves a scroll bar by any means, clamped to its range, then notifies.
    void setScroll(ScrollBar& bar, int value);

    // The words a screen reader says, as Display shows them but without its
    // padding blanks: "6 by 6" for the size bar, "18%" for the density bar,
    // and for an option the board it sets, "6 by 6, 6 mines" (Custom: the
    // board of the scroll values in force).
    std::string sizeWords() const;
    std::string densityWords() const;
    std::string optionWords(const OptionButton& option) const;
    // Why the bars do not move while a standard level is chosen: "set by
    // Beginner; choose Custom to change it"; empty for Custom.
    std::string barLockWords() const;

    // Shown modally by the main window: remembers what it opened with, so that
    // closing it by the frame's close control can put that back.
    void opened();
    void closedByFrame();

private:
    void runClick(OptionButton& option);
    std::string chosenName() const;

    MainMenu& menu_;
    std::function<void()> resetClick_;

    struct Snapshot {
        int option = 0;
        int size = 0;
        int density = 0;
    } openedWith_;
};

} // namespace mf
