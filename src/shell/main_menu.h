// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu bar. The check marks are state: the level in play,
// the sound switch and the safe-corners switch.
#pragma once

#include <string>
#include <vector>

#include "game/controls.h"

namespace mf {

struct MainMenu {
    MenuItem File{"&File"};
    MenuItem NewGame{"&New Game"};
    MenuItem Beginner{"&Beginner", "Ctrl+B"};
    MenuItem Intermediate{"&Intermediate", "Ctrl+I", true};
    MenuItem Expert{"&Expert", "Ctrl+E"};
    MenuItem MnuLine1{"-"};
    MenuItem Custom{"&Custom..."};
    MenuItem MnuReset{"&Reset", "Ctrl+R"};
    MenuItem MnuLine2{"-"};
    MenuItem About{"&About...", "Ctrl+A"};
    MenuItem ShwScore{"&High Scores..."};
    MenuItem MnuLine3{"-"};
    MenuItem Quit{"&Quit", "Ctrl+Q"};
    MenuItem Options{"&Options"};
    MenuItem MnuSndOn{"&Sound On", "Ctrl+S", true};
    MenuItem MnuLine4{"-"};
    MenuItem Safe{"Safe &Corners", "", true};
    MenuItem MnuMinimise{"&View"};
    MenuItem min{"&Minimise Window", "Ctrl+M"};
    MenuItem MnuLine5{"-"};
    MenuItem MnuBoss{"&Boss Coming", "Ctrl+C"};
    MenuItem Help{"&Help"};
    MenuItem How{"&How To Play", "Ctrl+H"};

    // The level checked: 1 Beginner, 2 Intermediate, 3 Expert (the record's
    // number too), or 0 for a custom board.
    int checkedLevel() const {
        return Beginner.Checked ? 1 : Intermediate.Checked ? 2 : Expert.Checked ? 3 : 0;
    }

    // The menu tree, top menus first, for the front end to build from.
    struct Node {
        std::string name;
        MenuItem* item;
        std::vector<Node> children;
        bool isSeparator() const { return item->Caption == "-"; }
    };
    std::vector<Node> tree();

    // The item whose check mark names level 1..4, or nullptr.
    MenuItem* levelItem(int level);
};

} // namespace mf
