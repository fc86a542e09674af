// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/board_accessible.h"

#include "shell/qt/board_widget.h"
#include "shell/cell_names.h"
#include "shell/qt/minefield_accessible.h"
#include "shell/qt/notice_accessible.h"
#include "common/qt/qt_util.h"

namespace mf::qt {

namespace {

QAccessibleInterface* boardFactory(const QString&, QObject* object) {
    if (auto* board = dynamic_cast<BoardWidget*>(object))
        return new BoardAccessible(board);
    return nullptr;
}

} // namespace

BoardAccessible::BoardAccessible(BoardWidget* board) : QAccessibleWidget(board, QAccessible::Pane) {}

BoardAccessible::~BoardAccessible() {
    if (table_)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(table_));
    if (notice_)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(notice_));
}

void BoardAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(boardFactory);
        return true;
    }();
    (void)installed;
}

BoardAccessible* BoardAccessible::of(BoardWidget* board) {
    return dynamic_cast<BoardAccessible*>(QAccessible::queryAccessibleInterface(board));
}

BoardWidget* BoardAccessible::board() const { return static_cast<BoardWidget*>(widget()); }

MinefieldAccessible* BoardAccessible::table() const {
    if (!table_) {
        table_ = new MinefieldAccessible(board());
        QAccessible::registerAccessibleInterface(table_);
    }
    return table_;
}

NoticeAccessible* BoardAccessible::notice() const {
    if (!notice_) {
        notice_ = new NoticeAccessible(board());
        QAccessible::registerAccessibleInterface(notice_);
    }
    return notice_;
}

void BoardAccessible::announce(bool focusMoved) {
    const bool renamed = table()->announceNames();
    if (focusMoved || renamed)
        table()->announceFocus();
    const StatusStrip& strip = board()->model().strip;
    const QString face = strip.Reset.Visible ? qs(faceName(strip.Reset.picture)) : QString();
    if (face == toldFace_)
        return;
    toldFace_ = face;
    if (face.isEmpty()) {
        notice()->clear(); // a new game
        return;
    }
    // The notice follows the focus cell and cuts its reading short, so it
    // repeats what the cell has become.
    QAccessibleInterface* cell = renamed ? table()->focusedCell() : nullptr;
    notice()->say(cell ? cell->text(QAccessible::Name) + QStringLiteral(", ") + face : face);
}

int BoardAccessible::childCount() const { return QAccessibleWidget::childCount() + 2; }

QAccessibleInterface* BoardAccessible::child(int index) const {
    const int widgets = QAccessibleWidget::childCount();
    if (index == widgets)
        return table();
    if (index == widgets + 1)
        return notice();
    return QAccessibleWidget::child(index);
}

int BoardAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == table_)
        return QAccessibleWidget::childCount();
    if (child == notice_)
        return QAccessibleWidget::childCount() + 1;
    return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* BoardAccessible::focusChild() const {
    if (QAccessibleInterface* cell = table()->focusedCell())
        return cell;
    return QAccessibleWidget::focusChild();
}

} // namespace mf::qt
