// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader sees of the board widget: its own children (the
// status strip) and, after them, the minefield table.
#pragma once

#include <QAccessibleWidget>

namespace mf::qt {

class BoardWidget;
class MinefieldAccessible;

class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(BoardWidget* board);
    ~BoardAccessible() override;

    // The accessible of a board widget, made on first use.
    static BoardAccessible* of(BoardWidget* board);

    MinefieldAccessible* table() const;

    // Tells a screen reader what changed on the board since the last call:
    // a new board, the names of the cells, the focus cell when it moved or
    // changed, how the game ended, and the sound switched on or off. What is
    // not the focus cell's is said in one notice, the new board first.
    void announce(bool focusMoved);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;

private:
    BoardWidget* board() const;

    QString endNews(bool renamed);

    mutable MinefieldAccessible* table_ = nullptr;

    int toldBoard_ = -1; // Main::boardsBuilt as last announced
    QString toldSound_;  // the sound switch as last announced
    QString toldEnd_;    // the end of the game as last announced; empty during one
};

} // namespace mf::qt
