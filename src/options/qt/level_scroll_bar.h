// SPDX-License-Identifier: GPL-3.0-or-later
// A horizontal scroll bar of the difficulty dialog: its keys go the way of
// every desktop's horizontal bar, and a screen reader reads its value in the
// words the dialog shows for it ("6 by 6", "18%") as the bar takes the focus.
#pragma once

#include <QScrollBar>

namespace mf::qt {

class LevelScrollBar : public QScrollBar {
    Q_OBJECT

public:
    // name: what a screen reader calls the bar, its label's text.
    LevelScrollBar(const QString& name, QWidget* parent = nullptr);

    // The value in words, the bar's description. Screen readers read them
    // after the bar's name and number as it takes the focus; as the value
    // changes they say only the number.
    void setValueWords(const QString& words);
    QString valueWords() const { return accessibleDescription(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace mf::qt
