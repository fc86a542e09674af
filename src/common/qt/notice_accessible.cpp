// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/qt/notice_accessible.h"

#include <QTimer>
#include <QWidget>

namespace mf::qt {

QAccessibleInterface* NoticeAccessible::parent() const {
    return owner_ ? QAccessible::queryAccessibleInterface(owner_) : nullptr;
}

QString NoticeAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? text_ : QString();
}

QAccessible::State NoticeAccessible::state() const {
    QAccessible::State s;
    s.invisible = retired_ || text_.isEmpty();
    return s;
}

NoticeBarAccessible::NoticeBarAccessible(QWidget* bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

NoticeBarAccessible::~NoticeBarAccessible() {
    for (NoticeAccessible* notice : told_)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(notice));
}

void NoticeBarAccessible::say(const QString& words) {
    auto* notice = new NoticeAccessible(widget(), words);
    QAccessible::registerAccessibleInterface(notice);
    told_.push_back(notice);
    if (told_.size() > kKept) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(told_.front()));
        told_.pop_front();
    }
    shown_ = notice;
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    QTimer::singleShot(kShownMs, widget(), [this, notice] {
        if (shown_ != notice)
            return;
        shown_ = nullptr;
        notice->retire();
        QAccessibleEvent hidden(notice, QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&hidden);
    });
}

int NoticeBarAccessible::childCount() const { return QAccessibleWidget::childCount() + (shown_ ? 1 : 0); }

QAccessibleInterface* NoticeBarAccessible::child(int index) const {
    if (shown_ && index == QAccessibleWidget::childCount())
        return shown_;
    return QAccessibleWidget::child(index);
}

int NoticeBarAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child && child == shown_)
        return QAccessibleWidget::childCount();
    return QAccessibleWidget::indexOfChild(child);
}

} // namespace mf::qt
