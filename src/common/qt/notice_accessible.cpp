// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/qt/notice_accessible.h"

#include <QTimer>
#include <QWidget>

namespace mf::qt {

void NoticeAccessible::say(const QString& text) {
    text_ = text;
    const int said = ++said_;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    if (owner_)
        QTimer::singleShot(kLifeMs, owner_, [this, said] {
            if (said != said_)
                return;
            text_.clear();
            QAccessibleEvent hidden(this, QAccessible::ObjectHide);
            QAccessible::updateAccessibility(&hidden);
        });
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

NoticeBarAccessible::NoticeBarAccessible(QWidget* bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

NoticeBarAccessible::~NoticeBarAccessible() {
    if (notice_)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(notice_));
}

NoticeAccessible* NoticeBarAccessible::notice() const {
    if (!notice_) {
        notice_ = new NoticeAccessible(widget());
        QAccessible::registerAccessibleInterface(notice_);
    }
    return notice_;
}

int NoticeBarAccessible::childCount() const { return QAccessibleWidget::childCount() + 1; }

QAccessibleInterface* NoticeBarAccessible::child(int index) const {
    if (index == QAccessibleWidget::childCount())
        return notice();
    return QAccessibleWidget::child(index);
}

int NoticeBarAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child && child == notice_)
        return QAccessibleWidget::childCount();
    return QAccessibleWidget::indexOfChild(child);
}

} // namespace mf::qt
