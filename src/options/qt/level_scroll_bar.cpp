// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/qt/level_scroll_bar.h"

#include <QKeyEvent>

#include "common/qt/accessible_factory.h"
#include "options/qt/level_bar_accessible.h"

namespace mf::qt {

LevelScrollBar::LevelScrollBar(const QString& name, QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent) {
    installAccessible<LevelScrollBar, LevelBarAccessible>();
    setAccessibleName(name);
    setFocusPolicy(Qt::StrongFocus); // arrows, Page keys, Home and End move it
}

// A scroll bar inverts its controls, so that Up and Page Up go towards the
// top, the smaller values. The slider applies that inversion to Left and
// Right too, which turns a horizontal bar's arrows round: put them back.
// Up, Down, the Page keys, Home and End keep the bar's own way.
void LevelScrollBar::keyPressEvent(QKeyEvent* event) {
    const bool left = event->key() == Qt::Key_Left;
    if (orientation() != Qt::Horizontal || (!left && event->key() != Qt::Key_Right)) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    const bool smaller = left != isRightToLeft();
    triggerAction(smaller ? SliderSingleStepSub : SliderSingleStepAdd);
    event->accept();
}

} // namespace mf::qt
