// SPDX-License-Identifier: GPL-3.0-or-later
// A level scroll bar for screen readers: a spin button, named for its label,
// whose text is its value in the dialog's words ("6 by 6", "18%"). A reader
// reads a bar's value only as a number, but a spin button's by its text, as
// it takes the focus and every time the value changes.
#pragma once

#include <QAccessibleWidget>

namespace mf::qt {

class LevelScrollBar;

class LevelBarAccessible : public QAccessibleWidget,
                           public QAccessibleValueInterface,
                           public QAccessibleTextInterface {
public:
    explicit LevelBarAccessible(LevelScrollBar* bar);

    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleValueInterface
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 1; }

    // QAccessibleTextInterface: the words, read only, with no caret.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    LevelScrollBar* bar() const;
};

} // namespace mf::qt
