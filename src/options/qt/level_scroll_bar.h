// SPDX-License-Identifier: GPL-3.0-or-later
// A horizontal scroll bar of the difficulty dialog, read by screen readers
// as a spin button: its keys go the way of every desktop's spin button (Up,
// Right and Page Up larger), and a screen reader reads its value in the
// words the dialog shows for it ("6 by 6", "18%"). While a standard level
// is chosen, the level holds it: a key does not move it, and the reader is
// told why (its description).
#pragma once

#include <QScrollBar>

namespace mf::qt {

class NoticeBar;

class LevelScrollBar : public QScrollBar {
public:
    // name: what a screen reader calls the bar, its label's text.
    LevelScrollBar(const QString& name, QWidget* parent = nullptr);

    // The value in words, as screen readers read it (LevelBarAccessible).
    void setValueWords(const QString& words) { words_ = words; }
    QString valueWords() const { return words_; }
    void setLocked(bool locked) { locked_ = locked; }
    // Where a held bar says why a key did not move it: its description.
    void setNotices(NoticeBar* notices) { notices_ = notices; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString words_;
    bool locked_ = false;
    NoticeBar* notices_ = nullptr;
};

} // namespace mf::qt
