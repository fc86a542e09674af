// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/board_accessible.h"

#include "shell/qt/board_widget.h"
#include "shell/cell_names.h"
#include "shell/qt/minefield_accessible.h"
#include "shell/qt/strip_widget.h"
#include "shell/spoken_status.h"
#include "common/qt/qt_util.h"

namespace mf::qt {

BoardAccessible::BoardAccessible(BoardWidget* board) : QAccessibleWidget(board, QAccessible::Pane) {}

BoardAccessible::~BoardAccessible() {
    if (table_)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(table_));
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

void BoardAccessible::announce(bool focusMoved) {
    const Main& model = board()->model();
    const bool renamed = table()->announceNames();
    if (focusMoved || renamed)
        table()->announceFocus();
    // Last, so that it is not cut short by the focus cell.
    if (model.boardsBuilt != toldBoard_) {
        toldBoard_ = model.boardsBuilt;
        board()->strip()->say(qs(boardWords(model)));
    }
    announceEnd(renamed);
    tellOnChange(toldSound_, qs(soundWords(model)));
}

// Says a state that has changed since it was last told; not the first one.
void BoardAccessible::tellOnChange(QString& told, const QString& now) {
    if (told == now)
        return;
    if (!told.isEmpty())
        board()->strip()->say(now);
    told = now;
}

void BoardAccessible::announceEnd(bool renamed) {
    const Main& model = board()->model();
    const StatusStrip& strip = model.strip;
    const QString end = strip.Reset.Visible
                            ? qs(endWords(model) + ", " + faceName(strip.Reset.picture))
                            : QString();
    if (end == toldEnd_)
        return;
    toldEnd_ = end;
    if (end.isEmpty())
        return;
    // The notice cuts the focus cell's reading short, so it repeats what the
    // cell has become.
    QAccessibleInterface* cell = renamed ? table()->focusedCell() : nullptr;
    board()->strip()->say(cell ? cell->text(QAccessible::Name) + QStringLiteral(", ") + end : end);
}

int BoardAccessible::childCount() const { return QAccessibleWidget::childCount() + 1; }

QAccessibleInterface* BoardAccessible::child(int index) const {
    if (index == QAccessibleWidget::childCount())
        return table();
    return QAccessibleWidget::child(index);
}

int BoardAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child && child == table_)
        return QAccessibleWidget::childCount();
    return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* BoardAccessible::focusChild() const {
    if (QAccessibleInterface* cell = table()->focusedCell())
        return cell;
    return QAccessibleWidget::focusChild();
}

} // namespace mf::qt
