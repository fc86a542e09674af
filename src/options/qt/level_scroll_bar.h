// SPDX-License-Identifier: GPL-3.0-or-later
// A horizontal scroll bar of the difficulty dialog: its keys go the way of
// every desktop's horizontal bar, and a screen reader reads its value in the
// words the dialog shows for it ("6 by 6", "18%").
#pragma once

#include <QScrollBar>

namespace mf::qt {

class LevelScrollBar : public QScrollBar {
public:
    // name: what a screen reader calls the bar, its label's text.
    LevelScrollBar(const QString& name, QWidget* parent = nullptr);

    // The value in words, as screen readers read it (LevelBarAccessible).
    void setValueWords(const QString& words) { words_ = words; }
    QString valueWords() const { return words_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString words_;
};

} // namespace mf::qt
