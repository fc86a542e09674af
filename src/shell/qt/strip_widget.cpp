// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/strip_widget.h"

#include <QAccessible>

#include "common/qt/notice_accessible.h"
#include "shell/qt/strip_accessible.h"
#include "common/qt/accessible_factory.h"

namespace mf::qt {

StripWidget::StripWidget(QWidget* board) : QWidget(board) { installAccessible<StripWidget, StripAccessible>(); }

void StripWidget::say(const QString& words) {
    if (auto* accessible = dynamic_cast<StripAccessible*>(QAccessible::queryAccessibleInterface(this)))
        accessible->notice()->say(words);
}

} // namespace mf::qt
