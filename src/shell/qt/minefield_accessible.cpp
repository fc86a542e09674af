// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/minefield_accessible.h"

#include <utility>
#include <vector>

#include "shell/cell_names.h"
#include "shell/spoken_status.h"
#include "shell/qt/board_accessible.h"
#include "shell/qt/board_widget.h"
#include "shell/qt/cell_accessible.h"
#include "common/qt/qt_util.h"

namespace mf::qt {

MinefieldAccessible::MinefieldAccessible(BoardWidget* board) : board_(board) {}

MinefieldAccessible::~MinefieldAccessible() {
    for (CellAccessible* cell : cells_)
        if (cell)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cell));
}

int MinefieldAccessible::side() const { return board_ ? board_->model().field.BoardSize : 0; }

CellAccessible* MinefieldAccessible::cell(int index) const {
    if (index < 0 || index >= kCellCount)
        return nullptr;
    CellAccessible*& cell = cells_[index];
    if (!cell) {
        cell = new CellAccessible(const_cast<MinefieldAccessible*>(this), index);
        QAccessible::registerAccessibleInterface(cell);
    }
    return cell;
}

QAccessibleInterface* MinefieldAccessible::focusedCell() const {
    if (!board_ || !board_->hasFocus())
        return nullptr;
    return cell(board_->cursor().index());
}

bool MinefieldAccessible::isValid() const { return !board_.isNull(); }

QAccessibleInterface* MinefieldAccessible::parent() const {
    return board_ ? BoardAccessible::of(board_) : nullptr;
}

QAccessibleInterface* MinefieldAccessible::cellAt(int row, int column) const {
    const int n = side();
    if (row < 0 || row >= n || column < 0 || column >= n)
        return nullptr;
    return cell(Minefield::CellIndex(column + 1, row + 1));
}

QAccessibleInterface* MinefieldAccessible::child(int index) const {
    const int n = side();
    return n > 0 ? cellAt(index / n, index % n) : nullptr;
}

int MinefieldAccessible::childCount() const { return side() * side(); }

int MinefieldAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < childCount(); ++i)
        if (this->child(i) == child)
            return i;
    return -1;
}

QAccessibleInterface* MinefieldAccessible::childAt(int x, int y) const {
    for (int i = 0; i < childCount(); ++i)
        if (child(i)->rect().contains(x, y))
            return child(i);
    return nullptr;
}

QString MinefieldAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name)
        return QStringLiteral("minefield");
    if (t == QAccessible::Description)
        return QStringLiteral("%1 by %1").arg(side());
    return {};
}

QString MinefieldAccessible::columnDescription(int column) const {
    return QStringLiteral("column %1").arg(column + 1);
}

QString MinefieldAccessible::rowDescription(int row) const {
    return QStringLiteral("row %1").arg(row + 1);
}

QRect MinefieldAccessible::rect() const {
    const int n = side();
    if (n == 0)
        return {};
    return child(0)->rect().united(child(n * n - 1)->rect());
}

QAccessible::State MinefieldAccessible::state() const {
    QAccessible::State s;
    s.focusable = true;
    s.focused = board_ && board_->hasFocus();
    return s;
}

void* MinefieldAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return nullptr;
}

bool MinefieldAccessible::announceNames() {
    const int n = side();
    if (n != toldSide_) {
        // A board of another side: the reader reads the table anew.
        toldSide_ = n;
        told_.fill({});
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    const int focusIndex = board_->cursor().index();
    bool flagChanged = false;
    std::vector<CellAccessible*> changed;
    for (int k = 0; k < n * n; ++k) {
        CellAccessible* c = cell(Minefield::CellIndex(k % n + 1, k / n + 1));
        std::string name = cellName(board_->model(), c->column(), c->row());
        std::string& told = told_[static_cast<std::size_t>(k)];
        if (name == told)
            continue;
        if (!told.empty())
            changed.push_back(c);
        if (Minefield::CellIndex(c->column(), c->row()) == focusIndex)
            flagChanged = told == "flag" || name == "flag";
        told = std::move(name);
    }
    // A region opened or a board uncovered changes more cells than anyone
    // listens to, and a message each would slow the press: then only the
    // focus cell is told, and the others are read as the player gets there.
    const QAccessibleInterface* focused = focusedCell();
    bool focusRenamed = false;
    for (CellAccessible* c : changed) {
        if (c == focused)
            focusRenamed = true;
        else if (changed.size() <= kEachCellLimit)
            tellName(c);
    }
    noteCount(focusIndex, focusRenamed, flagChanged);
    if (focusRenamed)
        tellName(renew(focusIndex, true));
    return focusRenamed;
}

// A flag planted or taken on the same board: the focus cell then carries the
// count until the focus moves on or the cell changes again.
void MinefieldAccessible::noteCount(int index, bool renamed, bool flagChanged) {
    const Main& model = board_->model();
    const bool sameBoard = std::exchange(toldBoard_, model.boardsBuilt) == model.boardsBuilt;
    if (!sameBoard || renamed) {
        noteCell_ = sameBoard && flagChanged ? index : -1;
        note_ = QStringLiteral(", ") + qs(minesLeftWords(model.field.MinesLeft));
    }
}

QString MinefieldAccessible::countNote(int index) const { return index == noteCell_ ? note_ : QString(); }

void MinefieldAccessible::tellName(CellAccessible* cell) {
    QAccessibleEvent event(cell, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

// The cell's old object goes: a screen reader takes the cell it stood on for
// gone, and reads the new one as it takes the focus.
CellAccessible* MinefieldAccessible::renew(int index, bool placeSaid) {
    CellAccessible*& old = cells_[index];
    if (old)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    old = new CellAccessible(this, index, placeSaid);
    QAccessible::registerAccessibleInterface(old);
    heard_[index] = QString();
    return old;
}

void MinefieldAccessible::announceFocus(bool inPlace) {
    if (!board_)
        return;
    const int index = board_->cursor().index();
    if (index != noteCell_)
        noteCell_ = -1;
    QAccessibleInterface* focused = focusedCell();
    if (!focused)
        return;
    if (!inPlace) {
        const QString& heard = heard_[index];
        if (cells_[index]->placeSaid() || (!heard.isNull() && heard != focused->text(QAccessible::Description)))
            focused = renew(index, false);
    }
    heard_[index] = focused->text(QAccessible::Description);
    heardCell_ = index;
    QAccessibleEvent focus(focused, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

void MinefieldAccessible::leaveFocus() {
    if (heardCell_ >= 0 && cells_[heardCell_])
        renew(heardCell_, false);
    heardCell_ = -1;
    // Its place is said with the board: the focus cell keeps it too.
    const int index = board_ ? board_->cursor().index() : -1;
    if (index >= 0 && cells_[index] && cells_[index]->placeSaid())
        renew(index, false);
}

void MinefieldAccessible::noteEntry() {
    if (!board_)
        return;
    noteCell_ = board_->cursor().index();
    note_ = QStringLiteral(", ") + qs(minesLeftWords(board_->model().field.MinesLeft));
}

} // namespace mf::qt
