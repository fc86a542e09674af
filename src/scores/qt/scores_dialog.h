// SPDX-License-Identifier: GPL-3.0-or-later
// The Hall of Fame on screen: draws a Scores model and passes the clicks
// of its two buttons to the model's handlers. Shown modally by exec(),
// which returns once OK or the window frame has closed it.
#pragma once

#include <array>

#include <QDialog>

#include "game/controls.h"
#include "scores/scores.h"

class QLabel;
class QPushButton;

namespace mf::qt {

class ScoresDialog : public QDialog {
    Q_OBJECT

public:
    explicit ScoresDialog(Scores& model, QWidget* parent = nullptr);

    // Shows the model's captions again, after a handler has changed them.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    QLabel* addLabel(const Label& label, const QFont& font, const QColor& colour);
    QLabel* addHeading(const Label& label, const QColor& colour);
    QPushButton* addButton(const Button& button, const QFont& font);
    void clearClicked();
    void okClicked();

    Scores& model_;
    std::array<QLabel*, 2> heading_{};
    std::array<QLabel*, 3> names_{};
    std::array<QLabel*, 3> times_{};
    QPushButton* clear_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace mf::qt
