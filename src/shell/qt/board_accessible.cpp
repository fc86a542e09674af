// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/board_accessible.h"

#include <QStringList>

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
    QStringList words;
    if (model.boardsBuilt != toldBoard_) {
        // A new board is said first, and with it the place the focus cell
        // went back to, in one notice: a focus after it would cut it short.
        toldBoard_ = model.boardsBuilt;
        words << qs(levelBoardWords(model));
        if (board()->hasFocus()) {
            table()->leaveFocus();
            const BoardCursor& cursor = board()->cursor();
            words << qs(cellPlace(cursor.column(), cursor.row()));
        }
    } else if (focusMoved || renamed) {
        table()->announceFocus(!focusMoved);
    }
    if (const QString end = endNews(renamed); !end.isEmpty())
        words << end;
    if (const QString sound = qs(soundWords(model)); toldSound_ != sound) {
        if (!toldSound_.isEmpty()) // not the first one
            words << sound;
        toldSound_ = sound;
    }
    if (!words.isEmpty())
        board()->strip()->say(words.join(QStringLiteral(", ")));
}

// How the game ended, once, when it has; else empty.
QString BoardAccessible::endNews(bool renamed) {
    const Main& model = board()->model();
    const StatusStrip& strip = model.strip;
    const QString end = strip.Reset.Visible
                            ? qs(endWords(model) + ", " + faceName(strip.Reset.picture))
                            : QString();
    if (end == toldEnd_ || end.isEmpty()) {
        toldEnd_ = end;
        return {};
    }
    toldEnd_ = end;
    // The notice cuts the focus cell's reading short, so it repeats what the
    // cell has become.
    QAccessibleInterface* cell = renamed ? table()->focusedCell() : nullptr;
    return cell ? cell->text(QAccessible::Name) + QStringLiteral(", ") + end : end;
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
