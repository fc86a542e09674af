// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/board_widget.h"

#include <optional>

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

#include "common/qt/accessible_factory.h"
#include "shell/qt/board_accessible.h"
#include "shell/qt/minefield_accessible.h"
#include "shell/qt/strip_widget.h"
#include "shell/spoken_status.h"
#include "common/qt/qt_util.h"

namespace mf::qt {

namespace {

Int16 buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 8; // the extra buttons plant flags too
    }
}

// The board's meaning of a key; none for the keys it leaves to the window
// (Enter, Tab, shortcuts...).
std::optional<BoardCursor::Key> boardKey(const QKeyEvent& event) {
    using Key = BoardCursor::Key;
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Home: return Key::RowStart;
    case Qt::Key_End: return Key::RowEnd;
    case Qt::Key_PageUp: return Key::ColumnStart;
    case Qt::Key_PageDown: return Key::ColumnEnd;
    case Qt::Key_Space: return Key::Press;
    case Qt::Key_F:
    case Qt::Key_Menu: return Key::Flag;
    default: return std::nullopt;
    }
}

} // namespace

BoardWidget::BoardWidget(Main& model, QWidget* parent)
    : QWidget(parent), model_(model), strip_(new StripWidget(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The keyboard reaches the board by Tab, or by a left press on a cell,
    // as a pressed covering button would take it. Any other button plants a
    // flag and leaves the focus where it is: Enter then still presses the
    // push button that has it.
    setFocusPolicy(Qt::TabFocus);
    installAccessible<BoardWidget, BoardAccessible>();
}

const QPixmap& BoardWidget::coveredCell() {
    // One raised button face in the colour of an active window border, drawn
    // once and reused for every covered cell. Cells overlap their right and
    // lower neighbours by two pixels, so the shadow is four pixels deep and
    // two of them always show.
    if (covered_.isNull()) {
        const int side = px(390);
        const QColor shadow(0x80, 0x80, 0x80);
        covered_ = QPixmap(side, side);
        covered_.fill(QColor(0xc0, 0xc0, 0xc0));
        QPainter painter(&covered_);
        painter.fillRect(0, 0, side, 2, Qt::white);
        painter.fillRect(0, 0, 2, side, Qt::white);
        painter.fillRect(0, side - 4, side, 4, shadow);
        painter.fillRect(side - 4, 0, 4, side, shadow);
        // Where highlight and shadow meet, the corners are cut diagonally.
        painter.setPen(shadow);
        painter.drawPoint(1, side - 4);
        painter.drawPoint(side - 4, 1);
    }
    return covered_;
}

void BoardWidget::paintLines(QPainter& painter) {
    const StatusStrip& s = model_.strip;
    const auto draw = [&painter](const Line& line, const QColor& colour, int width) {
        painter.setPen(QPen(colour, width));
        painter.drawLine(px(line.X1), px(line.Y1), px(line.X2), px(line.Y2));
    };
    draw(s.Line2, Qt::black, 1);
    draw(s.Line4, Qt::white, 2);
    draw(s.Line3, Qt::white, 2);
    draw(s.Line1, Qt::black, 1);
}

void BoardWidget::paintEvent(QPaintEvent*) {
    followModel();
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    paintLines(painter);
    const Minefield& field = model_.field;
    // Pictures lie below the covering buttons.
    for (const Image& cell : field.ButPic)
        if (cell.Visible && cell.picture != Picture::None)
            painter.drawPixmap(px(cell.rect.Left), px(cell.rect.Top), pixmap(cell.picture));
    const QPixmap& covered = coveredCell();
    for (const Button& cell : field.Command2)
        if (cell.Visible)
            painter.drawPixmap(px(cell.rect.Left), px(cell.rect.Top), covered);
    if (model_.Blow.Visible)
        painter.drawPixmap(px(model_.Blow.rect), pixmap(Picture::Blow));
    if (focusShown())
        paintFocus(painter);
}

void BoardWidget::paintFocus(QPainter& painter) {
    // Black outside, white inside: clear on every picture. It stays in the
    // part of the cell that its right and lower neighbours leave showing.
    const int overlap = px(390) - px(360);
    const QRect cell = cellRect(cursor_.index()).adjusted(0, 0, -overlap, -overlap);
    const auto frame = [&painter](const QRect& r, int width, const QColor& colour) {
        painter.fillRect(r.left(), r.top(), r.width(), width, colour);
        painter.fillRect(r.left(), r.bottom() - width + 1, r.width(), width, colour);
        painter.fillRect(r.left(), r.top(), width, r.height(), colour);
        painter.fillRect(r.right() - width + 1, r.top(), width, r.height(), colour);
    };
    frame(cell, 2, Qt::black);
    frame(cell.adjusted(2, 2, -2, -2), 1, Qt::white);
}

const BoardCursor& BoardWidget::cursor() {
    cursor_.follow(model_);
    return cursor_;
}

void BoardWidget::followModel() {
    const bool moved = cursor_.follow(model_);
    if (!QAccessible::isActive())
        return;
    if (BoardAccessible* accessible = BoardAccessible::of(this))
        accessible->announce(moved && hasFocus());
}

void BoardWidget::announceFocus() {
    if (!QAccessible::isActive())
        return;
    if (BoardAccessible* accessible = BoardAccessible::of(this))
        accessible->table()->announceFocus();
}

// The topmost visible cell control at a point: later elements lie on top of
// the neighbours they overlap.
template <typename Control>
int topmostAt(const std::array<Control, kCellCount>& cells, QPoint point) {
    for (int i = kCellCount - 1; i >= 0; --i)
        if (cells[i].Visible && px(cells[i].rect).contains(point))
            return i;
    return -1;
}

int BoardWidget::buttonAt(QPoint point) const { return topmostAt(model_.field.Command2, point); }

int BoardWidget::pictureAt(QPoint point) const { return topmostAt(model_.field.ButPic, point); }

QPoint BoardWidget::cellCentre(int index) const { return cellRect(index).center(); }

QRect BoardWidget::cellRect(int index) const { return px(model_.field.Command2[index].rect); }

void BoardWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int button = buttonAt(at);
    const int cell = button >= 0 ? button : pictureAt(at);
    keyboardUsed_ = false;
    if (cell >= 0) {
        cursor_.follow(model_);
        cursor_.moveTo(Minefield::columnOf(cell), Minefield::rowOf(cell), model_.field.BoardSize);
        if (event->button() == Qt::LeftButton && !hasFocus())
            setFocus(Qt::MouseFocusReason); // its focus event tells the cell
        else
            announceFocus();
    }
    update();
    if (button >= 0) {
        const auto index = static_cast<Int16>(button);
        const Int16 code = buttonCode(event->button());
        dispatch([this, index, code] { model_.Command2_MouseDown(index, code); });
        return;
    }
    pressedPicture_ = event->button() == Qt::LeftButton ? pictureAt(at) : -1;
}

