// SPDX-License-Identifier: GPL-3.0-or-later
// The status strip for screen readers: a status bar, so that a reader's
// status-bar command reads TIME, the reset button and MINES. After them, a
// notice that speaks what changed: a reader says a notice in a status bar
// without calling it a notification.
#pragma once

#include <QAccessibleWidget>

namespace mf::qt {

class NoticeAccessible;
class StripWidget;

class StripAccessible : public QAccessibleWidget {
public:
    explicit StripAccessible(StripWidget* strip);
    ~StripAccessible() override;

    NoticeAccessible* notice() const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    mutable NoticeAccessible* notice_ = nullptr;
};

} // namespace mf::qt
