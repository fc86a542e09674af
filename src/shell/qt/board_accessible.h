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
    // Makes Qt use this class for every board widget; done once.
    static void install();

    MinefieldAccessible* table() const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;

private:
    BoardWidget* board() const;

    mutable MinefieldAccessible* table_ = nullptr;
};

} // namespace mf::qt
