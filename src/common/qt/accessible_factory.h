// SPDX-License-Identifier: GPL-3.0-or-later
// Our own accessible classes for our own widget classes.
#pragma once

#include <QAccessible>

namespace mf::qt {

// Makes Qt use Accessible for every Widget (and subclass) from now on; once
// a pair, however often it is called. Accessible is made from a Widget*.
template <typename Widget, typename Accessible>
void installAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
            if (auto* widget = dynamic_cast<Widget*>(object))
                return new Accessible(widget);
            return nullptr;
        });
        return true;
    }();
    (void)installed;
}

} // namespace mf::qt
