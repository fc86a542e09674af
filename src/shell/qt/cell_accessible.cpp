// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/cell_accessible.h"

#include "game/minefield.h"
#include "shell/cell_names.h"
#include "shell/qt/board_widget.h"
#include "shell/qt/minefield_accessible.h"
#include "common/qt/qt_util.h"

namespace mf::qt {

int CellAccessible::column() const { return Minefield::columnOf(index_); }

int CellAccessible::row() const { return Minefield::rowOf(index_); }

QString CellAccessible::name() const {
    const BoardWidget* board = table_->board();
    return board ? qs(cellName(board->model(), column(), row())) : QString();
}

bool CellAccessible::isValid() const {
    return table_->isValid() && column() <= table_->side() && row() <= table_->side();
}

QAccessibleInterface* CellAccessible::parent() const { return table_; }

QAccessibleInterface* CellAccessible::table() const { return table_; }

QString CellAccessible::text(QAccessible::Text t) const {
    switch (t) {
    case QAccessible::Name: return name();
    case QAccessible::Description: {
        const QString note = table_->countNote(index_); // ", 5 mines left"
        return placeSaid_ ? note.mid(2) : qs(cellPlace(column(), row())) + note;
    }
    default: return {};
    }
}

QRect CellAccessible::rect() const {
    const BoardWidget* board = table_->board();
    if (!board)
        return {};
    const QRect cell = board->cellRect(index_);
    return QRect(board->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::State CellAccessible::state() const {
    QAccessible::State s;
    s.focusable = true;
    s.focused = table_->focusedCell() == this;
    s.invisible = !isValid();
    return s;
}

void* CellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

} // namespace mf::qt
