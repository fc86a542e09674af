// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: one page explaining the game, with a 3 x 3 example
// minefield drawn with the game's own cell pictures. Both ways of closing it
// play the help sound on its own wave device, PigControl, while sound is on.
#pragma once

#include <array>
#include <string>

#include "game/controls.h"
#include "game/platform.h"

namespace mf {

class HelpFrm {
public:
    static constexpr int kClientWidth = 5400;
    static constexpr int kClientHeight = 4485;
    static constexpr const char* kSoundFile = "Vorask3.fez";

    // soundOn: the main window's Sound On item, read at each close.
    HelpFrm(const MenuItem& soundOn, WaveDevice& PigControl);

    std::string Caption = "-=:Game Help:=-";
    // Element 0 is the black edge, element 1 the red face drawn above it.
    std::array<Label, 2> Label1{{
        {{120, 120, 2850, 465}, true, "Starting The Game"},
        {{110, 110, 2850, 465}, true, "Starting The Game"},
    }};
    Button Ok{{3840, 240, 1455, 855}, true, "I DON'T NEED  YOUR HELP"}; // the default button
    Label Label7{{120, 600, 3495, 615}, true,
                 "Start by clicking on a cell. One of three things will happen:"};
    Label Label4{{120, 1320, 5055, 255}, true, "1)     You blow up, You have chosen a mined cell."};
    Label Label5{{120, 1680, 5055, 615}, true,
                 "2)     A blank cell appears, There are no mines in           the surrounding cells."};
    Label Label6{{120, 2280, 5055, 615}, true,
                 "3)     A number appears, This number tell you the           number of adjacent "
                 "cells which are mined."};
    Label Label2{{360, 3000, 3015, 375}, true, "This is an example minefield:"};
    std::array<Image, 9> Image1; // the example minefield, see exampleCell
    WaveDevice& PigControl;

    bool Visible = false; // shown by the main window, hidden by Ok
    bool Loaded = true;   // false once unloaded; the next showing makes it afresh

    void Ok_Click();
    void Form_Unload(Int16& Cancel);

    // Read by a screen reader as the window opens: the page shows no keys.
    static constexpr const char* kKeysWords =
        "Keys: Tab goes between the Reset button and the board. On the board the arrows "
        "move from cell to cell, Home and End go to the ends of a row, Page Up and Page Down "
        "to the ends of a column; Space uncovers the cell or takes its flag away, F or the "
        "menu key plants a flag. Enter presses the button that has the focus. Ctrl+B, Ctrl+I "
        "and Ctrl+E start a Beginner, Intermediate or Expert game, Ctrl+R a new one at the same "
        "level; Ctrl+S turns the sound on and off, Ctrl+M minimises the window, Ctrl+C is the "
        "boss key, Ctrl+H shows this help, Ctrl+A the title window, Ctrl+Q quits; Alt+F opens "
        "the File menu, with the custom level and the High Scores. Escape closes this window.";

    // What a screen reader calls element i of the example minefield, as it
    // would a board cell ("empty", "1", "mine"), and its place in the 3 x 3
    // example ("column 1, row 1").
    std::string exampleName(std::size_t i) const;
    static std::string examplePlace(std::size_t i);

private:
    const MenuItem& soundOn_;
};

} // namespace mf
