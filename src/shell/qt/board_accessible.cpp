#include "shell/qt/board_accessible.h"

#include "shell/qt/board_widget.h"
#include "shell/qt/minefield_accessible.h"

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

int BoardAccessible::childCount() const { return QAccessibleWidget::childCount() + 1; }

QAccessibleInterface* BoardAccessible::child(int index) const {
    const int widgets = QAccessibleWidget::childCount();
    return index == widgets ? table() : QAccessibleWidget::child(index);
}

int BoardAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == table_)
        return QAccessibleWidget::childCount();
    return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* BoardAccessible::focusChild() const {
    if (QAccessibleInterface* cell = table()->focusedCell())
        return cell;
    return QAccessibleWidget::focusChild();
}

} // namespace mf::qt
