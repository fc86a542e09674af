// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/strip_accessible.h"

#include "common/qt/notice_accessible.h"
#include "shell/qt/strip_widget.h"

namespace mf::qt {

StripAccessible::StripAccessible(StripWidget* strip) : QAccessibleWidget(strip, QAccessible::StatusBar) {}

StripAccessible::~StripAccessible() {
    if (notice_)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(notice_));
}

NoticeAccessible* StripAccessible::notice() const {
    if (!notice_) {
        notice_ = new NoticeAccessible(widget());
        QAccessible::registerAccessibleInterface(notice_);
    }
    return notice_;
}

int StripAccessible::childCount() const { return QAccessibleWidget::childCount() + 1; }

QAccessibleInterface* StripAccessible::child(int index) const {
    if (index == QAccessibleWidget::childCount())
        return notice();
    return QAccessibleWidget::child(index);
}

int StripAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child && child == notice_)
        return QAccessibleWidget::childCount();
    return QAccessibleWidget::indexOfChild(child);
}

} // namespace mf::qt