void BoardWidget::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = pressedPicture_;
    pressedPicture_ = -1;
    if (pressed < 0 || event->button() != Qt::LeftButton ||
        pictureAt(event->position().toPoint()) != pressed)
        return;
    const auto index = static_cast<Int16>(pressed);
    dispatch([this, index] { model_.ButPic_Click(index); });
}

void BoardWidget::keyPressEvent(QKeyEvent* event) {
    // The status strip's buttons are children of the board: the keys they
    // leave come here, and are not the board's.
    const std::optional<BoardCursor::Key> key = hasFocus() ? boardKey(*event) : std::nullopt;
    if (!key) {
        QWidget::keyPressEvent(event); // on to the window, which knows Enter
        return;
    }
    event->accept();
    keyboardUsed_ = true;
    cursor_.follow(model_);
    update();
    if (*key == BoardCursor::Key::Press || *key == BoardCursor::Key::Flag) {
        // A held key acts once, as a held mouse button does.
        if (event->isAutoRepeat())
            return;
        const BoardCursor::Command command = cursor_.commandFor(model_.field, *key);
        if (command != BoardCursor::Command::None)
            dispatch([this, command] { cursor_.perform(model_, command); });
        else // nothing to see: say why
            strip_->say(qs(nothingDoneWords(model_, cursor_.column(), cursor_.row())));
        return;
    }
    if (cursor_.move(*key, model_.field.BoardSize))
        announceFocus();
}

void BoardWidget::focusInEvent(QFocusEvent* event) {
    const bool byTab = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (byTab)
        keyboardUsed_ = true;
    cursor_.follow(model_);
    if (byTab)
        if (BoardAccessible* accessible = BoardAccessible::of(this))
            accessible->table()->noteEntry(); // the mines left, once, with the cell
    // The widget's own focus is told once this event is over; the cell's
    // must come after it, or a screen reader stays on the widget.
    QMetaObject::invokeMethod(this, [this] { announceFocus(); }, Qt::QueuedConnection);
    update();
}

void BoardWidget::focusOutEvent(QFocusEvent*) { update(); }

} // namespace mf::qt
