// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/qt/notice_bar.h"

#include "common/qt/accessible_factory.h"
#include "common/qt/notice_accessible.h"

namespace mf::qt {

NoticeBar::NoticeBar(QWidget* parent) : QWidget(parent) { installAccessible<NoticeBar, NoticeBarAccessible>(); }

void NoticeBar::say(const QString& words) {
    if (auto* accessible = dynamic_cast<NoticeBarAccessible*>(QAccessible::queryAccessibleInterface(this)))
        accessible->say(words);
}

} // namespace mf::qt
