// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/qt/level_bar_accessible.h"

#include "options/qt/level_scroll_bar.h"

namespace mf::qt {

LevelBarAccessible::LevelBarAccessible(LevelScrollBar* bar) : QAccessibleWidget(bar, QAccessible::SpinBox) {}

LevelScrollBar* LevelBarAccessible::bar() const { return static_cast<LevelScrollBar*>(widget()); }

void* LevelBarAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant LevelBarAccessible::currentValue() const { return bar()->value(); }

void LevelBarAccessible::setCurrentValue(const QVariant& value) { bar()->setValue(value.toInt()); }

QVariant LevelBarAccessible::maximumValue() const { return bar()->maximum(); }

QVariant LevelBarAccessible::minimumValue() const { return bar()->minimum(); }

QString LevelBarAccessible::text(int startOffset, int endOffset) const {
    const QString words = bar()->valueWords();
    if (endOffset < 0 || endOffset > words.size())
        endOffset = static_cast<int>(words.size());
    startOffset = qBound(0, startOffset, endOffset);
    return words.mid(startOffset, endOffset - startOffset);
}

int LevelBarAccessible::characterCount() const { return static_cast<int>(bar()->valueWords().size()); }

QString LevelBarAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    (void)offset;
    return {};
}

} // namespace mf::qt
