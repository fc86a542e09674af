// SPDX-License-Identifier: GPL-3.0-or-later
// A widget that screen readers see as a status bar with a notice, which
// reads out words at once. It draws nothing of its own.
#pragma once

#include <QWidget>

namespace mf::qt {

class NoticeBar : public QWidget {
public:
    explicit NoticeBar(QWidget* parent);

    // Reads these words out at once, to a screen reader that listens.
    void say(const QString& words);
};

} // namespace mf::qt
