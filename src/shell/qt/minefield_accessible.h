// SPDX-License-Identifier: GPL-3.0-or-later
// The minefield as a table for screen readers: BoardSize rows of BoardSize
// cells, each named by what it shows. It is told after every change of the
// board and announces what changed.
#pragma once

#include <array>
#include <string>

#include <QAccessibleInterface>
#include <QPointer>

#include "game/minefield.h"

namespace mf::qt {

class BoardWidget;
class CellAccessible;

class MinefieldAccessible : public QAccessibleInterface, public QAccessibleTableInterface {
public:
    // Cells whose changes are told one by one; beyond, only the focus cell.
    static constexpr std::size_t kEachCellLimit = 8;

    explicit MinefieldAccessible(BoardWidget* board);
    ~MinefieldAccessible() override;

    BoardWidget* board() const { return board_; }
    int side() const;
    // The cell at a CellIndex, made on first use.
    CellAccessible* cell(int index) const;
    // The focus cell while the board has the keyboard focus, else null.
    QAccessibleInterface* focusedCell() const;

    // Sends a reorder when the board changed its side and a name change for
    // the cells whose name changed since the last call. A screen reader says
    // nothing when the cell it stands on changes its name, but reads a cell
    // that takes the focus: the focus cell, renamed, becomes a new object
    // that leaves its place out, and true is returned for the caller to
    // focus it. Only call these while QAccessible::isActive().
    bool announceNames();
    // Focuses the focus cell for the reader. A cell read before with other
    // words than it has now is remade first, as the reader keeps what it
    // read of an object; inPlace: the cell has just been remade where the
    // focus stood, and is focused as it is.
    void announceFocus(bool inPlace = false);
    // The board has been built anew and the place of its focus cell is said
    // in words: the cell the reader last stood on is remade, so that the
    // next focus is read wherever it goes.
    void leaveFocus();
    // The keyboard came to the board by Tab: the focus cell carries the
    // mines left until the focus moves on.
    void noteEntry();

    // What the player's last flag did to the count, said after the place of
    // the cell it was planted on or taken from: ", 5 mines left"; else empty.
    QString countNote(int index) const;

    // QAccessibleInterface
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override { return focusedCell(); }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Table; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return side(); }
    int rowCount() const override { return side(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    static void tellName(CellAccessible* cell);
    CellAccessible* renew(int index, bool placeSaid);

    QPointer<BoardWidget> board_;
    mutable std::array<CellAccessible*, kCellCount> cells_{};
    void noteCount(int index, bool renamed, bool flagChanged);

    std::array<std::string, kCellCount> told_;  // names as last announced
    int toldSide_ = -1;                          // side as last announced
    int toldBoard_ = -1;                         // Main::boardsBuilt as last announced
    int noteCell_ = -1;                          // the cell that carries the count note
    int heardCell_ = -1;                         // the cell last focused for the reader
    std::array<QString, kCellCount> heard_;      // descriptions as last focused; null: not since made
    QString note_;
};

} // namespace mf::qt
