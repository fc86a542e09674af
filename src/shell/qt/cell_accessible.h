// SPDX-License-Identifier: GPL-3.0-or-later
// One cell of the minefield table for screen readers: named by what it
// shows ("covered", "flag", "3", ...), described by its column and row. A
// cell remade where the focus stands (Space or F changed it) leaves its
// place out: the reader has just said it.
#pragma once

#include <QAccessibleInterface>

namespace mf::qt {

class MinefieldAccessible;

class CellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CellAccessible(MinefieldAccessible* table, int index, bool placeSaid = false)
        : table_(table), index_(index), placeSaid_(placeSaid) {}

    int column() const;
    int row() const;
    QString name() const;
    bool placeSaid() const { return placeSaid_; }

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column() - 1; }
    int rowIndex() const override { return row() - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

private:
    MinefieldAccessible* table_;
    int index_; // CellIndex
    bool placeSaid_;
};

} // namespace mf::qt
