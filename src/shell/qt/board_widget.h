// SPDX-License-Identifier: GPL-3.0-or-later
// The client area of the main window below the menu bar: the decoration
// lines, the cells and the explosion, painted from the model. Presses on
// covering buttons and clicks on cell pictures go to the model's handlers.
// It takes the keyboard focus by Tab, or at a cell by a left press: the keys
// move a focus cell and act on it as the mouse buttons would. Screen readers
// see it as a table of cells below the status strip.
#pragma once

#include <functional>

#include <QPixmap>
#include <QWidget>

#include "shell/board_cursor.h"
#include "shell/main_window.h"

namespace mf::qt {

class StripWidget;

class BoardWidget : public QWidget {
public:
    BoardWidget(Main& model, QWidget* parent = nullptr);

    // Runs a handler of the model; the window brings itself up to date after.
    std::function<void(const std::function<void()>&)> dispatch;

    // Index of the visible covering button, or else cell picture, at a point.
    int buttonAt(QPoint point) const;
    int pictureAt(QPoint point) const;
    QPoint cellCentre(int index) const;
    QRect cellRect(int index) const;

    const Main& model() const { return model_; }
    // The holder of the status strip's widgets, along the top.
    StripWidget* strip() const { return strip_; }
    // The focus cell, kept on the board the model shows.
    const BoardCursor& cursor();
    // True while the focus cell is drawn: the board has the focus and the
    // keyboard, not the mouse, was used on it last.
    bool focusShown() const { return hasFocus() && keyboardUsed_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const QPixmap& coveredCell();
    void paintLines(QPainter& painter);
    void paintFocus(QPainter& painter);
    // Puts the focus cell on the model's board and tells a screen reader
    // what has changed since it was last told.
    void followModel();
    void announceFocus();

    Main& model_;
    StripWidget* strip_;
    QPixmap covered_;
    int pressedPicture_ = -1;
    BoardCursor cursor_;
    bool keyboardUsed_ = false;
};

} // namespace mf::qt
