// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/qt/level_scroll_bar.h"

#include <QKeyEvent>

#include "common/qt/accessible_factory.h"
#include "common/qt/notice_bar.h"
#include "options/qt/level_bar_accessible.h"

namespace mf::qt {

LevelScrollBar::LevelScrollBar(const QString& name, QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent) {
    installAccessible<LevelScrollBar, LevelBarAccessible>();
    setAccessibleName(name);
    setFocusPolicy(Qt::StrongFocus); // arrows, Page keys, Home and End move it
}

// A scroll bar inverts its controls, so that Up and Page Up go towards the
// top, the smaller values. As a spin button, Up, Right and Page Up make the
// value larger, Down, Left and Page Down smaller (the arrows by one, the
// page keys by a page); Home and End go to the ends.
void LevelScrollBar::keyPressEvent(QKeyEvent* event) {
    const bool backwards = isRightToLeft();
    SliderAction action = SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Up: action = SliderSingleStepAdd; break;
    case Qt::Key_Down: action = SliderSingleStepSub; break;
    case Qt::Key_Right: action = backwards ? SliderSingleStepSub : SliderSingleStepAdd; break;
    case Qt::Key_Left: action = backwards ? SliderSingleStepAdd : SliderSingleStepSub; break;
    case Qt::Key_PageUp: action = SliderPageStepAdd; break;
    case Qt::Key_PageDown: action = SliderPageStepSub; break;
    case Qt::Key_Home: action = SliderToMinimum; break;
    case Qt::Key_End: action = SliderToMaximum; break;
    default: break;
    }
    if (action == SliderNoAction || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!locked_) {
        triggerAction(action);
        return;
    }
    if (notices_) // held by the level: say why it does not move
        notices_->say(accessibleDescription());
}

} // namespace mf::qt
