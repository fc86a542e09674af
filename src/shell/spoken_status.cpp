// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/spoken_status.h"

#include "shell/main_window.h"

namespace mf {

namespace {

std::string counted(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string levelName(const MainMenu& menu) {
    if (menu.Beginner.Checked)
        return "Beginner";
    if (menu.Intermediate.Checked)
        return "Intermediate";
    if (menu.Expert.Checked)
        return "Expert";
    return "Custom";
}

} // namespace

std::string boardWords(const Main& main) {
    const int n = main.field.BoardSize;
    return levelName(main.menu) + ", " + std::to_string(n) + " by " + std::to_string(n) + ", " +
           counted(main.field.MineCount, "mine", "mines");
}

std::string minesLeftWords(int minesLeft) { return counted(minesLeft, "mine", "mines") + " left"; }

std::string soundWords(const Main& main) { return main.menu.MnuSndOn.Checked ? "sound on" : "sound off"; }

std::string endWords(const Main& main) {
    if (!main.strip.Reset.Visible)
        return {};
    // Only a loss shows the explosion.
    if (main.Blow.Visible)
        return "game lost";
    return "game won in " + counted(main.clock.VScrolltime.Value, "second", "seconds");
}

} // namespace mf
