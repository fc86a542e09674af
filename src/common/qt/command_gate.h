// SPDX-License-Identifier: GPL-3.0-or-later
// One command of the game's windows at a time. While a waited sound plays,
// keyboard and mouse input stays queued in the window system, and a window
// that a modal one blocks takes none; but a screen reader's actions (a press
// on a button or a menu item) reach the widgets all the same. The windows'
// commands therefore come through here: one asked for while the game is held
// runs once the hold and the command under way are over (if its window is
// still shown then), and one from a window that a modal window blocks is
// dropped, as a click there would be.
#pragma once

#include <functional>

class QWidget;

namespace mf::qt {

class CommandGate {
public:
    // What holds the game: true while a waited sound plays.
    static void setHeld(std::function<bool()> held);
    static bool held();

    // Runs a command of `from`'s window now, once the game is free, or never.
    static void submit(const QWidget* from, std::function<void()> command);
};

} // namespace mf::qt
