// SPDX-License-Identifier: GPL-3.0-or-later
// The words a screen reader says for what a sighted player sees: each cell
// of the board by its picture, and the face on the reset button.
#pragma once

#include <string>

#include "game/controls.h"

namespace mf {

class Main;

// "covered", "flag", "1" to "8", "empty", "mine", "exploded mine" or
// "wrong flag"; empty for a cell off the board.
std::string cellName(const Main& main, int column, int row);

// "column 3, row 2".
std::string cellPlace(int column, int row);

// "skull face", "laughing face", ...; empty for no picture.
std::string faceName(Picture face);

// What an uncovered board cell showing this picture is called: "flag",
// "mine", "exploded mine", "wrong flag", "1" to "8" or "empty"; empty for a
// picture no cell shows. For pictures drawn like cells, outside the board.
std::string cellPictureName(Picture picture);

} // namespace mf
