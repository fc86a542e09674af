// SPDX-License-Identifier: GPL-3.0-or-later
// The holder of the status strip's widgets (TIME, the two reset buttons,
// MINES) along the top of the board. It draws nothing: the board paints the
// strip's lines beneath it. Screen readers see it as the window's status bar,
// with a notice that reads out what a glance at the strip would tell.
#pragma once

#include <QWidget>

namespace mf::qt {

class StripWidget : public QWidget {
public:
    explicit StripWidget(QWidget* board);

    // Reads these words out at once, to a screen reader that listens.
    void say(const QString& words);
};

} // namespace mf::qt
