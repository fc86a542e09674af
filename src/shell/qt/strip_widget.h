// SPDX-License-Identifier: GPL-3.0-or-later
// The holder of the status strip's widgets (TIME, the two reset buttons,
// MINES) along the top of the board. It draws nothing: the board paints the
// strip's lines beneath it. Screen readers see it as the window's status bar,
// so that a reader's status-bar command reads TIME, the reset button and
// MINES, with a notice that reads out what a glance at the strip would tell.
#pragma once

#include "common/qt/notice_bar.h"

namespace mf::qt {

class StripWidget : public NoticeBar {
public:
    explicit StripWidget(QWidget* board) : NoticeBar(board) {}
};

} // namespace mf::qt
