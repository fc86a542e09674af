// The client area of the main window below the menu bar: the decoration
// lines, the cells and the explosion, painted from the model. Presses on
// covering buttons and clicks on cell pictures go to the model's handlers.
#pragma once

#include <functional>

#include <QPixmap>
#include <QWidget>

#include "shell/main_window.h"

namespace mf::qt {

class BoardWidget : public QWidget {
public:
    BoardWidget(Main& model, QWidget* parent = nullptr);

    // Runs a handler of the model; the window brings itself up to date after.
    std::function<void(const std::function<void()>&)> dispatch;

    // Index of the visible covering button, or else cell picture, at a point.
    int buttonAt(QPoint point) const;
    int pictureAt(QPoint point) const;
    QPoint cellCentre(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const QPixmap& coveredCell();
    void paintLines(QPainter& painter);

    Main& model_;
    QPixmap covered_;
    int pressedPicture_ = -1;
};

} // namespace mf::qt
