// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/spoken_status.h"

#include "game/words.h"
#include "shell/cell_names.h"
#include "shell/main_window.h"

namespace mf {

std::string levelBoardWords(const Main& main) {
    return std::string(levelWords(main.menu.checkedLevel())) + ", " +
           boardWords(main.field.BoardSize, main.field.MineCount);
}

std::string minesLeftWords(int minesLeft) { return countedWords(minesLeft, "mine", "mines") + " left"; }

std::string soundWords(const Main& main) { return main.menu.MnuSndOn.Checked ? "sound on" : "sound off"; }

std::string endWords(const Main& main) {
    if (!main.strip.Reset.Visible)
        return {};
    // Only a loss shows the explosion.
    if (main.Blow.Visible)
        return "game lost";
    return "game won in " + countedWords(main.clock.VScrolltime.Value, "second", "seconds");
}

std::string nothingDoneWords(const Main& main, int column, int row) {
    if (main.field.GameActive == 0)
        return "game over";
    const std::string name = cellName(main, column, row);
    if (name == "flag")
        return "flag, already planted";
    return name + ", already open";
}

} // namespace mf
