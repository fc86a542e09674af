// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/main_menu.h"

namespace mf {

std::vector<MainMenu::Node> MainMenu::tree() {
    return {
        {"File", &File, {
            {"NewGame", &NewGame, {
                {"Beginner", &Beginner, {}},
                {"Intermediate", &Intermediate, {}},
                {"Expert", &Expert, {}},
                {"MnuLine1", &MnuLine1, {}},
                {"Custom", &Custom, {}},
            }},
            {"MnuReset", &MnuReset, {}},
            {"MnuLine2", &MnuLine2, {}},
            {"About", &About, {}},
            {"ShwScore", &ShwScore, {}},
            {"MnuLine3", &MnuLine3, {}},
            {"Quit", &Quit, {}},
        }},
        {"Options", &Options, {
            {"MnuSndOn", &MnuSndOn, {}},
            {"MnuLine4", &MnuLine4, {}},
            {"Safe", &Safe, {}},
        }},
        {"MnuMinimise", &MnuMinimise, {
            {"min", &min, {}},
            {"MnuLine5", &MnuLine5, {}},
            {"MnuBoss", &MnuBoss, {}},
        }},
        {"Help", &Help, {
            {"How", &How, {}},
        }},
    };
}

MenuItem* MainMenu::levelItem(int level) {
    switch (level) {
    case 1: return &Beginner;
    case 2: return &Intermediate;
    case 3: return &Expert;
    case 4: return &Custom;
    default: return nullptr;
    }
}

} // namespace mf
