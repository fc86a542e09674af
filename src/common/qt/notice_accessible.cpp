// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/qt/notice_accessible.h"

#include <QWidget>

namespace mf::qt {

void NoticeAccessible::say(const QString& text) {
    text_ = text;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

QAccessibleInterface* NoticeAccessible::parent() const {
    return owner_ ? QAccessible::queryAccessibleInterface(owner_) : nullptr;
}

QString NoticeAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? text_ : QString();
}

QAccessible::State NoticeAccessible::state() const {
    QAccessible::State s;
    s.invisible = text_.isEmpty();
    return s;
}

} // namespace mf::qt
